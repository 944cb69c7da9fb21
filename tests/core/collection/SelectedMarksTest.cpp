// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/SelectedMarks.h"

#include "core/collection/SongText.h"

#include <gtest/gtest.h>

namespace velmora::collection {
namespace {

class SelectedMarksTest : public ::testing::Test {
protected:
    SelectedMarksTest()
    {
        root = tree.addRoot(collection::CollectionText(0, 0, 1, 2, 1));
        volume = tree.appendChild(root, collection::VolumeText("V", 0, 0, 1, 2, 1, 1));
        folder = tree.appendChild(volume, collection::FolderText("F", 0, 0, 0, 2));
        file1 = tree.appendChild(folder, testing::SongText("1.mp3"));
        file2 = tree.appendChild(folder, testing::SongText("2.mp3"));
        other = tree.appendChild(volume, testing::SongText("o.mp3"));
    }
    collection::CollectionTree tree;
    NodeId root, volume, folder, file1, file2, other;
};

TEST_F(SelectedMarksTest, MarkingAFileMarksThePathToItButNotTheCollection)
{
    ToggleSelected(tree, file1);
    EXPECT_TRUE(tree.selected(file1));
    EXPECT_TRUE(tree.selected(folder));
    EXPECT_TRUE(tree.selected(volume));
    EXPECT_FALSE(tree.selected(root));
    EXPECT_FALSE(tree.selected(file2));
    EXPECT_FALSE(tree.selected(other));
}

TEST_F(SelectedMarksTest, UnmarkingAFileLeavesItsFolderAndVolumeMarked)
{
    ToggleSelected(tree, file1);
    ToggleSelected(tree, file1);
    EXPECT_FALSE(tree.selected(file1));
    EXPECT_TRUE(tree.selected(folder));
    EXPECT_TRUE(tree.selected(volume));
}

TEST_F(SelectedMarksTest, AFolderPassesItsStateToItsSubtree)
{
    ToggleSelected(tree, folder);
    EXPECT_TRUE(tree.selected(file1));
    EXPECT_TRUE(tree.selected(file2));
    EXPECT_FALSE(tree.selected(other));
    ToggleSelected(tree, folder);
    EXPECT_FALSE(tree.selected(file1));
    EXPECT_FALSE(tree.selected(file2));
    EXPECT_FALSE(tree.selected(folder));
    EXPECT_TRUE(tree.selected(volume));
}

TEST_F(SelectedMarksTest, TheCollectionNodeIsNeverMarked)
{
    ToggleSelected(tree, root);
    EXPECT_FALSE(tree.selected(root));
    EXPECT_FALSE(tree.selected(volume));
}

} // namespace
} // namespace velmora::collection
