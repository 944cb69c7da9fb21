// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/ListOrder.h"

#include "collection/NodeText.h"
#include "core/collection/SongText.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace velmora::collection {
namespace {

using testing::SongText;

TEST(ListOrderTest, TextsFoldOnlyAsciiLettersAndCompareBytes)
{
    EXPECT_LT(CompareListTexts("10", "9"), 0);
    EXPECT_LT(CompareListTexts("9", "a"), 0);
    EXPECT_EQ(CompareListTexts("ABC", "abc"), 0);
    EXPECT_LT(CompareListTexts("ab", "abc"), 0);
    // Bytes above 127 are not folded and sort after ASCII letters.
    EXPECT_GT(CompareListTexts("\xc3\x84", "z"), 0);
    EXPECT_NE(CompareListTexts("\xc3\x84", "\xc3\xa4"), 0);
}

TEST(ListOrderTest, TrackColumnOrdersAsTextWithFoldersFirst)
{
    collection::CollectionTree tree;
    const NodeId root = tree.addRoot(collection::CollectionText(0, 0, 1, 4, 1));
    const NodeId volume = tree.appendChild(root, collection::VolumeText("V", 0, 0, 1, 4, 1, 1));
    const NodeId t2 = tree.appendChild(volume, SongText("a.mp3", "2"));
    const NodeId t11 = tree.appendChild(volume, SongText("b.mp3", "11"));
    const NodeId folder = tree.appendChild(volume, collection::FolderText("zzz", 0, 0, 0, 1));
    tree.appendChild(folder, SongText("in.mp3", "1"));
    const NodeId t1 = tree.appendChild(volume, SongText("c.mp3", "1"));
    const NodeId t10 = tree.appendChild(volume, SongText("d.mp3", "10"));

    std::vector<NodeId> rows = {t2, t11, folder, t1, t10};
    std::stable_sort(rows.begin(), rows.end(),
                     [&](NodeId a, NodeId b) { return CompareListItems(tree, a, b, 4) < 0; });
    EXPECT_EQ(rows, (std::vector<NodeId>{folder, t1, t10, t11, t2}));

    std::stable_sort(rows.begin(), rows.end(),
                     [&](NodeId a, NodeId b) { return CompareListItems(tree, a, b, 0) < 0; });
    EXPECT_EQ(rows, (std::vector<NodeId>{folder, t2, t11, t1, t10}));
}

TEST(ListOrderTest, WindowOrdersTrackAsNumbersAndReversesWithFoldersStillFirst)
{
    collection::CollectionTree tree;
    const NodeId root = tree.addRoot(collection::CollectionText(0, 0, 1, 5, 1));
    const NodeId volume = tree.appendChild(root, collection::VolumeText("V", 0, 0, 2, 5, 1, 1));
    const NodeId t2 = tree.appendChild(volume, SongText("a.mp3", "2"));
    const NodeId t11 = tree.appendChild(volume, SongText("b.mp3", "11"));
    const NodeId folderZ = tree.appendChild(volume, collection::FolderText("zzz", 0, 0, 0, 1));
    tree.appendChild(folderZ, SongText("in.mp3", "1"));
    const NodeId none = tree.appendChild(volume, SongText("c.mp3", ""));
    const NodeId t10 = tree.appendChild(volume, SongText("d.mp3", " 10"));
    const NodeId folderA = tree.appendChild(volume, collection::FolderText("aaa", 0, 0, 0, 1));
    tree.appendChild(folderA, SongText("in.mp3", "1"));

    const auto sorted = [&](int column, bool descending) {
        std::vector<NodeId> rows = {t2, t11, folderZ, none, t10, folderA};
        std::stable_sort(rows.begin(), rows.end(), [&](NodeId a, NodeId b) {
            return CompareListRows(tree, a, b, column, descending) < 0;
        });
        return rows;
    };
    EXPECT_EQ(sorted(kTrackColumn, false),
              (std::vector<NodeId>{folderA, folderZ, none, t2, t10, t11}));
    EXPECT_EQ(sorted(kTrackColumn, true),
              (std::vector<NodeId>{folderZ, folderA, t11, t10, t2, none}));
    EXPECT_EQ(sorted(0, true), (std::vector<NodeId>{folderZ, folderA, t10, none, t11, t2}));
}

} // namespace
} // namespace velmora::collection
