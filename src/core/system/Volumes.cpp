// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/Volumes.h"

namespace velmora {

bool DriveInfo(const Volumes& volumes, std::string_view path, std::string& label,
               std::uint32_t& serial)
{
    const std::string root = volumes.rootOf(path);
    if (root.empty())
        return false;
    return volumes.info(root, label, serial);
}

std::string DriveLabel(const Volumes& volumes, std::string_view path)
{
    std::string label;
    std::uint32_t serial = 0;
    if (!DriveInfo(volumes, path, label, serial))
        return std::string(kNoDiscLabel);
    return label;
}

} // namespace velmora
