// SPDX-License-Identifier: GPL-3.0-or-later
#include "texts/AsciiCase.h"

#include <gtest/gtest.h>

namespace velmora::texts {
namespace {

TEST(AsciiCase, OnlyLettersAToZFold)
{
    EXPECT_EQ(CompareLowerFolded("Abc", "aBC"), 0);
    EXPECT_LT(CompareLowerFolded("10", "9"), 0);
    EXPECT_LT(CompareLowerFolded("9", "a"), 0);
    EXPECT_LT(CompareLowerFolded("ab", "abc"), 0);
    EXPECT_NE(CompareLowerFolded("\xC4", "\xE4"), 0); // Ä and ä stay apart
    EXPECT_LT(CompareLowerFolded("a", "\xE4"), 0);    // high bytes after ASCII
    // The direction of the fold decides where "_" goes.
    EXPECT_LT(CompareLowerFolded("_", "a"), 0);
    EXPECT_GT(CompareUpperFolded("_", "a"), 0);
    EXPECT_TRUE(EqualIgnoringAsciiCase("/X/B.COL", "/x/b.col"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("/x/b.col", "/x/b.col~"));
}

} // namespace
} // namespace velmora::texts
