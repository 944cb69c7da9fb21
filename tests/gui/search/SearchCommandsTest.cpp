// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/SearchCommands.h"

#include "gui/GuiFixture.h"
#include "gui/ModalScript.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/mainwindow/ViewTreeModel.h"
#include "gui/search/FindDialog.h"
#include "gui/search/ResultWindows.h"
#include "gui/search/ResultsModel.h"
#include "gui/volumes/ScanDialog.h"
#include "system/Progress.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>
#include <filesystem>

namespace velmora::gui::testing {
namespace {

using collection::NodeId;

class SearchCommandsTest : public GuiTest {
protected:
    collection::CollectionTree& Tree() { return window->store().tree(); }

    NodeId NodeNamed(std::string_view name)
    {
        for (NodeId node : Tree().preOrder())
            if (collection::NodeName(Tree().text(node)) == name)
                return node;
        return collection::kNoNode;
    }

    NodeId ListCurrent() const
    {
        const QModelIndex index = window->listView()->currentIndex();
        return index.isValid() ? window->listModel()->nodeAt(index.row()) : collection::kNoNode;
    }

    NodeId TreeCurrent() const
    {
        return window->treeModel()->nodeOf(window->treeView()->currentIndex());
    }

    std::string Saved(const char* name)
    {
        NoProgress progress;
        const std::string path = dir.file(name);
        EXPECT_TRUE(window->store().SaveCollection(path, progress).saved());
        return velmora::testing::ReadBytes(path);
    }

    static void FindName(FindDialog& dialog, const QString& words, bool onDrive)
    {
        dialog.controls().pages->setCurrentIndex(0);
        dialog.controls().nameText->setText(words);
        if (onDrive)
            dialog.TryOnDrive();
        else
            dialog.TryFind();
    }

    ModalScript script;
};

TEST_F(SearchCommandsTest, NoMatchesOffersSearchAgainWhichReopensTheDialogAsAccepted)
{
    LoadSample();
    script.Then<FindDialog>([](FindDialog& d) { FindName(d, QStringLiteral("nowhere"), false); });
    QString reopenedWith;
    script.Then<FindDialog>([&](FindDialog& d) {
        reopenedWith = d.controls().nameText->text();
        d.reject();
    });
    dialogs.messageAnswers = {2};
    window->searchCommands().Search();

    EXPECT_EQ(script.left(), 0u);
    EXPECT_EQ(reopenedWith, QStringLiteral("nowhere"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("There are no matches."));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Search"));
    EXPECT_EQ(dialogs.messages[0].button1, QStringLiteral("Ok"));
    EXPECT_EQ(dialogs.messages[0].button2, QStringLiteral("Search"));
    EXPECT_EQ(window->settingsRecord().nameText, "nowhere");
    EXPECT_TRUE(window->searchCommands().results().empty());
}

TEST_F(SearchCommandsTest, AChosenResultIsSelectedInTheMainWindow)
{
    LoadSample();
    const NodeId song = NodeNamed("z.mp3");
    int rows = 0;
    script.Then<FindDialog>([](FindDialog& d) { FindName(d, QStringLiteral(".MP3"), false); });
    script.Then<NameResults>([&](NameResults& results) {
        rows = results.model().rowCount();
        for (int row = 0; row < rows; ++row)
            if (results.model().nodeAt(row) == song)
                results.controls().list->selectRow(row);
        results.ChooseSelected();
    });
    window->searchCommands().Search();

    EXPECT_EQ(script.left(), 0u);
    EXPECT_EQ(rows, 5);
    EXPECT_EQ(TreeCurrent(), Tree().parent(song));
    EXPECT_EQ(ListCurrent(), song);
    EXPECT_EQ(dialogs.unscripted, 0);
}

// The save dialog answered with the collection itself, then with a symbolic
// link to it: both are refused, and the collection stays as it was.
TEST_F(SearchCommandsTest, SavingTheResultListOverTheCollectionIsRefused)
{
    const QString collection = LoadSample();
    const std::string before = velmora::testing::ReadBytes(collection.toStdString());
    const QString link = QString::fromStdString(dir.file("link.col"));
    std::filesystem::create_symlink(collection.toStdString(), link.toStdString());
    script.Then<FindDialog>([](FindDialog& d) { FindName(d, QStringLiteral(".MP3"), false); });
    script.Then<NameResults>([](NameResults& results) {
        results.Save();
        results.Save();
        results.reject();
    });
    dialogs.saveAnswers = {collection, link};
    dialogs.messageAnswers = {1, 1};
    window->searchCommands().Search();

    EXPECT_EQ(script.left(), 0u);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(dialogs.messages[i].text,
                  QStringLiteral("Can not save in the file: ") + (i == 0 ? collection : link) +
                      QStringLiteral("\r\nThe file is the collection itself"));
        EXPECT_EQ(dialogs.messages[i].caption, QStringLiteral("Error"));
        EXPECT_EQ(dialogs.messages[i].icon, MessageIcon::Error);
    }
    EXPECT_EQ(velmora::testing::ReadBytes(collection.toStdString()), before);
    EXPECT_TRUE(std::filesystem::is_symlink(link.toStdString()));
    EXPECT_EQ(dialogs.unscripted, 0);
}

// A search on a drive, finished or cancelled in its scan, leaves the
// collection as it was: the same nodes, the same saved bytes, the same
// modified flag, and the main window where it stood.
class DriveSearchTest : public SearchCommandsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DriveSearchTest, LeavesTheCollectionAsItWas)
{
    const bool cancel = GetParam();
    LoadSample();
    const std::string before = Saved("before.col");
    const std::size_t nodes = Tree().size();
    const std::string rootText(Tree().text(Tree().root()));
    window->ShowNode(NodeNamed("a.mp3"));
    const NodeId folder = TreeCurrent();
    const NodeId item = ListCurrent();
    ASSERT_NE(item, collection::kNoNode);

    const std::string source = std::string(VELMORA_TEST_DATA_DIR) + "/audio";
    volumes.setVolumes({VolumeInfo{source, "DATA", 5, VolumeType::Fixed, "ext4", ""}});
    window->searchCommands().setSourceChooser([source] { return source; });
    files.holdListing = cancel;
    script.Then<FindDialog>([](FindDialog& d) { FindName(d, QStringLiteral("mpeg1"), true); });
    QString firstPath;
    int rows = 0;
    if (cancel) {
        script.Then<ScanDialog>([this](ScanDialog& scan) {
            static_cast<QDialog&>(scan).reject();
            files.holdListing = false;
        });
    } else {
        script.Then<NameResults>([&](NameResults& results) {
            rows = results.model().rowCount();
            firstPath = results.model().data(results.model().index(0, 1)).toString();
            results.controls().list->selectRow(0);
            results.ChooseSelected();
        });
    }
    window->searchCommands().Search();

    EXPECT_EQ(script.left(), 0u);
    EXPECT_EQ(dialogs.unscripted, 0);
    EXPECT_TRUE(dialogs.messages.empty());
    if (!cancel) {
        EXPECT_EQ(rows, 7);
        EXPECT_EQ(firstPath, QString::fromStdString(source + "/"));
    }
    EXPECT_EQ(Tree().size(), nodes);
    EXPECT_EQ(Tree().text(Tree().root()), rootText);
    EXPECT_FALSE(window->store().modified());
    EXPECT_EQ(TreeCurrent(), folder);
    EXPECT_EQ(ListCurrent(), item);
    EXPECT_EQ(Saved("after.col"), before);
}

INSTANTIATE_TEST_SUITE_P(FinishedAndCancelled, DriveSearchTest, ::testing::Bool());

TEST_F(SearchCommandsTest, ASourceWithoutAudioTellsSoAndOffersSearchAgain)
{
    LoadSample();
    const std::string source = dir.file("empty");
    ASSERT_TRUE(std::filesystem::create_directory(source));
    volumes.setVolumes({VolumeInfo{source, "EMPTY", 7, VolumeType::Fixed, "ext4", ""}});
    window->searchCommands().setSourceChooser([source] { return source; });
    script.Then<FindDialog>([](FindDialog& d) { FindName(d, QStringLiteral("x"), true); });
    script.Then<FindDialog>([](FindDialog& d) { d.reject(); });
    dialogs.messageAnswers = {2};
    const std::size_t nodes = Tree().size();
    window->searchCommands().Search();

    EXPECT_EQ(script.left(), 0u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("The source doesn't contain MPEG audio files."));
    EXPECT_EQ(dialogs.messages[0].button2, QStringLiteral("Search"));
    EXPECT_EQ(Tree().size(), nodes);
}

} // namespace
} // namespace velmora::gui::testing
