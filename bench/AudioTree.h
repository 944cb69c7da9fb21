// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The walk shared by the audio benchmarks: every regular file below a folder
// whose name ends in .mp1, .mp2, .mp3 or .mpa (any case), in directory order.

#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace velmora::bench {

inline bool IsAudioName(std::string_view name)
{
    constexpr std::array<std::string_view, 4> kExtensions = {".mp1", ".mp2", ".mp3", ".mpa"};
    if (name.size() < 4)
        return false;
    const std::string_view tail = name.substr(name.size() - 4);
    for (const std::string_view ext : kExtensions) {
        bool same = true;
        for (std::size_t i = 0; i < ext.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(tail[i])) == ext[i];
        if (same)
            return true;
    }
    return false;
}

/// Calls onFile(path) for every audio file below `root`; false (with a
/// message on stderr) when the folder cannot be walked.
template <typename OnFile> bool WalkAudioFiles(const char* root, OnFile&& onFile)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        if (!IsAudioName(entry.path().filename().native()))
            continue;
        std::error_code typeError;
        if (entry.is_regular_file(typeError))
            onFile(entry.path().native());
    }
    if (ec) {
        std::fprintf(stderr, "%s: %s\n", root, ec.message().c_str());
        return false;
    }
    return true;
}

} // namespace velmora::bench
