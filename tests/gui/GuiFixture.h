// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Bytes.h"
#include "FakeUserDialogs.h"
#include "TestDir.h"
#include "collection/NodeText.h"
#include "core/collection/SongText.h"
#include "gui/app/Application.h"
#include "gui/collection/CollectionCommands.h"
#include "gui/mainwindow/MainWindow.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "system/Services.h"
#include "texts/TextTable.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace velmora::gui::testing {

using velmora::testing::Bytes;
using velmora::testing::SongText;

/// A collection of two volumes: "DEMO CD" holding the folder "Rock" (with
/// two songs) and two songs of its own; "SECOND" holding one song.
inline std::string SampleCollectionBytes()
{
    std::string text;
    // Appended piece by piece: GCC 12 at -O3 warns wrongly (-Wrestrict) about
    // "\t" + std::string.
    const auto line = [&text](int depth, const std::string& node) {
        text.append(static_cast<std::size_t>(depth), '\t').append(node).append("\r\n");
    };
    line(0, Bytes("[01]19605[02]1225[03]2[04]5[05]45000[06]"));
    line(1, Bytes("DEMO CD[01]15684[02]980[03]1[04]4[05]45000[06]1[07]"));
    line(2, Bytes("Rock[01]7842[02]490[03]0[04]2[05]"));
    line(3, SongText("b.mp3", "2"));
    line(3, SongText("a.mp3", "1"));
    line(2, SongText("z.mp3", "10"));
    line(2, SongText("Y.mp3", "9"));
    line(1, Bytes("SECOND[01]3921[02]245[03]0[04]1[05]45001[06]2[07]"));
    line(2, SongText("one.mp3", "1"));
    return text;
}

/// A main window over an application on fakes, with scripted dialogs.
class GuiTest : public ::testing::Test {
protected:
    GuiTest()
    {
        window = std::make_unique<MainWindow>(app);
        window->StartUp(QString());
    }

    /// Writes the sample collection and loads it.
    QString LoadSample()
    {
        const std::string path = dir.file("sample.col");
        velmora::testing::WriteBytes(path, SampleCollectionBytes());
        const QString qpath = QString::fromStdString(path);
        EXPECT_EQ(window->commands().LoadCollection(qpath),
                  CollectionCommands::LoadOutcome::Loaded);
        return qpath;
    }

    velmora::testing::TestDir dir;
    fakes::FaultyFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeLocale locale;
    fakes::FakeVolumes volumes;
    texts::TextTable texts;
    FakeUserDialogs dialogs;
    Application app{Services{files, volumes, locale, clock}, dialogs, {}, texts};
    std::unique_ptr<MainWindow> window;
};

} // namespace velmora::gui::testing
