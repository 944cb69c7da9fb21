// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace velmora::collection {

/// Dates are day numbers: whole days since 30 December 1899 (day 0), so
/// 1 January 2000 is day 36526. Proleptic Gregorian calendar.
struct CivilDate {
    std::int32_t year = 1899;
    std::int32_t month = 12; ///< 1..12
    std::int32_t day = 30;   ///< 1..31
};

std::int32_t DayNumber(const CivilDate& date);
CivilDate CivilFromDayNumber(std::int32_t dayNumber);

} // namespace velmora::collection
