// SPDX-License-Identifier: GPL-3.0-or-later
#include "texts/Encoding.h"

#include <gtest/gtest.h>

namespace velmora::texts {
namespace {

TEST(Encoding, Utf8Validity)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ascii"));
    EXPECT_TRUE(IsValidUtf8("Motörhead \xE2\x82\xAC \xF0\x9F\x8E\xB5"));
    EXPECT_FALSE(IsValidUtf8("Mot\xF6rhead"));     // Windows-1252 ö
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));         // truncated
}

TEST(Encoding, Windows1252RoundTrip)
{
    EXPECT_EQ(Windows1252ToUtf8("Mot\xF6rhead \x80 \x9F"), "Motörhead € Ÿ");
    EXPECT_EQ(Windows1252ToUtf8("\x81\x8D"), "\xC2\x81\xC2\x8D");
    EXPECT_EQ(Utf8ToWindows1252("Motörhead € Ÿ"), "Mot\xF6rhead \x80 \x9F");
    EXPECT_EQ(Utf8ToWindows1252("Ω and 日本"), "? and ??");
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(one)), one) << b;
    }
}

TEST(Encoding, DisplayTextKeepsUtf8AndDecodesTheRest)
{
    EXPECT_EQ(DisplayText("Björk"), "Björk");
    EXPECT_EQ(DisplayText("Bj\xF6rk"), "Björk");
    EXPECT_EQ(DisplayText("\x01"
                          "5\x02"),
              "\x01"
              "5\x02");
}

} // namespace
} // namespace velmora::texts
