// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"
#include "scan/ScanThread.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::cli {

/// scan SOURCE -c COLLECTION [--label L] [--serial N] [--update]: adds the
/// source as a volume and saves the collection (made when missing). A volume
/// of the same identity (with --label, scan::SameLabelledVolume()'s) fails
/// the command with VolumeExistsAskUpdate unless --update answers it.
/// Progress on stderr when it is a terminal; an interrupt cancels the scan
/// and leaves the collection file untouched.
class ScanCommand final : public Command {
public:
    ScanCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

/// The serial given on the command line: decimal, 0x and hexadecimal digits,
/// or eight hexadecimal digits with an optional dash (ABCD-1234).
[[nodiscard]] bool ParseSerial(std::string_view text, std::uint32_t& serial);

/// Scans `request` into `tree` on a worker thread and waits for it: the
/// current folder and file on `err` while it runs, when context.showProgress
/// is set; an interrupt (context.interrupted) stops
/// it, and the outcome then says cancelled. A volume node of a cancelled
/// scan is left for the caller to remove.
[[nodiscard]] scan::ScanOutcome RunScan(collection::CollectionTree& tree,
                                        const scan::ScanRequest& request, std::ostream& err,
                                        CliContext& context);

/// `path` made absolute and normal, without a trailing "/" (except for "/").
std::string AbsoluteFolder(const std::string& path);

} // namespace velmora::cli
