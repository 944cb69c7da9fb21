// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::playback {

/// A player command as the user writes it in the settings: the program, then
/// its arguments, separated by blanks; double quotes group words holding
/// blanks ("my player" -e), and a backslash before a double quote or a
/// backslash takes it literally. "%f" in an argument stands for the playlist
/// file. Empty, or nothing but blanks, means the desktop's "open".
///
/// Splits `command` into the program and its arguments, each "%f" replaced
/// by `file`; when no argument holds "%f", `file` is added as the last
/// argument. Empty when the command is empty. The result is meant for a
/// process started with an argument list, never through a shell.
std::vector<std::string> PlayerArguments(std::string_view command, const std::string& file);

/// A player that can add a playlist to what it is playing.
struct KnownPlayer {
    std::string_view program; ///< the program's name, looked up on the PATH
    std::string_view command; ///< the command as PlayerArguments() reads it
};

/// The players tried, in order, when the user has set none: audacious, vlc,
/// clementine, strawberry, deadbeef.
const std::vector<KnownPlayer>& KnownPlayers();

/// The command of the first known player for which `installed(program)` is
/// true; empty (the desktop's "open") when none is.
std::string DefaultPlayerCommand(const std::function<bool(std::string_view)>& installed);

} // namespace velmora::playback
