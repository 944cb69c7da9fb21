// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/Statistic.h"

#include "collection/NodeText.h"
#include "texts/TextTable.h"

#include <gtest/gtest.h>

namespace velmora::reports {
namespace {

std::array<StatisticRow, 6> Rows(std::int64_t sizeKB, std::int64_t duration,
                                 std::string_view decimal = ".")
{
    const texts::TextTable table;
    return StatisticRows(collection::CollectionText(sizeKB, duration, 3, 42, 36526), table, decimal,
                         "/");
}

TEST(Statistic, EmptyCollection)
{
    const texts::TextTable table;
    const auto rows = StatisticRows(collection::CollectionText(0, 0, 0, 0, 45000), table, ".", "/");
    EXPECT_EQ(rows[0].caption, "Total size:");
    EXPECT_EQ(rows[0].value, "0 GB");
    EXPECT_EQ(rows[1].caption, "Total duration:");
    EXPECT_EQ(rows[1].value, "0 Hour(s)");
    EXPECT_EQ(rows[2].caption, "Average bit rate:");
    EXPECT_EQ(rows[2].value, "0 Kbps");
    EXPECT_EQ(rows[3].caption, "Volume count:");
    EXPECT_EQ(rows[3].value, "0 Volume(s)");
    EXPECT_EQ(rows[4].caption, "File count:");
    EXPECT_EQ(rows[4].value, "0 File(s)");
    EXPECT_EQ(rows[5].caption, "Last change:");
    EXPECT_EQ(rows[5].value, "15/03/2023");
}

TEST(Statistic, SizesRoundHalfToEven)
{
    EXPECT_EQ(Rows(1048576, 0)[0].value, "1 GB");
    EXPECT_EQ(Rows(262144, 0)[0].value, "0.2 GB");
    EXPECT_EQ(Rows(786432, 0)[0].value, "0.8 GB");
    EXPECT_EQ(Rows(12 * 1048576, 0)[0].value, "12 GB");
    EXPECT_EQ(Rows(1572864, 0, ",")[0].value, "1,5 GB");
}

TEST(Statistic, HoursAndRates)
{
    EXPECT_EQ(Rows(0, 5400)[1].value, "1.5 Hour(s)");
    EXPECT_EQ(Rows(0, 180)[1].value, "0 Hour(s)");
    EXPECT_EQ(Rows(0, 540)[1].value, "0.2 Hour(s)"); // 1.5 tenths -> 2
    EXPECT_EQ(Rows(0, -5400)[1].value, "1.5 Hour(s)");
    // 3921 KB in 245 s: 131.1 kbit/s, rounded.
    EXPECT_EQ(Rows(3921, 245)[2].value, "131 Kbps");
    // 15625 * 8.192 / 1000 = 128 exactly; 122.5 and 123.5 round to even.
    EXPECT_EQ(Rows(15625, 1000)[2].value, "128 Kbps");
    EXPECT_EQ(Rows(122500, 8192)[2].value, "122 Kbps");
    EXPECT_EQ(Rows(123500, 8192)[2].value, "124 Kbps");
    EXPECT_EQ(Rows(100, -5)[2].value, "0 Kbps");
    EXPECT_EQ(Rows(3921, 245)[3].value, "3 Volume(s)");
    EXPECT_EQ(Rows(3921, 245)[4].value, "42 File(s)");
    EXPECT_EQ(Rows(3921, 245)[5].value, "01/01/2000");
}

TEST(Statistic, TenthsInShortestForm)
{
    EXPECT_EQ(FormatTenths(0, "."), "0");
    EXPECT_EQ(FormatTenths(120, "."), "12");
    EXPECT_EQ(FormatTenths(2, ","), "0,2");
    EXPECT_EQ(FormatTenths(-15, "."), "-1.5");
}

} // namespace
} // namespace velmora::reports
