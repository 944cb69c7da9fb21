// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/GuiFixture.h"
#include "gui/mainwindow/FileListModel.h"
#include "platform/fakes/MemorySettingsStore.h"

#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace velmora::gui {
namespace {

using testing::SampleCollectionBytes;

class SettingsTest : public ::testing::Test {
protected:
    std::unique_ptr<MainWindow> Start(const QString& commandLine = {})
    {
        // Each start is a new run of the program over the same store.
        apps.push_back(std::make_unique<Application>(
            Services{files, volumes, locale, clock, &store}, dialogs, "/home/user", texts));
        auto window = std::make_unique<MainWindow>(*apps.back());
        window->StartUp(commandLine);
        return window;
    }

    std::string SamplePath()
    {
        const std::string path = dir.file("sample.col");
        velmora::testing::WriteBytes(path, SampleCollectionBytes());
        return path;
    }

    const settings::StoredValue* Stored(std::string_view name) const
    {
        for (const settings::StoredValue& value : store.values) {
            if (value.name == name)
                return &value;
        }
        return nullptr;
    }

    velmora::testing::TestDir dir;
    fakes::FaultyFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeLocale locale;
    fakes::FakeVolumes volumes;
    texts::TextTable texts;
    testing::FakeUserDialogs dialogs;
    fakes::MemorySettingsStore store;
    std::vector<std::unique_ptr<Application>> apps;
};

TEST_F(SettingsTest, FirstStartGivesANewCollectionAndTheHomeFolder)
{
    auto window = Start();
    EXPECT_EQ(window->store().tree().childCount(window->store().tree().root()), 0u);
    EXPECT_EQ(window->application().folders().lastOpen, QStringLiteral("/home/user"));
    EXPECT_FALSE(window->listView()->isColumnHidden(6));
    EXPECT_EQ(window->listModel()->sortColumn(), 0);
    EXPECT_GE(window->width(), 640);
}

TEST_F(SettingsTest, CancelledCloseWritesNothingAndACloseWritesEverything)
{
    auto window = Start(QString::fromStdString(SamplePath()));
    window->show();
    window->store().setModified();
    dialogs.messageAnswers = {3};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(store.writes, 0);
    window->action(Command::TagInfo)->trigger();
    dialogs.messageAnswers = {2};
    EXPECT_TRUE(window->close());
    ASSERT_EQ(store.writes, 1);
    ASSERT_NE(Stored("CurrentCollection"), nullptr);
    EXPECT_EQ(Stored("CurrentCollection")->text, SamplePath());
    EXPECT_EQ(Stored("LastCol1")->text, SamplePath());
    EXPECT_EQ(Stored("TagInfo")->number, 0);
    EXPECT_EQ(Stored("Column0")->number, 300);
}

TEST_F(SettingsTest, ViewOptionsAndAutoOpenAreRestored)
{
    const std::string path = SamplePath();
    {
        auto window = Start(QString::fromStdString(path));
        window->show();
        window->action(Command::TagInfo)->trigger();
        window->action(Command::GridLines)->trigger();
        window->listView()->horizontalHeader()->setSortIndicator(4, Qt::DescendingOrder);
        EXPECT_TRUE(window->close());
    }
    for (settings::StoredValue& value : store.values) {
        if (value.name == "AutoOpen")
            value.number = 1;
    }
    // A command-line file that does not load is told as Open tells it, and
    // passed over.
    const QString missing = QString::fromStdString(dir.file("missing.col"));
    auto window = Start(missing);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Can not open the file: ") + missing +
                                            QStringLiteral("\r\nNo such file or directory"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(window->store().currentPath(), path);
    EXPECT_TRUE(window->listView()->isColumnHidden(1));
    EXPECT_TRUE(window->listView()->showGrid());
    EXPECT_FALSE(window->action(Command::TagInfo)->isChecked());
    EXPECT_EQ(window->listModel()->sortColumn(), 4);
    EXPECT_TRUE(window->listModel()->descending());
}

TEST_F(SettingsTest, RestoredBoundsAreFittedToTheScreen)
{
    {
        auto window = Start();
        window->show();
        EXPECT_TRUE(window->close());
    }
    // Bounds of a session on a larger screen or with another scale factor.
    for (settings::StoredValue& value : store.values) {
        if (value.name == "Left")
            value.number = 2500;
        else if (value.name == "Top")
            value.number = -300;
        else if (value.name == "Width")
            value.number = 5000;
        else if (value.name == "Height")
            value.number = 4000;
    }
    auto window = Start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_GE(screen.width(), 640);
    ASSERT_GE(screen.height(), 480);
    EXPECT_TRUE(screen.contains(window->geometry()));
    EXPECT_EQ(window->width(), screen.width());
}

} // namespace
} // namespace velmora::gui
