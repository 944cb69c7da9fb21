// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace velmora {

/// The current date, as the collection stores dates: whole days since
/// 30 December 1899 (day 0), in the user's local time zone.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int32_t today() const = 0;
};

} // namespace velmora
