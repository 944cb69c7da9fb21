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
    mpeg.SetFileName(path);
    mpeg.SetTitle("New title");
    mpeg.SetTrack(7);
    EXPECT_EQ(mpeg.WriteTag(), 0);
    std::string bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), audio.size() + 128);
    EXPECT_EQ(bytes.substr(0, audio.size()), audio);
    EXPECT_TRUE(mpeg.HasTag()); // analysed again
    EXPECT_EQ(mpeg.Record().Title, "New title");
    EXPECT_EQ(mpeg.Record().Track, 7);
    // A file without tag gets the file's name as title unless it is set,
    // genre 255 and a year of four spaces.
    EXPECT_EQ(static_cast<unsigned char>(bytes.back()), 255);
    EXPECT_EQ(bytes.substr(audio.size() + 93, 4), "    ");

    mpeg.SetAlbum("Album");
    EXPECT_EQ(mpeg.WriteTag(), 0);
    bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), audio.size() + 128); // exactly one tag
    EXPECT_EQ(bytes.substr(0, audio.size()), audio);
    EXPECT_EQ(mpeg.Record().Title, "New title");
    EXPECT_EQ(mpeg.Record().Album, "Album");
}

TEST_F(TagWriteTest, UntaggedFileGetsItsNameAsTitle)
{
    const std::string path = Make("Some song.mp3", audio);
    mpeg.SetFileName(path);
    mpeg.SetArtist("Artist");
    ASSERT_EQ(mpeg.WriteTag(), 0);
    EXPECT_EQ(mpeg.Record().Title, "Some song.mp3");
    EXPECT_EQ(mpeg.Record().Artist, "Artist");
}

TEST_F(TagWriteTest, TextIsWrittenAsWindows1252)
{
    const std::string path = Make("b.mp3", audio);
    mpeg.SetFileName(path);
    mpeg.SetTitle("Motörhead Ω");
    mpeg.SetComment(std::string(35, 'c'));
    ASSERT_EQ(mpeg.WriteTag(), 0);
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.substr(audio.size() + 3, 12), std::string("Mot\xF6rhead ?\0", 12));
    EXPECT_EQ(mpeg.Record().Title, "Motörhead ?");
    // Cut to 30 by the setter; the track byte (0) then replaces the 30th.
    EXPECT_EQ(bytes.substr(audio.size() + 97, 30), std::string(29, 'c') + '\0');
    EXPECT_EQ(mpeg.Record().Comment, std::string(29, 'c'));
}

TEST_F(TagWriteTest, RemoveCutsOneTagOnly)
{
    const std::string tag = Id3v1("T", "A", "B", "2000", "C", 1);
    const std::string path = Make("c.mp3", audio + tag + tag);
    mpeg.SetFileName(path);
    EXPECT_EQ(mpeg.RemoveTag(), 0);
    EXPECT_EQ(ReadBytes(path), audio + tag);
    EXPECT_EQ(mpeg.RemoveTag(), 0);
    EXPECT_EQ(ReadBytes(path), audio);
    EXPECT_EQ(mpeg.RemoveTag(), 0); // none left: unchanged
    EXPECT_EQ(ReadBytes(path), audio);
    EXPECT_FALSE(mpeg.HasTag());

    // A file of exactly 128 bytes that begins with "TAG" is not cut.
    const std::string only = Make("d.mp3", tag);
    mpeg.SetFileName(only);
    EXPECT_EQ(mpeg.RemoveTag(), 0);
    EXPECT_EQ(ReadBytes(only), tag);
}

TEST_F(TagWriteTest, AFileThatIsOnlyATagHasItsTagReplaced)
{
    const std::string path = Make("t.mp3", Id3v1("Old", "", "", "", ""));
    mpeg.SetFileName(path);
    EXPECT_TRUE(mpeg.HasTag());
    mpeg.SetTitle("New");
    EXPECT_EQ(mpeg.WriteTag(), 0);
    EXPECT_EQ(ReadBytes(path).size(), 128u);
    EXPECT_EQ(mpeg.Record().Title, "New");
}

TEST_F(TagWriteTest, FailuresLeaveTheFileAsItWas)
{
    const std::string path = Make("e.mp3", audio + Id3v1("Old", "", "", "", ""));
    const std::string before = ReadBytes(path);
    mpeg.SetFileName(path);
    mpeg.SetTitle("New");

    files.failFileWrites = true;
    EXPECT_NE(mpeg.WriteTag(), 0);
    EXPECT_EQ(ReadBytes(path), before);
    mpeg.SetFileName(path);
    EXPECT_NE(mpeg.RemoveTag(), 0);
    EXPECT_EQ(ReadBytes(path), before);
    files.failFileWrites = false;

    files.failOpen = true;
    mpeg.SetFileName(path);
    mpeg.SetTitle("New");
    EXPECT_NE(mpeg.WriteTag(), 0);
    EXPECT_NE(mpeg.RemoveTag(), 0);
    EXPECT_EQ(ReadBytes(path), before);
    files.failOpen = false;

    mpeg.SetFileName(dir.file("missing.mp3"));
    EXPECT_EQ(mpeg.WriteTag(), -1);
    EXPECT_EQ(mpeg.RemoveTag(), -1);
}

// A real failed append: the process may not make the file any longer.
TEST_F(TagWriteTest, FailedAppendIsUndone)
{
    const std::string path = Make("f.mp3", audio);
    mpeg.SetFileName(path);
    mpeg.SetTitle("New");

    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = audio.size() + 50;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const int result = mpeg.WriteTag();
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_NE(result, 0);
    EXPECT_EQ(ReadBytes(path), audio);
}

} // namespace
} // namespace velmora::audio
