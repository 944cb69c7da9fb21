// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/collection/Statistic.h"

#include "Bytes.h"
#include "collection/NodeText.h"
#include "texts/TextTable.h"

#include <gtest/gtest.h>

namespace velmora::gui {
namespace {

TEST(StatisticTest, EmptyCollectionShowsZeros)
{
    const texts::TextTable table;
    const std::string root = collection::CollectionText(0, 0, 0, 0, 36526);
    Statistic window(root, table, ".", "/");
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Statistics"));
    EXPECT_EQ(window.caption(0), QStringLiteral("Total size:"));
    EXPECT_EQ(window.value(0), QStringLiteral("0 GB"));
    EXPECT_EQ(window.value(1), QStringLiteral("0 Hour(s)"));
    EXPECT_EQ(window.value(2), QStringLiteral("0 Kbps"));
    EXPECT_EQ(window.value(3), QStringLiteral("0 Volume(s)"));
    EXPECT_EQ(window.value(4), QStringLiteral("0 File(s)"));
    EXPECT_EQ(window.value(5), QStringLiteral("01/01/2000"));
}

TEST(StatisticTest, TotalsRoundAsTheStatisticsRowsSay)
{
    const texts::TextTable table;
    const std::string root = collection::CollectionText(262144, 5400, 2, 30, 36526);
    Statistic window(root, table, ",", ".");
    EXPECT_EQ(window.value(0), QStringLiteral("0,2 GB"));
    EXPECT_EQ(window.value(1), QStringLiteral("1,5 Hour(s)"));
    EXPECT_EQ(window.value(5), QStringLiteral("01.01.2000"));
}

} // namespace
} // namespace velmora::gui
