// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/volumes/VolumeCommands.h"

#include "gui/GuiFixture.h"
#include "gui/ModalScript.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/mainwindow/ViewTreeModel.h"
#include "gui/volumes/ScanDialog.h"
#include "gui/volumes/SourcePath.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <gtest/gtest.h>

namespace velmora::gui {
namespace {

using collection::NodeId;
using testing::GuiTest;
using testing::ModalScript;

class VolumeCommandsTest : public GuiTest {
protected:
    VolumeCommandsTest()
    {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        volumes.setVolumes({VolumeInfo{"/", "ROOT", 7, VolumeType::Fixed, "ext4", "/dev/sda1"}});
        LoadSample();
    }

    const collection::CollectionTree& Tree() const { return window->store().tree(); }
    std::size_t VolumeCount() const { return Tree().childCount(Tree().root()); }
    QString VolumeName(int row) const
    {
        return window->treeModel()->index(row, 0).data().toString();
    }
};

TEST_F(VolumeCommandsTest, SortAnsweredNoChangesNothing)
{
    dialogs.messageAnswers = {2};
    window->action(Command::Sort)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Do you really want to sort the collection?"));
    EXPECT_EQ(dialogs.messages[0].defaultButton, 2);
    EXPECT_TRUE(dialogs.messages[0].button3.isEmpty());
    EXPECT_FALSE(window->store().modified());
    EXPECT_EQ(VolumeName(0), QStringLiteral("DEMO CD"));
}

TEST_F(VolumeCommandsTest, SortAnsweredYesSortsAndTells)
{
    dialogs.messageAnswers = {1, 1};
    window->action(Command::Sort)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("The sorting finished successfully."));
    EXPECT_EQ(dialogs.messages[1].icon, MessageIcon::Information);
    EXPECT_TRUE(window->store().modified());
    EXPECT_TRUE(window->action(Command::Save)->isEnabled());
    EXPECT_EQ(window->treeModel()->rowCount(), 2);
    EXPECT_FALSE(window->waitWindow().isOpen());
}

TEST_F(VolumeCommandsTest, DeleteThisVolumeAsksWithNoAsDefault)
{
    window->SelectFirstVolume();
    dialogs.messageAnswers = {2};
    window->action(Command::DeleteThis)->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Do you really want to delete this volume?"));
    EXPECT_EQ(dialogs.messages[0].defaultButton, 2);
    EXPECT_EQ(VolumeCount(), 2u);

    dialogs.messageAnswers = {1};
    window->SelectFirstVolume();
    window->action(Command::DeleteThis)->trigger();
    EXPECT_EQ(VolumeCount(), 1u);
    EXPECT_EQ(window->treeModel()->rowCount(), 1);
    EXPECT_EQ(VolumeName(0), QStringLiteral("SECOND"));
    EXPECT_TRUE(window->store().modified());
}

TEST_F(VolumeCommandsTest, RenameLabelKeepsThePlaceAndShowsTheNewName)
{
    window->SelectFirstVolume();
    dialogs.textAnswers = {QStringLiteral("MY DISC")};
    const QString oldName = VolumeName(0);
    window->action(Command::Rename)->trigger();
    ASSERT_EQ(dialogs.textRequests.size(), 1u);
    EXPECT_EQ(dialogs.textRequests[0].caption, QStringLiteral("Rename label"));
    EXPECT_EQ(dialogs.textRequests[0].prompt, QStringLiteral("Volume: ") + oldName);
    EXPECT_EQ(dialogs.textRequests[0].okText, QStringLiteral("Ok"));
    EXPECT_EQ(dialogs.textRequests[0].cancelText, QStringLiteral("Cancel"));
    EXPECT_EQ(VolumeName(0), QStringLiteral("MY DISC"));
    EXPECT_TRUE(window->store().modified());
    EXPECT_EQ(dialogs.unscripted, 0);
}

TEST_F(VolumeCommandsTest, ScanWindowAddsAVolumeFromAFolder)
{
    scan::ScanRequest request;
    request.sourcePath = VELMORA_TEST_DATA_DIR "/audio";
    request.label = "FIXTURES";
    request.serial = 9;
    const std::size_t before = Tree().size();
    EXPECT_TRUE(window->volumeCommands().RunScan(window->store().tree(), request));
    EXPECT_GT(Tree().size(), before);
    window->RebuildViewTree();
    EXPECT_EQ(window->treeModel()->rowCount(), 3);
    EXPECT_EQ(VolumeName(2), QStringLiteral("FIXTURES"));
}

TEST_F(VolumeCommandsTest, CancelledScanAnswersFalse)
{
    scan::ScanRequest request;
    request.sourcePath = VELMORA_TEST_DATA_DIR "/audio";
    request.label = "FIXTURES";
    request.serial = 9;
    const Services services{files, volumes, locale, clock};
    ScanDialog dialog(window->store().tree(), services, request, texts, window.get());
    QTimer::singleShot(0, &dialog, [&dialog] { static_cast<QDialog&>(dialog).reject(); });
    EXPECT_FALSE(dialog.Run());
    EXPECT_TRUE(dialog.isHidden());
}

TEST_F(VolumeCommandsTest, SourceDialogOkNeedsAChosenFolder)
{
    const QString data = QStringLiteral(VELMORA_TEST_DATA_DIR);
    volumes.setVolumes({VolumeInfo{data.toStdString(), "DATA", 5, VolumeType::Fixed, "ext4", ""}});
    SourcePath dialog(QStringLiteral("Add volume"), volumes, texts, dialogs, window.get());
    EXPECT_TRUE(dialog.chosenPath().isEmpty());
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    dialog.TryAccept();
    EXPECT_FALSE(dialog.choice().has_value());

    // The volume's root heads the tree and can be chosen.
    auto* tree = dialog.findChild<QTreeView*>();
    ASSERT_NE(tree, nullptr);
    tree->setCurrentIndex(tree->model()->index(0, 0, tree->rootIndex()));
    EXPECT_EQ(dialog.chosenPath(), data);
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    dialog.TryAccept();
    ASSERT_TRUE(dialog.choice().has_value());
    EXPECT_EQ(dialog.choice()->path, data.toStdString());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(VolumeCommandsTest, UpdateSourceDialogStartsAtTheVolumesOwnFolder)
{
    // "DEMO CD" (serial 1) is mounted under its label with another serial,
    // so Update asks for the source.
    const QString data = QStringLiteral(VELMORA_TEST_DATA_DIR);
    volumes.setVolumes(
        {VolumeInfo{"/", "ROOT", 7, VolumeType::Fixed, "ext4", "/dev/sda1"},
         VolumeInfo{data.toStdString(), "DEMO CD", 99, VolumeType::Removable, "vfat", ""}});
    QString started;
    bool okEnabled = false;
    QTimer::singleShot(0, window.get(), [&] {
        auto* dialog = qobject_cast<SourcePath*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        started = dialog->chosenPath();
        okEnabled = dialog->okButton()->isEnabled();
        dialog->reject();
    });
    const NodeId volume = Tree().firstChild(Tree().root());
    EXPECT_EQ(window->volumeCommands().Update(volume), scan::EditOutcome::Declined);
    EXPECT_EQ(started, data);
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(VolumeCount(), 2u);
}

TEST_F(VolumeCommandsTest, UpdateFromASourceOfAnotherIdentityAsksNamingBoth)
{
    // "DEMO CD" (serial 1) is mounted with serial 99: the source chosen is
    // not the volume's own, and No keeps the volume.
    const QString data = QStringLiteral(VELMORA_TEST_DATA_DIR);
    volumes.setVolumes(
        {VolumeInfo{data.toStdString(), "DEMO CD", 99, VolumeType::Removable, "vfat", ""}});
    QTimer::singleShot(0, window.get(), [] {
        auto* dialog = qobject_cast<SourcePath*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->TryAccept();
    });
    dialogs.messageAnswers = {2};
    const NodeId volume = Tree().firstChild(Tree().root());
    EXPECT_EQ(window->volumeCommands().Update(volume), scan::EditOutcome::Declined);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Do you really want to update this volume?\r\n"
                             "Volume: DEMO CD\r\nSource: DEMO CD"));
    EXPECT_EQ(dialogs.messages[0].defaultButton, 2);
    EXPECT_EQ(VolumeCount(), 2u);
    EXPECT_FALSE(window->store().modified());
}

TEST_F(VolumeCommandsTest, AddNamesAPlainFolderByTheLabelOffered)
{
    // The folder "audio" of the volume DATA is not its root; the source
    // dialog starts at it as the folder chosen last.
    const QString data = QStringLiteral(VELMORA_TEST_DATA_DIR);
    const QString audio = data + QStringLiteral("/audio");
    volumes.setVolumes({VolumeInfo{data.toStdString(), "DATA", 5, VolumeType::Fixed, "ext4", ""}});
    app.folders().lastSource = audio;
    QString started;
    ModalScript script;
    script.Then<SourcePath>([&started](SourcePath& dialog) {
        started = dialog.chosenPath();
        if (started.isEmpty())
            dialog.reject();
        else
            dialog.TryAccept();
    });
    dialogs.textAnswers = {QStringLiteral("MY FOLDER")};
    EXPECT_EQ(window->volumeCommands().Add(), scan::EditOutcome::Changed);
    EXPECT_EQ(started, audio);
    ASSERT_EQ(dialogs.textRequests.size(), 1u);
    EXPECT_EQ(dialogs.textRequests[0].caption, QStringLiteral("Add volume"));
    EXPECT_EQ(dialogs.textRequests[0].prompt, QStringLiteral("Drive label:"));
    // Rather than "DATA\audio".
    EXPECT_EQ(VolumeName(2), QStringLiteral("MY FOLDER"));
    EXPECT_EQ(dialogs.unscripted, 0);
}

// A folder dropped over the tree goes through the same Add flow, without
// the source dialog: its label offer included.
TEST_F(VolumeCommandsTest, AFolderDroppedOnTheTreeBecomesAVolume)
{
    const QString data = QStringLiteral(VELMORA_TEST_DATA_DIR);
    volumes.setVolumes({VolumeInfo{data.toStdString(), "DATA", 5, VolumeType::Fixed, "ext4", ""}});
    dialogs.textAnswers = {QStringLiteral("DROPPED")};
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(data + QStringLiteral("/audio"))});
    QTreeView* tree = window->treeView();
    const QPoint over = tree->mapTo(window.get(), tree->rect().center());
    QDragEnterEvent enter(over, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(over, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &drop);
    QCoreApplication::processEvents(); // the drop is acted on once it has ended
    ASSERT_EQ(dialogs.textRequests.size(), 1u);
    EXPECT_EQ(VolumeName(2), QStringLiteral("DROPPED"));
    EXPECT_EQ(dialogs.unscripted, 0);
}

} // namespace
} // namespace velmora::gui
