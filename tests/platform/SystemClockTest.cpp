// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SystemClock.h"

#include <QDate>
#include <gtest/gtest.h>

namespace velmora::platform {
namespace {

TEST(PlatformSystemClock, DayNumbersCountFrom30December1899)
{
    const QDate dayZero(1899, 12, 30);
    EXPECT_EQ(dayZero.daysTo(QDate(2000, 1, 1)), 36526);
    EXPECT_EQ(dayZero.daysTo(QDate(1900, 3, 1)), 61);
}

TEST(PlatformSystemClock, TodayIsTheLocalDate)
{
    const SystemClock clock;
    const QDate before = QDate::currentDate();
    const std::int32_t today = clock.today();
    const QDate after = QDate::currentDate();
    const QDate shown = QDate(1899, 12, 30).addDays(today);
    // The day may turn between the readings.
    EXPECT_TRUE(shown == before || shown == after) << shown.toString(Qt::ISODate).toStdString();
    EXPECT_GT(today, 45000); // after 2023
}

} // namespace
} // namespace velmora::platform
