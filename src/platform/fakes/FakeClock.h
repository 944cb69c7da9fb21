// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/Clock.h"

namespace velmora::fakes {

/// A clock that shows one day until told another. Days count from
/// 30 December 1899; the default is 1 January 2000.
class FakeClock : public Clock {
public:
    explicit FakeClock(std::int32_t day = 36526) : day_(day) {}

    void setToday(std::int32_t day) { day_ = day; }
    std::int32_t today() const override { return day_; }

private:
    std::int32_t day_;
};

} // namespace velmora::fakes
