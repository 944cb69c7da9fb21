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
using testing::ReadBytes;
using testing::TestDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

constexpr std::uint32_t kAudioSerial = 0xFFFFFCDB; // stored as -805

// Two volumes: "zeta\Music" (serial -805) holding Rock/b.mp3, and ALPHA
// (serial 305419896) holding z.mp3 and a.mp3. Its last change is not the
// fake clock's day, so a file that was saved again differs.
const std::string kCollection =
    Bytes("[01]300[02]30[03]2[04]3[05]45000[06]\r\n"
          "\tzeta\\Music[01]100[02]10[03]1[04]1[05]45000[06]-805[07]\r\n"
          "\t\tRock[01]100[02]10[03]0[04]1[05]\r\n"
          "\t\t\tb.mp3[01]100[02]10[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
          "\tALPHA[01]200[02]20[03]0[04]2[05]44000[06]305419896[07]\r\n"
          "\t\tz.mp3[01]150[02]15[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
          "\t\ta.mp3[01]50[02]5[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n");

VolumeInfo Drive(std::string root, std::string label, std::uint32_t serial, VolumeType type)
{
    VolumeInfo drive;
    drive.root = std::move(root);
    drive.label = std::move(label);
    drive.serial = serial;
    drive.type = type;
    return drive;
}

class VolumeCommandsTest : public CliFixture {
protected:
    VolumeCommandsTest()
    {
        // The drive with the serial of "zeta\Music" comes first in the list,
        // as "/" does on Linux: it is looked at all the same.
        volumes.setVolumes({
            Drive(Root("AUDIO"), "AUDIO", kAudioSerial, VolumeType::Removable),
            Drive(Root("DISC"), "DISC", 0x0BADF00D, VolumeType::Optical),
        });
        fs::create_directories(dir.path() / "AUDIO");
        fs::create_directories(dir.path() / "DISC");
        WriteBytes(collection, kCollection);
    }

    std::string Root(const std::string& name) const { return dir.file(name); }

    void PutSong(const std::string& relative,
                 const std::string& fixture = "mpeg1_l3_cbr128_44k_js.mp3") const
    {
        const fs::path target = dir.path() / relative;
        fs::create_directories(target.parent_path());
        fs::copy_file(std::string(std::getenv("VELMORA_TEST_DATA")) + "/audio/" + fixture, target);
    }

    std::string Dump()
    {
        EXPECT_EQ(Run({"dump", collection}), kSuccess) << err.str();
        return out.str();
    }

    const std::string collection = dir.file("c.col");
};

TEST_F(VolumeCommandsTest, VolumesListsEveryVolume)
{
    locale.setDateSeparator(".");
    ASSERT_EQ(Run({"volumes", collection}), kSuccess) << err.str();
    EXPECT_EQ(out.str(), "1\tzeta\\Music\tFFFFFCDB\t15.03.2023\t1\t1\t100\t10\n"
                         "2\tALPHA\t12345678\t18.06.2020\t0\t2\t200\t20\n");
    EXPECT_EQ(Run({"volumes"}), kUsage);
    EXPECT_EQ(err.str(), "usage: velmora-cli volumes COLLECTION\n");
}

TEST_F(VolumeCommandsTest, DrivesListsTheMountedVolumes)
{
    volumes.setVolumes({
        Drive("/", "", 0x0000ABCD, VolumeType::Fixed),
        Drive("/media/u/MY DISC", "MY DISC", 0xABCD1234, VolumeType::Optical),
        Drive("/media/u/STICK", "STICK", 7, VolumeType::Removable),
        Drive("/mnt/share", "", 0x80000000, VolumeType::Network),
    });
    ASSERT_EQ(Run({"drives"}), kSuccess);
    EXPECT_EQ(out.str(), "/\t\t0000ABCD\tfixed\n"
                         "/media/u/MY DISC\tMY DISC\tABCD1234\toptical\n"
                         "/media/u/STICK\tSTICK\t00000007\tremovable\n"
                         "/mnt/share\t\t80000000\tnetwork\n");
    EXPECT_EQ(Run({"drives", "x"}), kUsage);
}

TEST_F(VolumeCommandsTest, UpdateFindsTheDriveBySerialAndKeepsThePosition)
{
    PutSong("AUDIO/Music/Pop/song.mp3");
    PutSong("AUDIO/Music/mono.mp3", "mpeg2_l3_cbr32_24k_mono.mp3");
    ASSERT_EQ(Run({"update", "-c", collection, "zeta\\Music"}), kSuccess) << err.str();
    EXPECT_EQ(err.str(), "");
    // The label the user gave survives: the folder part is unchanged.
    EXPECT_EQ(Dump(), "0\tcollection\t\t220\t22\t2\t4\t46000\n"
                      "1\tvolume\tzeta\\Music\t20\t2\t1\t2\t46000\t-805\n"
                      "2\tfolder\tPop\t16\t1\t0\t1\n"
                      "3\tfile\tsong.mp3\t16\t1\t4410\t2\t1\t3\t\t\t\t\t\t\n"
                      "2\tfile\tmono.mp3\t4\t1\t2400\t4\t2\t3\t\t\t\t\t\t\n"
                      "1\tvolume\tALPHA\t200\t20\t0\t2\t44000\t305419896\n"
                      "2\tfile\tz.mp3\t150\t15\t4410\t2\t1\t3\t\t\t\t\t\t\n"
                      "2\tfile\ta.mp3\t50\t5\t4410\t2\t1\t3\t\t\t\t\t\t\n");
}

TEST_F(VolumeCommandsTest, UpdateByNumber)
{
    PutSong("AUDIO/Music/song.mp3");
    ASSERT_EQ(Run({"update", "1", "-c", collection}), kSuccess) << err.str();
    EXPECT_EQ(Run({"volumes", collection}), kSuccess);
    EXPECT_EQ(out.str(), "1\tzeta\\Music\tFFFFFCDB\t09/12/2025\t0\t1\t16\t1\n"
                         "2\tALPHA\t12345678\t18/06/2020\t0\t2\t200\t20\n");
}

TEST_F(VolumeCommandsTest, UpdateWithoutTheDriveFailsWith158)
{
    volumes.setVolumes({Drive(Root("DISC"), "DISC", 0x0BADF00D, VolumeType::Optical)});
    EXPECT_EQ(Run({"update", "-c", collection, "zeta\\Music"}), kFailed);
    EXPECT_EQ(err.str(), "zeta\\Music: Can not find the source of the selected item\n");
    EXPECT_EQ(ReadBytes(collection), kCollection);

    // A drive with the serial that cannot be read counts as absent.
    volumes.setVolumes({Drive(Root("AUDIO"), "AUDIO", kAudioSerial, VolumeType::Optical)});
    volumes.setUnreadable(Root("AUDIO"));
    EXPECT_EQ(Run({"update", "-c", collection, "zeta\\Music"}), kFailed);
    EXPECT_EQ(err.str(), "zeta\\Music: Can not find the source of the selected item\n");
    EXPECT_EQ(ReadBytes(collection), kCollection);
}

TEST_F(VolumeCommandsTest, UpdateWithTheFolderMissingOnTheDriveFailsWith158)
{
    EXPECT_EQ(Run({"update", "-c", collection, "zeta\\Music"}), kFailed);
    EXPECT_EQ(err.str(), Root("AUDIO") + "/Music: Can not find the source of the selected item\n");
    EXPECT_EQ(ReadBytes(collection), kCollection);
}

TEST_F(VolumeCommandsTest, UpdateFromASourceOfAnotherSerialOrFolderNeedsForce)
{
    PutSong("DISC/copy/song.mp3");
    PutSong("AUDIO/Other/song.mp3");
    // Another serial, then the volume's serial with another folder.
    EXPECT_EQ(Run({"update", "-c", collection, "ALPHA", "--from", Root("DISC") + "/copy"}),
              kFailed);
    EXPECT_EQ(err.str(), "velmora-cli update: the source is not the volume (another serial or "
                         "folder); --force takes it all the same\n"
                         "Volume: ALPHA (serial 12345678)\n"
                         "Source: DISC\\copy (serial 0BADF00D): " +
                             Root("DISC") + "/copy\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Run({"update", "-c", collection, "1", "--from", Root("AUDIO") + "/Other"}), kFailed);
    EXPECT_EQ(err.str(), "velmora-cli update: the source is not the volume (another serial or "
                         "folder); --force takes it all the same\n"
                         "Volume: zeta\\Music (serial FFFFFCDB)\n"
                         "Source: AUDIO\\Other (serial FFFFFCDB): " +
                             Root("AUDIO") + "/Other\n");
    EXPECT_EQ(ReadBytes(collection), kCollection);

    // The volume's own source goes on without it, the folder part compared
    // without case as the window compares it.
    PutSong("AUDIO/MUSIC/song.mp3");
    ASSERT_EQ(Run({"update", "-c", collection, "1", "--from", Root("AUDIO") + "/MUSIC"}), kSuccess)
        << err.str();
    EXPECT_EQ(Run({"volumes", collection}), kSuccess);
    EXPECT_EQ(out.str(), "1\tAUDIO\\MUSIC\tFFFFFCDB\t09/12/2025\t0\t1\t16\t1\n"
                         "2\tALPHA\t12345678\t18/06/2020\t0\t2\t200\t20\n");

    ASSERT_EQ(
        Run({"update", "-c", collection, "ALPHA", "--from", Root("DISC") + "/copy", "--force"}),
        kSuccess)
        << err.str();
    EXPECT_EQ(Run({"volumes", collection}), kSuccess);
    EXPECT_EQ(out.str(), "1\tAUDIO\\MUSIC\tFFFFFCDB\t09/12/2025\t0\t1\t16\t1\n"
                         "2\tDISC\\copy\t0BADF00D\t09/12/2025\t0\t1\t16\t1\n");
}

TEST_F(VolumeCommandsTest, UpdateFromAGivenSource)
{
    PutSong("DISC/copy/song.mp3");
    ASSERT_EQ(
        Run({"update", "-c", collection, "ALPHA", "--from", Root("DISC") + "/copy/", "--force"}),
        kSuccess)
        << err.str();
    EXPECT_EQ(Run({"volumes", collection}), kSuccess);
    EXPECT_EQ(out.str(), "1\tzeta\\Music\tFFFFFCDB\t15/03/2023\t1\t1\t100\t10\n"
                         "2\tDISC\\copy\t0BADF00D\t09/12/2025\t0\t1\t16\t1\n");

    const std::string before = ReadBytes(collection);
    EXPECT_EQ(Run({"update", "-c", collection, "ALPHA", "--from", Root("DISC") + "/gone"}),
              kFailed);
    EXPECT_EQ(Run({"update", "-c", collection, "2", "--from", Root("DISC") + "/gone"}), kFailed);
    EXPECT_EQ(err.str(), Root("DISC") + "/gone: Can not find the source of the selected item\n");
    fs::create_directories(dir.path() / "elsewhere");
    EXPECT_EQ(Run({"update", "-c", collection, "2", "--from", dir.file("elsewhere")}), kFailed);
    EXPECT_EQ(err.str(), dir.file("elsewhere") + ": Can not read the selected drive!\n");
    EXPECT_EQ(ReadBytes(collection), before);
}

TEST_F(VolumeCommandsTest, UpdateFromAFolderOfAnUnlabelledVolumeKeepsTheLabelAndSerial)
{
    // ALPHA was scanned from a copy of its disc under the disc's label and
    // serial; the copy lies on a volume without a label.
    volumes.setVolumes({Drive(Root("PLAIN"), "", 0x845BBD96, VolumeType::Fixed)});
    PutSong("PLAIN/tmp/copy/song.mp3");
    ASSERT_EQ(Run({"update", "-c", collection, "ALPHA", "--from", Root("PLAIN") + "/tmp/copy",
                   "--force"}),
              kSuccess)
        << err.str();
    EXPECT_EQ(Run({"volumes", collection}), kSuccess);
    EXPECT_EQ(out.str(), "1\tzeta\\Music\tFFFFFCDB\t15/03/2023\t1\t1\t100\t10\n"
                         "2\tALPHA\t12345678\t09/12/2025\t0\t1\t16\t1\n");
}

TEST_F(VolumeCommandsTest, UpdateFromASourceWithoutAudioKeepsTheVolume)
{
    fs::create_directories(dir.path() / "AUDIO/Music/empty");
    EXPECT_EQ(Run({"update", "-c", collection, "zeta\\Music"}), kFailed);
    EXPECT_EQ(err.str(), "The source doesn't contain MPEG audio files.\n");
    EXPECT_EQ(ReadBytes(collection), kCollection);
}

TEST_F(VolumeCommandsTest, DeleteRemovesVolumesAndTheirTotals)
{
    ASSERT_EQ(Run({"delete", "-c", collection, "2"}), kSuccess) << err.str();
    EXPECT_EQ(ReadBytes(collection),
              Bytes("[01]100[02]10[03]1[04]1[05]46000[06]\r\n"
                    "\tzeta\\Music[01]100[02]10[03]1[04]1[05]45000[06]-805[07]\r\n"
                    "\t\tRock[01]100[02]10[03]0[04]1[05]\r\n"
                    "\t\t\tb.mp3[01]100[02]10[03]4410[04]2[05]1[06]3[07][15][16][17][18]"
                    "[19][1A][1B]\r\n"));

    WriteBytes(collection, kCollection);
    ASSERT_EQ(Run({"delete", "-c", collection, "ALPHA", "zeta\\Music", "1"}), kSuccess);
    EXPECT_EQ(ReadBytes(collection), Bytes("[01]0[02]0[03]0[04]0[05]46000[06]\r\n"));
}

TEST_F(VolumeCommandsTest, AnUnknownVolumeFailsAndChangesNothing)
{
    EXPECT_EQ(Run({"delete", "-c", collection, "ALPHA", "BETA"}), kFailed);
    EXPECT_EQ(err.str(), "velmora-cli: no volume \"BETA\" in " + collection + "\n");
    for (const char* word : {"3", "0", "zeta\\music", "", "-1x"}) {
        EXPECT_EQ(Run({"rename", "-c", collection, "--", word, "X"}), kFailed) << word;
        EXPECT_EQ(Run({"update", "-c", collection, "--", word}), kFailed) << word;
    }
    EXPECT_EQ(ReadBytes(collection), kCollection);
}

TEST_F(VolumeCommandsTest, RenameKeepsTheFolderPart)
{
    ASSERT_EQ(Run({"rename", "-c", collection, "zeta\\Music", "A\\B"}), kSuccess);
    ASSERT_EQ(Run({"rename", "-c", collection, "2", " BETA "}), kSuccess);
    EXPECT_EQ(Run({"volumes", collection}), kSuccess);
    EXPECT_EQ(out.str(), "1\tA B\\Music\tFFFFFCDB\t15/03/2023\t1\t1\t100\t10\n"
                         "2\tBETA\t12345678\t18/06/2020\t0\t2\t200\t20\n");
}

TEST_F(VolumeCommandsTest, RenameToABlankLabelFailsAndKeepsTheName)
{
    for (const char* label : {"", "  ", "\t\\ "}) {
        EXPECT_EQ(Run({"rename", "-c", collection, "2", label}), kFailed) << label;
        EXPECT_EQ(err.str(),
                  "velmora-cli: the label is empty or blank; the volume keeps its name\n");
    }
    EXPECT_EQ(ReadBytes(collection), kCollection);
}

TEST_F(VolumeCommandsTest, RenameToTheSameLabelDoesNotSave)
{
    EXPECT_EQ(Run({"rename", "-c", collection, "zeta\\Music", " zeta "}), kSuccess);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(ReadBytes(collection), kCollection);
}

TEST_F(VolumeCommandsTest, SortOrdersEveryLevel)
{
    ASSERT_EQ(Run({"sort", "-c", collection}), kSuccess);
    EXPECT_EQ(err.str(), "The sorting finished successfully.\n");
    EXPECT_EQ(Dump(), "0\tcollection\t\t300\t30\t2\t3\t46000\n"
                      "1\tvolume\tALPHA\t200\t20\t0\t2\t44000\t305419896\n"
                      "2\tfile\ta.mp3\t50\t5\t4410\t2\t1\t3\t\t\t\t\t\t\n"
                      "2\tfile\tz.mp3\t150\t15\t4410\t2\t1\t3\t\t\t\t\t\t\n"
                      "1\tvolume\tzeta\\Music\t100\t10\t1\t1\t45000\t-805\n"
                      "2\tfolder\tRock\t100\t10\t0\t1\n"
                      "3\tfile\tb.mp3\t100\t10\t4410\t2\t1\t3\t\t\t\t\t\t\n");
}

TEST_F(VolumeCommandsTest, SortReportsSuccessOnlyAfterTheSave)
{
    files.failWriteAfter = 0; // a full disk
    EXPECT_EQ(Run({"sort", "-c", collection}), kFailed);
    EXPECT_EQ(err.str(), "Can not save in the file: " + collection + "\n");
}

TEST_F(VolumeCommandsTest, UsageAndFailures)
{
    EXPECT_EQ(Run({"sort"}), kUsage);
    EXPECT_EQ(err.str(), "usage: velmora-cli sort -c COLLECTION\n");
    EXPECT_EQ(Run({"sort", "-c"}), kUsage);
    EXPECT_EQ(Run({"sort", "-c", collection, "extra"}), kUsage);
    EXPECT_EQ(Run({"update", "-c", collection}), kUsage);
    EXPECT_EQ(err.str(),
              "usage: velmora-cli update -c COLLECTION VOLUME [--from SOURCE [--force]]\n");
    EXPECT_EQ(Run({"update", "-c", collection, "1", "--from"}), kUsage);
    EXPECT_EQ(Run({"update", "-c", collection, "1", "--force"}), kUsage);
    EXPECT_EQ(Run({"delete", "-c", collection, "1", "--force"}), kUsage);
    EXPECT_EQ(Run({"delete", "-c", collection}), kUsage);
    EXPECT_EQ(Run({"delete", "-c", collection, "1", "--from", "x"}), kUsage);
    EXPECT_EQ(Run({"rename", "-c", collection, "1"}), kUsage);
    EXPECT_EQ(Run({"rename", "-c", collection, "-c", collection, "1", "X"}), kUsage);

    const std::string missing = dir.file("missing.col");
    EXPECT_EQ(Run({"sort", "-c", missing}), kFailed);
    EXPECT_EQ(err.str(), "Can not open the file: " + missing + "\n");
    EXPECT_EQ(Run({"volumes", missing}), kFailed);

    files.failCreate = true;
    EXPECT_EQ(Run({"delete", "-c", collection, "1"}), kFailed);
    EXPECT_EQ(err.str(), "Can not save in the file: " + collection + "\n");
    EXPECT_EQ(ReadBytes(collection), kCollection);
}

} // namespace
} // namespace velmora::cli
