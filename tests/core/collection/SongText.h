// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/NodeText.h"

#include <array>
#include <string>
#include <string_view>

namespace velmora::testing {

/// A file node text with the given name, track and title (CBR, MPEG 1
/// Layer 3, 44100 Hz, joint stereo, 3921 KB, 245 s).
inline std::string SongText(std::string_view name, std::string_view track = "",
                            std::string_view title = "")
{
    collection::Numbers numbers{3921, 245, 4410, 2, 1, 3};
    std::array<std::string, 6> tags;
    tags[collection::kTitle] = std::string(title);
    tags[collection::kTrack] = std::string(track);
    return collection::FileText(name, numbers, tags);
}

} // namespace velmora::testing
