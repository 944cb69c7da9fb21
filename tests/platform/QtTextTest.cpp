// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtText.h"

#include <gtest/gtest.h>

namespace velmora::platform {
namespace {

TEST(PlatformQtText, ValidUtf8IsReadAsUtf8)
{
    const QString text = ToQString("Gr\xC3\xBC\xC3\x9F"
                                   "e \xE2\x82\xAC");
    EXPECT_EQ(text, QString::fromUtf16(u"Grüße €"));
    EXPECT_EQ(text.size(), 7);
}

TEST(PlatformQtText, InvalidUtf8IsReadAsWindows1252)
{
    EXPECT_EQ(ToQString("Gr\xFC\xDF"
                        "e \x80"),
              QString::fromUtf16(u"Grüße €"));
    EXPECT_EQ(ToQString("\x8A\x9A\x9F"), QString::fromUtf16(u"ŠšŸ"));
}

TEST(PlatformQtText, OneInvalidSequenceMakesTheWholeTextWindows1252)
{
    // "café" in UTF-8 followed by a lone Windows-1252 "é".
    EXPECT_EQ(ToQString("caf\xC3\xA9 \xE9"), QString::fromUtf16(u"cafÃ© é"));
}

TEST(PlatformQtText, EmptyAndAscii)
{
    EXPECT_TRUE(ToQString("").isEmpty());
    EXPECT_EQ(ToQString("AUDIO\\Music\\Rock"), QStringLiteral("AUDIO\\Music\\Rock"));
}

TEST(PlatformQtText, NodeBytesAreUtf8)
{
    EXPECT_EQ(ToNodeBytes(QString::fromUtf16(u"Grüße €")), "Gr\xC3\xBC\xC3\x9F"
                                                           "e \xE2\x82\xAC");
    EXPECT_EQ(ToNodeBytes(QString()), "");
    EXPECT_EQ(ToNodeBytes(ToQString("\xC4pfel")), "\xC3\x84pfel");
}

} // namespace
} // namespace velmora::platform
