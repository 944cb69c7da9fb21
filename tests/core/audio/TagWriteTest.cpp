// SPDX-License-Identifier: GPL-3.0-or-later
#include "Frames.h"
#include "TestDir.h"
#include "audio/MPGTools.h"
#include "platform/fakes/FaultyFileSystem.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace velmora::audio {
namespace {

using namespace velmora::testing;

class TagWriteTest : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.file(name);
        WriteBytes(path, bytes);
        return path;
    }

    TestDir dir;
    fakes::FaultyFileSystem files;
    TMPEGAudio mpeg{files};
    const std::string audio = Stream(kMp3Header, kMp3FrameLength, 5);
};

TEST_F(TagWriteTest, AppendsToAFileWithoutTagAndOverwritesAnExistingOne)
{
    const std::string path = Make("a.mp3", audio);
    ASSERT_EQ(mpeg.AnalyseFile(path), AnalysisStatus::Complete);
    mpeg.setTitle("New title");
    mpeg.setTrack(7);
    EXPECT_EQ(mpeg.WriteTag(), TagWriteStatus::Done);
    std::string bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), audio.size() + 128);
    EXPECT_EQ(bytes.substr(0, audio.size()), audio);
    EXPECT_TRUE(mpeg.hasTag()); // analysed again
    EXPECT_EQ(mpeg.record().Title, "New title");
    EXPECT_EQ(mpeg.record().Track, 7);
    // A file without tag gets the file's name as title unless it is set,
    // genre 255 and a year of four spaces.
    EXPECT_EQ(static_cast<unsigned char>(bytes.back()), 255);
    EXPECT_EQ(bytes.substr(audio.size() + 93, 4), "    ");

    mpeg.setAlbum("Album");
    EXPECT_EQ(mpeg.WriteTag(), TagWriteStatus::Done);
    bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), audio.size() + 128); // exactly one tag
    EXPECT_EQ(bytes.substr(0, audio.size()), audio);
    EXPECT_EQ(mpeg.record().Title, "New title");
    EXPECT_EQ(mpeg.record().Album, "Album");
}

TEST_F(TagWriteTest, UntaggedFileGetsItsNameAsTitle)
{
    const std::string path = Make("Some song.mp3", audio);
    ASSERT_EQ(mpeg.AnalyseFile(path), AnalysisStatus::Complete);
    mpeg.setArtist("Artist");
    ASSERT_EQ(mpeg.WriteTag(), TagWriteStatus::Done);
    EXPECT_EQ(mpeg.record().Title, "Some song.mp3");
    EXPECT_EQ(mpeg.record().Artist, "Artist");
}

TEST_F(TagWriteTest, TextIsWrittenAsWindows1252)
{
    const std::string path = Make("b.mp3", audio);
    ASSERT_EQ(mpeg.AnalyseFile(path), AnalysisStatus::Complete);
    mpeg.setTitle("Motörhead Ω");
    mpeg.setComment(std::string(35, 'c'));
    ASSERT_EQ(mpeg.WriteTag(), TagWriteStatus::Done);
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.substr(audio.size() + 3, 12), std::string("Mot\xF6rhead ?\0", 12));
    EXPECT_EQ(mpeg.record().Title, "Motörhead ?");
    // Cut to 30 by the setter; the track byte (0) then replaces the 30th.
    EXPECT_EQ(bytes.substr(audio.size() + 97, 30), std::string(29, 'c') + '\0');
    EXPECT_EQ(mpeg.record().Comment, std::string(29, 'c'));
}

TEST_F(TagWriteTest, RemoveCutsOneTagOnly)
{
    const std::string tag = Id3v1("T", "A", "B", "2000", "C", 1);
    const std::string path = Make("c.mp3", audio + tag + tag);
    ASSERT_EQ(mpeg.AnalyseFile(path), AnalysisStatus::Complete);
    EXPECT_EQ(mpeg.RemoveTag(), TagWriteStatus::Done);
    EXPECT_EQ(ReadBytes(path), audio + tag);
    EXPECT_EQ(mpeg.RemoveTag(), TagWriteStatus::Done);
    EXPECT_EQ(ReadBytes(path), audio);
    EXPECT_EQ(mpeg.RemoveTag(), TagWriteStatus::Done); // none left: unchanged
    EXPECT_EQ(ReadBytes(path), audio);
    EXPECT_FALSE(mpeg.hasTag());

    // A file of exactly 128 bytes that begins with "TAG" is not cut.
    const std::string only = Make("d.mp3", tag);
    ASSERT_EQ(mpeg.AnalyseFile(only), AnalysisStatus::NoFrames);
    EXPECT_EQ(mpeg.RemoveTag(), TagWriteStatus::Done);
    EXPECT_EQ(ReadBytes(only), tag);
}

TEST_F(TagWriteTest, AFileThatIsOnlyATagHasItsTagReplaced)
{
    const std::string path = Make("t.mp3", Id3v1("Old", "", "", "", ""));
    ASSERT_EQ(mpeg.AnalyseFile(path), AnalysisStatus::NoFrames);
    EXPECT_TRUE(mpeg.hasTag());
    mpeg.setTitle("New");
    EXPECT_EQ(mpeg.WriteTag(), TagWriteStatus::Done);
    EXPECT_EQ(ReadBytes(path).size(), 128u);
    EXPECT_EQ(mpeg.record().Title, "New");
}

TEST_F(TagWriteTest, FailuresLeaveTheFileAsItWas)
{
    const std::string path = Make("e.mp3", audio + Id3v1("Old", "", "", "", ""));
    const std::string before = ReadBytes(path);
    ASSERT_EQ(mpeg.AnalyseFile(path), AnalysisStatus::Complete);
    mpeg.setTitle("New");

    files.failFileWrites = true;
    EXPECT_NE(mpeg.WriteTag(), TagWriteStatus::Done);
    EXPECT_EQ(ReadBytes(path), before);
    ASSERT_EQ(mpeg.AnalyseFile(path), AnalysisStatus::Complete);
    EXPECT_NE(mpeg.RemoveTag(), TagWriteStatus::Done);
    EXPECT_EQ(ReadBytes(path), before);
    files.failFileWrites = false;

    files.failOpen = true;
    EXPECT_EQ(mpeg.AnalyseFile(path), AnalysisStatus::CannotOpen);
    mpeg.setTitle("New");
    EXPECT_NE(mpeg.WriteTag(), TagWriteStatus::Done);
    EXPECT_NE(mpeg.RemoveTag(), TagWriteStatus::Done);
    EXPECT_EQ(ReadBytes(path), before);
    files.failOpen = false;

    EXPECT_EQ(mpeg.AnalyseFile(dir.file("missing.mp3")), AnalysisStatus::NotFound);
    EXPECT_EQ(mpeg.WriteTag(), TagWriteStatus::FileMissing);
    EXPECT_EQ(mpeg.RemoveTag(), TagWriteStatus::FileMissing);
}

// A real failed append: the process may not make the file any longer.
TEST_F(TagWriteTest, FailedAppendIsUndone)
{
    const std::string path = Make("f.mp3", audio);
    ASSERT_EQ(mpeg.AnalyseFile(path), AnalysisStatus::Complete);
    mpeg.setTitle("New");

    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = audio.size() + 50;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const TagWriteStatus result = mpeg.WriteTag();
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_NE(result, TagWriteStatus::Done);
    EXPECT_EQ(ReadBytes(path), audio);
}

} // namespace
} // namespace velmora::audio
