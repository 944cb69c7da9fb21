// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/MessageDialog.h"

#include "gui/dialogs/Messages.h"
#include "texts/TextTable.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace velmora::gui {
namespace {

TEST(MessageDialogTest, QuestionWithNoAsDefaultFocusesNo)
{
    const texts::TextTable table;
    MessageDialog dialog(Question(table, texts::TextId::AskSortCollection, false, 2), nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Confirmation"));
    EXPECT_TRUE(dialog.button(2)->isDefault());
    EXPECT_FALSE(dialog.button(1)->isDefault());
    EXPECT_TRUE(dialog.button(1)->isVisibleTo(&dialog));
    EXPECT_TRUE(dialog.button(2)->isVisibleTo(&dialog));
    EXPECT_FALSE(dialog.button(3)->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.button(1)->text(), QStringLiteral("Yes"));
    EXPECT_EQ(dialog.button(2)->text(), QStringLiteral("No"));
}

TEST(MessageDialogTest, ButtonsAreCentredAsAGroup)
{
    const texts::TextTable table;
    MessageDialog dialog(Question(table, texts::TextId::AskSaveChanges, true, 1), nullptr);
    const int left = dialog.button(1)->x();
    const int right = dialog.width() - (dialog.button(3)->x() + dialog.button(3)->width());
    EXPECT_LE(std::abs(left - right), 1);
    EXPECT_EQ(dialog.button(2)->x() - dialog.button(1)->x(), dialog.button(1)->width() + 16);
}

TEST(MessageDialogTest, WithoutIconTheTextMovesLeft)
{
    MessageRequest request;
    request.text = QString(200, u'w'); // one line: no break characters
    request.caption = QStringLiteral("c");
    request.button1 = QStringLiteral("Ok");
    MessageDialog dialog(request, nullptr);
    EXPECT_FALSE(dialog.iconLabel()->isVisibleTo(&dialog));
    EXPECT_EQ(dialog.textLabel()->x(), 16);
    // The long line widens the panel (by the label's left, width and top
    // margin) and the window.
    EXPECT_EQ(dialog.panel()->width(),
              dialog.textLabel()->x() + dialog.textLabel()->width() + dialog.textLabel()->y());
    EXPECT_EQ(dialog.width(), dialog.panel()->width() + 32);
}

TEST(MessageDialogTest, LongErrorWrapsAndGrowsTheDialog)
{
    const texts::TextTable table;
    const MessageRequest request =
        ErrorMessage(table, texts::TextId::CannotSaveFile,
                     QStringLiteral("/home/user/Music/Collections/Rock and Roll/"
                                    "Seventies/Live recordings/collection.col"));
    MessageDialog dialog(request, nullptr);
    EXPECT_EQ(dialog.textLabel()->text().count(u'\n'), 1);
    EXPECT_GT(dialog.textLabel()->height(), 0);
    EXPECT_GE(dialog.panel()->height(), 65);
    EXPECT_GT(dialog.button(1)->y(), dialog.panel()->geometry().bottom());
}

TEST(MessageDialogTest, ButtonsAndEscapeAnswerTheirNumbersTheCloseBoxZero)
{
    const texts::TextTable table;
    {
        MessageDialog dialog(Question(table, texts::TextId::AskSaveChanges, true, 1), nullptr);
        QTimer::singleShot(0, dialog.button(3), &QPushButton::click);
        EXPECT_EQ(dialog.Run(), 3);
    }
    {
        MessageDialog dialog(Question(table, texts::TextId::AskSaveChanges, true, 1), nullptr);
        QTimer::singleShot(0, &dialog, &QDialog::close);
        EXPECT_EQ(dialog.Run(), 0);
    }
    // Escape presses Cancel, else No, else the Ok of a message; a request
    // without an escape button stays open until its close box.
    const auto escape = [](MessageDialog& dialog) {
        QTimer::singleShot(0, &dialog, [&dialog] {
            QTest::keyClick(&dialog, Qt::Key_Escape);
            if (dialog.isVisible())
                dialog.close();
        });
        return dialog.Run();
    };
    MessageDialog yesNoCancel(Question(table, texts::TextId::AskSaveChanges, true, 1), nullptr);
    EXPECT_EQ(escape(yesNoCancel), 3);
    MessageDialog yesNo(Question(table, texts::TextId::AskSortCollection, false, 1), nullptr);
    EXPECT_EQ(escape(yesNo), 2);
    MessageDialog information(InformationMessage(table, texts::TextId::ReportCreated), nullptr);
    EXPECT_EQ(escape(information), 1);
    MessageRequest request = Question(table, texts::TextId::AskSaveChanges, true, 2);
    request.escapeButton = 0;
    MessageDialog noEscape(request, nullptr);
    EXPECT_EQ(escape(noEscape), 0);
}

} // namespace
} // namespace velmora::gui
