// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ScanCommand.h"

#include "CliFixture.h"
#include "TestDir.h"
#include "cli/Cli.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace velmora::cli {
namespace {

using testing::ReadBytes;
using testing::TestDir;
namespace fs = std::filesystem;

class ScanCommandTest : public CliFixture {
protected:
    ScanCommandTest()
    {
        volumes.setVolumes({{dir.path().string(), "AUDIO", 0x1234ABCD, VolumeType::Removable,
                             "vfat", "/dev/sdb1"}});
        fs::create_directories(dir.path() / "Music");
        fs::copy_file(std::string(std::getenv("VELMORA_TEST_DATA")) +
                          "/audio/mpeg1_l3_cbr128_44k_js.mp3",
                      dir.path() / "Music" / "song.mp3");
    }

    const std::string collection = dir.file("c.col");
    const std::string music = dir.file("Music");
};

TEST_F(ScanCommandTest, ScansIntoANewCollection)
{
    ASSERT_EQ(Run({"scan", music, "-c", collection}), kSuccess) << err.str();
    ASSERT_EQ(Run({"dump", collection}), kSuccess);
    EXPECT_EQ(out.str(), "0\tcollection\t\t16\t1\t1\t1\t46000\n"
                         "1\tvolume\tAUDIO\\Music\t16\t1\t0\t1\t46000\t305441741\n"
                         "2\tfile\tsong.mp3\t16\t1\t4410\t2\t1\t3\t\t\t\t\t\t\n");
}

TEST_F(ScanCommandTest, SameVolumeNeedsUpdate)
{
    ASSERT_EQ(Run({"scan", music, "-c", collection}), kSuccess);
    const std::string before = ReadBytes(collection);
    // The folder part compares ignoring case.
    fs::rename(dir.path() / "Music", dir.path() / "music");
    const std::string lower = dir.file("music");
    EXPECT_EQ(Run({"scan", lower, "-c", collection}), kFailed);
    EXPECT_EQ(err.str(), "The selected volume already exists in the collection. Would you like to "
                         "update it? (--update)\n");
    EXPECT_EQ(ReadBytes(collection), before);

    fs::copy_file(dir.file("music/song.mp3"), dir.file("music/again.mp3"));
    ASSERT_EQ(Run({"scan", lower, "-c", collection, "--update"}), kSuccess) << err.str();
    ASSERT_EQ(Run({"volumes", collection}), kSuccess);
    const std::string listed = out.str();
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 1) << listed;
    ASSERT_EQ(Run({"stats", collection}), kSuccess);
    EXPECT_NE(out.str().find("File count:\t2 File(s)"), std::string::npos);
}

TEST_F(ScanCommandTest, FailuresLeaveTheCollectionFileAlone)
{
    ASSERT_EQ(Run({"new", collection}), kSuccess);
    const std::string before = ReadBytes(collection);

    fs::create_directories(dir.path() / "Empty");
    EXPECT_EQ(Run({"scan", dir.file("Empty"), "-c", collection}), kFailed);
    EXPECT_EQ(err.str(), "The source doesn't contain MPEG audio files.\n");

    EXPECT_EQ(Run({"scan", dir.file("Nowhere"), "-c", collection}), kFailed);
    EXPECT_EQ(err.str(), "Can not read the selected drive!: " + dir.file("Nowhere") + "\n");

    interrupted = true;
    EXPECT_EQ(Run({"scan", music, "-c", collection}), kFailed);
    interrupted = false;
    EXPECT_EQ(ReadBytes(collection), before);

    EXPECT_EQ(Run({"scan", music}), kUsage);
    EXPECT_EQ(Run({"scan", "-c", collection}), kUsage);
    EXPECT_EQ(Run({"scan", music, "-c", collection, "--serial", "xyz"}), kUsage);
}

TEST_F(ScanCommandTest, UnreadableFolderIsAWarning)
{
    fs::create_directories(dir.path() / "Music" / "Locked");
    files.unreadableFolders.push_back(dir.file("Music/Locked"));
    ASSERT_EQ(Run({"scan", music, "-c", collection}), kSuccess);
    EXPECT_EQ(err.str(), "Not all directories of the source are readable!\n");
}

TEST_F(ScanCommandTest, LabelAndSerialOverrides)
{
    ASSERT_EQ(
        Run({"scan", music, "-c", collection, "--label", "MP3 CD 042", "--serial", "ABCD-0042"}),
        kSuccess);
    ASSERT_EQ(Run({"dump", collection}), kSuccess);
    EXPECT_NE(out.str().find("1\tvolume\tMP3 CD 042\t16\t1\t0\t1\t46000\t" +
                             std::to_string(static_cast<std::int32_t>(0xABCD0042u)) + "\n"),
              std::string::npos)
        << out.str();
}

TEST_F(ScanCommandTest, AGivenLabelIsCleanedSoTheCollectionReadsBackTheSame)
{
    fs::create_directories(dir.path() / "Copy");
    fs::copy_file(dir.file("Music/song.mp3"), dir.file("Copy/song.mp3"));
    ASSERT_EQ(Run({"scan", music, "-c", collection}), kSuccess) << err.str();
    // Leading blanks would read back as indentation: the new volume and its
    // file would belong to the volume before it.
    ASSERT_EQ(Run({"scan", dir.file("Copy"), "-c", collection, "--label", " \tX\x01 "}), kSuccess)
        << err.str();
    ASSERT_EQ(Run({"dump", collection}), kSuccess);
    EXPECT_EQ(out.str(), "0\tcollection\t\t32\t2\t2\t2\t46000\n"
                         "1\tvolume\tAUDIO\\Music\t16\t1\t0\t1\t46000\t305441741\n"
                         "2\tfile\tsong.mp3\t16\t1\t4410\t2\t1\t3\t\t\t\t\t\t\n"
                         "1\tvolume\tX\t16\t1\t0\t1\t46000\t305441741\n"
                         "2\tfile\tsong.mp3\t16\t1\t4410\t2\t1\t3\t\t\t\t\t\t\n");

    // A label of blanks names nothing: a usage error, the file stays.
    const std::string before = ReadBytes(collection);
    EXPECT_EQ(Run({"scan", dir.file("Copy"), "-c", collection, "--label", " \t "}), kUsage);
    EXPECT_EQ(err.str(), "velmora-cli: the label is empty or blank\n"
                         "usage: velmora-cli scan SOURCE -c COLLECTION [--label L] [--serial N] "
                         "[--update] [--no-id3v2]\n");
    EXPECT_EQ(ReadBytes(collection), before);
}

TEST(SerialParsing, Forms)
{
    std::uint32_t serial = 0;
    ASSERT_TRUE(ParseSerial("ABCD-1234", serial));
    EXPECT_EQ(serial, 0xABCD1234u);
    ASSERT_TRUE(ParseSerial("0x10", serial));
    EXPECT_EQ(serial, 16u);
    ASSERT_TRUE(ParseSerial("12345", serial));
    EXPECT_EQ(serial, 12345u);
    ASSERT_TRUE(ParseSerial("deadBEEF", serial));
    EXPECT_EQ(serial, 0xDEADBEEFu);
    EXPECT_FALSE(ParseSerial("", serial));
    EXPECT_FALSE(ParseSerial("12x", serial));
    EXPECT_FALSE(ParseSerial("99999999999", serial));
}

} // namespace
} // namespace velmora::cli
