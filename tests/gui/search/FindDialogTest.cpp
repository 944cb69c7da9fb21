// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/FindDialog.h"

#include "texts/TextTable.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace velmora::gui {
namespace {

settings::Settings OnPage(int page)
{
    settings::Settings settings;
    settings.findArea = page;
    return settings;
}

TEST(FindDialogTest, BlankNameDisablesFindAndEnterDoesNothing)
{
    const texts::TextTable table;
    settings::Settings settings = OnPage(0);
    settings.nameText = " \t ";
    FindDialog dialog(table, settings);
    const auto& c = dialog.controls();
    dialog.show();
    EXPECT_FALSE(c.find->isEnabled());
    EXPECT_FALSE(c.onDrive->isEnabled());
    QTest::keyClick(c.nameText, Qt::Key_Return);
    EXPECT_EQ(dialog.choice(), FindChoice::None);
    EXPECT_TRUE(dialog.isVisible());

    c.nameText->setText(QStringLiteral(" beat "));
    EXPECT_TRUE(c.find->isEnabled());
    EXPECT_TRUE(c.onDrive->isEnabled());
    QTest::keyClick(c.nameText, Qt::Key_Return);
    EXPECT_EQ(dialog.choice(), FindChoice::Find);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.settings().nameText, " beat ");
}

TEST(FindDialogTest, PropertyPageWithEveryTermClearedDisablesFind)
{
    const texts::TextTable table;
    FindDialog dialog(table, OnPage(1));
    const auto& c = dialog.controls();
    EXPECT_TRUE(c.find->isEnabled());
    for (QCheckBox* on : c.propertyOn)
        on->setChecked(false);
    EXPECT_FALSE(c.find->isEnabled());
    EXPECT_FALSE(c.onDrive->isEnabled());
    EXPECT_FALSE(c.propertyComparison[0]->isEnabled());
    EXPECT_FALSE(c.propertyValue[5]->isEnabled());
    dialog.TryFind();
    EXPECT_EQ(dialog.choice(), FindChoice::None);

    c.propertyOn[5]->setChecked(true);
    EXPECT_TRUE(c.find->isEnabled());
    EXPECT_TRUE(c.propertyValue[5]->isEnabled());
    EXPECT_FALSE(c.propertyValue[4]->isEnabled());
    // Enter on the property page presses Find, as on the other pages.
    dialog.show();
    c.propertyValue[5]->setFocus();
    QTest::keyClick(c.propertyValue[5], Qt::Key_Return);
    EXPECT_EQ(dialog.choice(), FindChoice::Find);
    EXPECT_FALSE(dialog.isVisible());
}

// Opened again after a search, the dialog has the keyboard in the name
// field with the last text selected: typing replaces it, Enter searches.
TEST(FindDialogTest, OpenedAgainTheNameIsSelectedToBeTypedOver)
{
    const texts::TextTable table;
    settings::Settings settings = OnPage(0);
    {
        FindDialog first(table, settings);
        first.show();
        QTest::keyClicks(first.controls().nameText, QStringLiteral("beat"));
        QTest::keyClick(first.controls().nameText, Qt::Key_Return);
        ASSERT_EQ(first.choice(), FindChoice::Find);
        settings = first.settings();
    }
    FindDialog again(table, settings);
    const auto& c = again.controls();
    again.show();
    again.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&again));
    QWidget* focused = QApplication::focusWidget();
    ASSERT_EQ(focused, c.nameText);
    EXPECT_EQ(c.nameText->selectedText(), QStringLiteral("beat"));
    QTest::keyClicks(focused, QStringLiteral("drum"));
    EXPECT_EQ(c.nameText->text(), QStringLiteral("drum"));
    QTest::keyClick(focused, Qt::Key_Return);
    EXPECT_EQ(again.choice(), FindChoice::Find);
    EXPECT_EQ(again.settings().nameText, "drum");
}

TEST(FindDialogTest, DuplicatesWithNeitherComparisonDisablesFind)
{
    const texts::TextTable table;
    FindDialog dialog(table, OnPage(3));
    const auto& c = dialog.controls();
    EXPECT_TRUE(c.find->isEnabled());
    c.compareName->setChecked(false);
    EXPECT_FALSE(c.find->isEnabled());
    EXPECT_FALSE(c.onDrive->isEnabled());
    c.compareProperty->setChecked(true);
    EXPECT_TRUE(c.onDrive->isEnabled());
    // The rule follows the page on view: the name page has no text.
    c.pages->setCurrentIndex(0);
    EXPECT_FALSE(c.find->isEnabled());
}

TEST(FindDialogTest, FindWritesTheControlsOfEveryPage)
{
    const texts::TextTable table;
    settings::Settings settings = OnPage(2);
    settings.author = true;
    settings.nameArea = 5;
    settings.property[2] = 9;
    settings.tagText = {"old", "", "", "", "", ""};
    FindDialog dialog(table, settings);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Search (cheat mode)"));
    const auto& c = dialog.controls();
    EXPECT_EQ(c.nameArea->checkedId(), -1);
    EXPECT_EQ(c.propertyValue[0]->currentIndex(), -1);
    EXPECT_EQ(c.propertyValue[1]->currentText(), QStringLiteral("44100 Hz"));

    c.tagText[1]->setText(QStringLiteral("  Artist "));
    c.pages->setCurrentIndex(0);
    c.nameText->setText(QStringLiteral("word"));
    c.nameCase->setChecked(true);
    c.propertyOn[5]->setChecked(true);
    c.propertyValue[5]->setCurrentIndex(1);
    c.propertyComparison[3]->setCurrentIndex(1);
    c.duplicateArea->button(3)->setChecked(true);
    dialog.TryFind();

    settings::Settings expected = settings;
    expected.findArea = 0;
    expected.nameText = "word";
    expected.nameCase = true;
    expected.property[2] = 255;
    expected.property[10] = 1;
    expected.property[15] = 1;
    expected.property[16] = 1;
    expected.tagText[1] = "  Artist ";
    expected.duplicateArea = 3;
    EXPECT_EQ(dialog.choice(), FindChoice::Find);
    EXPECT_TRUE(dialog.settings() == expected);
    EXPECT_EQ(dialog.settings().nameArea, 5);
    EXPECT_EQ(dialog.settings().property, expected.property);
}

TEST(FindDialogTest, CancelAndEscapeLeaveTheSettings)
{
    const texts::TextTable table;
    const settings::Settings settings = OnPage(2);
    for (const bool escape : {false, true}) {
        FindDialog dialog(table, settings);
        const auto& c = dialog.controls();
        dialog.show();
        c.tagText[0]->setText(QStringLiteral("changed"));
        c.compareName->setChecked(false);
        c.pages->setCurrentIndex(0);
        if (escape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            c.cancel->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(dialog.choice(), FindChoice::None);
        EXPECT_TRUE(dialog.settings() == settings);
    }
}

TEST(FindDialogTest, OnDriveStaysOpenWhenNoFolderIsChosen)
{
    const texts::TextTable table;
    settings::Settings settings = OnPage(3);
    FindDialog dialog(table, settings);
    std::optional<std::string> folder;
    dialog.setSourceChooser([&folder] { return folder; });
    dialog.show();
    dialog.controls().onDrive->click();
    EXPECT_EQ(dialog.choice(), FindChoice::None);
    EXPECT_TRUE(dialog.isVisible());

    folder = "/media/cdrom/Music";
    dialog.controls().onDrive->click();
    EXPECT_EQ(dialog.choice(), FindChoice::OnDrive);
    EXPECT_EQ(dialog.sourcePath(), "/media/cdrom/Music");
    EXPECT_EQ(dialog.settings().findArea, 3);
}

// The pages share the letters of the tabs and buttons; on each page every
// check box, choice and field label has a letter of its own.
TEST(FindDialogTest, EveryLabelledControlHasItsOwnAltLetter)
{
    texts::TextTable texts;
    FindDialog dialog(texts, settings::Settings{});
    const auto take = [](const QString& text, QSet<QChar>& taken) {
        const qsizetype at = text.indexOf(u'&');
        EXPECT_TRUE(at >= 0 && at + 1 < text.size()) << text.toStdString();
        if (at < 0 || at + 1 >= text.size())
            return;
        const QChar letter = text[at + 1].toUpper();
        EXPECT_FALSE(taken.contains(letter)) << text.toStdString();
        taken.insert(letter);
    };
    const FindDialog::Controls& controls = dialog.controls();
    QSet<QChar> common;
    for (int i = 0; i < controls.pages->count(); ++i)
        take(controls.pages->tabText(i), common);
    for (const QPushButton* button : {controls.find, controls.onDrive, controls.cancel})
        take(button->text(), common);
    int labelled = 0;
    for (int i = 0; i < controls.pages->count(); ++i) {
        QSet<QChar> taken = common;
        const QWidget* page = controls.pages->widget(i);
        for (const QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
            take(button->text(), taken);
            ++labelled;
        }
        for (const QLabel* label : page->findChildren<QLabel*>()) {
            if (label->buddy() != nullptr) {
                take(label->text(), taken);
                ++labelled;
            }
        }
    }
    // Name: 3 choices and Match case; Property: 6 terms; Tag: 6 fields;
    // Duplicates: 2 comparisons and 3 choices.
    EXPECT_EQ(labelled, 4 + 6 + 6 + 5);
}

} // namespace
} // namespace velmora::gui
