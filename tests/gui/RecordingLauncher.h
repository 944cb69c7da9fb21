// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/playback/Launcher.h"

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::gui::testing {

/// Records what would have been opened and started.
class RecordingLauncher final : public Launcher {
public:
    bool Open(const std::string& path, std::function<void()> failed) override
    {
        opened.push_back(path);
        openFailed = std::move(failed);
        return openWorks;
    }
    bool OpenAddress(const std::string& address) override
    {
        addresses.push_back(address);
        return true;
    }
    bool Start(const std::vector<std::string>& arguments) override
    {
        started.push_back(arguments);
        return startWorks;
    }
    bool Installed(std::string_view program) const override
    {
        return installed.contains(std::string(program));
    }

    std::vector<std::string> opened;
    std::vector<std::string> addresses;
    std::vector<std::vector<std::string>> started;
    std::set<std::string> installed;
    bool startWorks = true;
    bool openWorks = true;
    std::function<void()> openFailed; ///< of the last Open()
};

} // namespace velmora::gui::testing
