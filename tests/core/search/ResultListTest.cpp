// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/ResultList.h"

#include <gtest/gtest.h>

namespace velmora::search {
namespace {

std::vector<std::string> Texts(const ResultList& list)
{
    std::vector<std::string> texts;
    for (const ResultEntry& entry : list.entries())
        texts.push_back(entry.text);
    return texts;
}

TEST(ResultList, KeepsInsertionOrderByDefault)
{
    ResultList list;
    list.add("b", 2);
    list.add("A", 1);
    list.add("c");
    EXPECT_FALSE(list.sorted());
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"b", "A", "c"}));
    EXPECT_EQ(list[1].node, 1u);
    EXPECT_EQ(list[2].node, collection::kNoNode);
}

TEST(ResultList, SwitchingToSortedResortsAndKeepsNodeReferences)
{
    ResultList list;
    list.add("beta", 10);
    list.add("Alpha", 11);
    list.add("alpha", 12);
    list.add("_x", 13);
    list.setSorted(true);
    // Only a to z fold: "_" (0x5F) lies between "Z" and "a", so it sorts
    // after the folded letters; equal texts keep their insertion order.
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"Alpha", "alpha", "beta", "_x"}));
    EXPECT_EQ(list[0].node, 11u);
    EXPECT_EQ(list[1].node, 12u);
    EXPECT_EQ(list[2].node, 10u);
    EXPECT_EQ(list[3].node, 13u);
}

TEST(ResultList, SortedListInsertsInPlaceAfterEqualTexts)
{
    ResultList list;
    list.setSorted(true);
    list.add("b", 1);
    list.add("a", 2);
    list.add("B", 3);
    list.add("c", 4);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"a", "b", "B", "c"}));
    EXPECT_EQ(list[2].node, 3u);
}

TEST(ResultList, LettersBeyondAToZAreNotFolded)
{
    // "\xC3\xA4" is a-umlaut in UTF-8; its bytes sort after every ASCII byte.
    EXPECT_GT(CompareFoldedAZ("\xC3\xA4", "Z"), 0);
    EXPECT_NE(CompareFoldedAZ("\xC3\xA4", "\xC3\x84"), 0);
    EXPECT_EQ(CompareFoldedAZ("abc", "ABC"), 0);
    EXPECT_LT(CompareFoldedAZ("ab", "ABC"), 0);
}

TEST(ResultList, ResetEmptiesAndReturnsToInsertionOrder)
{
    ResultList list;
    list.setSorted(true);
    list.add("x");
    list.reset();
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(list.sorted());
}

} // namespace
} // namespace velmora::search
