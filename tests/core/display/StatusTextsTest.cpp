// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/StatusTexts.h"

#include "collection/DayNumber.h"
#include "core/collection/SongText.h"
#include "display/Formats.h"
#include "texts/TextTable.h"

#include <gtest/gtest.h>

namespace velmora::display {
namespace {

using collection::NodeId;

TEST(StatusTextsTest, MegabytesRoundHalfToEvenInShortestForm)
{
    EXPECT_EQ(MegabytesShortest(3921, "."), "3.83");
    EXPECT_EQ(MegabytesShortest(1024, "."), "1");
    EXPECT_EQ(MegabytesShortest(128, "."), "0.12");
    EXPECT_EQ(MegabytesShortest(1536, ","), "1,5");
    EXPECT_EQ(MegabytesShortest(0, "."), "0");
}

class StatusTextsTreeTest : public ::testing::Test {
protected:
    StatusTextsTreeTest()
    {
        const NodeId root = tree.addRoot(collection::CollectionText(3921, 245, 1, 1, 45000));
        volume =
            tree.appendChild(root, collection::VolumeText("AUDIO", 3921, 245, 1, 1, 45000, -805));
        folder = tree.appendChild(volume, collection::FolderText("Rock", 3921, 245, 0, 1));
        file = tree.appendChild(folder, testing::SongText("song.mp3", "7", "Title"));
    }
    collection::CollectionTree tree;
    texts::TextTable table;
    NodeId volume, folder, file;
};

TEST_F(StatusTextsTreeTest, CbrFileOfTheExample)
{
    const auto panels = StatusPanelTexts(tree, file, table, ".", "/");
    EXPECT_EQ(panels[0], "3.83 Mb");
    EXPECT_EQ(panels[1], "00:04:05 H:M:S");
    EXPECT_EQ(panels[2], "CBR 128 Kbps");
    EXPECT_EQ(panels[3], "44100 Hz");
    EXPECT_EQ(panels[4], "Joint stereo");
    EXPECT_EQ(panels[5], "MPEG 1 Layer 3");
}

TEST_F(StatusTextsTreeTest, VbrFileShowsAverageRate)
{
    collection::Numbers numbers{3921, -245, 4410, 2, 1, 3};
    const NodeId vbr = tree.appendChild(folder, collection::FileText("v.mp3", numbers, {}));
    EXPECT_EQ(StatusPanelTexts(tree, vbr, table, ".", "/")[2], "VBR 131 Kbps");
}

TEST_F(StatusTextsTreeTest, FolderShowsItsVolumesScanDate)
{
    const auto panels = StatusPanelTexts(tree, folder, table, ".", "/");
    EXPECT_EQ(panels[2], "ABR 131 Kbps");
    EXPECT_EQ(panels[3], "0 Folder(s)");
    EXPECT_EQ(panels[4], "1 File(s)");
    EXPECT_EQ(panels[5], display::FormatDay(45000, "/"));
    EXPECT_EQ(StatusPanelTexts(tree, volume, table, ".", "/")[5], panels[5]);
    EXPECT_EQ(StatusPanelTexts(tree, volume, table, ".", "/")[3], "1 Folder(s)");
}

} // namespace
} // namespace velmora::display
