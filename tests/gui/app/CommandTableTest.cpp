// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/CommandTable.h"

#include "gui/GuiFixture.h"

#include <QAction>
#include <gtest/gtest.h>
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

} // namespace
} // namespace velmora::gui
