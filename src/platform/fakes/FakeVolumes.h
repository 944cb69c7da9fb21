// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/Volumes.h"

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace velmora::fakes {

/// A machine whose volumes are set by the test. rootOf() takes the longest
/// listed root the path lies under, at a "/" boundary as LinuxVolumes does;
/// info() answers from the list and fails for unknown roots and for roots
/// marked unreadable (a drive without a medium).
class FakeVolumes : public Volumes {
public:
    FakeVolumes() = default;
    explicit FakeVolumes(std::vector<VolumeInfo> volumes) : volumes_(std::move(volumes)) {}

    void setVolumes(std::vector<VolumeInfo> volumes) { volumes_ = std::move(volumes); }
    void setUnreadable(const std::string& root, bool unreadable = true);

    std::vector<VolumeInfo> list() const override { return volumes_; }
    std::string rootOf(std::string_view path) const override;
    [[nodiscard]] bool info(std::string_view root, std::string& label,
                            std::uint32_t& serial) const override;

private:
    std::vector<VolumeInfo> volumes_;
    std::set<std::string, std::less<>> unreadable_;
};

/// A volume mounted at `root`, for the lists of tests.
inline VolumeInfo MountedVolume(std::string root, VolumeType type, std::string label = {},
                                std::uint32_t serial = 0)
{
    VolumeInfo volume;
    volume.root = std::move(root);
    volume.type = type;
    volume.label = std::move(label);
    volume.serial = serial;
    return volume;
}

} // namespace velmora::fakes
