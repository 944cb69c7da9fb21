// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DataFolder.h"

#include <climits>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace velmora::platform {

namespace {

// The running program's file, from the kernel: a link that names the file
// whatever the current folder or the name it was started by.
std::filesystem::path ProgramFile()
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer)
        return {};
    return std::filesystem::path(std::string(buffer, static_cast<std::size_t>(length)));
}

} // namespace

std::string ProgramDataFolder()
{
    const std::filesystem::path program = ProgramFile();
    if (!program.empty()) {
        const std::filesystem::path installed =
            program.parent_path().parent_path() / "share" / "velmora";
        std::error_code error;
        if (std::filesystem::is_directory(installed, error))
            return installed.lexically_normal().string() + '/';
    }
    return VELMORA_SOURCE_DATA_DIR "/";
}

} // namespace velmora::platform
