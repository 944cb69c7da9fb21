// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AudioInfo.h"

#include "Frames.h"
#include "TestDir.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "system/MemoryFile.h"

#include <gtest/gtest.h>

namespace velmora::audio {
namespace {

using namespace velmora::testing;

class AudioInfoTest : public ::testing::Test {
protected:
    TAudioInfo& Analyse(const std::string& bytes)
    {
        file = MemoryFile(bytes);
        // Bytes in memory are read without failure.
        EXPECT_TRUE(info.AnalyseStream(file, 0, file.size()));
        return info;
    }

    fakes::FaultyFileSystem files;
    TAudioInfo info{files};
    MemoryFile file;
};

TEST_F(AudioInfoTest, TinyAndGarbageInputs)
{
    EXPECT_FALSE(Analyse("abc").Header.Valid());
    EXPECT_EQ(info.DurationMs, 0);
    EXPECT_EQ(info.FirstFrameOffset, -1);
    EXPECT_FALSE(Analyse(std::string(20000, '\xFF')).Header.Valid());
    EXPECT_FALSE(Analyse("").Header.Valid());
}

TEST_F(AudioInfoTest, ConstantBitRateDurationCountsFromTheFirstFrameToTheTag)
{
    // 1,000,000 bytes with a tag: (999,872 * 8 div 128,000) s = 62 s.
    std::string bytes = Stream(kMp3Header, kMp3FrameLength, 1'000'000 / kMp3FrameLength);
    bytes.resize(1'000'000 - 128, '\0');
    bytes += Id3v1("Title", "Artist", "Album", "2001", "Comment", 3);
    Analyse(bytes);
    ASSERT_TRUE(info.Header.Valid());
    EXPECT_EQ(info.FirstFrameOffset, 0);
    EXPECT_FALSE(info.IsVBR);
    EXPECT_EQ(info.DurationMs, 62000);
    ASSERT_TRUE(info.Tag.Present);
    EXPECT_EQ(info.Tag.Title, "Title");
    EXPECT_EQ(info.Tag.Track, 3);
}

TEST_F(AudioInfoTest, SearchWindowAndChunkBoundaries)
{
    // A header across two 128-byte chunks is found.
    Analyse(std::string(126, '\0') + Stream(kMp3Header, kMp3FrameLength, 3));
    EXPECT_TRUE(info.Header.Valid());
    EXPECT_EQ(info.FirstFrameOffset, 126);

    // The search ends with the chunk that brings it to 10,240 bytes: 10,296
    // bytes are covered.
    for (const std::size_t offset : {10240u, 10291u, 10292u, 10300u}) {
        Analyse(std::string(offset, '\0') + Stream(kMp3Header, kMp3FrameLength, 3));
        EXPECT_EQ(info.Header.Valid(), offset <= 10292) << offset;
    }
}

TEST_F(AudioInfoTest, SecondHeaderDecides)
{
    const std::string two = Stream(kMp3Header, kMp3FrameLength, 2) + std::string(10, '\0');
    EXPECT_TRUE(Analyse(two).Header.Valid());
    std::string garbage = Frame(kMp3Header, kMp3FrameLength) + std::string(500, '\x11');
    EXPECT_FALSE(Analyse(garbage).Header.Valid());
    // Too short to hold a second header: the first one's verdict stands.
    EXPECT_TRUE(Analyse(Frame(kMp3Header, kMp3FrameLength)).Header.Valid());
}

TEST_F(AudioInfoTest, XingBlock)
{
    const std::string header = Header(1, 3, 9, 0, false, 1);
    std::string bytes =
        XingFrame(header, kMp3FrameLength, 36, 0x0F, 10000) + Stream(header, kMp3FrameLength, 5);
    Analyse(bytes);
    EXPECT_TRUE(info.IsVBR);
    EXPECT_EQ(info.DurationMs, 261000); // 10000 * 1152 / 44100 = 261.2

    bytes = XingFrame(header, kMp3FrameLength, 36, 0x02, 0) + Stream(header, kMp3FrameLength, 5);
    Analyse(bytes);
    EXPECT_TRUE(info.IsVBR);
    EXPECT_EQ(info.DurationMs, 0);

    // Single channel MPEG-2: the block sits 13 bytes into the frame.
    const std::string mono = Header(2, 3, 8, 0, false, 3);
    Analyse(XingFrame(mono, 208, 13, 1, 1000) + Stream(mono, 208, 3));
    EXPECT_TRUE(info.IsVBR);
    EXPECT_EQ(info.DurationMs, 26000); // 1000 * 576 / 22050 = 26.1
}

TEST_F(AudioInfoTest, TagMustFollowTheFirstFrame)
{
    // "TAG" begins the last 128 bytes, but only 3 bytes follow the end of
    // the first frame (too few for a second header, so the first stands).
    std::string bytes = Frame(kMp3Header, kMp3FrameLength) + "abc";
    bytes.replace(bytes.size() - 128, 128, Id3v1("T", "", "", "", ""));
    Analyse(bytes);
    EXPECT_TRUE(info.Header.Valid());
    EXPECT_FALSE(info.Tag.Present);
}

TEST_F(AudioInfoTest, FileAnalysisSkipsId3v2AndFillsFileFields)
{
    TestDir dir;
    const std::string path = dir.file("tagged.mp3");
    // An ID3v2 tag holding a frame pair of another stream, then 30 KB of
    // tag body: without skipping, the search would stop in the tag.
    const std::string decoy = Stream(Header(2, 3, 8, 0), 208, 2);
    const std::string audio = Stream(kMp3Header, kMp3FrameLength, 100);
    WriteBytes(path, Id3v2(decoy + std::string(30000, '\0')) + audio);
    info.AnalyseFile(path);
    ASSERT_TRUE(info.Header.Valid());
    EXPECT_EQ(info.Header.VersionIndex(), 1);
    EXPECT_EQ(info.FirstFrameOffset, 0); // from the end of the tag
    EXPECT_EQ(info.DurationMs, static_cast<std::int64_t>(audio.size()) * 8 / 128000 * 1000);
    EXPECT_EQ(info.FileSize, static_cast<std::int64_t>(10 + decoy.size() + 30000 + audio.size()));
    EXPECT_GT(info.FileDate, 0);
    EXPECT_EQ(info.FileAttributes & 0x20u, 0x20u);

    info.AnalyseFile(dir.file("missing.mp3"));
    EXPECT_FALSE(info.Header.Valid());
    EXPECT_EQ(info.FileSize, -1);
    info.AnalyseFile("  ");
    EXPECT_EQ(info.FileSize, -1);
    files.failOpen = true;
    info.AnalyseFile(path);
    EXPECT_FALSE(info.Header.Valid());
}

} // namespace
} // namespace velmora::audio
