// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/SameFile.h"

#include "system/FileSystem.h"

#include <filesystem>
#include <system_error>

namespace velmora {

namespace {

// The path a link chain ends at, absolute and without "." and ".." parts;
// empty when the chain does not end.
std::string Resolved(const FileSystem& files, const std::string& path)
{
    const std::string target = files.linkTarget(path);
    if (target.empty())
        return {};
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(target, error);
    if (error)
        absolute = target;
    return absolute.lexically_normal().string();
}

} // namespace

bool SameFile(const FileSystem& files, const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty())
        return false;
    FileStatus first;
    FileStatus second;
    if (files.fileStatus(a, first) && files.fileStatus(b, second))
        return first.device == second.device && first.inode == second.inode;
    // At least one of them does not exist (yet): the same path is the same
    // file all the same.
    const std::string resolved = Resolved(files, a);
    return !resolved.empty() && resolved == Resolved(files, b);
}

} // namespace velmora
