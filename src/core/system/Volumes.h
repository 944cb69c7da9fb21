// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

enum class VolumeType { Fixed, Removable, Optical, Network };

/// One mounted volume ("drive").
struct VolumeInfo {
    std::string root;         ///< mount point, for example "/media/u/AUDIO"
    std::string label;        ///< file system label; may be empty
    std::uint32_t serial = 0; ///< 32-bit serial number, stable for the same medium
    VolumeType type = VolumeType::Fixed;
    std::string fileSystem; ///< file system type, for example "vfat"
    std::string source;     ///< mount source, for example "/dev/sdb1"
};

/// The mounted volumes of the machine.
class Volumes {
public:
    virtual ~Volumes() = default;

    /// Every mounted volume that can hold files, ordered by mount point.
    virtual std::vector<VolumeInfo> list() const = 0;

    /// The root (mount point) of the volume that holds `path`: the longest
    /// mount point that is a prefix of it. Empty when there is none.
    virtual std::string rootOf(std::string_view path) const = 0;

    /// Label and serial of the volume mounted at `root`. False when the
    /// volume information cannot be read (not mounted, no medium, unreadable
    /// mount point); `label` and `serial` are then unchanged.
    [[nodiscard]] virtual bool info(std::string_view root, std::string& label,
                                    std::uint32_t& serial) const = 0;
};

/// The label that stands for a volume whose information cannot be read.
inline constexpr std::string_view kNoDiscLabel = "NO DISC";

/// Label and serial of the volume that holds `path`; false when they cannot
/// be read.
[[nodiscard]] bool DriveInfo(const Volumes& volumes, std::string_view path, std::string& label,
                             std::uint32_t& serial);

/// Label of the volume that holds `path`, or "NO DISC" when it cannot be read.
std::string DriveLabel(const Volumes& volumes, std::string_view path);

} // namespace velmora
