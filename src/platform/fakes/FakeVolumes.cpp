// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fakes/FakeVolumes.h"

#include "platform/LinuxVolumes.h"

namespace velmora::fakes {

void FakeVolumes::setUnreadable(const std::string& root, bool unreadable)
{
    if (unreadable)
        unreadable_.insert(root);
    else
        unreadable_.erase(root);
}

std::string FakeVolumes::rootOf(std::string_view path) const
{
    std::string best;
    for (const VolumeInfo& volume : volumes_) {
        if (platform::IsUnderMountPoint(path, volume.root) && volume.root.size() > best.size())
            best = volume.root;
    }
    return best;
}

bool FakeVolumes::info(std::string_view root, std::string& label, std::uint32_t& serial) const
{
    if (unreadable_.find(root) != unreadable_.end())
        return false;
    for (const VolumeInfo& volume : volumes_) {
        if (volume.root == root) {
            label = volume.label;
            serial = volume.serial;
            return true;
        }
    }
    return false;
}

} // namespace velmora::fakes
