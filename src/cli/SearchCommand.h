// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::cli {

/// search COLLECTION --name "WORDS" [--case] [--in all|dirs|files]
/// search COLLECTION --tag FIELD=TEXT... (title, artist, album, track, year,
///                                        comment)
/// search COLLECTION --property TERM...  (bitrate<128, samplerate=44100,
///                                        mode=mono, version>1, layer<3,
///                                        tag=present and the like)
///
/// Searches the collection and prints one line per found node: its folder
/// path followed by its name, then, tab-separated, the used tag fields or
/// the cells of the given property terms. With --save FILE it writes the
/// saved result file (see ResultFiles.h) instead, replacing FILE only when
/// the whole file was written (CannotSaveFile on failure, exit 1).
///
/// With --on SOURCE the source (a folder or a mounted volume) is scanned
/// into a temporary volume instead, searched, and dropped; rows then show
/// their real folders on disk. The collection file is never written; with
/// --on it may be missing. An unreadable source gives CannotReadDrive, a
/// source without audio files NoAudioInSource, an interrupted scan exit 1
/// in silence.
///
/// Exit code 0 when something was found; 1 with NoMatches "There are no
/// matches." on `err` when nothing was, or when the collection cannot be
/// loaded; 2 for wrong usage, which names what is allowed.
class SearchCommand final : public Command {
public:
    SearchCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

/// duplicates COLLECTION [--by name|property|both] [--in all|dirs|files]
///
/// Finds nodes of the collection with equal names (a to z folded to upper
/// case), equal size and duration, or both (default: name; area default:
/// all). Prints each group's label on a line, then one line per node of the
/// group (its folder path followed by its name, in collection order), and
/// an empty line between groups; with --save FILE the saved duplicate
/// results instead. --on and the exit codes as for search.
class DuplicatesCommand final : public Command {
public:
    DuplicatesCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

} // namespace velmora::cli
