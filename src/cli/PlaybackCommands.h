// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/Command.h"
#include "collection/CollectionTree.h"

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::cli {

/// The node that NODE names in `tree`: "#N" is the node at pre-order
/// position N (line N + 1 of dump, whose first line is the collection, #0,
/// which no command takes); anything else is
/// a node path as search prints it, the volume's name and then the names
/// below it with "\" between (names may hold "\" themselves; a name is
/// matched as its bytes or as they are shown). kNoNode when there is none.
[[nodiscard]] collection::NodeId FindNode(const collection::CollectionTree& tree,
                                          std::string_view node);

/// locate COLLECTION NODE
///
/// Finds NODE's volume among the mounted volumes and prints the path of the
/// node on disk; for a volume or folder, the path of every file of its
/// branch, one per line, in collection order. Exit 1 with CannotFindSource
/// (and the path, or the drive label and serial) on `err` when it is not
/// on disk, or when NODE names no node.
class LocateCommand final : public Command {
public:
    LocateCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

/// playlist COLLECTION NODE -o FILE.m3u|FILE.pls
///
/// Writes the paths locate prints into FILE as a playlist: PLS for a name
/// ending in ".pls", M3U otherwise. Exit 1 with CannotFindSource as for
/// locate, CannotCreatePlaylist and FILE when it cannot be written (FILE is
/// then as it was), or when the branch holds no file.
class PlaylistCommand final : public Command {
public:
    PlaylistCommand();
    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override;
};

} // namespace velmora::cli
