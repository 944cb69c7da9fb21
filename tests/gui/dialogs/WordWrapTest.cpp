// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/WordWrap.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace velmora::gui {
namespace {

TEST(WordWrapTest, ShortTextStaysWhole)
{
    EXPECT_EQ(WrapText(QStringLiteral("Can not open the file"), 70),
              QStringLiteral("Can not open the file"));
}

TEST(WordWrapTest, LongPathBreaksAfterLastBackslashWithinLimit)
{
    const QString text = QStringLiteral(
        "Can not save in the file: AUDIO\\Music\\Collections\\Rock and Roll\\Seventies\\Live.col");
    const QString wrapped = WrapText(text, 70);
    const QStringList lines = wrapped.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(
        lines[0],
        QStringLiteral("Can not save in the file: AUDIO\\Music\\Collections\\Rock and Roll\\"));
    EXPECT_LE(lines[0].size(), 70);
    EXPECT_EQ(lines[1], QStringLiteral("Seventies\\Live.col"));
}

TEST(WordWrapTest, TextWithoutBreakCharactersIsNotBroken)
{
    const QString text(100, u'x');
    EXPECT_EQ(WrapText(text, 70), text);
}

TEST(WordWrapTest, LineBreaksOfTheTextStartNewLines)
{
    EXPECT_EQ(WrapText(QStringLiteral("one\r\ntwo"), 70), QStringLiteral("one\r\ntwo"));
}

TEST(WordWrapTest, QuotedPassageIsNotBroken)
{
    const QString text = QStringLiteral("abc \"d e f g h i\" jk");
    // The limit falls inside the quotes: the break waits for the blank after
    // the closing quote, or the one before the opening quote.
    const QString wrapped = WrapText(text, 10);
    EXPECT_EQ(wrapped, QStringLiteral("abc \r\n\"d e f g h i\" \r\njk"));
}

TEST(WordWrapTest, WaitWindowWrapsAtTwentyFiveColumns)
{
    EXPECT_EQ(WrapText(QStringLiteral("Remove selection and reindex..."), 25),
              QStringLiteral("Remove selection and \r\nreindex..."));
}

} // namespace
} // namespace velmora::gui
