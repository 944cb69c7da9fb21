// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FakeUserDialogs.h"
#include "TestDir.h"
#include "gui/app/Application.h"
#include "gui/mainwindow/MainWindow.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "platform/fakes/MemorySettingsStore.h"
#include "system/Services.h"
#include "texts/TextTable.h"

#include <QMenuBar>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace velmora::gui::testing {

/// Runs of the program over one settings store and one data folder: each
/// Start() is a new run, with a new application and main window.
class RunTest : public ::testing::Test {
protected:
    std::unique_ptr<MainWindow> Start()
    {
        apps.push_back(
            std::make_unique<Application>(Services{files, volumes, locale, clock, &store}, dialogs,
                                          "/home/user", texts::TextTable{}, dataFolder()));
        auto window = std::make_unique<MainWindow>(*apps.back());
        window->StartUp({});
        return window;
    }

    /// The data folder, ending in "/".
    std::string dataFolder() const { return data.path().string() + "/"; }

    /// Writes a file into the data folder.
    void DataFile(const std::string& name, const std::string& bytes)
    {
        velmora::testing::WriteBytes(data.file(name), bytes);
    }

    /// A pack named `language` whose texts are the default texts with
    /// `prefix` before each.
    void Pack(const std::string& name, const std::string& language, const std::string& prefix)
    {
        std::string bytes = "000" + language + "\r\n";
        for (std::size_t n = 1; n < texts::kTextCount; ++n) {
            const std::string_view line = texts::kDefaultLines[n];
            bytes.append(line.substr(0, 3)).append(prefix).append(line.substr(3)).append("\r\n");
        }
        DataFile(name, bytes);
    }

    /// The caption of the first menu (Collection), as the window shows it.
    static QString FirstMenu(const MainWindow& window)
    {
        return window.menuBar()->actions().value(0)->text().remove(u'&');
    }

    velmora::testing::TestDir data;
    fakes::FaultyFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeLocale locale;
    fakes::FakeVolumes volumes;
    FakeUserDialogs dialogs;
    fakes::MemorySettingsStore store;
    std::vector<std::unique_ptr<Application>> apps;
};

} // namespace velmora::gui::testing
