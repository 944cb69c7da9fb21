// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/Import.h"

#include "Bytes.h"
#include "TestDir.h"
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "system/Progress.h"
#include "texts/TextTable.h"

#include <gtest/gtest.h>

namespace velmora::collection {
namespace {

using testing::Bytes;

using testing::ReadBytes;
using testing::TestDir;
using testing::WriteBytes;

constexpr std::int32_t kToday = 46000;

// An older file: volume CD1 with folder Rock holding two files, and volume
// CD2 holding one file directly.
const std::string kOlder =
    "CD1\r\n"
    "\tRock\r\n"
    "\t\ta.mp3\r\n"
    "\t\t b.mp2 \r\n"
    "CD2\r\n"
    "\tc.mp3\r\n"
    "700;1000;0;2;3;44000\r\n"       // collection
    "500;800;0;1;2;43000\r\n"        // CD1
    "500;800;0;0;2;0\r\n"            // Rock
    "120;300;-128;441;1;13\r\n"      // a.mp3: VBR, 44100 Hz, joint stereo, MPEG 1 Layer III
    "380;500;128;480;3;22\r\n"       // b.mp2
    "200;200;0;0;1;43500\r\n"        // CD2
    "9;1;2;3;200;200;0;441;0;11\r\n" // c.mp3: more than six numbers, the last six count
    "end\r\n";

std::vector<std::string> Texts(const CollectionTree& tree)
{
    std::vector<std::string> texts;
    for (NodeId n = tree.root(); n != kNoNode; n = tree.nextInPreOrder(n))
        texts.emplace_back(tree.text(n));
    return texts;
}

TEST(OlderFormat, ConvertsEveryKindOfNode)
{
    CollectionTree scratch;
    ASSERT_TRUE(ConvertOlderFile(kOlder, scratch));
    const std::string empty = Bytes("[15][16][17][18][19][1A][1B]");
    EXPECT_EQ(Texts(scratch), (std::vector<std::string>{
                                  Bytes("[01]700[02]1000[03]2[04]3[05]44000[06]"),
                                  Bytes("CD1[01]500[02]800[03]1[04]2[05]43000[06]0[07]"),
                                  Bytes("Rock[01]500[02]800[03]0[04]2[05]"),
                                  Bytes("a.mp3[01]120[02]-300[03]4410[04]2[05]1[06]3[07]") + empty,
                                  Bytes("b.mp2[01]380[02]500[03]4800[04]4[05]2[06]2[07]") + empty,
                                  Bytes("CD2[01]200[02]200[03]0[04]1[05]43500[06]0[07]"),
                                  Bytes("c.mp3[01]200[02]200[03]4410[04]1[05]1[06]1[07]") + empty,
                              }));
    EXPECT_EQ(scratch.level(scratch.atPosition(3)), 3u);
}

TEST(OlderFormat, LineEndsAndLeafVolumes)
{
    // LF only; a volume line without lines below becomes a file node.
    CollectionTree scratch;
    ASSERT_TRUE(ConvertOlderFile("Single\n1;2;0;1;1;3\n5;6;-1;441;3;23\nclosing\n", scratch));
    ASSERT_EQ(scratch.size(), 2u);
    EXPECT_EQ(scratch.text(scratch.atPosition(1)),
              std::string(Bytes("Single[01]5[02]-6[03]4410[04]4[05]2[06]3[07]")) +
                  Bytes("[15][16][17][18][19][1A][1B]"));
}

TEST(OlderFormat, MarkBytesInsideNamesAreDropped)
{
    // 0x01 and 0x15 in a name would start the numeric and tag parts early.
    CollectionTree scratch;
    ASSERT_TRUE(ConvertOlderFile("CD\x01"
                                 "9\r\n"
                                 "\t so\x15ng\x01.mp3\r\n"
                                 "7;8;0;1;1;40000\r\n"
                                 "7;8;0;0;1;40000\r\n"
                                 "7;8;-1;441;3;13\r\n"
                                 "end\r\n",
                                 scratch));
    EXPECT_EQ(Texts(scratch), (std::vector<std::string>{
                                  Bytes("[01]7[02]8[03]1[04]1[05]40000[06]"),
                                  Bytes("CD9[01]7[02]8[03]0[04]1[05]40000[06]0[07]"),
                                  Bytes("song.mp3[01]7[02]-8[03]4410[04]4[05]1[06]3[07]") +
                                      Bytes("[15][16][17][18][19][1A][1B]"),
                              }));
}

TEST(OlderFormat, Refusals)
{
    CollectionTree scratch;
    // Without the closing line the counts differ.
    EXPECT_FALSE(
        ConvertOlderFile("V\r\n\tf\r\n1;1;0;1;1;1\r\n1;1;0;0;1;1\r\n1;1;0;441;1;13\r\n", scratch));
    // Nested two levels below the line before.
    EXPECT_FALSE(ConvertOlderFile(
        "V\r\n\t\tf\r\n1;1;0;1;1;1\r\n1;1;0;0;1;1\r\n1;1;0;441;1;13\r\nx\r\n", scratch));
    // A number that cannot be read, too few numbers, too large a number.
    EXPECT_FALSE(ConvertOlderFile("f\r\n1;1;0;1;1;1\r\n1;x;0;441;1;13\r\nx\r\n", scratch));
    EXPECT_FALSE(ConvertOlderFile("f\r\n1;1;0;1;1;1\r\n1;0;441;1;13\r\nx\r\n", scratch));
    EXPECT_FALSE(
        ConvertOlderFile("f\r\n1;1;0;1;1;1\r\n1;99999999999999999;0;441;1;13\r\nx\r\n", scratch));
    // No data section at all.
    EXPECT_FALSE(ConvertOlderFile("V\r\n\tf\r\n", scratch));
    EXPECT_FALSE(ConvertOlderFile("", scratch));
}

TEST(OlderFormat, ExtensionIsComparedExactly)
{
    EXPECT_TRUE(IsOlderFormatPath("/m/old.vlm"));
    EXPECT_FALSE(IsOlderFormatPath("/m/old.VLM"));
    EXPECT_FALSE(IsOlderFormatPath("/m/old.col"));
    EXPECT_FALSE(IsOlderFormatPath("/m/old"));
}

class ImportTest : public ::testing::Test {
protected:
    TestDir dir;
    fakes::FaultyFileSystem files;
    fakes::FakeClock clock{kToday};
    texts::TextTable texts;
    CollectionStore store{files, clock, texts};
    NoProgress progress;
};

TEST_F(ImportTest, ImportIntoEmptyCollectionEqualsOpening)
{
    const std::string source = dir.file("other.col");
    const std::string bytes =
        Bytes("[01]3921[02]245[03]1[04]1[05]45000[06]\r\n\tAUDIO[01]3921[02]245[03]0[04]1[05]45000["
              "06]-805[07]\r\n\t\tsong.mp3[01]3921[02]245[03]4410[04]2[05]1[06]3[07][15][16][17]["
              "18][19][1A][1B]\r\n");
    WriteBytes(source, bytes);
    ASSERT_TRUE(store.ImportCollection(source, progress));
    EXPECT_TRUE(store.modified());
    EXPECT_EQ(store.currentPath(), "");

    CollectionStore opened(files, clock, texts);
    ASSERT_TRUE(opened.LoadCollection(source, progress).loaded());
    std::vector<std::string> imported = Texts(store.tree());
    std::vector<std::string> loaded = Texts(opened.tree());
    EXPECT_EQ(imported.front(), Bytes("[01]3921[02]245[03]1[04]1[05]46000[06]"));
    imported.erase(imported.begin());
    loaded.erase(loaded.begin());
    EXPECT_EQ(imported, loaded);

    // A second import gives every volume twice and doubles the totals.
    ASSERT_TRUE(store.ImportCollection(source, progress));
    EXPECT_EQ(store.tree().childCount(store.tree().root()), 2u);
    EXPECT_EQ(store.tree().text(store.tree().root()),
              Bytes("[01]7842[02]490[03]2[04]2[05]46000[06]"));
    EXPECT_EQ(store.tree().size(), 5u);
    EXPECT_EQ(store.tree().level(store.tree().atPosition(4)), 2u);
}

TEST_F(ImportTest, OlderFileIsAppendedAfterExistingVolumes)
{
    store.tree().appendChild(store.tree().root(), Bytes("MINE[01]1[02]2[03]0[04]1[05]3[06]4[07]"));
    const std::string source = dir.file("old.vlm");
    WriteBytes(source, kOlder);
    ASSERT_TRUE(store.ImportCollection(source, progress));
    const CollectionTree& tree = store.tree();
    EXPECT_EQ(tree.childCount(tree.root()), 3u);
    EXPECT_EQ(NodeName(tree.text(tree.firstChild(tree.root()))), "MINE");
    EXPECT_EQ(NodeName(tree.text(tree.lastChild(tree.root()))), "CD2");
    // The root's own numbers (all 0 for a new collection) plus the imported.
    EXPECT_EQ(tree.text(tree.root()), Bytes("[01]700[02]1000[03]2[04]3[05]46000[06]"));
    EXPECT_TRUE(store.scratch().empty());
}

TEST_F(ImportTest, FailedImportsChangeNothing)
{
    store.tree().appendChild(store.tree().root(), Bytes("MINE[01]1[02]"));
    const std::vector<std::string> before = Texts(store.tree());
    const std::string upper = dir.file("old.VLM");
    WriteBytes(upper, kOlder); // not 0x01 at the start, and not taken as older
    const std::string broken = dir.file("broken.col");
    WriteBytes(broken, Bytes("[01]r\r\n\tv\r\n\t\t\tdeep\r\n"));
    const std::string badOld = dir.file("bad.vlm");
    WriteBytes(badOld, "V\r\n1;1;0;1;1;1\r\n");
    const std::string withNul = dir.file("nul.col");
    WriteBytes(withNul, Bytes("[01]r\r\n\tv[01]1[02]\r\n") + std::string(1, '\0') + "\r\n");

    for (const std::string& path : {upper, broken, badOld, withNul, dir.file("missing.col")})
        EXPECT_FALSE(store.ImportCollection(path, progress)) << path;
    EXPECT_EQ(Texts(store.tree()), before);
    EXPECT_FALSE(store.modified());
    EXPECT_TRUE(store.scratch().empty());
}

} // namespace
} // namespace velmora::collection
