// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::cli {

/// report COLLECTION -o FILE [--format text|dif|html|csv]
///        [--rows collection,volume,folder,file] [--columns LIST] [--no-sort]
///
/// Writes a report of the collection into FILE, replacing it only once the
/// report is complete. Without options the report has the defaults of a new
/// installation: folder rows with Size, Duration, Bit rate and Volume as
/// text, sorted. --rows replaces the four row kinds; --columns names the
/// columns to write in their order (size, duration, bitrate, samplerate,
/// mode, version, title, artist, album, track, year, comment, folders,
/// files, date, volume), an empty list none. Unknown or repeated values are
/// usage errors (exit 2) that list the allowed ones.
///
/// Prints nothing on success. A file that cannot be written gives CannotSaveFile
/// and the path on `err` and exit 1. Progress goes to stderr when it is a
/// terminal; an interrupt stops the report (exit 1, no message): before the
/// writing began nothing is written, during it the lines written so far
/// stay in FILE.
class ReportCommand final : public Command {
public:
    ReportCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

} // namespace velmora::cli
