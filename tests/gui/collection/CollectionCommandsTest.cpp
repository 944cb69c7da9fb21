// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/collection/CollectionCommands.h"

#include "gui/GuiFixture.h"
#include "gui/collection/Statistic.h"
#include "gui/mainwindow/ViewTreeModel.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace velmora::gui {
namespace {

using testing::GuiTest;
using testing::SampleCollectionBytes;

class CollectionCommandsTest : public GuiTest {
protected:
    /// The sample collection loaded, its current path `path`, and then
    /// changed (as any command that edits it would).
    QString LoadChangedSample()
    {
        const QString path = LoadSample();
        window->store().setModified();
        window->UpdateMenuState();
        return path;
    }

    void ExpectAskedToSave(std::size_t index = 0)
    {
        ASSERT_GT(dialogs.messages.size(), index);
        const MessageRequest& question = dialogs.messages[index];
        EXPECT_EQ(
            question.text,
            QStringLiteral("The collection has changed. Would you like to save the changes?"));
        EXPECT_EQ(question.caption, QStringLiteral("Confirmation"));
        EXPECT_EQ(question.button1, QStringLiteral("Yes"));
        EXPECT_EQ(question.button2, QStringLiteral("No"));
        EXPECT_EQ(question.button3, QStringLiteral("Cancel"));
        EXPECT_EQ(question.defaultButton, 1);
        EXPECT_EQ(question.icon, MessageIcon::Question);
    }

    void ExpectError(const MessageRequest& message, const QString& text)
    {
        EXPECT_EQ(message.text, text);
        EXPECT_EQ(message.caption, QStringLiteral("Error"));
        EXPECT_EQ(message.button1, QStringLiteral("Ok"));
        EXPECT_TRUE(message.button2.isEmpty());
        EXPECT_EQ(message.icon, MessageIcon::Error);
    }

    std::size_t VolumeCount() const
    {
        return window->store().tree().childCount(window->store().tree().root());
    }
};

TEST_F(CollectionCommandsTest, EmptyCollectionMenuState)
{
    // Tool buttons are disabled, never hidden, so the bar keeps its place.
    for (const Command c :
         {Command::Save, Command::Report, Command::Delete, Command::Sort, Command::Search}) {
        EXPECT_FALSE(window->action(c)->isEnabled());
        EXPECT_FALSE(window->toolAction(c)->isEnabled());
        EXPECT_TRUE(window->toolAction(c)->isVisible());
    }
    EXPECT_TRUE(window->action(Command::New)->isEnabled());
    EXPECT_TRUE(window->action(Command::Open)->isEnabled());
    EXPECT_TRUE(window->action(Command::Statistics)->isEnabled());
    EXPECT_TRUE(window->toolAction(Command::Statistics)->isEnabled());
    EXPECT_EQ(window->treeModel()->rowCount(), 0);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled[*] \u2013 Velmora"));
}

TEST_F(CollectionCommandsTest, LoadedCollectionShowsVolumeCommandsAndCaption)
{
    const QString path = LoadSample();
    EXPECT_EQ(window->windowTitle(),
              QFileInfo(path).fileName() + QStringLiteral("[*] \u2013 Velmora"));
    EXPECT_EQ(window->treeModel()->rowCount(), 2);
    EXPECT_TRUE(window->toolAction(Command::Delete)->isEnabled());
    EXPECT_TRUE(window->toolAction(Command::Sort)->isEnabled());
    EXPECT_FALSE(window->toolAction(Command::Save)->isEnabled());
    EXPECT_FALSE(window->store().modified());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CollectionCommandsTest, NewWithoutChangesAsksNothing)
{
    LoadSample();
    window->action(Command::New)->trigger();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(VolumeCount(), 0u);
    EXPECT_TRUE(window->store().currentPath().empty());
}

TEST_F(CollectionCommandsTest, NewAnsweredNoDiscardsTheChanges)
{
    const QString path = LoadChangedSample();
    const auto before = std::filesystem::last_write_time(path.toStdString());
    dialogs.messageAnswers = {2};
    window->action(Command::New)->trigger();
    ExpectAskedToSave();
    EXPECT_EQ(VolumeCount(), 0u);
    EXPECT_FALSE(window->store().modified());
    EXPECT_EQ(std::filesystem::last_write_time(path.toStdString()), before);
    EXPECT_EQ(dialogs.unscripted, 0);
}

TEST_F(CollectionCommandsTest, NewAnsweredYesSavesToTheCurrentPathFirst)
{
    const QString path = LoadChangedSample();
    std::filesystem::remove(path.toStdString());
    dialogs.messageAnswers = {1};
    window->action(Command::New)->trigger();
    ExpectAskedToSave();
    EXPECT_TRUE(dialogs.saveRequests.empty()); // the current path is used
    EXPECT_TRUE(std::filesystem::exists(path.toStdString()));
    EXPECT_EQ(VolumeCount(), 0u);
}

TEST_F(CollectionCommandsTest, YesWithoutASaveStopsNewOpenAndClose)
{
    // Untitled, so Yes leads to the save dialog: the sample imported into a
    // new collection.
    const QString sample = LoadSample();
    window->commands().NewCollection();
    dialogs.openAnswers = {sample};
    dialogs.messageAnswers = {1};
    window->action(Command::Import)->trigger();
    dialogs.messages.clear();
    ASSERT_EQ(VolumeCount(), 2u);
    ASSERT_TRUE(window->store().modified());
    window->show();

    dialogs.messageAnswers = {1};
    dialogs.saveAnswers = {QString()};
    window->action(Command::New)->trigger();
    ExpectAskedToSave();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("Save as"));
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("Collection file (*.col)"));
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("col"));
    EXPECT_EQ(VolumeCount(), 2u);
    EXPECT_TRUE(window->store().modified());

    dialogs.messageAnswers = {1};
    dialogs.saveAnswers = {QString()};
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->store().modified());

    // A save that fails (077) stops Open as well.
    dialogs.messages.clear();
    const QString target = QString::fromStdString(dir.file("target.col"));
    files.failCreate = true;
    dialogs.messageAnswers = {1, 1};
    dialogs.saveAnswers = {target};
    EXPECT_FALSE(window->commands().OpenCollection(sample));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    ExpectError(dialogs.messages[1], QStringLiteral("Can not save in the file: ") + target);
    EXPECT_EQ(VolumeCount(), 2u);
    EXPECT_TRUE(window->store().modified());
    EXPECT_TRUE(window->store().currentPath().empty());
    EXPECT_EQ(dialogs.unscripted, 0);
}

TEST_F(CollectionCommandsTest, NewAnsweredCancelOrClosedKeepsTheCollection)
{
    for (const int answer : {3, 0}) {
        dialogs.messages.clear();
        LoadChangedSample();
        dialogs.messageAnswers = {answer};
        window->action(Command::New)->trigger();
        ExpectAskedToSave();
        EXPECT_EQ(VolumeCount(), 2u);
        EXPECT_TRUE(window->store().modified());
    }
}

TEST_F(CollectionCommandsTest, OpenAnsweredCancelLoadsNothing)
{
    LoadChangedSample();
    const std::string other = dir.file("other.col");
    velmora::testing::WriteBytes(other, collection::CollectionText(0, 0, 0, 0, 1) + "\r\n");
    dialogs.openAnswers = {QString::fromStdString(other)};
    dialogs.messageAnswers = {3};
    window->application().folders().lastOpen = QStringLiteral("/elsewhere/");
    window->action(Command::Open)->trigger();
    ExpectAskedToSave();
    EXPECT_EQ(VolumeCount(), 2u);
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].title, QStringLiteral("Open"));
    EXPECT_EQ(dialogs.openRequests[0].filter,
              QStringLiteral("Collection file (*.col);;All files (*)"));
    const QString folder = QString::fromStdString(dir.path().string() + "/");
    // The dialog starts in the open collection's folder; the open folder
    // follows the chosen file even though nothing opened.
    EXPECT_EQ(dialogs.openRequests[0].folder, folder);
    EXPECT_EQ(window->application().folders().lastOpen, folder);
}

TEST_F(CollectionCommandsTest, OpenFailureTellsTheFileAndKeepsTheCollection)
{
    const QString path = LoadSample();
    const QString missing = QString::fromStdString(dir.file("missing.col"));
    EXPECT_FALSE(window->commands().OpenCollection(missing));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectError(dialogs.messages[0], QStringLiteral("Can not open the file: ") + missing +
                                         QStringLiteral("\r\nNo such file or directory"));
    EXPECT_EQ(VolumeCount(), 2u);
    EXPECT_EQ(window->windowTitle(),
              QFileInfo(path).fileName() + QStringLiteral("[*] \u2013 Velmora"));
}

TEST_F(CollectionCommandsTest, EmptyFileIsRefused)
{
    const std::string empty = dir.file("empty.col");
    velmora::testing::WriteBytes(empty, "");
    EXPECT_FALSE(window->commands().OpenCollection(QString::fromStdString(empty)));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectError(dialogs.messages[0], QStringLiteral("Can not open the file: ") +
                                         QString::fromStdString(empty) +
                                         QStringLiteral("\r\nThe file isn't valid"));
}

TEST_F(CollectionCommandsTest, BrokenIndentationKeepsTheReadPartUntitled)
{
    const std::string path = dir.file("broken.col");
    const std::string text = SampleCollectionBytes();
    // A line nested two levels below the one before.
    const std::string bytes =
        text.substr(0, text.find("\t\t")) + "\t\t\tx\r\n" + text.substr(text.find("\t\t"));
    velmora::testing::WriteBytes(path, bytes);
    dialogs.messageAnswers = {1};
    EXPECT_TRUE(window->commands().OpenCollection(QString::fromStdString(path)));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectError(dialogs.messages[0],
                QStringLiteral("The file isn't valid: ") + QString::fromStdString(path));
    EXPECT_EQ(VolumeCount(), 1u);
    EXPECT_FALSE(window->waitWindow().isOpen());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled[*] \u2013 Velmora"));
    EXPECT_TRUE(window->store().modified());
    EXPECT_TRUE(window->action(Command::Save)->isEnabled());
    EXPECT_TRUE(window->store().recentFiles()[0].empty());

    // Save asks for a new name; cancelled, the file stays whole.
    dialogs.saveAnswers = {QString()};
    window->action(Command::Save)->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(velmora::testing::ReadBytes(path), bytes);
    EXPECT_EQ(dialogs.unscripted, 0);
}

// Broken after the first of the sample's five files: the status bar and
// Statistics both count the one file held.
TEST_F(CollectionCommandsTest, TheTotalsOfThePartReadAreThoseOfWhatIsHeld)
{
    const std::string path = dir.file("broken.col");
    const std::string text = SampleCollectionBytes();
    const std::size_t second = text.find("\t\t\t", text.find("\t\t\t") + 3);
    velmora::testing::WriteBytes(path,
                                 text.substr(0, second) + "\t\t\t\t\tx\r\n" + text.substr(second));
    dialogs.messageAnswers = {1};
    ASSERT_TRUE(window->commands().OpenCollection(QString::fromStdString(path)));
    window->SelectFirstVolume();
    EXPECT_EQ(window->statusText(3), QStringLiteral("1 Folder(s)"));
    EXPECT_EQ(window->statusText(4), QStringLiteral("1 File(s)"));
    const collection::CollectionTree& tree = window->store().tree();
    const Statistic statistic(tree.text(tree.root()), texts, ".", "/");
    EXPECT_EQ(statistic.value(3), QStringLiteral("1 Volume(s)"));
    EXPECT_EQ(statistic.value(4), QStringLiteral("1 File(s)"));
}

TEST_F(CollectionCommandsTest, SaveFailureIsToldAndTheCollectionStaysModified)
{
    const QString path = LoadChangedSample();
    files.failCreate = true;
    window->action(Command::Save)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectError(dialogs.messages[0], QStringLiteral("Can not save in the file: ") + path);
    EXPECT_TRUE(window->store().modified());
    EXPECT_TRUE(window->action(Command::Save)->isEnabled());
    EXPECT_FALSE(window->waitWindow().isOpen());
}

TEST_F(CollectionCommandsTest, WriteFailureIsToldLikeACreateFailure)
{
    const QString path = LoadChangedSample();
    files.failWriteAfter = 10;
    window->action(Command::Save)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectError(dialogs.messages[0], QStringLiteral("Can not save in the file: ") + path);
    EXPECT_TRUE(window->store().modified());
}

TEST_F(CollectionCommandsTest, SavingOverAFileChangedByAnotherProgramAsksFirst)
{
    const QString path = LoadChangedSample();
    // Another program saves the collection meanwhile: a new file in its place.
    const std::string other = SampleCollectionBytes() + "\t" +
                              testing::Bytes("OTHER[01]0[02]0[03]0[04]0[05]45002[06]3[07]") +
                              "\r\n";
    velmora::testing::WriteBytes(path.toStdString() + ".new", other);
    std::filesystem::rename(path.toStdString() + ".new", path.toStdString());

    dialogs.messageAnswers = {2};
    window->action(Command::Save)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const MessageRequest& question = dialogs.messages[0];
    EXPECT_EQ(question.text, QStringLiteral("The file was changed by another program: ") + path +
                                 QStringLiteral("\r\nWould you like to overwrite it?"));
    EXPECT_EQ(question.caption, QStringLiteral("Confirmation"));
    EXPECT_TRUE(question.button3.isEmpty());
    EXPECT_EQ(question.defaultButton, 2);
    EXPECT_EQ(velmora::testing::ReadBytes(path.toStdString()), other);
    EXPECT_TRUE(window->store().modified());

    dialogs.messageAnswers = {1};
    window->action(Command::Save)->trigger();
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(velmora::testing::ReadBytes(path.toStdString()).find("OTHER"), std::string::npos);
    EXPECT_FALSE(window->store().modified());

    // The file is now the one this window wrote.
    window->store().setModified();
    window->UpdateMenuState();
    window->action(Command::Save)->trigger();
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.unscripted, 0);
}

TEST_F(CollectionCommandsTest, SaveWaitsForAnotherProgramsLockThenTellsAndKeepsEverything)
{
    const QString path = LoadChangedSample();
    const std::string before = velmora::testing::ReadBytes(path.toStdString());
    // Another program changing the collection: flock(1) holds the lock
    // file the command line takes until its input ends.
    QProcess holder;
    holder.start(QStringLiteral("flock"),
                 {QString::fromStdString(dir.file(".sample.col.lock")), QStringLiteral("sh"),
                  QStringLiteral("-c"), QStringLiteral("echo held; read line")});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    window->commands().lockWait = std::chrono::milliseconds(300);

    dialogs.messageAnswers = {1};
    window->action(Command::Save)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectError(dialogs.messages[0],
                QStringLiteral("Another program is changing the collection: ") + path);
    EXPECT_EQ(velmora::testing::ReadBytes(path.toStdString()), before);
    EXPECT_TRUE(window->store().modified());
    EXPECT_TRUE(window->action(Command::Save)->isEnabled());
    EXPECT_FALSE(window->waitWindow().isOpen());

    // Once the other program is done, Save works.
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(10000));
    window->action(Command::Save)->trigger();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_FALSE(window->store().modified());
    EXPECT_EQ(dialogs.unscripted, 0);
}

TEST_F(CollectionCommandsTest, WriteProtectedCollectionIsToldWithTheReason)
{
    const QString path = LoadChangedSample();
    ASSERT_EQ(::chmod(path.toLocal8Bit().constData(), 0444), 0);
    window->action(Command::Save)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectError(dialogs.messages[0], QStringLiteral("Can not save in the file: ") + path +
                                         QStringLiteral("\r\nThe file is write-protected"));
    EXPECT_TRUE(window->store().modified());
}

TEST_F(CollectionCommandsTest, BackupFailureIsToldAndSavingGoesOn)
{
    const QString path = LoadChangedSample();
    window->store().setBackup(true);
    files.failLink = true;
    files.failRename = true;
    window->action(Command::Save)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectError(dialogs.messages[0], QStringLiteral("Can not save in the file: ") + path + u'~');
    EXPECT_FALSE(window->store().modified());
}

TEST_F(CollectionCommandsTest, SaveAsWritesTheChosenFileAndNamesTheWindow)
{
    LoadChangedSample();
    const QString target = QString::fromStdString(dir.file("copy.col"));
    dialogs.saveAnswers = {target};
    window->action(Command::SaveAs)->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("sample"));
    EXPECT_EQ(dialogs.saveRequests[0].folder, QString::fromStdString(dir.path().string()));
    EXPECT_TRUE(std::filesystem::exists(target.toStdString()));
    EXPECT_EQ(window->windowTitle(),
              QFileInfo(target).fileName() + QStringLiteral("[*] \u2013 Velmora"));
    EXPECT_FALSE(window->action(Command::Save)->isEnabled());
    EXPECT_EQ(window->store().recentFiles()[0], target.toStdString());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CollectionCommandsTest, ClosingAsksAndCancelOrCloseBoxKeepsTheWindowOpen)
{
    LoadChangedSample();
    window->show();
    dialogs.messageAnswers = {3};
    EXPECT_FALSE(window->close());
    dialogs.messageAnswers = {0};
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    dialogs.messageAnswers = {2};
    EXPECT_TRUE(window->close());
    EXPECT_EQ(dialogs.messages.size(), 3u);
}

TEST_F(CollectionCommandsTest, ClosingUnchangedAsksNothing)
{
    LoadSample();
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CollectionCommandsTest, ImportAddsVolumesAndTellsSuccess)
{
    const QString path = LoadSample();
    dialogs.openAnswers = {path};
    window->action(Command::Import)->trigger();
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].title, QStringLiteral("Import"));
    EXPECT_EQ(dialogs.openRequests[0].filter,
              QStringLiteral("Collection file (*.col *.vlm);;All files (*)"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("The importing finished successfully."));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Information"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(VolumeCount(), 4u);
    EXPECT_EQ(window->treeModel()->rowCount(), 4);
    EXPECT_TRUE(window->store().modified());
    EXPECT_TRUE(window->action(Command::Save)->isEnabled());
    EXPECT_EQ(window->windowTitle(),
              QFileInfo(path).fileName() + QStringLiteral("[*] \u2013 Velmora"));
}

TEST_F(CollectionCommandsTest, ImportFailureTellsTheFile)
{
    LoadSample();
    const QString bad = QString::fromStdString(dir.file("bad.col"));
    velmora::testing::WriteBytes(bad.toStdString(), "not a collection\r\n");
    dialogs.openAnswers = {bad};
    window->action(Command::Import)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ExpectError(dialogs.messages[0], QStringLiteral("Can not import from the file: ") + bad);
    EXPECT_EQ(VolumeCount(), 2u);
    EXPECT_FALSE(window->store().modified());
}

TEST_F(CollectionCommandsTest, RecentFilesMenuNumbersTheEntries)
{
    const QString first = LoadSample();
    const QString second = QString::fromStdString(dir.file("second.col"));
    velmora::testing::WriteBytes(second.toStdString(), SampleCollectionBytes());
    ASSERT_EQ(window->commands().LoadCollection(second), CollectionCommands::LoadOutcome::Loaded);
    emit window->recentFilesMenu()->aboutToShow();
    const QList<QAction*> items = window->recentFilesMenu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("&1 ") + second);
    EXPECT_EQ(items[1]->text(), QStringLiteral("&2 ") + first);
    // The Collection menu lists them too, before Exit.
    QMenu* menu = window->menuBar()->actions().value(0)->menu();
    emit menu->aboutToShow();
    const QList<QAction*> entries = menu->actions();
    const qsizetype exit = entries.indexOf(window->action(Command::Exit));
    ASSERT_GE(exit, 3);
    EXPECT_EQ(entries[exit - 3]->text(), items[0]->text());
    entries[exit - 2]->trigger();
    EXPECT_EQ(window->windowTitle(),
              QFileInfo(first).fileName() + QStringLiteral("[*] \u2013 Velmora"));
}

TEST_F(CollectionCommandsTest, ARecentFileThatCannotBeOpenedLeavesTheList)
{
    const QString first = LoadSample();
    const QString second = QString::fromStdString(dir.file("second.col"));
    velmora::testing::WriteBytes(second.toStdString(), SampleCollectionBytes());
    ASSERT_EQ(window->commands().LoadCollection(second), CollectionCommands::LoadOutcome::Loaded);
    window->commands().NewCollection();
    std::filesystem::remove(second.toStdString());
    emit window->recentFilesMenu()->aboutToShow();
    ASSERT_EQ(window->recentFilesMenu()->actions().size(), 2);
    window->recentFilesMenu()->actions()[0]->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Can not open the file: ") +
                                                    second + QStringLiteral("\r\n")));
    const collection::RecentFiles& recent = window->store().recentFiles();
    EXPECT_EQ(recent[0], first.toStdString());
    EXPECT_TRUE(recent[1].empty());
}

} // namespace
} // namespace velmora::gui
