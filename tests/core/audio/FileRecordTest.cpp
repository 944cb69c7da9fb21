// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/FileRecord.h"

#include "Bytes.h"
#include "Frames.h"
#include "TestDir.h"
#include "platform/fakes/FaultyFileSystem.h"

#include <gtest/gtest.h>

namespace velmora::audio {
namespace {

using namespace velmora::testing;

class FileRecordTest : public ::testing::Test {
protected:
    FileRecord Analyse(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.file(name);
        WriteBytes(path, bytes);
        return analyser.Analyse(path);
    }

    TestDir dir;
    fakes::FaultyFileSystem files;
    FileAnalyser analyser{files};
};

TEST_F(FileRecordTest, MainAnalyserWithTag)
{
    const std::string audio = Stream(kMp3Header, kMp3FrameLength, 2456);
    const FileRecord record =
        Analyse("song.mp3", audio + Id3v1("  Title\x01", "Artist", "", "1999", "Nice", 7));
    EXPECT_EQ(record.analyser, Analyser::Mpeg);
    EXPECT_EQ(record.numbers, (collection::Numbers{1000, 64, 4410, 2, 1, 3}));
    EXPECT_EQ(record.tags,
              (std::array<std::string, 6>{"Title", "Artist", "", "7", "1999", "Nice"}));
    EXPECT_EQ(FileNodeText(" song.mp3", record),
              Bytes("song.mp3[01]1000[02]64[03]4410[04]2[05]1[06]3[07]"
                    "[15]Title[16]Artist[17][18]7[19]1999[1A]Nice[1B]"));
}

TEST_F(FileRecordTest, VariableBitRateIsNegative)
{
    const std::string mono = Header(1, 3, 9, 0, false, 3);
    const FileRecord record = Analyse("vbr.mp3", XingFrame(mono, kMp3FrameLength, 21, 1, 11484) +
                                                     Stream(mono, kMp3FrameLength, 5));
    EXPECT_EQ(record.numbers[collection::kDuration], -300); // 11484 * 1152 / 44100 = 299.99
    EXPECT_EQ(record.numbers[collection::kChannelCode], 4);
    EXPECT_EQ(record.tags, (std::array<std::string, 6>{})); // no tag, no texts
}

TEST_F(FileRecordTest, BoundedAnalyserTakesOverForFreeFormat)
{
    // A free-format stream (bit-rate index 0): the main analyser never
    // accepts it; the bounded one does, with no time.
    const std::string free = Header(1, 3, 0, 0);
    const FileRecord record =
        Analyse("free.mp3", free + std::string(3000, '\0') + Id3v1("T", "", "", "", "", 40));
    EXPECT_EQ(record.analyser, Analyser::Info);
    EXPECT_EQ(record.numbers, (collection::Numbers{3, 0, 4410, 2, 1, 3}));
    EXPECT_EQ(record.tags[0], "T");
    EXPECT_EQ(record.tags[3], ""); // track 40 is no track
}

TEST_F(FileRecordTest, NeitherAnalyserKeepsTheSize)
{
    const FileRecord text = Analyse("text.mp3", std::string(5000, 'a'));
    EXPECT_EQ(text.analyser, Analyser::None);
    EXPECT_EQ(text.numbers, (collection::Numbers{4, 0, 0, 0, 0, 0}));
    EXPECT_EQ(FileNodeText("text.mp3", text),
              Bytes("text.mp3[01]4[02]0[03]0[04]0[05]0[06]0[07][15][16][17][18][19][1A][1B]"));
    EXPECT_EQ(Analyse("empty.mp3", "").numbers, (collection::Numbers{}));
    EXPECT_EQ(analyser.Analyse(dir.file("missing.mp3")).numbers, (collection::Numbers{}));
}

TEST(TrackRule, OnlyOneToThirtyOne)
{
    EXPECT_EQ(TrackText(0), "");
    EXPECT_EQ(TrackText(1), "1");
    EXPECT_EQ(TrackText(31), "31");
    EXPECT_EQ(TrackText(32), "");
    EXPECT_EQ(TrackText(121), "");
}

} // namespace
} // namespace velmora::audio
