// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace velmora {

class FileSystem;

/// True when `a` and `b` name one file: both can be read and have the same
/// device and inode numbers (the same path, a hard link, or a symbolic link
/// that leads to the other), or the paths are equal once their symbolic
/// links are followed (FileSystem::linkTarget()) and, made absolute, their
/// "." and ".." parts are resolved. An empty path names no file.
///
/// A command that writes a file of its own beside a collection it read (a
/// report, a saved result list, a playlist) refuses a target for which this
/// holds, since writing it would replace the collection.
bool SameFile(const FileSystem& files, const std::string& a, const std::string& b);

} // namespace velmora
