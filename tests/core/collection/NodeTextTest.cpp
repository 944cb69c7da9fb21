// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/NodeText.h"

#include "Bytes.h"
#include "Samples.h"
#include "collection/DayNumber.h"
#include "display/Formats.h"
#include "platform/fakes/FakeLocale.h"
#include "texts/TextTable.h"

#include <gtest/gtest.h>

namespace velmora::collection {
namespace {

using display::ChannelText;
using display::FormatDay;
using display::FormatHMS;
using display::VersionText;
using testing::Bytes;

const std::string& kFile = testing::kExampleFile;
const std::string& kVolume = testing::kExampleVolume;
const std::string& kRoot = testing::kExampleRoot;
const std::string kFolder = Bytes("Rock[01]10[02]20[03]1[04]2[05]");

TEST(NodeText, NamesAndNumbersOfEveryLevel)
{
    EXPECT_EQ(NodeName(kFile), "song.mp3");
    EXPECT_EQ(NodeName(kRoot), "");
    EXPECT_EQ(NodeName("no marks at all"), "");
    EXPECT_EQ(NodeName(kVolume), "AUDIO");

    Numbers file{};
    ReadNumbers(kFile, file);
    EXPECT_EQ(file, (Numbers{3921, 245, 4410, 2, 1, 3}));

    Numbers volume{};
    ReadNumbers(kVolume, volume);
    EXPECT_EQ(volume, (Numbers{3921, 245, 0, 1, 45000, -805}));

    // A folder has four fields and the root five: the rest stay untouched.
    Numbers folder = {9, 9, 9, 9, 9, 9};
    ReadNumbers(kFolder, folder);
    EXPECT_EQ(folder, (Numbers{10, 20, 1, 2, 9, 9}));
    Numbers root = {0, 0, 0, 0, 0, 77};
    ReadNumbers(kRoot, root);
    EXPECT_EQ(root, (Numbers{3921, 245, 1, 1, 45000, 77}));
}

TEST(NodeText, UnreadableNumbersLeaveTheCallersValues)
{
    Numbers values = {5, 5, 5, 5, 5, 5};
    ReadNumbers(Bytes("x[01]12a[02][03]-0[04]99999999999999999999[05]+4[06] 7[07]"), values);
    EXPECT_EQ(values, (Numbers{5, 5, 0, 5, 4, 5}));
    // Marks out of order give empty fields.
    Numbers swapped = {1, 1, 1, 1, 1, 1};
    ReadNumbers(Bytes("x[02]3[01]4[03]"), swapped);
    EXPECT_EQ(swapped, (Numbers{1, 1, 1, 1, 1, 1}));
}

TEST(NodeText, Tags)
{
    Tags tags;
    ReadTags(kFile, tags);
    EXPECT_EQ(tags[kTitle], "Title");
    EXPECT_EQ(tags[kArtist], "Artist");
    EXPECT_EQ(tags[kAlbum], "");
    EXPECT_EQ(tags[kTrack], "7");
    EXPECT_EQ(tags[kYear], "1999");
    EXPECT_EQ(tags[kComment], "");

    ReadTags(kVolume, tags);
    for (const auto tag : tags)
        EXPECT_EQ(tag, "");

    const std::string untagged = FileText("a.mp3", {1, 2, 3, 4, 5, 6}, {});
    EXPECT_EQ(untagged, std::string(Bytes("a.mp3[01]1[02]2[03]3[04]4[05]5[06]6[07]")) +
                            Bytes("[15][16][17][18][19][1A][1B]"));
}

TEST(NodeText, BuildersFollowTheGrammar)
{
    EXPECT_EQ(CollectionText(3921, 245, 1, 1, 45000), kRoot);
    EXPECT_EQ(VolumeText("AUDIO", 3921, 245, 0, 1, 45000, -805), kVolume);
    EXPECT_EQ(FolderText("Rock", 10, 20, 1, 2), kFolder);
    EXPECT_EQ(
        FileText("song.mp3", {3921, 245, 4410, 2, 1, 3}, {"Title", "Artist", "", "7", "1999", ""}),
        kFile);
    // An empty label at a drive root: the text begins with the first mark.
    EXPECT_EQ(VolumeText("", 1, 2, 0, 1, 3, 4)[0], '\x01');
}

TEST(NodeText, BitRates)
{
    EXPECT_EQ(AverageBitRate(3921, 245), 131); // 3921 * 8.192 / 245 = 131.1
    EXPECT_EQ(AverageBitRate(3921, -245), 131);
    EXPECT_EQ(AverageBitRate(3921, 0), 0);
    EXPECT_EQ(AverageBitRate(1000, 8192), 1);    // exactly 1, not 0.999...
    EXPECT_EQ(AverageBitRate(15625, 1000), 128); // exactly 128

    EXPECT_EQ(StandardBitRate(120, 1, 3), 112); // halfway: the lower one
    EXPECT_EQ(StandardBitRate(128, 1, 3), 128);
    EXPECT_EQ(StandardBitRate(1000, 1, 3), 0);
    EXPECT_EQ(StandardBitRate(5000, 1, 3), 0);
    EXPECT_EQ(StandardBitRate(131, 1, 3), 128);
    EXPECT_EQ(StandardBitRate(330, 1, 3), 320);
    EXPECT_EQ(StandardBitRate(0, 1, 3), 0);
    EXPECT_EQ(StandardBitRate(447, 1, 1), 448);
    EXPECT_EQ(StandardBitRate(383, 1, 2), 384);
    EXPECT_EQ(StandardBitRate(250, 2, 1), 256);
    EXPECT_EQ(StandardBitRate(9, 2, 3), 8);
    EXPECT_EQ(StandardBitRate(9, 3, 2), 8); // MPEG-2.5 uses the MPEG-2 rows
    EXPECT_EQ(StandardBitRate(150, 3, 3), 144);
    EXPECT_EQ(StandardBitRate(128, 0, 3), 0);
    EXPECT_EQ(StandardBitRate(128, 1, 0), 0);
    EXPECT_EQ(StandardBitRate(128, 4, 4), 0);
}

TEST(NodeText, ArithmeticIsDefinedForEveryStoredNumber)
{
    // Durations whose |d| * 1000 wraps to 0 in 64 bits, and the smallest one.
    EXPECT_EQ(AverageBitRate(1000, INT64_MIN), 0);
    EXPECT_EQ(AverageBitRate(1000, std::int64_t{1} << 61), 0);
    EXPECT_EQ(AverageBitRate(1000, -(std::int64_t{3} << 61)), 0);
    // Sizes whose product with 8192 does not fit.
    EXPECT_EQ(AverageBitRate(INT64_MAX, 1000), 75557863725914323);
    EXPECT_EQ(AverageBitRate(INT64_MAX, 1), INT64_MAX);
    EXPECT_EQ(AverageBitRate(INT64_MIN, 1), INT64_MIN);
    EXPECT_EQ(StandardBitRate(INT64_MIN, 1, 3), 0);
    EXPECT_EQ(StandardBitRate(INT64_MAX, 1, 3), 0);
    EXPECT_EQ(StandardBitRate(-999, 1, 3), 0);

    EXPECT_EQ(FormatHMS(INT64_MAX), "2562047788015215:30:07");
    EXPECT_EQ(FormatHMS(INT64_MIN), "-2562047788015215:30:08");
    EXPECT_EQ(FormatHMS(-5), "-00:00:05");
    EXPECT_EQ(AbsClamped(INT64_MIN), INT64_MAX);
    EXPECT_EQ(AbsClamped(-7), 7);
    EXPECT_EQ(MultiplyClamped(4410, 10), 44100);
    EXPECT_EQ(MultiplyClamped(INT64_MAX / 5, 10), INT64_MAX);
    EXPECT_EQ(MultiplyClamped(INT64_MIN / 5, 10), INT64_MIN);
}

TEST(NodeText, TimesDatesAndCodes)
{
    EXPECT_EQ(FormatHMS(45296), "12:34:56");
    EXPECT_EQ(FormatHMS(5), "00:00:05");
    EXPECT_EQ(FormatHMS(3600), "01:00:00");
    EXPECT_EQ(FormatHMS(360000), "100:00:00");
    EXPECT_EQ(FormatHMS(0), "00:00:00");

    EXPECT_EQ(FormatDay(36526, "/"), "01/01/2000");
    EXPECT_EQ(FormatDay(0, "."), "30.12.1899");
    EXPECT_EQ(FormatDay(45000, "-"), "15-03-2023");
    EXPECT_EQ(FormatDay(36585, "/"), "29/02/2000");

    const texts::TextTable table;
    EXPECT_EQ(ChannelText(table, 1), "Stereo");
    EXPECT_EQ(ChannelText(table, 2), "Joint stereo");
    EXPECT_EQ(ChannelText(table, 3), "Dual channel");
    EXPECT_EQ(ChannelText(table, 4), "Mono");
    EXPECT_EQ(ChannelText(table, 0), "?");
    EXPECT_EQ(ChannelText(table, 5), "?");
    EXPECT_EQ(VersionText(1), "1");
    EXPECT_EQ(VersionText(2), "2");
    EXPECT_EQ(VersionText(3), "2.5");
    EXPECT_EQ(VersionText(0), "?");
}

TEST(NodeText, DayNumbersRoundTrip)
{
    EXPECT_EQ(DayNumber({2000, 1, 1}), 36526);
    EXPECT_EQ(DayNumber({1899, 12, 30}), 0);
    EXPECT_EQ(DayNumber({1900, 3, 1}), 61);
    for (std::int32_t day = -1000; day < 80000; day += 7) {
        const CivilDate date = CivilFromDayNumber(day);
        ASSERT_EQ(DayNumber(date), day);
    }
}

TEST(NodeText, PathsAndCleaning)
{
    EXPECT_EQ(PathAfterDrive("AUDIO"), "");
    EXPECT_EQ(PathAfterDrive("AUDIO\\Music\\Rock"), "Music\\Rock");
    EXPECT_EQ(PathAfterDrive(Bytes("\\x")), "x");

    EXPECT_EQ(CleanText("  Abc\td "), "Abcd");
    EXPECT_EQ(CleanText(Bytes("[01][02]")), "");
    EXPECT_EQ(CleanText(" a b "), "a b");

    std::string name, directory;
    EXPECT_FALSE(SplitCollectionPath("", name, directory));
    ASSERT_TRUE(SplitCollectionPath("/home/u/music.col", name, directory));
    EXPECT_EQ(name, "music");
    EXPECT_EQ(directory, "/home/u");
    ASSERT_TRUE(SplitCollectionPath("/a.b.col", name, directory));
    EXPECT_EQ(name, "a.b");
    EXPECT_EQ(directory, "/");
    ASSERT_TRUE(SplitCollectionPath("plain", name, directory));
    EXPECT_EQ(name, "plain");
    EXPECT_EQ(directory, "");
}

TEST(NodeText, TreeOrderPutsFoldersFirstThenNames)
{
    CollectionTree tree;
    const NodeId root = tree.addRoot(kRoot);
    const NodeId volume = tree.appendChild(root, kVolume);
    const NodeId fileB = tree.appendChild(volume, Bytes("b.mp3[01]"));
    const NodeId fileA = tree.appendChild(volume, Bytes("A.mp3[01]"));
    const NodeId folderZ = tree.appendChild(volume, Bytes("Z[01]"));
    tree.appendChild(folderZ, Bytes("inner.mp3[01]"));
    const fakes::FakeLocale locale;
    EXPECT_LT(CompareTreeNodes(tree, folderZ, fileA, locale), 0);
    EXPECT_GT(CompareTreeNodes(tree, fileA, folderZ, locale), 0);
    EXPECT_LT(CompareTreeNodes(tree, fileA, fileB, locale), 0);
    EXPECT_EQ(CompareTreeNodes(tree, fileA, fileA, locale), 0);

    EXPECT_EQ(KindOf(tree, root), NodeKind::Collection);
    EXPECT_EQ(KindOf(tree, volume), NodeKind::Volume);
    EXPECT_EQ(KindOf(tree, folderZ), NodeKind::Folder);
    EXPECT_EQ(KindOf(tree, fileA), NodeKind::File);
}

TEST(NodeText, ClampedSums)
{
    EXPECT_EQ(AddClamped(2, 3), 5);
    EXPECT_EQ(AddClamped(INT64_MAX, 1), INT64_MAX);
    EXPECT_EQ(AddClamped(INT64_MIN, -1), INT64_MIN);
}

} // namespace
} // namespace velmora::collection
