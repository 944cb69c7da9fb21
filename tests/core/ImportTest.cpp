#include "collection/Import.h"

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
    const std::string empty = "\x15\x16\x17\x18\x19\x1A\x1B";
    EXPECT_EQ(Texts(scratch), (std::vector<std::string>{
                                  "\x01"
                                  "700\x02"
                                  "1000\x03"
                                  "2\x04"
                                  "3\x05"
                                  "44000\x06",
                                  "CD1\x01"
                                  "500\x02"
                                  "800\x03"
                                  "1\x04"
                                  "2\x05"
                                  "43000\x06"
                                  "0\x07",
                                  "Rock\x01"
                                  "500\x02"
                                  "800\x03"
                                  "0\x04"
                                  "2\x05",
                                  "a.mp3\x01"
                                  "120\x02"
                                  "-300\x03"
                                  "4410\x04"
                                  "2\x05"
                                  "1\x06"
                                  "3\x07" +
                                      empty,
                                  "b.mp2\x01"
                                  "380\x02"
                                  "500\x03"
                                  "4800\x04"
                                  "4\x05"
                                  "2\x06"
                                  "2\x07" +
                                      empty,
                                  "CD2\x01"
                                  "200\x02"
                                  "200\x03"
                                  "0\x04"
                                  "1\x05"
                                  "43500\x06"
                                  "0\x07",
                                  "c.mp3\x01"
                                  "200\x02"
                                  "200\x03"
                                  "4410\x04"
                                  "1\x05"
                                  "1\x06"
                                  "1\x07" +
                                      empty,
                              }));
    EXPECT_EQ(scratch.level(scratch.atPosition(3)), 3u);
}

TEST(OlderFormat, LineEndsAndLeafVolumes)
{
    // LF only; a volume line without lines below becomes a file node.
    CollectionTree scratch;
    ASSERT_TRUE(ConvertOlderFile("Single\n1;2;0;1;1;3\n5;6;-1;441;3;23\nclosing\n", scratch));
    ASSERT_EQ(scratch.size(), 2u);
    EXPECT_EQ(scratch.text(scratch.atPosition(1)), std::string("Single\x01"
                                                               "5\x02"
                                                               "-6\x03"
                                                               "4410\x04"
                                                               "4\x05"
                                                               "2\x06"
                                                               "3\x07") +
                                                       "\x15\x16\x17\x18\x19\x1A\x1B");
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
    const std::string bytes = "\x01"
                              "3921\x02"
                              "245\x03"
                              "1\x04"
                              "1\x05"
                              "45000\x06\r\n"
                              "\tAUDIO\x01"
                              "3921\x02"
                              "245\x03"
                              "0\x04"
                              "1\x05"
                              "45000\x06"
                              "-805\x07\r\n"
                              "\t\tsong.mp3\x01"
                              "3921\x02"
                              "245\x03"
                              "4410\x04"
                              "2\x05"
                              "1\x06"
                              "3\x07"
                              "\x15\x16\x17\x18\x19\x1A\x1B\r\n";
    WriteBytes(source, bytes);
    ASSERT_TRUE(store.ImportCollection(source, progress));
    EXPECT_TRUE(store.modified());
    EXPECT_EQ(store.currentPath(), "");

    CollectionStore opened(files, clock, texts);
    ASSERT_TRUE(opened.LoadCollection(source, progress).loaded());
    std::vector<std::string> imported = Texts(store.tree());
    std::vector<std::string> loaded = Texts(opened.tree());
    EXPECT_EQ(imported.front(), "\x01"
                                "3921\x02"
                                "245\x03"
                                "1\x04"
                                "1\x05"
                                "46000\x06");
    imported.erase(imported.begin());
    loaded.erase(loaded.begin());
    EXPECT_EQ(imported, loaded);

    // A second import gives every volume twice and doubles the totals.
    ASSERT_TRUE(store.ImportCollection(source, progress));
    EXPECT_EQ(store.tree().childCount(store.tree().root()), 2u);
    EXPECT_EQ(store.tree().text(store.tree().root()), "\x01"
                                                      "7842\x02"
                                                      "490\x03"
                                                      "2\x04"
                                                      "2\x05"
                                                      "46000\x06");
    EXPECT_EQ(store.tree().size(), 5u);
    EXPECT_EQ(store.tree().level(store.tree().atPosition(4)), 2u);
}

TEST_F(ImportTest, OlderFileIsAppendedAfterExistingVolumes)
{
    store.tree().appendChild(store.tree().root(), "MINE\x01"
                                                  "1\x02"
                                                  "2\x03"
                                                  "0\x04"
                                                  "1\x05"
                                                  "3\x06"
                                                  "4\x07");
    const std::string source = dir.file("old.vlm");
    WriteBytes(source, kOlder);
    ASSERT_TRUE(store.ImportCollection(source, progress));
    const CollectionTree& tree = store.tree();
    EXPECT_EQ(tree.childCount(tree.root()), 3u);
    EXPECT_EQ(NodeName(tree.text(tree.firstChild(tree.root()))), "MINE");
    EXPECT_EQ(NodeName(tree.text(tree.lastChild(tree.root()))), "CD2");
    // The root's own numbers (all 0 for a new collection) plus the imported.
    EXPECT_EQ(tree.text(tree.root()), "\x01"
                                      "700\x02"
                                      "1000\x03"
                                      "2\x04"
                                      "3\x05"
                                      "46000\x06");
    EXPECT_TRUE(store.scratch().empty());
}

TEST_F(ImportTest, FailedImportsChangeNothing)
{
    store.tree().appendChild(store.tree().root(), "MINE\x01"
                                                  "1\x02");
    const std::vector<std::string> before = Texts(store.tree());
    const std::string upper = dir.file("old.VLM");
    WriteBytes(upper, kOlder); // not 0x01 at the start, and not taken as older
    const std::string broken = dir.file("broken.col");
    WriteBytes(broken, "\x01r\r\n\tv\r\n\t\t\tdeep\r\n");
    const std::string badOld = dir.file("bad.vlm");
    WriteBytes(badOld, "V\r\n1;1;0;1;1;1\r\n");

    for (const std::string& path : {upper, broken, badOld, dir.file("missing.col")})
        EXPECT_FALSE(store.ImportCollection(path, progress)) << path;
    EXPECT_EQ(Texts(store.tree()), before);
    EXPECT_FALSE(store.modified());
    EXPECT_TRUE(store.scratch().empty());
}

} // namespace
} // namespace velmora::collection
