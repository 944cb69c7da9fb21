// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bytes.h"
#include "CliFixture.h"
#include "TestDir.h"
#include "cli/Cli.h"
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

using testing::Bytes;
using testing::TestDir;
using testing::WriteBytes;

// Volume "Disc" with folder "Live Rock" holding two files, and a file
// directly in the volume:
//   live.mp3      MPEG 1 layer 3, 931 KB in 60 s (CBR 128), 44100 Hz, joint
//                 stereo, title "Lovesong", artist "Band", track 11
//   quiet.mp3     MPEG 2 layer 3, 4000 KB in 240 s VBR (136), 22050 Hz, mono,
//                 no tag
//   rock set.mp3  MPEG 1 layer 2, 1500 KB in 60 s (CBR 192), 32000 Hz, dual
//                 channel, title "GLOVES"
const std::string kCollection = Bytes("[01]6431[02]360[03]1[04]3[05]45000[06]\r\n"
                                      "\tDisc[01]6431[02]360[03]1[04]3[05]45000[06]7[07]\r\n"
                                      "\t\tLive Rock[01]4931[02]300[03]0[04]2[05]\r\n"
                                      "\t\t\tlive.mp3[01]931[02]60[03]4410[04]2[05]1[06]3[07]"
                                      "[15]Lovesong[16]Band[17][18]11[19][1A][1B]\r\n"
                                      "\t\t\tquiet.mp3[01]4000[02]-240[03]2205[04]4[05]2[06]3[07]"
                                      "[15][16][17][18][19][1A][1B]\r\n"
                                      "\t\trock set.mp3[01]1500[02]60[03]3200[04]3[05]1[06]2[07]"
                                      "[15]GLOVES[16][17][18][19][1A][1B]\r\n");

class SearchCommandTest : public CliFixture {
protected:
    SearchCommandTest() { WriteBytes(collection, kCollection); }

    int Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), "search");
        return CliFixture::Run(args);
    }

    const std::string collection = dir.file("c.col");
};

TEST_F(SearchCommandTest, NamePrintsPathAndName)
{
    ASSERT_EQ(Run({collection, "--name", "  LIVE  "}), kSuccess) << err.str();
    EXPECT_EQ(out.str(), "Disc\\Live Rock\nDisc\\Live Rock\\live.mp3\n");
    ASSERT_EQ(Run({collection, "--name", "live", "--in", "files"}), kSuccess);
    EXPECT_EQ(out.str(), "Disc\\Live Rock\\live.mp3\n");
    ASSERT_EQ(Run({collection, "--name", "rock", "--in", "dirs"}), kSuccess);
    EXPECT_EQ(out.str(), "Disc\\Live Rock\n");
    ASSERT_EQ(Run({collection, "--name", "disc", "--in", "dirs"}), kSuccess);
    EXPECT_EQ(out.str(), "Disc\n");
    ASSERT_EQ(Run({"--name", "Rock", "--case", collection}), kSuccess);
    EXPECT_EQ(out.str(), "Disc\\Live Rock\n");
}

TEST_F(SearchCommandTest, NothingFoundExitsOneWithTheMessage)
{
    EXPECT_EQ(Run({collection, "--name", "Rock", "--case", "--in", "files"}), kFailed);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "There are no matches.\n");
}

TEST_F(SearchCommandTest, TagPrintsTheUsedFields)
{
    ASSERT_EQ(Run({collection, "--tag", "title=love", "track=1"}), kSuccess) << err.str();
    EXPECT_EQ(out.str(), "Disc\\Live Rock\\live.mp3\tLovesong\t11\n");
    ASSERT_EQ(Run({collection, "--tag", "title=LOVE"}), kSuccess);
    EXPECT_EQ(out.str(), "Disc\\Live Rock\\live.mp3\tLovesong\nDisc\\rock set.mp3\tGLOVES\n");
    ASSERT_EQ(Run({collection, "--tag", "title=love", "--tag", "artist=band"}), kSuccess);
    EXPECT_EQ(out.str(), "Disc\\Live Rock\\live.mp3\tLovesong\tBand\n");
    EXPECT_EQ(Run({collection, "--tag", "title= love"}), kFailed);
}

TEST_F(SearchCommandTest, PropertyTermsCombineWithOr)
{
    ASSERT_EQ(Run({collection, "--property", "bitrate<128"}), kFailed);
    ASSERT_EQ(Run({collection, "--property", "bitrate=128"}), kSuccess) << err.str();
    EXPECT_EQ(out.str(), "Disc\\Live Rock\\live.mp3\tCBR 128 Kbps\n");
    ASSERT_EQ(Run({collection, "--property", "bitrate>128", "samplerate=44100"}), kSuccess);
    EXPECT_EQ(out.str(), "Disc\\Live Rock\\live.mp3\tCBR 128 Kbps\t44100 Hz\n"
                         "Disc\\Live Rock\\quiet.mp3\tVBR 136 Kbps\t22050 Hz\n"
                         "Disc\\rock set.mp3\tCBR 192 Kbps\t32000 Hz\n");
}

TEST_F(SearchCommandTest, PropertySearchOfExtremeStoredNumbers)
{
    // Durations whose magnitude times 1000 is a multiple of 2^64, a size
    // whose product with 8192 does not fit, a sample rate beyond 10 times.
    WriteBytes(collection,
               Bytes("[01]0[02]0[03]1[04]3[05]45000[06]\r\n"
                     "\tDisc[01]0[02]0[03]0[04]3[05]45000[06]7[07]\r\n"
                     "\t\ta.mp3[01]1000[02]-9223372036854775808[03]4410[04]2[05]1[06]3[07]"
                     "[15][16][17][18][19][1A][1B]\r\n"
                     "\t\tb.mp3[01]1000[02]2305843009213693952[03]4410[04]2[05]1[06]3[07]"
                     "[15][16][17][18][19][1A][1B]\r\n"
                     "\t\tc.mp3[01]9223372036854775807[02]1[03]9223372036854775807[04]2[05]1[06]"
                     "3[07][15][16][17][18][19][1A][1B]\r\n"));
    ASSERT_EQ(Run({collection, "--property", "bitrate<128", "samplerate>44100"}), kSuccess)
        << err.str();
    EXPECT_EQ(out.str(), "Disc\\a.mp3\tVBR 0 Kbps\t44100 Hz\n"
                         "Disc\\b.mp3\tCBR 0 Kbps\t44100 Hz\n"
                         "Disc\\c.mp3\tCBR 0 Kbps\t9223372036854775807 Hz\n");
}

TEST_F(SearchCommandTest, PropertyCellsOfEveryTerm)
{
    ASSERT_EQ(Run({collection, "--property", "mode=mono", "version>1", "layer<3", "tag=absent"}),
              kSuccess)
        << err.str();
    EXPECT_EQ(out.str(), "Disc\\Live Rock\\quiet.mp3\tMono\t2\t3\tNot present\n"
                         "Disc\\rock set.mp3\tDual channel\t1\t2\tPresent\n");
    ASSERT_EQ(Run({collection, "--property", "mode=stereo", "version=2.5"}), kSuccess);
    EXPECT_EQ(out.str(), "Disc\\Live Rock\\live.mp3\tJoint stereo\t1\n");
    ASSERT_EQ(Run({collection, "--property", "tag=present"}), kSuccess);
    EXPECT_EQ(out.str(), "Disc\\Live Rock\\live.mp3\tPresent\nDisc\\rock set.mp3\tPresent\n");
}

TEST_F(SearchCommandTest, UsageErrorsListWhatIsAllowed)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {collection},
             {collection, "--name"},
             {collection, "--name", "   "},
             {collection, "--name", "a", "--in", "everything"},
             {collection, "--name", "a", "--tag", "title=a"},
             {collection, "--tag"},
             {collection, "--tag", "genre=rock"},
             {collection, "--tag", "title"},
             {collection, "--tag", "title=a", "title=b"},
             {collection, "--tag", "title= "},
             {collection, "--tag", "title=a", "--case"},
             {collection, "--property", "bitrate<100"},
             {collection, "--property", "bitrate<=128"},
             {collection, "--property", "mode<mono"},
             {collection, "--property", "speed>1"},
             {collection, "--property", "layer<3", "layer>1"},
             {collection, "other.col", "--name", "a"},
             {collection, "--name", "a", "--verbose"},
         }) {
        EXPECT_EQ(Run(args), kUsage) << ::testing::PrintToString(args);
        EXPECT_NE(err.str().find("TERM:  bitrate<|=|>128|160|192"), std::string::npos);
        EXPECT_NE(err.str().find("FIELD: title, artist, album, track, year, comment"),
                  std::string::npos);
        EXPECT_EQ(out.str(), "");
    }
}

TEST_F(SearchCommandTest, DuplicatesPrintEachGroupUnderItsLabel)
{
    const std::string twice = Bytes(
        "[01]3000[02]180[03]2[04]4[05]45000[06]\r\n"
        "\tOne[01]1000[02]60[03]0[04]2[05]45000[06]1[07]\r\n"
        "\t\tSong.mp3[01]500[02]30[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
        "\t\tb.mp3[01]4000[02]-3725[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
        "\tTwo[01]2000[02]120[03]0[04]2[05]45000[06]2[07]\r\n"
        "\t\tSONG.MP3[01]500[02]31[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
        "\t\tc.mp3[01]4000[02]-3725[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n");
    WriteBytes(collection, twice);
    ASSERT_EQ(Run({"--by", "name", collection}), kUsage);
    out.str({});
    err.str({});
    ASSERT_EQ(RunCli({"duplicates", collection}, out, err, context), kSuccess) << err.str();
    EXPECT_EQ(out.str(), "Song.mp3\nOne\\Song.mp3\nTwo\\SONG.MP3\n");
    out.str({});
    ASSERT_EQ(
        RunCli({"duplicates", collection, "--by", "property", "--in", "files"}, out, err, context),
        kSuccess);
    EXPECT_EQ(out.str(), "3.906 Mb, 01:02:05 H:M:S\nOne\\b.mp3\nTwo\\c.mp3\n");
    out.str({});
    ASSERT_EQ(RunCli({"duplicates", collection, "--by", "both"}, out, err, context), kFailed);
    EXPECT_EQ(err.str(), "There are no matches.\n");
    err.str({});
    EXPECT_EQ(RunCli({"duplicates", collection, "--by", "size"}, out, err, context), kUsage);
    EXPECT_EQ(RunCli({"duplicates", collection, "--in", "x"}, out, err, context), kUsage);
    EXPECT_EQ(RunCli({"duplicates"}, out, err, context), kUsage);
}

TEST_F(SearchCommandTest, DuplicatesGroupsAreSeparatedByAnEmptyLine)
{
    const std::string groups =
        Bytes("[01]0[02]0[03]1[04]4[05]45000[06]\r\n"
              "\tOne[01]0[02]0[03]0[04]4[05]45000[06]1[07]\r\n"
              "\t\ty[01]1[02]1[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
              "\t\tx[01]1[02]1[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
              "\t\tY[01]1[02]1[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
              "\t\tX[01]1[02]1[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n");
    WriteBytes(collection, groups);
    ASSERT_EQ(RunCli({"duplicates", collection, "--by", "both"}, out, err, context), kSuccess)
        << err.str();
    EXPECT_EQ(out.str(), "x, 0.001 Mb, 00:00:01 H:M:S\nOne\\x\nOne\\X\n\n"
                         "y, 0.001 Mb, 00:00:01 H:M:S\nOne\\y\nOne\\Y\n");
}

TEST_F(SearchCommandTest, SaveWritesTheSavedResultList)
{
    const std::string saved = dir.file("found.txt");
    ASSERT_EQ(Run({collection, "--name", "live", "--in", "files", "--save", saved}), kSuccess)
        << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(testing::ReadBytes(saved), "Found: Name\r\n\r\nText: live\r\nMatch case: No\r\n"
                                         "\r\nDisc\\Live Rock\\live.mp3\r\n");
    ASSERT_EQ(Run({collection, "--property", "samplerate=44100", "--save", saved}), kSuccess);
    EXPECT_EQ(testing::ReadBytes(saved), "Found: Property\r\n\r\nSample rate: = 44100 Hz\r\n"
                                         "\r\nDisc\\Live Rock\\live.mp3\r\n");
    ASSERT_EQ(Run({collection, "--tag", "artist=band", "--save", saved}), kSuccess);
    EXPECT_EQ(testing::ReadBytes(saved),
              "Found: Tag\r\n\r\nArtist: band\r\n\r\nDisc\\Live Rock\\live.mp3\r\n");
    out.str({});
    ASSERT_EQ(
        RunCli({"duplicates", collection, "--by", "property", "--save", saved}, out, err, context),
        kFailed);
    EXPECT_EQ(testing::ReadBytes(saved),
              "Found: Tag\r\n\r\nArtist: band\r\n\r\nDisc\\Live Rock\\live.mp3\r\n");
    EXPECT_EQ(Run({collection, "--name", "x", "--save"}), kUsage);
}

// The collection under its own name, a symbolic link and a hard link to it:
// the saved list would replace the collection.
TEST_F(SearchCommandTest, SaveRefusesTheCollectionItself)
{
    std::filesystem::create_symlink(collection, dir.file("link.col"));
    std::filesystem::create_hard_link(collection, dir.file("hard.col"));
    for (const std::string& target : {collection, dir.file("link.col"), dir.file("hard.col")}) {
        EXPECT_EQ(Run({collection, "--name", "live", "--save", target}), kFailed) << target;
        EXPECT_EQ(err.str(),
                  "Can not save in the file: " + target + "\nThe file is the collection itself\n");
        EXPECT_EQ(CliFixture::Run({"duplicates", collection, "--save", target}), kFailed);
        EXPECT_EQ(err.str(),
                  "Can not save in the file: " + target + "\nThe file is the collection itself\n");
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(testing::ReadBytes(collection), kCollection);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.col")));
}

TEST_F(SearchCommandTest, SaveToADashWritesTheSavedListToTheOutputAlone)
{
    const std::string saved = dir.file("found.txt");
    ASSERT_EQ(Run({collection, "--name", "live", "--save", saved}), kSuccess) << err.str();
    ASSERT_EQ(Run({collection, "--name", "live", "--save", "-"}), kSuccess) << err.str();
    EXPECT_EQ(out.str(), testing::ReadBytes(saved));
    EXPECT_EQ(err.str(), "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("-")));

    WriteBytes(collection, Bytes("[01]2[02]2[03]2[04]2[05]45000[06]\r\n"
                                 "\tOne[01]1[02]1[03]0[04]1[05]45000[06]1[07]\r\n"
                                 "\t\tx[01]1[02]1[03]4410[04]2[05]1[06]3[07][15][16][17][18][19]"
                                 "[1A][1B]\r\n"
                                 "\tTwo[01]1[02]1[03]0[04]1[05]45000[06]2[07]\r\n"
                                 "\t\tX[01]1[02]1[03]4410[04]2[05]1[06]3[07][15][16][17][18][19]"
                                 "[1A][1B]\r\n"));
    ASSERT_EQ(RunCli({"duplicates", collection, "--save", saved}, out, err, context), kSuccess);
    out.str({});
    ASSERT_EQ(RunCli({"duplicates", collection, "--save", "-"}, out, err, context), kSuccess);
    EXPECT_EQ(out.str(), testing::ReadBytes(saved));
    EXPECT_EQ(out.str(), "Found: Duplicates\r\n\r\nx\r\nOne\\x\r\nTwo\\X\r\n");

    // Nothing found: nothing on the output.
    out.str({});
    EXPECT_EQ(Run({collection, "--name", "absent", "--save", "-"}), kFailed);
    EXPECT_EQ(out.str(), "");
}

TEST_F(SearchCommandTest, AFailedSaveKeepsTheOldFile)
{
    const std::string saved = dir.file("missing/found.txt");
    EXPECT_EQ(Run({collection, "--name", "live", "--save", saved}), kFailed);
    EXPECT_EQ(err.str(), "Can not save in the file: " + saved + "\n");
}

TEST_F(SearchCommandTest, AMissingCollectionFails)
{
    EXPECT_EQ(Run({dir.file("missing.col"), "--name", "a"}), kFailed);
    EXPECT_NE(err.str().find("missing.col"), std::string::npos);
}

TEST_F(SearchCommandTest, OnSearchesASourceOutsideTheCollection)
{
    // A drive AUDIO mounted at drive/, holding Music/Rock/live one.mp3,
    // Music/live two.mp3 and Music/LIVE TWO.mp3.
    namespace fs = std::filesystem;
    const fs::path drive = dir.path() / "drive";
    const std::string fixture = std::string(std::getenv("VELMORA_TEST_DATA")) +
                                "/audio/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3";
    for (const char* name :
         {"Music/Rock/live one.mp3", "Music/live two.mp3", "Music/LIVE TWO.mp3"}) {
        fs::create_directories((drive / name).parent_path());
        fs::copy_file(fixture, drive / name);
    }
    fs::create_directories(drive / "Empty");
    volumes.setVolumes(
        {{drive.string(), "AUDIO", 0x1234ABCD, VolumeType::Removable, "vfat", "/dev/sdb1"}});
    const std::string music = (drive / "Music").string();
    const std::string root = drive.string();

    ASSERT_EQ(Run({collection, "--name", "live", "--in", "files", "--on", music}), kSuccess)
        << err.str();
    EXPECT_EQ(out.str(), root + "/Music/Rock/live one.mp3\n" + root + "/Music/LIVE TWO.mp3\n" +
                             root + "/Music/live two.mp3\n");
    ASSERT_EQ(Run({collection, "--tag", "title=a", "--on", music, "--save", dir.file("t.txt")}),
              kSuccess);
    EXPECT_EQ(testing::ReadBytes(dir.file("t.txt"))
                      .find("\r\n" + root + "/Music/Rock/live one.mp3\r\n") != std::string::npos,
              true);
    out.str({});
    ASSERT_EQ(RunCli({"duplicates", collection, "--on", music}, out, err, context), kSuccess);
    EXPECT_EQ(out.str(),
              "LIVE TWO.mp3\n" + root + "/Music/LIVE TWO.mp3\n" + root + "/Music/live two.mp3\n");
    // The collection is never written, and may be missing with --on.
    EXPECT_EQ(testing::ReadBytes(collection), kCollection);
    ASSERT_EQ(Run({dir.file("none.col"), "--name", "one", "--on", music}), kSuccess);
    EXPECT_FALSE(fs::exists(dir.file("none.col")));

    EXPECT_EQ(Run({collection, "--name", "live", "--on", (drive / "Empty").string()}), kFailed);
    EXPECT_EQ(err.str(), "The source doesn't contain MPEG audio files.\n");
    EXPECT_EQ(Run({collection, "--name", "live", "--on", (drive / "gone").string()}), kFailed);
    EXPECT_EQ(err.str(), "Can not read the selected drive!: " + (drive / "gone").string() + "\n");
    EXPECT_EQ(Run({collection, "--name", "nothing", "--on", music}), kFailed);
    EXPECT_EQ(err.str(), "There are no matches.\n");
    EXPECT_EQ(Run({collection, "--name", "live", "--on"}), kUsage);
}

} // namespace
} // namespace velmora::cli
