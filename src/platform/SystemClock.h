// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/Clock.h"

namespace velmora::platform {

/// The machine's clock in the user's local time zone.
class SystemClock : public Clock {
public:
    /// Today's local date: whole days since 30 December 1899 (1 January 2000
    /// is day 36526).
    std::int32_t today() const override;
};

} // namespace velmora::platform
