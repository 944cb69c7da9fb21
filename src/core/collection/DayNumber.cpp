// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/DayNumber.h"

namespace velmora::collection {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's
// days_from_civil), valid far beyond any date a collection holds.
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr std::int64_t kEpochOffset = -25569; // 1899-12-30 counted from 1970-01-01

} // namespace

std::int32_t DayNumber(const CivilDate& date)
{
    return static_cast<std::int32_t>(DaysFromCivil(date.year, date.month, date.day) - kEpochOffset);
}

CivilDate CivilFromDayNumber(std::int32_t dayNumber)
{
    const std::int64_t z = static_cast<std::int64_t>(dayNumber) + kEpochOffset + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return {static_cast<std::int32_t>(y), static_cast<std::int32_t>(m),
            static_cast<std::int32_t>(d)};
}

} // namespace velmora::collection
