// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/GuiFixture.h"
#include "gui/app/Icons.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/mainwindow/ViewTreeModel.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

namespace velmora::gui {
namespace {

using collection::NodeId;
using testing::SongText;

class ModelsTest : public ::testing::Test {
protected:
    ModelsTest()
    {
        const NodeId root = tree.addRoot(collection::CollectionText(0, 0, 2, 5, 1));
        volume1 = tree.appendChild(root, collection::VolumeText("ONE", 0, 0, 2, 3, 1, 1));
        folderA = tree.appendChild(volume1, collection::FolderText("A", 0, 0, 1, 2));
        folderA1 = tree.appendChild(folderA, collection::FolderText("A1", 0, 0, 0, 1));
        tree.appendChild(folderA1, SongText("deep.mp3"));
        tree.appendChild(folderA, SongText("a.mp3"));
        tree.appendChild(volume1, SongText("root.mp3"));
        volume2 = tree.appendChild(root, collection::VolumeText("TWO", 0, 0, 0, 2, 1, 2));
        tree.appendChild(volume2, SongText("x.mp3"));
        tree.appendChild(volume2, SongText("y.mp3"));
    }

    collection::CollectionTree tree;
    texts::ActiveTexts texts;
    Icons icons;
    NodeId volume1, folderA, folderA1, volume2;
};

TEST_F(ModelsTest, ViewTreeHoldsOnlyVolumesAndFolders)
{
    ViewTreeModel model(tree, icons);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.Rebuild();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.itemCount(), 4u);
    const QModelIndex one = model.index(0, 0);
    EXPECT_EQ(one.data().toString(), QStringLiteral("ONE"));
    ASSERT_EQ(model.rowCount(one), 1);
    const QModelIndex a = model.index(0, 0, one);
    EXPECT_EQ(a.data().toString(), QStringLiteral("A"));
    EXPECT_EQ(model.rowCount(a), 1);
    EXPECT_EQ(model.index(0, 0, a).data().toString(), QStringLiteral("A1"));
    // A volume whose files all lie in its root has an item without children.
    const QModelIndex two = model.index(1, 0);
    EXPECT_EQ(model.rowCount(two), 0);

    EXPECT_EQ(model.nodeOf(a), folderA);
    EXPECT_EQ(model.indexOf(folderA1), model.index(0, 0, a));
    EXPECT_EQ(model.parent(model.indexOf(folderA1)), a);
    EXPECT_FALSE(model.indexOf(tree.root()).isValid());

    tree.setSelected(folderA, true);
    model.MarksChanged(folderA);
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.indexOf(folderA).isValid());
    model.Rebuild();
    EXPECT_EQ(model.rowCount(), 2);
}

TEST_F(ModelsTest, ViewTreeFollowsARemovedVolumeAfterRebuild)
{
    ViewTreeModel model(tree, icons);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.Rebuild();
    model.Clear();
    tree.remove(volume1);
    model.Rebuild();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("TWO"));
}

TEST_F(ModelsTest, ListShowsChildrenInListOrderWithTags)
{
    FileListModel model(tree, texts, icons, ",");
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.Fill(volume1);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 12);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("A"));
    EXPECT_EQ(model.index(1, 0).data().toString(), QStringLiteral("root.mp3"));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    EXPECT_EQ(model.headerData(6, Qt::Horizontal).toString(), QStringLiteral("Comment"));
    EXPECT_EQ(model.headerData(11, Qt::Horizontal).toString(), QStringLiteral("Channel mode"));
    // The optional columns of a file, with the locale's decimal separator.
    EXPECT_EQ(model.index(1, 7).data().toString(), QStringLiteral("3,83 Mb"));
    EXPECT_EQ(model.index(1, 8).data().toString(), QStringLiteral("00:04:05"));
    EXPECT_EQ(model.index(1, 10).data().toString(), QStringLiteral("44100 Hz"));

    model.SetSortColumn(4, true);
    EXPECT_TRUE(model.descending());
    model.Fill(volume2);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.rowOf(model.nodeAt(1)), 1);
    model.MarksChanged();
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

} // namespace
} // namespace velmora::gui
