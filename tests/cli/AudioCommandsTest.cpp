// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliFixture.h"
#include "TestDir.h"
#include "cli/Cli.h"
#include "core/audio/Frames.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "texts/TextTable.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace velmora::cli {
namespace {

using testing::ReadBytes;
using testing::TestDir;

class AudioCommandsTest : public CliFixture {
protected:
    // A copy of a fixture in the test's own folder.
    std::string Copy(const std::string& fixture)
    {
        const std::string target = dir.file(fixture);
        std::filesystem::copy_file(
            std::string(std::getenv("VELMORA_TEST_DATA")) + "/audio/" + fixture, target);
        return target;
    }
};

TEST_F(AudioCommandsTest, AnalysePrintsWhatAScanStores)
{
    const std::string tagged = Copy("mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3");
    const std::string text = Copy("text_named_mp3.mp3");
    ASSERT_EQ(Run({"analyse", tagged, text}), kSuccess);
    EXPECT_EQ(
        out.str(),
        tagged +
            "\tmpeg\t16\t1\t4410\t2\t1\t3\tTrack Seven\tFixture Artist\tFixture Album\t7\t1999\t"
            "Comment with track number\n" +
            text + "\tnone\t0\t0\t0\t0\t0\t0\t\t\t\t\t\t\n");
    EXPECT_EQ(Run({"analyse"}), kUsage);
}

// A path without a file, or with a file that tags do not go into, is told,
// the other paths are handled all the same, and the exit code is 1.
TEST_F(AudioCommandsTest, PathsWithoutAudioFailAfterTheOthers)
{
    const std::string audio = Copy("mpeg1_l3_cbr128_44k_js.mp3");
    const std::string missing = dir.file("missing.mp3");
    const std::string folder = dir.file("dir.mp3");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(Run({"analyse", missing, folder, audio}), kFailed);
    EXPECT_EQ(err.str(),
              "The file doesn't exist: " + missing + "\nThe path is a folder: " + folder + "\n");
    EXPECT_EQ(out.str(), audio + "\tmpeg\t16\t1\t4410\t2\t1\t3\t\t\t\t\t\t\n");

    const std::string text = Copy("text_named_mp3.mp3");
    EXPECT_EQ(Run({"tag", "show", text, audio}), kFailed);
    EXPECT_EQ(err.str(), "The file isn't valid: " + text + "\n");
    EXPECT_EQ(out.str(), text + "\t\t\t\t\t\t\t\n" + audio + "\t\t\t\t\t\t\t\n");

    for (const char* action : {"show", "remove"}) {
        EXPECT_EQ(Run({"tag", action, folder}), kFailed);
        EXPECT_EQ(err.str(), "The path is a folder: " + folder + "\n");
    }
    EXPECT_EQ(Run({"tag", "write", "--title", "T", folder, audio}), kFailed);
    EXPECT_EQ(err.str(), "The path is a folder: " + folder + "\n");
}

TEST_F(AudioCommandsTest, TagShowFollowsTheEditorsRules)
{
    const std::string tagged = Copy("mpeg1_l3_cbr128_44k_js_id3v1_0.mp3");
    const std::string untagged = Copy("mpeg1_l3_cbr128_44k_js.mp3");
    ASSERT_EQ(Run({"tag", "show", tagged, untagged}), kSuccess);
    // The 30-byte comment shows 29 characters, and its 30th ("!") is read
    // as the track byte (33); a file without tag shows nothing.
    EXPECT_EQ(out.str(), tagged +
                             "\tFixture Title\tFixture Artist\tFixture Album\t33\t2001\tComment: "
                             "exactly thirty bytes\tID3v1\n" +
                             untagged + "\t\t\t\t\t\t\t\n");
    EXPECT_EQ(err.str(), "");

    const std::string text = Copy("text_named_mp3.mp3");
    EXPECT_EQ(Run({"tag", "show", text, dir.file("gone.mp3")}), kFailed);
    EXPECT_EQ(err.str(), "The file isn't valid: " + text +
                             "\nThe file doesn't exist: " + dir.file("gone.mp3") + "\n");
}

TEST_F(AudioCommandsTest, TagWriteChangesOnlyTheGivenFields)
{
    const std::string a = Copy("mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3");
    const std::string b = Copy("id3v1_windows1252_artist.mp3");
    ASSERT_EQ(Run({"tag", "write", "--album", "Best of", "--year=2024", a, b}), kSuccess)
        << err.str();
    ASSERT_EQ(Run({"tag", "show", a, b}), kSuccess);
    EXPECT_EQ(
        out.str(),
        a + "\tTrack Seven\tFixture Artist\tBest of\t7\t2024\tComment with track number\tID3v1\n" +
            b + "\tAce of Spades\tMotörhead\tBest of\t1\t2024\tWindows-1252 éèü\tID3v1\n");

    // An empty or non-numeric track writes 32, which shows as no track.
    ASSERT_EQ(Run({"tag", "write", "--track", "", a}), kSuccess);
    EXPECT_EQ(static_cast<unsigned char>(ReadBytes(a)[ReadBytes(a).size() - 2]), 32);
    ASSERT_EQ(Run({"tag", "write", "--track", "x7", "--title", "Ünïcode", a}), kSuccess);
    ASSERT_EQ(Run({"tag", "show", a}), kSuccess);
    EXPECT_EQ(out.str(),
              a + "\tÜnïcode\tFixture Artist\tBest of\t\t2024\tComment with track number\tID3v1\n");
}

// The track byte holds 0 to 255: a number beyond would be written as its
// lowest 8 bits (300 as 44), so it is wrong usage and nothing is written.
TEST_F(AudioCommandsTest, TrackOutOfRangeIsRefused)
{
    const std::string a = Copy("mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3");
    const std::string before = ReadBytes(a);
    for (const char* track : {"300", "256", "-1"}) {
        EXPECT_EQ(Run({"tag", "write", "--album", "X", "--track", track, a}), kUsage);
        EXPECT_EQ(err.str().substr(0, err.str().find('\n')),
                  std::string("velmora-cli: --track takes a number from 1 to 255, or 0 or nothing "
                              "for no track, not ") +
                      track);
        EXPECT_NE(err.str().find("\n       velmora-cli tag write [--title T]"), std::string::npos);
        EXPECT_EQ(ReadBytes(a), before);
    }
    ASSERT_EQ(Run({"tag", "write", "--track=255", a}), kSuccess);
    EXPECT_EQ(static_cast<unsigned char>(ReadBytes(a)[before.size() - 2]), 255);
    ASSERT_EQ(Run({"tag", "write", "--track", "0", a}), kSuccess);
    EXPECT_EQ(ReadBytes(a)[before.size() - 2], '\0');
}

// The ID3v1 tag written wins over the ID3v2 tag from then on: the fields not
// given keep the ID3v2 texts.
TEST_F(AudioCommandsTest, TagWriteKeepsTheTextsOfAFileWithOnlyAnId3v2Tag)
{
    const auto frame = [](const std::string& id, const std::string& text) {
        const auto size = static_cast<char>(text.size() + 1);
        return id + std::string(3, '\0') + size + std::string(3, '\0') + text;
    };
    const std::string v2 =
        velmora::testing::Id3v2(frame("TIT2", "Real title") + frame("TPE1", "Real artist") +
                                frame("TRCK", "9/10") + frame("TYER", "1994"));
    const std::string path = dir.file("v2only.mp3");
    velmora::testing::WriteBytes(path, v2 + ReadBytes(Copy("mpeg2_l3_cbr64_22k_js.mp3")));
    ASSERT_EQ(Run({"tag", "write", "--album", "X", path}), kSuccess) << err.str();
    ASSERT_EQ(Run({"tag", "show", "--no-id3v2", path}), kSuccess);
    EXPECT_EQ(out.str(), path + "\tReal title\tReal artist\tX\t9\t1994\t\tID3v1 ID3v2.3\n");
    ASSERT_EQ(Run({"analyse", path}), kSuccess);
    EXPECT_EQ(out.str(),
              path + "\tmpeg\t8\t1\t2205\t2\t2\t3\tReal title\tReal artist\tX\t9\t1994\t\n");
}

TEST_F(AudioCommandsTest, TagFailuresAreReportedAndTheRestGoesOn)
{
    const std::string a = Copy("mpeg1_l3_cbr128_44k_js.mp3");
    const std::string gone = dir.file("gone.mp3");
    const std::string before = ReadBytes(a);
    files.failFileWrites = true;
    EXPECT_EQ(Run({"tag", "write", "--title", "T", gone, a}), kFailed);
    EXPECT_EQ(err.str(),
              "The file doesn't exist: " + gone + "\nCan not write tag in the file: " + a + "\n");
    EXPECT_EQ(ReadBytes(a), before);
    files.failFileWrites = false;

    const std::string tagged = Copy("mpeg1_l3_cbr128_44k_js_id3v1_0.mp3");
    files.failOpen = true;
    EXPECT_EQ(Run({"tag", "remove", tagged}), kFailed);
    EXPECT_EQ(err.str(), "Can not remove tag in the file: " + tagged + "\n");
    files.failOpen = false;
    EXPECT_EQ(Run({"tag", "remove", tagged, a}), kSuccess);
    EXPECT_EQ(ReadBytes(tagged), before); // the same audio without its tag
}

TEST_F(AudioCommandsTest, TagsGoIntoAudioFilesOnly)
{
    const std::string collection = dir.file("music.col");
    ASSERT_EQ(Run({"new", collection}), kSuccess);
    const std::string before = ReadBytes(collection);
    const std::string audio = Copy("mpeg1_l3_cbr128_44k_js.mp3");
    EXPECT_EQ(Run({"tag", "write", "--title", "X", collection, audio}), kFailed);
    EXPECT_EQ(err.str(), "The file isn't valid: " + collection + "\n");
    EXPECT_EQ(ReadBytes(collection), before);
    ASSERT_EQ(Run({"tag", "show", audio}), kSuccess);
    EXPECT_EQ(out.str().substr(0, audio.size() + 3), audio + "\tX\t"); // the others go on

    // A file that is nothing but a tag holds that tag, and stays as it is.
    const std::string tagged = ReadBytes(Copy("mpeg1_l3_cbr128_44k_js_id3v1_0.mp3"));
    const std::string tagOnly = dir.file("tag_only.mp3");
    velmora::testing::WriteBytes(tagOnly, tagged.substr(tagged.size() - 128));
    EXPECT_EQ(Run({"tag", "remove", tagOnly}), kFailed);
    EXPECT_EQ(Run({"tag", "write", "--album", "Y", tagOnly}), kFailed);
    EXPECT_EQ(ReadBytes(tagOnly), tagged.substr(tagged.size() - 128));
    EXPECT_EQ(Run({"tag", "show", tagOnly}), kFailed);
    EXPECT_EQ(out.str().substr(0, tagOnly.size() + 15), tagOnly + "\tFixture Title\t");
}

// A program and a font hold frame headers that the analysers accept, but
// not three frames one after another: their tags are neither written nor
// removed, and they stay byte for byte as they were.
TEST_F(AudioCommandsTest, ProgramsAndFontsTakeNoTag)
{
    // Copies of the program and of the first font that an analyser takes
    // for audio.
    int copies = 0;
    const auto acceptedCopy = [this, &copies](const std::filesystem::path& source) {
        const std::string path =
            dir.file(std::to_string(++copies) + "_" + source.filename().string() + ".mp3");
        std::filesystem::copy_file(source, path);
        const bool accepted = Run({"analyse", path}) == kSuccess &&
                              out.str().find(path + "\tnone\t") == std::string::npos;
        return accepted ? path : std::string();
    };
    std::vector<std::string> paths = {acceptedCopy("/bin/ls")};
    ASSERT_FALSE(paths[0].empty());
    for (const auto& entry : std::filesystem::recursive_directory_iterator(
             "/usr/share/fonts", std::filesystem::directory_options::skip_permission_denied)) {
        if (entry.path().extension() == ".ttf") {
            if (const std::string font = acceptedCopy(entry.path()); !font.empty()) {
                paths.push_back(font);
                break;
            }
        }
    }
    ASSERT_EQ(paths.size(), 2u) << "no TrueType font under /usr/share/fonts taken for audio";
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const std::string before = ReadBytes(path);
        EXPECT_EQ(Run({"tag", "write", "--title", "X", path}), kFailed);
        EXPECT_EQ(err.str(), "The file isn't valid: " + path + "\n");
        EXPECT_EQ(Run({"tag", "remove", path}), kFailed);
        EXPECT_EQ(err.str(), "The file isn't valid: " + path + "\n");
        EXPECT_EQ(ReadBytes(path), before);
    }
}

TEST_F(AudioCommandsTest, TagUsage)
{
    EXPECT_EQ(Run({"tag"}), kUsage);
    EXPECT_EQ(Run({"tag", "show"}), kUsage);
    EXPECT_EQ(Run({"tag", "paint", "a.mp3"}), kUsage);
    EXPECT_EQ(Run({"tag", "write", "--colour", "red", "a.mp3"}), kUsage);
    EXPECT_NE(err.str().find("unknown option --colour"), std::string::npos);
    EXPECT_EQ(Run({"tag", "write", "--title"}), kUsage);
}

} // namespace
} // namespace velmora::cli
