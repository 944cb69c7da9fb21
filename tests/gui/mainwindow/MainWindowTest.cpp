// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/GuiFixture.h"
#include "gui/app/Application.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/mainwindow/ViewTreeModel.h"
#include "texts/TextTable.h"

#include <QAction>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <algorithm>
#include <gtest/gtest.h>

namespace velmora::gui {
namespace {

using collection::kNoNode;
using collection::NodeId;
using testing::GuiTest;

class MainWindowTest : public GuiTest {
protected:
    MainWindowTest()
    {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        LoadSample();
        const collection::CollectionTree& tree = window->store().tree();
        demo = tree.firstChild(tree.root());
        second = tree.nextSibling(demo);
        rock = tree.firstChild(demo);
        songB = tree.firstChild(rock);
        songA = tree.nextSibling(songB);
    }

    QStringList ListNames() const
    {
        QStringList names;
        FileListModel* model = window->listModel();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->index(row, 0).data().toString();
        return names;
    }

    QStringList VisibleContextEntries()
    {
        QStringList entries;
        for (QAction* entry : window->PrepareContextMenu()->actions()) {
            if (entry->isVisible())
                entries << (entry->isSeparator() ? QStringLiteral("-")
                                                 : entry->text().remove(u'&'));
        }
        return entries;
    }

    NodeId demo = kNoNode, second = kNoNode, rock = kNoNode, songB = kNoNode, songA = kNoNode;
};

// How strongly a picture shows on a white background: the mean over its
// pixels of the opacity times the distance of the darkest channel from white.
// The share of a picture's opaque pixels that show a colour rather than a
// grey.
double ColouredShare(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int coloured = 0;
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 128)
                continue;
            ++opaque;
            const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            if (high - low > 60)
                ++coloured;
        }
    }
    return opaque == 0 ? 0.0 : static_cast<double>(coloured) / opaque;
}

double Ink(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const int darkest = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            sum += qAlpha(pixel) / 255.0 * (255 - darkest);
        }
    }
    return sum / std::max(1, image.width() * image.height());
}

TEST_F(MainWindowTest, CaptionsComeFromTheTextTable)
{
    EXPECT_EQ(window->action(Command::Add)->text(), QStringLiteral("&Add volume"));
    EXPECT_EQ(window->toolAction(Command::Add)->toolTip(), QStringLiteral("Add volume (Ctrl+A)"));
    EXPECT_EQ(window->action(Command::TagInfo)->text(), QStringLiteral("&Tag info"));
    EXPECT_EQ(window->action(Command::Selected)->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(window->action(Command::Search)->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(window->toolAction(Command::SaveAs), nullptr);
}

TEST_F(MainWindowTest, AReplacedTextTableRelabelsTheWindow)
{
    window->SelectFirstVolume();
    // A pack that puts "X-" before every English text.
    const texts::TextTable english;
    std::string pack;
    for (std::size_t n = 0; n < texts::kTextCount; ++n) {
        const std::string_view line = english.line(n);
        pack += std::string(line.substr(0, 3)) + "X-" + std::string(line.substr(3)) + "\r\n";
    }
    window->application().texts().Replace(texts::TextTable::FromPackBytes(pack));

    // Each menu title takes the first letter no other title has taken.
    EXPECT_EQ(window->menuBar()->actions().value(0)->text(), QStringLiteral("&X-Collection"));
    EXPECT_EQ(window->menuBar()->actions().value(1)->text(), QStringLiteral("X-&Edit"));
    EXPECT_EQ(window->action(Command::Add)->text(), QStringLiteral("&X-Add volume"));
    EXPECT_EQ(window->toolAction(Command::Add)->toolTip(), QStringLiteral("X-Add volume (Ctrl+A)"));
    EXPECT_EQ(window->listModel()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("X-Name"));
    EXPECT_EQ(window->listView()->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("X-Title"));
    EXPECT_EQ(window->statusText(3), QStringLiteral("1 X-Folder(s)"));
}

TEST_F(MainWindowTest, ChoosingAVolumeListsFoldersFirstAndShowsItsTotals)
{
    window->SelectFirstVolume();
    EXPECT_EQ(ListNames(), (QStringList{"Rock", "Y.mp3", "z.mp3"}));
    EXPECT_EQ(window->CurrentNode(), demo);
    EXPECT_EQ(window->statusText(0), QStringLiteral("15.32 Mb"));
    EXPECT_EQ(window->statusText(3), QStringLiteral("1 Folder(s)"));
    EXPECT_EQ(window->statusText(4), QStringLiteral("4 File(s)"));
    // The first item has the focus mark but is not selected.
    EXPECT_EQ(window->listView()->currentIndex().row(), 0);
    EXPECT_FALSE(window->listView()->selectionModel()->hasSelection());
}

TEST_F(MainWindowTest, ShowNodeOfAFileShowsItInItsFoldersList)
{
    window->ShowNode(songA);
    EXPECT_EQ(window->treeModel()->nodeOf(window->treeView()->currentIndex()), rock);
    EXPECT_EQ(ListNames(), (QStringList{"a.mp3", "b.mp3"}));
    EXPECT_EQ(window->CurrentNode(), songA);
    EXPECT_EQ(window->statusText(0), QStringLiteral("3.83 Mb"));
    EXPECT_EQ(window->statusText(1), QStringLiteral("00:04:05 H:M:S"));
    EXPECT_EQ(window->statusText(2), QStringLiteral("CBR 128 Kbps"));
    EXPECT_EQ(window->statusText(3), QStringLiteral("44100 Hz"));
    EXPECT_EQ(window->statusText(4), QStringLiteral("Joint stereo"));
    EXPECT_EQ(window->statusText(5), QStringLiteral("MPEG 1 Layer 3"));
}

TEST_F(MainWindowTest, OpeningAFolderFromTheListSelectsItInTheTree)
{
    window->SelectFirstVolume();
    window->OpenListItem(window->listModel()->index(0, 0));
    EXPECT_EQ(window->treeModel()->nodeOf(window->treeView()->currentIndex()), rock);
    EXPECT_EQ(ListNames(), (QStringList{"a.mp3", "b.mp3"}));
}

TEST_F(MainWindowTest, SelectedMarksFollowTheCommand)
{
    window->ShowNode(songA);
    window->action(Command::Selected)->trigger();
    const collection::CollectionTree& tree = window->store().tree();
    EXPECT_TRUE(tree.selected(songA));
    EXPECT_TRUE(tree.selected(rock));
    EXPECT_TRUE(tree.selected(demo));
    EXPECT_FALSE(tree.selected(songB));
    window->action(Command::Selected)->trigger();
    EXPECT_FALSE(tree.selected(songA));
    EXPECT_TRUE(tree.selected(rock));
    EXPECT_TRUE(tree.selected(demo));
    EXPECT_FALSE(window->store().modified()); // marks are not stored data
}

// Shift and Ctrl mark several rows of the list; the commands on a node then
// act on each of them, in the list's order.
TEST_F(MainWindowTest, SelectedActsOnEverySelectedRowOfTheList)
{
    window->SelectFirstVolume();
    const collection::CollectionTree& tree = window->store().tree();
    const NodeId songZ = tree.nextSibling(rock);
    const NodeId songY = tree.nextSibling(songZ);
    ASSERT_EQ(ListNames(), (QStringList{"Rock", "Y.mp3", "z.mp3"}));
    QTableView* list = window->listView();
    list->setFocus();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(window->listModel()->index(2, 0)).center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      list->visualRect(window->listModel()->index(1, 0)).center());
    EXPECT_EQ(window->CurrentNodes(), (std::vector<NodeId>{songY, songZ}));

    window->action(Command::Selected)->trigger();
    EXPECT_TRUE(tree.selected(songY));
    EXPECT_TRUE(tree.selected(songZ));
    EXPECT_FALSE(tree.selected(rock));
    window->action(Command::Selected)->trigger();
    EXPECT_FALSE(tree.selected(songY));
    EXPECT_FALSE(tree.selected(songZ));
}

// A click on a header orders by its column (Track as numbers), a second
// click reverses the order, folders staying first; the header's arrow
// follows.
TEST_F(MainWindowTest, SecondClickOnAHeaderReversesTheOrder)
{
    window->SelectFirstVolume();
    QHeaderView* header = window->listView()->horizontalHeader();
    const QPoint track(header->sectionViewportPosition(collection::kTrackColumn) + 10,
                       header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, track);
    EXPECT_EQ(ListNames(), (QStringList{"Rock", "Y.mp3", "z.mp3"})); // 9 before 10
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, track);
    EXPECT_EQ(ListNames(), (QStringList{"Rock", "z.mp3", "Y.mp3"}));
    EXPECT_EQ(header->sortIndicatorSection(), collection::kTrackColumn);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_TRUE(window->listModel()->descending());
}

// A collection file dropped on the window opens as Open opens it: after the
// question about unsaved changes, which can stop it.
TEST_F(MainWindowTest, DroppedCollectionFileOpensThroughOpen)
{
    const std::string other = dir.file("other.col");
    velmora::testing::WriteBytes(other, testing::SampleCollectionBytes());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("sample.col[*] \u2013 Velmora"));
    window->store().setModified();

    const auto drop = [this, &other] {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(other))});
        const QPoint inside = window->rect().center();
        QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &dropped);
        EXPECT_TRUE(dropped.isAccepted());
        QCoreApplication::processEvents(); // the drop is acted on once it has ended
    };
    dialogs.messageAnswers = {CollectionCommands::kCancel};
    drop();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(window->store().currentPath(), dir.file("sample.col"));

    dialogs.messageAnswers = {CollectionCommands::kNo};
    drop();
    EXPECT_EQ(window->store().currentPath(), other);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("other.col[*] \u2013 Velmora"));
}

TEST_F(MainWindowTest, ContextMenuFollowsTheCurrentNode)
{
    window->SelectFirstVolume();
    EXPECT_EQ(VisibleContextEntries(),
              (QStringList{"Play", "Enqueue", "-", "Update volume", "Delete volume", "Rename label",
                           "-", "Save as playlist", "-", "Selected"}));
    window->ShowNode(songA);
    EXPECT_EQ(VisibleContextEntries(),
              (QStringList{"Play", "Enqueue", "-", "Tag info", "-", "Selected"}));
    window->ShowNode(rock);
    EXPECT_EQ(VisibleContextEntries(),
              (QStringList{"Play", "Enqueue", "-", "Save as playlist", "-", "Selected"}));
    window->action(Command::New)->trigger();
    EXPECT_TRUE(VisibleContextEntries().isEmpty());
}

TEST_F(MainWindowTest, ViewOptionsSwitchColumnsAndBars)
{
    window->action(Command::TagInfo)->trigger();
    EXPECT_TRUE(window->listView()->isColumnHidden(1));
    EXPECT_FALSE(window->listView()->isColumnHidden(0));
    window->action(Command::TagInfo)->trigger();
    EXPECT_FALSE(window->listView()->isColumnHidden(6));
    window->action(Command::GridLines)->trigger();
    EXPECT_TRUE(window->listView()->showGrid());
    window->action(Command::StatusBar)->trigger();
    EXPECT_FALSE(window->statusBar()->isVisible());
}

TEST_F(MainWindowTest, StatusPanelsShareTheWidthInSix)
{
    window->resize(1000, 600);
    QCoreApplication::processEvents();
    const QList<QLabel*> panels = window->statusBar()->findChildren<QLabel*>();
    ASSERT_EQ(panels.size(), 6);
    for (const QLabel* panel : panels) {
        EXPECT_EQ(panel->width(), panels[0]->width());
        EXPECT_LE(panel->width(), 166);
        EXPECT_GE(panel->width(), 156);
    }
}

TEST_F(MainWindowTest, NewEmptiesTreeListAndStatusBar)
{
    window->SelectFirstVolume();
    window->action(Command::New)->trigger();
    EXPECT_EQ(window->treeModel()->rowCount(), 0);
    EXPECT_EQ(window->listModel()->rowCount(), 0);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(window->statusText(i).isEmpty());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled[*] \u2013 Velmora"));
}

TEST_F(MainWindowTest, ToolButtonsLookAsEnabledAsTheirCommands)
{
    // Whatever the style does with a disabled icon, a disabled button shows
    // a grey picture with at most 40% of the ink of its enabled one.
    int disabled = 0;
    for (int c = 0; c < static_cast<int>(Command::Count); ++c) {
        const QAction* tool = window->toolAction(static_cast<Command>(c));
        if (tool == nullptr)
            continue;
        const QPixmap normal = tool->icon().pixmap(QSize(22, 22), QIcon::Normal);
        const QPixmap grey = tool->icon().pixmap(QSize(22, 22), QIcon::Disabled);
        EXPECT_LT(Ink(grey), 0.4 * Ink(normal)) << tool->text().toStdString();
        EXPECT_EQ(ColouredShare(grey), 0.0) << tool->text().toStdString();
        disabled += tool->isEnabled() ? 0 : 1;
    }
    EXPECT_GT(disabled, 0);
    // The enabled New button is drawn in colour, not as a grey blank page.
    ASSERT_TRUE(window->toolAction(Command::New)->isEnabled());
    EXPECT_GT(ColouredShare(window->toolAction(Command::New)->icon().pixmap(QSize(22, 22))), 0.1);
}

} // namespace
} // namespace velmora::gui
