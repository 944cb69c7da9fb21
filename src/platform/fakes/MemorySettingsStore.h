// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/SettingsStore.h"

#include <vector>

namespace velmora::fakes {

/// A settings store in memory. `exists` false plays a first start (reading
/// finds no store); `failWrite` plays a store that refuses every write.
class MemorySettingsStore final : public settings::SettingsStore {
public:
    std::vector<settings::StoredValue> values;
    bool exists = false;
    bool failWrite = false;
    int writes = 0; ///< successful writes so far

    [[nodiscard]] bool read(std::vector<settings::StoredValue>& out) override
    {
        out.clear();
        if (!exists)
            return false;
        out = values;
        return true;
    }

    [[nodiscard]] bool write(const std::vector<settings::StoredValue>& in) override
    {
        if (failWrite)
            return false;
        values = in;
        exists = true;
        ++writes;
        return true;
    }
};

} // namespace velmora::fakes
