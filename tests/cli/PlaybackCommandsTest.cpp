// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bytes.h"
#include "CliFixture.h"
#include "TestDir.h"
#include "cli/Cli.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace velmora::cli {
namespace {

using testing::Bytes;
using testing::ReadBytes;
using testing::WriteBytes;
namespace fs = std::filesystem;

// Volume "Disc" (serial 7) with the folder "rock" holding two files.
const std::string kCollection =
    Bytes("[01]300[02]30[03]1[04]2[05]45000[06]\r\n"
          "\tDisc[01]300[02]30[03]1[04]2[05]45000[06]7[07]\r\n"
          "\t\trock[01]300[02]30[03]0[04]2[05]\r\n"
          "\t\t\ta.mp3[01]100[02]10[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
          "\t\t\tb.mp3[01]200[02]20[03]4410[04]2[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n");

class PlaylistCommandTest : public CliFixture {
protected:
    PlaylistCommandTest()
    {
        WriteBytes(collection, kCollection);
        // The volume is mounted at DISC/ of the test's folder.
        fs::create_directories(dir.path() / "DISC" / "rock");
        WriteBytes(dir.file("DISC/rock/a.mp3"), "a");
        WriteBytes(dir.file("DISC/rock/b.mp3"), "b");
        VolumeInfo disc;
        disc.root = dir.file("DISC");
        disc.label = "Disc";
        disc.serial = 7;
        volumes.setVolumes({disc});
    }

    const std::string collection = dir.file("s.col");
};

// The collection under its own name, a symbolic link and a hard link to it:
// the playlist would replace the collection.
TEST_F(PlaylistCommandTest, APlaylistIntoTheCollectionItselfIsRefused)
{
    fs::create_symlink("s.col", dir.file("link.col"));
    fs::create_hard_link(collection, dir.file("hard.col"));
    for (const std::string& target : {collection, dir.file("link.col"), dir.file("hard.col")}) {
        EXPECT_EQ(Run({"playlist", collection, "#1", "-o", target}), kFailed) << target;
        EXPECT_EQ(err.str(),
                  "Can not save in the file: " + target + "\nThe file is the collection itself\n");
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(ReadBytes(collection), kCollection);
    EXPECT_TRUE(fs::is_symlink(dir.file("link.col")));
}

TEST_F(PlaylistCommandTest, ADashWritesTheM3uPlaylistToTheOutputAlone)
{
    const std::string playlist = dir.file("rock.m3u");
    ASSERT_EQ(Run({"playlist", collection, "Disc\\rock", "-o", playlist}), kSuccess) << err.str();
    ASSERT_EQ(Run({"playlist", collection, "Disc\\rock", "-o", "-"}), kSuccess) << err.str();
    EXPECT_EQ(out.str(), ReadBytes(playlist));
    EXPECT_EQ(out.str(),
              dir.file("DISC/rock/a.mp3") + "\r\n" + dir.file("DISC/rock/b.mp3") + "\r\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_FALSE(fs::exists(dir.file("-")));

    // A node that cannot be found: the message, nothing on the output.
    volumes.setVolumes({});
    EXPECT_EQ(Run({"playlist", collection, "Disc\\rock", "-o", "-"}), kFailed);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str(), "");
}

} // namespace
} // namespace velmora::cli
