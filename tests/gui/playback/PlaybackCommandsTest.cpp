// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/playback/PlaybackCommands.h"

#include "gui/GuiFixture.h"
#include "gui/RecordingLauncher.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/mainwindow/ViewTreeModel.h"
#include "gui/playback/Launcher.h"

#include <QAction>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <set>

namespace velmora::gui::testing {
namespace {

using collection::NodeId;

// The sample's "DEMO CD" (serial 1) is mounted at demo/ with its files;
// "SECOND" (serial 2) is not mounted.
class PlaybackCommandsTest : public GuiTest {
protected:
    PlaybackCommandsTest()
    {
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(dir.file("cache")));
        app.setLauncher(launcher);
        for (const char* file :
             {"demo/Rock/b.mp3", "demo/Rock/a.mp3", "demo/z.mp3", "demo/Y.mp3"}) {
            std::filesystem::create_directories(
                std::filesystem::path(dir.file(file)).parent_path());
            velmora::testing::WriteBytes(dir.file(file), "x");
        }
        VolumeInfo demo;
        demo.root = dir.file("demo");
        demo.label = "demo cd";
        demo.serial = 1;
        volumes.setVolumes({demo});
        LoadSample();
    }
    ~PlaybackCommandsTest() override { qunsetenv("XDG_CACHE_HOME"); }

    NodeId NodeNamed(std::string_view name) const
    {
        const collection::CollectionTree& tree = window->store().tree();
        for (NodeId node : tree.preOrder())
            if (collection::NodeName(tree.text(node)) == name)
                return node;
        return collection::kNoNode;
    }

    std::string Playlist() const { return dir.file("cache/velmora/vlm.m3u"); }
    std::string Demo(const char* name) const { return dir.file("demo") + "/" + name; }

    RecordingLauncher launcher;
};

// Enqueue hands the temporary playlist of the volume's files, in tree order,
// to the player the settings name, as an argument list; a player that does
// not start is told.
TEST_F(PlaybackCommandsTest, EnqueueWritesTheBranchAndStartsThePlayerSet)
{
    app.settings().playerCommand = "\"my player\" --add \"%f\"";
    window->playbackCommands().Enqueue({NodeNamed("DEMO CD")});

    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0], (std::vector<std::string>{"my player", "--add", Playlist()}));
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_EQ(dialogs.messages.size(), 0u);
    EXPECT_EQ(velmora::testing::ReadBytes(Playlist()),
              Demo("Rock/b.mp3") + "\r\n" + Demo("Rock/a.mp3") + "\r\n" + Demo("z.mp3") + "\r\n" +
                  Demo("Y.mp3") + "\r\n");

    launcher.startWorks = false;
    dialogs.messageAnswers = {1};
    window->playbackCommands().Enqueue({NodeNamed("Rock")});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Can not start the player: my player"));
}

// Without a player set, the first known player installed is used, and
// without one the desktop's opener gets the playlist.
TEST_F(PlaybackCommandsTest, EnqueueFallsBackToAKnownPlayerThenToTheOpener)
{
    launcher.installed = {"vlc", "deadbeef"};
    window->playbackCommands().Enqueue({NodeNamed("z.mp3")});
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].front(), "vlc");
    EXPECT_EQ(launcher.started[0].back(), Playlist());

    launcher.installed.clear();
    window->playbackCommands().Enqueue({NodeNamed("z.mp3")});
    EXPECT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.opened, std::vector<std::string>{Playlist()});
}

// Enter or a double-click on a file row plays the file itself; on a folder
// row it opens the folder in the tree.
TEST_F(PlaybackCommandsTest, OpeningAListRowPlaysFilesAndEntersFolders)
{
    window->ShowNode(NodeNamed("DEMO CD"));
    QTableView* list = window->listView();
    const auto rowOf = [&](std::string_view name) {
        for (int row = 0; row < window->listModel()->rowCount(); ++row)
            if (window->listModel()->nodeAt(row) == NodeNamed(name))
                return window->listModel()->index(row, 0);
        return QModelIndex();
    };
    ASSERT_TRUE(rowOf("z.mp3").isValid());
    emit list->doubleClicked(rowOf("z.mp3"));
    EXPECT_EQ(launcher.opened, std::vector<std::string>{Demo("z.mp3")});

    emit list->doubleClicked(rowOf("Rock"));
    EXPECT_EQ(window->treeModel()->nodeOf(window->treeView()->currentIndex()), NodeNamed("Rock"));
    EXPECT_EQ(launcher.opened.size(), 1u);
}

// Enter acts on its press, and only while the list has the keyboard. The
// release of an Enter that closed a dialog, or was pressed in another
// window, reaches the list as well: it plays nothing, and so cannot open
// again the error message that the same key just closed.
TEST_F(PlaybackCommandsTest, EnterPlaysOnItsPressOnlyWhileTheListHasTheKeyboard)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTableView* list = window->listView();
    window->ShowNode(NodeNamed("z.mp3"));
    ASSERT_TRUE(list->hasFocus());

    QTest::keyRelease(list, Qt::Key_Return);
    EXPECT_TRUE(launcher.opened.empty());
    QTest::keyPress(list, Qt::Key_Return);
    EXPECT_EQ(launcher.opened, std::vector<std::string>{Demo("z.mp3")});
    QTest::keyRelease(list, Qt::Key_Return);
    QTest::keyPress(list, Qt::Key_Enter);
    QTest::keyRelease(list, Qt::Key_Enter);
    EXPECT_EQ(launcher.opened.size(), 2u);

    window->treeView()->setFocus();
    QTest::keyPress(list, Qt::Key_Return);
    EXPECT_EQ(launcher.opened.size(), 2u);

    // The volume of one.mp3 is not mounted: one message for one Enter.
    window->ShowNode(NodeNamed("one.mp3"));
    ASSERT_TRUE(list->hasFocus());
    dialogs.messageAnswers = {1};
    QTest::keyPress(list, Qt::Key_Return);
    QTest::keyRelease(list, Qt::Key_Return);
    QTest::keyRelease(list, Qt::Key_Return);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.unscripted, 0);
    EXPECT_EQ(launcher.opened.size(), 2u);
}

// With a player command set, Play hands it the file (or the playlist of a
// folder), as Enqueue does the playlist. When nothing can be started, the
// message names the file and the reason.
TEST_F(PlaybackCommandsTest, PlayUsesThePlayerSetAndTellsWhyAFileDidNotOpen)
{
    app.settings().playerCommand = "myplayer --play %f";
    window->playbackCommands().Play({NodeNamed("z.mp3")});
    window->playbackCommands().Play({NodeNamed("Rock")});
    EXPECT_EQ(launcher.started,
              (std::vector<std::vector<std::string>>{{"myplayer", "--play", Demo("z.mp3")},
                                                     {"myplayer", "--play", Playlist()}}));
    EXPECT_TRUE(launcher.opened.empty());

    launcher.startWorks = false;
    dialogs.messageAnswers = {1};
    window->playbackCommands().Play({NodeNamed("z.mp3")});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QString::fromStdString("Can not open the file: " + Demo("z.mp3") +
                                     "\r\nCan not start the player: myplayer"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);

    // Without a player set, the desktop's opener: it may find no program at
    // once, or tell so only once it ended.
    app.settings().playerCommand = " ";
    launcher.openWorks = false;
    dialogs.messageAnswers = {1, 1};
    window->playbackCommands().Play({NodeNamed("z.mp3")});
    launcher.openWorks = true;
    window->playbackCommands().Play({NodeNamed("Rock")});
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{Demo("z.mp3"), Playlist()}));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    ASSERT_TRUE(launcher.openFailed);
    launcher.openFailed();
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[1].text,
              QString::fromStdString("Can not open the file: " + Demo("z.mp3") +
                                     "\r\nNo program is set to open this file"));
    EXPECT_EQ(dialogs.messages[1].caption, QStringLiteral("Error"));
    EXPECT_EQ(dialogs.messages[2].text,
              QString::fromStdString("Can not open the file: " + Playlist() +
                                     "\r\nNo program is set to open this file"));
    EXPECT_EQ(dialogs.unscripted, 0);
}

// The desktop's launcher runs xdg-open and tells when it ended without a
// program for the file (its exit code 3, "no method available"); a file
// that was opened is not told. A fake xdg-open on the PATH stands in.
TEST(DesktopLauncher, AnOpenerThatFindsNoProgramIsTold)
{
    velmora::testing::TestDir dir;
    const std::string bin = dir.file("bin");
    std::filesystem::create_directories(bin);
    velmora::testing::WriteBytes(bin + "/xdg-open",
                                 "#!/bin/sh\n"
                                 ": >\"$(dirname \"$0\")/asked for $(basename \"$1\")\"\n"
                                 "case \"$1\" in *.mp3) exit 3 ;; esac\n");
    std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(bin) + ":" + path);
    const auto asked = [&bin](const char* name) {
        return std::filesystem::exists(bin + "/asked for " + name);
    };

    int failures = 0;
    {
        DesktopLauncher launcher;
        EXPECT_TRUE(launcher.Open("/music/a b.mp3", [&failures] { ++failures; }));
        EXPECT_TRUE(launcher.Open("/music/list.m3u", [&failures] { failures += 100; }));
        for (int i = 0; i < 500 && (failures == 0 || !asked("list.m3u")); ++i)
            QTest::qWait(10);
        QTest::qWait(100); // for the end of the opener of list.m3u
    }
    qputenv("PATH", path);
    EXPECT_TRUE(asked("a b.mp3"));
    EXPECT_TRUE(asked("list.m3u"));
    EXPECT_EQ(failures, 1);
}

// A playlist of a folder whose files are partly gone holds the others and
// says how many it left out.
TEST_F(PlaybackCommandsTest, APlaylistSaysHowManyFilesItLeftOut)
{
    std::filesystem::remove(Demo("Rock/a.mp3"));
    const std::string target = dir.file("rock.m3u");
    dialogs.saveAnswers = {QString::fromStdString(target)};
    dialogs.messageAnswers = {1};
    window->playbackCommands().SavePlaylist({NodeNamed("Rock")});

    EXPECT_EQ(velmora::testing::ReadBytes(target), Demo("Rock/b.mp3") + "\r\n");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Items that can not be found were left out: 1"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(launcher.opened.empty());
}

// F5, F6 and the context menu follow the node of the view that has the
// focus: Playlist only for volumes and folders.
TEST_F(PlaybackCommandsTest, TheCommandsFollowTheCurrentNode)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->ShowNode(NodeNamed("Rock"));
    EXPECT_TRUE(window->action(Command::Play)->isEnabled());
    EXPECT_TRUE(window->action(Command::Playlist)->isEnabled());
    window->ShowNode(NodeNamed("a.mp3"));
    EXPECT_TRUE(window->action(Command::Enqueue)->isEnabled());
    EXPECT_FALSE(window->action(Command::Playlist)->isEnabled());
}

// A volume that is not mounted is named with its label and serial; nothing
// is written or started.
TEST_F(PlaybackCommandsTest, AMissingVolumeIsToldWithItsLabelAndSerial)
{
    dialogs.messageAnswers = {1};
    window->playbackCommands().Play({NodeNamed("one.mp3")});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Can not find the source of the selected item\r\n"
                             "Drive label: \"SECOND\"\r\nDrive serial: 2"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_FALSE(std::filesystem::exists(Playlist()));
}

// Playlist proposes the node's name, writes a real PLS for ".pls" and
// remembers the folder; nothing is handed to a player.
TEST_F(PlaybackCommandsTest, SavingAPlsPlaylist)
{
    const std::string target = dir.file("lists/rock.pls");
    std::filesystem::create_directories(dir.file("lists"));
    dialogs.saveAnswers = {QString::fromStdString(target)};
    window->playbackCommands().SavePlaylist({NodeNamed("Rock")});

    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("Rock"));
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("Save as playlist"));
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("m3u"));
    EXPECT_EQ(velmora::testing::ReadBytes(target), "[playlist]\r\nFile1=" + Demo("Rock/b.mp3") +
                                                       "\r\nFile2=" + Demo("Rock/a.mp3") +
                                                       "\r\nNumberOfEntries=2\r\nVersion=2\r\n");
    EXPECT_EQ(window->application().folders().lastSave, QString::fromStdString(dir.file("lists/")));
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_EQ(dialogs.messages.size(), 0u);
}

// The save dialog answered with the collection itself, then with a symbolic
// link to it: both are refused, and the collection stays as it was.
TEST_F(PlaybackCommandsTest, SavingAPlaylistOverTheCollectionIsRefused)
{
    const std::string collection = window->store().currentPath();
    const std::string before = velmora::testing::ReadBytes(collection);
    const std::string link = dir.file("lists/sample.m3u");
    std::filesystem::create_directories(dir.file("lists"));
    std::filesystem::create_symlink(collection, link);
    dialogs.saveAnswers = {QString::fromStdString(collection), QString::fromStdString(link)};
    dialogs.messageAnswers = {1, 1};
    window->playbackCommands().SavePlaylist({NodeNamed("Rock")});
    window->playbackCommands().SavePlaylist({NodeNamed("Rock")});

    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Can not save in the file: ") + QString::fromStdString(collection) +
                  QStringLiteral("\r\nThe file is the collection itself"));
    EXPECT_EQ(dialogs.messages[1].text,
              QStringLiteral("Can not save in the file: ") + QString::fromStdString(link) +
                  QStringLiteral("\r\nThe file is the collection itself"));
    EXPECT_EQ(dialogs.messages[1].caption, QStringLiteral("Error"));
    EXPECT_EQ(velmora::testing::ReadBytes(collection), before);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_EQ(dialogs.unscripted, 0);
}

} // namespace
} // namespace velmora::gui::testing
