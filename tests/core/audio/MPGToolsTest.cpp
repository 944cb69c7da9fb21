// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/MPGTools.h"

#include "Frames.h"
#include "TestDir.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "system/MemoryFile.h"

#include <gtest/gtest.h>
#include <random>

namespace velmora::audio {
namespace {

using namespace velmora::testing;

constexpr std::int64_t kSomeTime = 1'000'000'000; // September 2001

class MpegAudioTest : public ::testing::Test {
protected:
    AnalysisStatus Analyse(const std::string& bytes)
    {
        file = MemoryFile(bytes);
        FileStatus status;
        status.size = file.size();
        status.modified = kSomeTime;
        return mpeg.AnalyseSource(file, status);
    }
    const MpegRecord& r() const { return mpeg.record(); }

    fakes::FaultyFileSystem files;
    TMPEGAudio mpeg{files};
    MemoryFile file;
};

TEST_F(MpegAudioTest, ConstantBitRateFileFromOffsetZero)
{
    std::string bytes = Stream(kMp3Header, kMp3FrameLength, 4'000'000 / kMp3FrameLength + 1);
    bytes.resize(4'000'000);
    EXPECT_EQ(Analyse(bytes), AnalysisStatus::Complete);
    EXPECT_TRUE(mpeg.valid());
    EXPECT_EQ(r().BitRate, 128);
    EXPECT_EQ(r().Duration, 250); // 4,000,000 * 8 div 128,000
    EXPECT_EQ(r().Version, 1);
    EXPECT_EQ(r().Layer, 3);
    EXPECT_EQ(r().SampleRate, 44100);
    EXPECT_EQ(r().Mode, 1);
    EXPECT_EQ(r().FrameLength, 417);
    EXPECT_EQ(r().Length, 4'000'000);
    EXPECT_TRUE(r().ErrorProt);
    EXPECT_FALSE(mpeg.hasTag());
    EXPECT_EQ(r().TagId, "BAD");
    EXPECT_EQ(r().Year, "    ");
    EXPECT_EQ(r().Genre, 255);
}

TEST_F(MpegAudioTest, TinyFilesAreResetAndNotValid)
{
    EXPECT_EQ(Analyse("12345"), AnalysisStatus::Complete);
    EXPECT_FALSE(mpeg.valid());
    EXPECT_EQ(r().Length, 0);
    EXPECT_NE(Analyse(std::string(127, 'x')), AnalysisStatus::Complete);
    EXPECT_FALSE(mpeg.valid());
    EXPECT_EQ(r().Length, 127);
    EXPECT_FALSE(mpeg.hasTag());
}

TEST_F(MpegAudioTest, JunkInFrontSearchesFromTheMiddle)
{
    // 30,000 bytes of junk before the frames of a 4,030,000-byte file: the
    // offsets 0 to 6 fail, the search jumps to 2,015,000 and finds a pair.
    std::string bytes = std::string(30000, '\x11') +
                        Stream(kMp3Header, kMp3FrameLength, 4'000'000 / kMp3FrameLength + 1);
    bytes.resize(4'030'000);
    EXPECT_EQ(Analyse(bytes), AnalysisStatus::Complete);
    EXPECT_TRUE(mpeg.valid());
    EXPECT_EQ(r().Duration, 251); // the whole 4,030,000 bytes at 128 kbit/s

    // A 15,000-byte file with 3,000 bytes of junk: searched from the start.
    bytes = std::string(3000, '\x11') + Stream(kMp3Header, kMp3FrameLength, 40);
    bytes.resize(15000);
    EXPECT_EQ(Analyse(bytes), AnalysisStatus::Complete);
    EXPECT_TRUE(mpeg.valid());

    // Frames only near the start of a large file, after offset 6: not found.
    bytes = std::string(100, '\x11') + Stream(kMp3Header, kMp3FrameLength, 10) +
            std::string(60000, '\x11');
    EXPECT_NE(Analyse(bytes), AnalysisStatus::Complete);
    EXPECT_FALSE(mpeg.valid());
    EXPECT_EQ(r().Length, static_cast<std::int64_t>(bytes.size()));
    EXPECT_NE(r().FileDate, 0);
}

TEST_F(MpegAudioTest, HeadersNotOneFrameApartAreNotAccepted)
{
    const std::string bytes =
        Frame(kMp3Header, 300) + Frame(kMp3Header, 300) + std::string(2000, '\0');
    EXPECT_NE(Analyse(bytes), AnalysisStatus::Complete);
    EXPECT_FALSE(mpeg.valid());
    EXPECT_EQ(r().BitRate, 0);
    EXPECT_EQ(r().Version, 0);
}

TEST_F(MpegAudioTest, XingStream)
{
    std::string bytes = XingFrame(kMp3Header, kMp3FrameLength, 36, 0x0F, 10000) +
                        Stream(kMp3Header, kMp3FrameLength, 20);
    EXPECT_EQ(Analyse(bytes), AnalysisStatus::Complete);
    EXPECT_EQ(r().BitRate, -1);
    EXPECT_TRUE(mpeg.valid());
    EXPECT_EQ(r().Duration, 261);
    EXPECT_EQ(r().FrameLength, static_cast<std::int64_t>(bytes.size()) / 10000);

    bytes = XingFrame(kMp3Header, kMp3FrameLength, 36, 0x0E, 0) +
            Stream(kMp3Header, kMp3FrameLength, 20);
    Analyse(bytes);
    EXPECT_EQ(r().BitRate, -1);
    EXPECT_EQ(r().Duration, 0);
    EXPECT_EQ(r().FrameLength, 417);
}

TEST_F(MpegAudioTest, Id3v2InFrontIsSkipped)
{
    // 300 KB of cover art in front of a Xing stream: the Xing block is found
    // and the constant-bit-rate time of the other file leaves the tag out.
    const std::string art(300000, '\x11');
    const std::string stream = XingFrame(kMp3Header, kMp3FrameLength, 36, 1, 5000) +
                               Stream(kMp3Header, kMp3FrameLength, 50);
    EXPECT_EQ(Analyse(Id3v2(art) + stream), AnalysisStatus::Complete);
    EXPECT_EQ(r().BitRate, -1);
    EXPECT_EQ(r().Duration, 131); // 5000 * 1152 / 44100 = 130.6
    EXPECT_EQ(r().Length, static_cast<std::int64_t>(10 + art.size() + stream.size()));

    const std::string cbr = Stream(kMp3Header, kMp3FrameLength, 1000);
    EXPECT_EQ(Analyse(Id3v2(art, 4, true) + cbr), AnalysisStatus::Complete);
    EXPECT_EQ(r().Duration, static_cast<std::int64_t>(cbr.size()) * 8 / 128000);
}

TEST_F(MpegAudioTest, TagOfTheMainReader)
{
    std::string tag = Id3v1("Title  ", " Artist", "Album", std::string("98\0\0", 4), "abc", 7, 3);
    Analyse(Stream(kMp3Header, kMp3FrameLength, 3) + tag);
    ASSERT_TRUE(mpeg.hasTag());
    EXPECT_EQ(r().Title, "Title");
    EXPECT_EQ(r().Artist, " Artist"); // leading spaces stay
    EXPECT_EQ(r().Year, std::string("98\0\0", 4));
    EXPECT_EQ(r().Track, 7);
    EXPECT_EQ(r().Genre, 3);
    EXPECT_EQ(mpeg.title(), "Title");

    tag[125] = 'x';
    tag[126] = 'y';
    Analyse(Stream(kMp3Header, kMp3FrameLength, 3) + tag);
    EXPECT_EQ(r().Track, 121); // byte 126 whatever byte 125 holds

    Analyse(Stream(kMp3Header, kMp3FrameLength, 3) + Id3v1("Mot\xF6rhead", "", "", "", ""));
    EXPECT_EQ(r().Title, "Motörhead");
}

TEST_F(MpegAudioTest, FilesOnDisk)
{
    TestDir dir;
    EXPECT_EQ(mpeg.AnalyseFile(dir.file("gone.mp3")), AnalysisStatus::NotFound);
    EXPECT_EQ(r().Title, "[not found: gone.mp3]");
    EXPECT_FALSE(mpeg.valid());

    const std::string name = "A rather long file name for a song.mp3";
    const std::string path = dir.file(name);
    WriteBytes(path, Stream(kMp3Header, kMp3FrameLength, 10));
    EXPECT_EQ(mpeg.AnalyseFile(path), AnalysisStatus::Complete);
    EXPECT_TRUE(mpeg.valid());
    EXPECT_EQ(mpeg.FileName(), path);
    EXPECT_EQ(r().Title, name.substr(0, 30)); // no tag: the file's name
    EXPECT_EQ(mpeg.title(), "Unknown Title");
    EXPECT_EQ(mpeg.artist(), "Unknown Artist");
    EXPECT_EQ(mpeg.VolumeLabel(), ""); // no volumes given

    fakes::FakeVolumes volumes;
    TMPEGAudio withVolumes(files, &volumes);
    EXPECT_EQ(withVolumes.AnalyseFile(path), AnalysisStatus::Complete);
    EXPECT_EQ(withVolumes.VolumeLabel(), "NO DISC");
    volumes.setVolumes({{"/", "SYSTEM", 1, VolumeType::Fixed, "ext4", "/dev/vda"}});
    EXPECT_EQ(withVolumes.AnalyseFile(path), AnalysisStatus::Complete);
    EXPECT_EQ(withVolumes.VolumeLabel(), "SYSTEM");
}

class CountingFile final : public MemoryFile {
public:
    using MemoryFile::MemoryFile;
    std::int64_t readAt(std::int64_t offset, char* out, std::size_t count) override
    {
        ++reads;
        return MemoryFile::readAt(offset, out, count);
    }
    int reads = 0;
};

TEST_F(MpegAudioTest, UnconfirmedHeadersEverywhereCostFewReads)
{
    // A valid-looking header every 7 bytes, never one frame (417 bytes)
    // after another: every candidate looks one frame ahead and steps back.
    std::string bytes;
    while (bytes.size() < 2'000'000)
        bytes += kMp3Header + std::string(3, '\0');
    CountingFile counting(bytes);
    FileStatus status;
    status.modified = kSomeTime;
    EXPECT_NE(mpeg.AnalyseSource(counting, status), AnalysisStatus::Complete);
    EXPECT_FALSE(mpeg.valid());
    EXPECT_LT(counting.reads, 20);
}

TEST_F(MpegAudioTest, LongMiddleSearchStaysBounded)
{
    // A candidate at offset 6 that is not confirmed must not turn the search
    // into a walk through the whole file.
    std::string bytes(2'000'000, '\x11');
    bytes.replace(6, 4, kMp3Header);
    CountingFile counting(bytes);
    FileStatus status;
    status.modified = kSomeTime;
    EXPECT_EQ(mpeg.AnalyseSource(counting, status), AnalysisStatus::NoFrames);
    EXPECT_FALSE(mpeg.valid());
    EXPECT_LT(counting.reads, 20);
}

TEST(MpegSyncScanTest, FindsWhatTheByteStepsFind)
{
    // Random files made of sync-rich pieces: headers of every kind, frames
    // one frame apart or not, runs of 0xFF, junk, at sizes around the jump
    // to the middle (20,000 bytes) and its 10,000-byte stretch.
    std::mt19937 random(17);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    fakes::FaultyFileSystem files;
    TMPEGAudio scan(files);
    TMPEGAudio steps(files);
    steps.setSyncScan(false);
    int accepted = 0;
    for (int round = 0; round < 600; ++round) {
        const std::size_t size = static_cast<std::size_t>(pick(4) == 0 ? pick(64) : pick(60000));
        std::string bytes;
        while (bytes.size() < size) {
            const std::string header =
                Header(1 + pick(3), 1 + pick(3), pick(16), pick(4), pick(2) == 1, pick(4));
            switch (pick(6)) {
            case 0:
                bytes += Stream(kMp3Header, kMp3FrameLength, 1 + pick(3));
                break;
            case 1:
                bytes += header + std::string(static_cast<std::size_t>(pick(600)), '\xE0');
                break;
            case 2:
                bytes += std::string(static_cast<std::size_t>(1 + pick(5)), '\xFF');
                break;
            case 3:
                bytes += header.substr(0, static_cast<std::size_t>(1 + pick(4)));
                break;
            default:
                for (int i = pick(2000); i > 0; --i)
                    bytes += static_cast<char>(pick(256));
            }
        }
        bytes.resize(size);
        if (pick(8) == 0)
            bytes.replace(0, std::min<std::size_t>(size, 10), Id3v2(std::string(100, 'x')), 0, 10);
        FileStatus status;
        status.modified = kSomeTime;
        MemoryFile a(bytes);
        MemoryFile b(bytes);
        ASSERT_EQ(scan.AnalyseSource(a, status), steps.AnalyseSource(b, status)) << round;
        ASSERT_EQ(scan.record(), steps.record()) << round;
        accepted += scan.valid() ? 1 : 0;
    }
    EXPECT_GT(accepted, 50);
}

} // namespace
} // namespace velmora::audio
