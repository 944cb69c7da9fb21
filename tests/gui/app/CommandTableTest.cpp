// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/CommandTable.h"

#include "gui/GuiFixture.h"
#include "gui/app/MenuMnemonics.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace velmora::gui {
namespace {

using testing::GuiTest;

// The rules of the table the main window registers: which commands can run
// in which state of the collection and the current node.
class CommandTableTest : public GuiTest {
protected:
    std::vector<Command> EnabledIn(const CommandState& state) const
    {
        std::vector<Command> enabled;
        for (int c = 0; c < kCommandCount; ++c) {
            if (window->commandTable().Enabled(static_cast<Command>(c), state))
                enabled.push_back(static_cast<Command>(c));
        }
        return enabled;
    }
};

// Commands that run whatever the state.
const std::vector<Command> kAlwaysEnabled = {
    Command::New,        Command::Open,    Command::SaveAs,   Command::Import,
    Command::Statistics, Command::Exit,    Command::Add,      Command::GridLines,
    Command::HotTrack,   Command::TagInfo, Command::ToolBar,  Command::StatusBar,
    Command::TagEditor,  Command::CdCover, Command::Options,  Command::Info,
    Command::History,    Command::License, Command::Homepage, Command::Feedback,
    Command::Donation,   Command::About,   Command::Update,   Command::DeleteThis,
    Command::Rename,     Command::Tag,     Command::Selected,
};

TEST_F(CommandTableTest, EveryCommandHasARow)
{
    for (int c = 0; c < kCommandCount; ++c)
        EXPECT_NE(window->commandTable().Find(static_cast<Command>(c)), nullptr) << c;
}

TEST_F(CommandTableTest, AnEmptyCollectionCannotBeSavedSortedOrDeletedFrom)
{
    EXPECT_EQ(EnabledIn(CommandState{}), kAlwaysEnabled);
}

TEST_F(CommandTableTest, AChangedCollectionWithAVolumeSelectedEnablesSaveDeleteAndSort)
{
    const CommandState state{.modified = true,
                             .hasVolumes = true,
                             .hasNode = true,
                             .nodeIsVolume = true,
                             .nodeHasChildren = true};
    const std::vector<Command> expected = {
        Command::New,      Command::Open,       Command::Save,       Command::SaveAs,
        Command::Import,   Command::Statistics, Command::Report,     Command::Exit,
        Command::Add,      Command::Delete,     Command::Sort,       Command::GridLines,
        Command::HotTrack, Command::TagInfo,    Command::ToolBar,    Command::StatusBar,
        Command::Search,   Command::TagEditor,  Command::CdCover,    Command::Options,
        Command::Info,     Command::History,    Command::License,    Command::Homepage,
        Command::Feedback, Command::Donation,   Command::About,      Command::Play,
        Command::Enqueue,  Command::Update,     Command::DeleteThis, Command::Rename,
        Command::Playlist, Command::Tag,        Command::Selected,
    };
    EXPECT_EQ(EnabledIn(state), expected);
    // Save needs changes; Report, Delete, Sort and Search need volumes.
    EXPECT_EQ(EnabledIn({.modified = true}).size(), kAlwaysEnabled.size() + 1);
    EXPECT_EQ(EnabledIn({.hasVolumes = true}).size(), kAlwaysEnabled.size() + 4);
}

TEST_F(CommandTableTest, TheWindowsActionsFollowTheRules)
{
    LoadSample();
    window->show();
    window->SelectFirstVolume();
    window->store().setModified();
    window->UpdateMenuState();
    const CommandState state = window->commandState();
    EXPECT_TRUE(state.modified);
    EXPECT_TRUE(state.hasVolumes);
    EXPECT_TRUE(state.nodeIsVolume);
    for (int c = 0; c < kCommandCount; ++c) {
        const auto command = static_cast<Command>(c);
        EXPECT_EQ(window->action(command)->isEnabled(),
                  window->commandTable().Enabled(command, state))
            << c;
    }
}

// Every menu, the context menu and the menu bar itself reach each of their
// entries by an Alt letter of its own, in the default texts and in every
// shipped language: the letters are made from whatever texts are active.
TEST_F(CommandTableTest, EveryShippedLanguageGivesEachMenuEntryItsOwnAltLetter)
{
    std::vector<std::pair<std::string, texts::TextTable>> tables;
    tables.emplace_back("default", texts::TextTable{});
    for (const auto& entry : std::filesystem::directory_iterator(VELMORA_PACKS_DIR)) {
        if (entry.path().extension() == ".lng")
            tables.emplace_back(entry.path().filename().string(),
                                texts::TextTable::FromPackBytes(
                                    velmora::testing::ReadBytes(entry.path().string())));
    }
    ASSERT_GE(tables.size(), 6u);
    const auto checkUnique = [](const QList<QAction*>& entries, const std::string& where) {
        QSet<QChar> seen;
        for (const QAction* entry : entries) {
            // A caption without a letter or digit ("?") has no key to give.
            const QString text = entry->text();
            if (entry->isSeparator() || std::none_of(text.begin(), text.end(),
                                                     [](QChar c) { return c.isLetterOrNumber(); }))
                continue;
            const QChar letter = MnemonicOf(entry->text());
            EXPECT_FALSE(letter.isNull()) << where << ": " << entry->text().toStdString();
            EXPECT_FALSE(seen.contains(letter)) << where << ": " << entry->text().toStdString();
            seen.insert(letter);
        }
    };
    for (auto& [name, table] : tables) {
        app.texts().Replace(std::move(table));
        checkUnique(window->menuBar()->actions(), name + " menu bar");
        for (const QAction* title : window->menuBar()->actions())
            checkUnique(title->menu()->actions(), name + " " + title->text().toStdString());
        checkUnique(window->PrepareContextMenu()->actions(), name + " context menu");
    }
}

} // namespace
} // namespace velmora::gui
