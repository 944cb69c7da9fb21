// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bytes.h"
#include "SearchTestTree.h"
#include "search/Searches.h"
#include "settings/Settings.h"
#include "system/Progress.h"

#include <gtest/gtest.h>

namespace velmora::search {
namespace {

using collection::CollectionTree;
using collection::NodeId;
using testing::File;
using testing::FileProps;
using testing::Folder;
using testing::Root;
using testing::Volume;
using velmora::testing::Bytes;

class DuplicateSearchTest : public ::testing::Test {
protected:
    // The entries as "position:key" with the byte 0x01 written as "|".
    std::vector<std::string> Find(bool byName, bool byProperty, int area = 1,
                                  std::int64_t start = -1)
    {
        settings.compareName = byName;
        settings.compareProperty = byProperty;
        settings.duplicateArea = area;
        ResultList results;
        const bool found =
            DuplicateSearch(scope, DuplicateCriteriaFrom(settings), start, results).found;
        EXPECT_EQ(found, results.size() >= 2);
        std::vector<std::string> rows;
        for (const ResultEntry& entry : results.entries()) {
            std::string key = entry.text;
            for (char& c : key)
                c = c == '\x01' ? '|' : c;
            rows.push_back(std::to_string(tree.position(entry.node)) + ":" + key);
        }
        return rows;
    }

    CollectionTree tree;
    NodeId root = tree.addRoot(Root());
    NodeId one = tree.appendChild(root, Volume("One"));
    testing::UmlautLocale locale;
    const testing::LocaleServices services{locale};
    NoProgress none;
    SearchScope scope{tree, services, none, "Searching", "Copy...", "Sorting..."};
    settings::Settings settings;
};

TEST(DuplicateKey, PartsInOrder)
{
    const std::string file = File("a.mp3", {4000, -240, 4410, 1, 1, 3});
    EXPECT_EQ(DuplicateKey(file, true, false), Bytes("a.mp3[01]"));
    EXPECT_EQ(DuplicateKey(file, false, true), Bytes("4000[01]-240[01]"));
    EXPECT_EQ(DuplicateKey(file, true, true), Bytes("a.mp3[01]4000[01]-240[01]"));
    EXPECT_EQ(DuplicateKey(file, false, false), "");
}

TEST_F(DuplicateSearchTest, NamesFoldOnlyAToZ)
{
    const NodeId two = tree.appendChild(root, Volume("Two"));
    tree.appendChild(one, File("Track01.mp3"));      // 2
    tree.appendChild(one, File("\xC3\x89tude.mp3")); // 3
    tree.appendChild(two, File("TRACK01.MP3"));      // 5
    tree.appendChild(two, File("\xC3\xA9tude.mp3")); // 6
    EXPECT_EQ(Find(true, false), (std::vector<std::string>{"2:Track01.mp3|", "5:TRACK01.MP3|"}));
}

TEST_F(DuplicateSearchTest, AreaDecidesTheCandidates)
{
    const NodeId folder = tree.appendChild(one, Folder("same"));
    tree.appendChild(folder, File("inner"));
    tree.appendChild(one, File("same"));
    EXPECT_EQ(Find(true, false, 1), (std::vector<std::string>{"2:same|", "4:same|"}));
    EXPECT_TRUE(Find(true, false, 2).empty());
    EXPECT_TRUE(Find(true, false, 3).empty());
    EXPECT_TRUE(Find(true, false, 0).empty());
}

TEST_F(DuplicateSearchTest, PropertyKeysKeepTheSignOfTheDuration)
{
    tree.appendChild(one, File("a", {4000, 240}));  // 2
    tree.appendChild(one, File("b", {4000, 240}));  // 3
    tree.appendChild(one, File("c", {4000, -240})); // 4
    EXPECT_EQ(Find(false, true), (std::vector<std::string>{"2:4000|240|", "3:4000|240|"}));
    // With both, names must agree as well.
    EXPECT_TRUE(Find(true, true).empty());
}

// A folder that holds nothing but one subfolder holding one file has their
// size and duration; none of the three is a duplicate of another. A copy
// elsewhere pairs with the outermost of them, and with files only, the two
// files pair.
TEST_F(DuplicateSearchTest, ANodeIsNeverADuplicateOfItsOwnAncestor)
{
    const NodeId artist =
        tree.appendChild(one, collection::FolderText("Artist", 4000, 240, 1, 1)); // 2
    const NodeId album =
        tree.appendChild(artist, collection::FolderText("Album", 4000, 240, 0, 1)); // 3
    tree.appendChild(album, File("song.mp3", {4000, 240}));                         // 4
    EXPECT_TRUE(Find(false, true).empty());
    EXPECT_TRUE(Find(false, true, 2).empty());

    // A second volume holding only a copy: the volume stands for the chain.
    const NodeId two =
        tree.appendChild(root, collection::VolumeText("Two", 4000, 240, 1, 1, 0, 0)); // 5
    const NodeId copy = tree.appendChild(two, collection::FolderText("Copy", 4000, 240, 0, 1));
    tree.appendChild(copy, File("other.mp3", {4000, 240})); // 7
    EXPECT_EQ(Find(false, true), (std::vector<std::string>{"2:4000|240|", "5:4000|240|"}));
    EXPECT_EQ(Find(false, true, 3), (std::vector<std::string>{"4:4000|240|", "7:4000|240|"}));
    // From the copy on, only the copy and its own file are candidates.
    EXPECT_TRUE(Find(false, true, 1, 6).empty());
}

TEST_F(DuplicateSearchTest, GroupsOfThreeAndSingleKeysRemoved)
{
    tree.appendChild(one, File("b"));  // 2
    tree.appendChild(one, File("a"));  // 3
    tree.appendChild(one, File("B"));  // 4
    tree.appendChild(one, File("c"));  // 5
    tree.appendChild(one, File("b"));  // 6
    tree.appendChild(one, File("zz")); // 7
    EXPECT_EQ(Find(true, false), (std::vector<std::string>{"2:b|", "4:B|", "6:b|"}));
    // From position 6 only "b" and "zz" are candidates.
    EXPECT_TRUE(Find(true, false, 1, 6).empty());
    EXPECT_TRUE(Find(true, false, 1, 99).empty());
}

TEST_F(DuplicateSearchTest, ASingleCandidateIsNotFound)
{
    tree.appendChild(one, File("only"));
    EXPECT_TRUE(Find(true, false, 3).empty());
}

TEST_F(DuplicateSearchTest, TwoGroupsInSortedOrder)
{
    tree.appendChild(one, File("y")); // 2
    tree.appendChild(one, File("x")); // 3
    tree.appendChild(one, File("Y")); // 4
    tree.appendChild(one, File("X")); // 5
    EXPECT_EQ(Find(true, false, 3), (std::vector<std::string>{"3:x|", "5:X|", "2:y|", "4:Y|"}));
}

} // namespace
} // namespace velmora::search
