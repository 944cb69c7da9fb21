// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/ResultRows.h"

#include "SearchTestTree.h"
#include "settings/Settings.h"
#include "texts/TextTable.h"

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

TEST(ResultRows, PathRunsFromTheVolumeToTheParent)
{
    CollectionTree tree;
    const NodeId root = tree.addRoot(Root());
    const NodeId volume = tree.appendChild(root, Volume("V"));
    const NodeId folder = tree.appendChild(volume, Folder("F"));
    const NodeId inner = tree.appendChild(folder, Folder("G"));
    const NodeId deep = tree.appendChild(inner, File("song.mp3"));
    const NodeId top = tree.appendChild(volume, File("top.mp3"));
    EXPECT_EQ(RowPath(tree, deep), "V\\F\\G\\");
    EXPECT_EQ(RowPath(tree, top), "V\\");
    EXPECT_EQ(RowPath(tree, folder), "V\\");
    EXPECT_EQ(RowPath(tree, volume), "");
    EXPECT_EQ(RowPath(tree, root), "");
}

TEST(ResultRows, PathsOnADriveAreRealFolders)
{
    // The Windows example: D:\\ + (V\\F\\ without V\\).
    EXPECT_EQ(DrivePath("AUDIO\\Music\\Rock\\", "/media/u/AUDIO"), "/media/u/AUDIO/Music/Rock/");
    EXPECT_EQ(DrivePath("AUDIO\\", "/media/u/AUDIO/"), "/media/u/AUDIO/");
    EXPECT_EQ(DrivePath("", "/"), "/");
    EXPECT_EQ(DrivePath("AUDIO", "/mnt"), "/mnt/");

    CollectionTree tree;
    const NodeId root = tree.addRoot(Root());
    const NodeId volume = tree.appendChild(root, Volume("AUDIO\\Music"));
    const NodeId folder = tree.appendChild(volume, Folder("back\\slash"));
    const NodeId song = tree.appendChild(folder, File("song.mp3"));
    const NodeId top = tree.appendChild(volume, File("top.mp3"));
    EXPECT_EQ(RowPath(tree, song, "/media/u/AUDIO"), "/media/u/AUDIO/Music/back\\slash/");
    EXPECT_EQ(RowPath(tree, top, "/media/u/AUDIO"), "/media/u/AUDIO/Music/");
    EXPECT_EQ(RowPath(tree, volume, "/media/u/AUDIO"), "/media/u/AUDIO/");
    // A volume's root on a drive mounted at /.
    tree.setText(volume, Volume("ROOTFS"));
    EXPECT_EQ(RowPath(tree, song, "/"), "/back\\slash/");
}

TEST(ResultRows, TagCellsOfTheUsedColumns)
{
    settings::Settings s;
    s.tagText = {"", "a", " \t", "", "", "c"};
    const std::array<bool, 6> used = UsedTagColumns(TagCriteriaFrom(s));
    EXPECT_EQ(used, (std::array<bool, 6>{false, true, false, false, false, true}));
    const std::string file = File("x", {}, {"T", "  ", "Al", "", "", "Note"});
    EXPECT_EQ(TagCells(file, used), (std::vector<std::string>{"", "Note"}));
}

TEST(ResultRows, PropertyCells)
{
    const texts::TextTable table;
    const PropertyCriteria all =
        PropertyCriteriaFrom(PropertyBytes{1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0});
    EXPECT_EQ(
        PropertyCells(File("x", {4000, -240, 2205, 4, 3, 1}), all, table),
        (std::vector<std::string>{"VBR 136 Kbps", "22050 Hz", "Mono", "2.5", "1", "Not present"}));
    // A zero duration counts as constant: CBR 0.
    EXPECT_EQ(PropertyCells(File("x", {931, 0, 4410, 9, 7, 3}, {"t"}), all, table),
              (std::vector<std::string>{"CBR 0 Kbps", "44100 Hz", "?", "?", "3", "Present"}));
    PropertyCriteria some;
    some.sampleRate.used = true;
    some.layer.used = true;
    EXPECT_EQ(PropertyCells(File("x", {931, 60, 4410, 1, 1, 2}), some, table),
              (std::vector<std::string>{"44100 Hz", "2"}));
    some.bitRate.used = true;
    EXPECT_EQ(PropertyCells(File("x", {931, 60, 4410, 1, 1, 3}), some, table)[0], "CBR 128 Kbps");
}

TEST(ResultRows, DuplicateGroupLabels)
{
    const texts::TextTable table;
    const std::string file = File("a.mp3", {4000, -3725, 4410, 1, 1, 3});
    EXPECT_EQ(DuplicateGroupLabel(file, true, false, table, ","), "a.mp3");
    EXPECT_EQ(DuplicateGroupLabel(file, false, true, table, ","), "3,906 Mb, 01:02:05 H:M:S");
    EXPECT_EQ(DuplicateGroupLabel(file, true, true, table, "."), "a.mp3, 3.906 Mb, 01:02:05 H:M:S");
    EXPECT_EQ(DuplicateGroupLabel(File("b", {1024, 0}), false, true, table, "."),
              "1.000 Mb, 00:00:00 H:M:S");
}

} // namespace
} // namespace velmora::search
