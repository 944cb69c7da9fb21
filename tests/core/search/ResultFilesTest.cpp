// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/ResultFiles.h"

#include "SearchTestTree.h"
#include "search/Searches.h"
#include "settings/Settings.h"
#include "system/Progress.h"
#include "texts/TextTable.h"

#include <gtest/gtest.h>

namespace velmora::search {
namespace {

using collection::CollectionTree;
using collection::NodeId;
using testing::File;
using testing::Folder;
using testing::Root;
using testing::Volume;

class ResultFilesTest : public ::testing::Test {
protected:
    ResultFilesTest()
    {
        const NodeId root = tree.addRoot(Root());
        const NodeId v = tree.appendChild(root, Volume("V"));
        const NodeId f = tree.appendChild(v, Folder("F"));
        song = tree.appendChild(f, File("live song.mp3", {}, {"", "Band"}));
        top = tree.appendChild(v, File("Live.mp3", {4000, -240}));
    }

    CollectionTree tree;
    NodeId song = collection::kNoNode;
    NodeId top = collection::kNoNode;
    texts::TextTable table;
    settings::Settings settings;
    ResultList results;
};

TEST_F(ResultFilesTest, NameResults)
{
    settings.nameText = "live";
    results.add("3", song);
    results.add("4", top);
    EXPECT_EQ(NameResultsFile(tree, results, NameCriteriaFrom(settings), table),
              "Found: Name\r\n\r\nText: live\r\nMatch case: No\r\n\r\n"
              "V\\F\\live song.mp3\r\nV\\Live.mp3\r\n");
    settings.nameCase = true;
    settings.nameText = " two  words ";
    EXPECT_EQ(NameResultsFile(tree, ResultList{}, NameCriteriaFrom(settings), table),
              "Found: Name\r\n\r\nText:  two  words \r\nMatch case: Yes\r\n\r\n");
}

TEST_F(ResultFilesTest, TagResultsWriteOnlyTheUsedTexts)
{
    settings.tagText = {" ", "band ", "", "", "", ""};
    results.add("3", song);
    EXPECT_EQ(TagResultsFile(tree, results, TagCriteriaFrom(settings), table),
              "Found: Tag\r\n\r\nArtist: band \r\n\r\nV\\F\\live song.mp3\r\n");
}

TEST_F(ResultFilesTest, PropertyResultsWriteTheSwitchedOnTerms)
{
    settings.property = {0, 0, 0, 1, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    results.add("4", top);
    EXPECT_EQ(PropertyResultsFile(tree, results, PropertyCriteriaFrom(settings), table),
              "Found: Property\r\n\r\nSample rate: = 44100 Hz\r\n\r\nV\\Live.mp3\r\n");
    settings.property = {1, 0, 0, 1, 2, 0, 1, 1, 0, 1, 2, 2, 1, 0, 2, 1, 1, 0};
    EXPECT_EQ(PropertyResultsFile(tree, ResultList{}, PropertyCriteriaFrom(settings), table),
              "Found: Property\r\n\r\nBit rate: < 128 Kbps\r\nSample rate: > 22050 Hz\r\n"
              "Channel mode: Stereo\r\nMPEG version: > 2.5\r\nMPEG layer: < 3\r\n"
              "Valid tag: Not present\r\n\r\n");
    settings.property = {1, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(PropertyResultsFile(tree, ResultList{}, PropertyCriteriaFrom(settings), table),
              "Found: Property\r\n\r\nBit rate: ? ? Kbps\r\n\r\n");
}

TEST_F(ResultFilesTest, DuplicateResultsWriteEachGroupAfterAnEmptyLine)
{
    const NodeId v2 = tree.appendChild(tree.root(), Volume("W"));
    tree.appendChild(v2, File("LIVE.MP3"));
    tree.appendChild(v2, File("live.mp3"));
    tree.appendChild(v2, File("live song.mp3"));
    settings.compareName = true;
    settings.duplicateArea = 3;
    NoProgress none;
    const testing::UmlautLocale locale;
    const testing::LocaleServices services{locale};
    const SearchScope scope{tree, services, none, "", "", ""};
    ASSERT_TRUE(DuplicateSearch(scope, DuplicateCriteriaFrom(settings), -1, results).found);
    ASSERT_EQ(results.size(), 5u);
    EXPECT_EQ(DuplicateResultsFile(tree, results, DuplicateCriteriaFrom(settings), table, "."),
              "Found: Duplicates\r\n"
              // The blank (0x20) sorts before the dot (0x2E).
              "\r\nlive song.mp3\r\nV\\F\\live song.mp3\r\nW\\live song.mp3\r\n"
              "\r\nLive.mp3\r\nV\\Live.mp3\r\nW\\LIVE.MP3\r\nW\\live.mp3\r\n");
}

TEST_F(ResultFilesTest, TextsAreWrittenInUtf8)
{
    settings.nameText = "\xC3\xA9t\xC3\xA9";  // UTF-8
    tree.setText(top, File("\xE9t\xE9.mp3")); // scanned on Windows: 1252
    tree.setText(tree.parent(top), Volume("\xC3\x84"));
    results.add("4", top);
    EXPECT_EQ(NameResultsFile(tree, results, NameCriteriaFrom(settings), table),
              "Found: Name\r\n\r\nText: \xC3\xA9t\xC3\xA9\r\nMatch case: No\r\n\r\n"
              "\xC3\x84\\\xC3\xA9t\xC3\xA9.mp3\r\n");
}

TEST_F(ResultFilesTest, ControlBytesAreWrittenAsQuestionMarks)
{
    settings.nameText = "a\tb";
    tree.setText(top, File("Li\x0Bve.mp3"));
    tree.setText(tree.parent(top), Volume("V\x1F"));
    results.add("4", top);
    EXPECT_EQ(NameResultsFile(tree, results, NameCriteriaFrom(settings), table),
              "Found: Name\r\n\r\nText: a?b\r\nMatch case: No\r\n\r\nV?\\Li?ve.mp3\r\n");
}

TEST_F(ResultFilesTest, RowsFoundOnADriveHoldRealFolders)
{
    tree.setText(tree.parent(tree.parent(song)), Volume("AUDIO\\Music"));
    results.add("3", song);
    results.add("4", top);
    EXPECT_EQ(NameResultsFile(tree, results, NameCriteriaFrom(settings), table, "/media/u/AUDIO"),
              "Found: Name\r\n\r\nText: \r\nMatch case: No\r\n\r\n"
              "/media/u/AUDIO/Music/F/live song.mp3\r\n/media/u/AUDIO/Music/Live.mp3\r\n");
}

} // namespace
} // namespace velmora::search
