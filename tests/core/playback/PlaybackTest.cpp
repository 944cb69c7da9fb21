// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/Playback.h"

#include "TestDir.h"
#include "collection/NodeText.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "system/Services.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::playback {
namespace {

using collection::CollectionTree;
using collection::NodeId;
using texts::TextId;
using velmora::testing::ReadBytes;
using velmora::testing::TestDir;
using velmora::testing::WriteBytes;
namespace fs = std::filesystem;

using Events = std::vector<std::string>;

// Records what the front end is asked to do; runs listings at once.
class RecordingUser final : public PlaybackUser {
public:
    void ShowError(const std::string& message) override { events.push_back("error " + message); }
    void ShowLeftOut(const std::string& message) override
    {
        events.push_back("left out " + message);
    }
    void RunListing(const std::function<void(Progress&)>& job) override
    {
        events.push_back("listing");
        job(progress);
    }
    void Open(const std::string& path) override { events.push_back("open " + path); }
    void Enqueue(const std::string& playlistFile) override
    {
        events.push_back("enqueue " + playlistFile);
    }

    Events events;
    ProgressState progress;
};

class PlaybackTest : public ::testing::Test {
protected:
    PlaybackTest() { tree.addRoot(collection::CollectionText(0, 0, 0, 0, 0)); }

    // A mounted volume whose mount point is the folder `name` of the test's
    // folder.
    std::string Mount(const std::string& name, const std::string& label, std::uint32_t serial)
    {
        const std::string root = dir.file(name);
        fs::create_directories(root);
        AddMount(root, label, serial);
        return root;
    }
    void AddMount(const std::string& root, const std::string& label, std::uint32_t serial)
    {
        VolumeInfo mount;
        mount.root = root;
        mount.label = label;
        mount.serial = serial;
        mounts.push_back(mount);
        volumes.setVolumes(mounts);
    }
    NodeId Volume(std::string_view name, std::int32_t serial)
    {
        return tree.appendChild(tree.root(), collection::VolumeText(name, 0, 0, 0, 0, 0, serial));
    }
    NodeId Folder(NodeId parent, std::string_view name)
    {
        return tree.appendChild(parent, collection::FolderText(name, 0, 0, 0, 0));
    }
    NodeId File(NodeId parent, std::string_view name)
    {
        return tree.appendChild(parent, collection::FileText(name, {}, {}));
    }
    static void Touch(const std::string& path)
    {
        fs::create_directories(fs::path(path).parent_path());
        WriteBytes(path, "");
    }
    bool Play(NodeId node, PlayMode mode)
    {
        return LocateAndPlay(tree, node, playlist, mode, services, table, user);
    }

    TestDir dir;
    fakes::FaultyFileSystem files;
    fakes::FakeVolumes volumes;
    std::vector<VolumeInfo> mounts;
    fakes::FakeLocale locale;
    fakes::FakeClock clock;
    const Services services{files, volumes, locale, clock};
    const texts::TextTable table;
    CollectionTree tree;
    RecordingUser user;
    const std::string playlist = dir.file("vlm.m3u");
};

TEST_F(PlaybackTest, ASingleFilePlaysItselfAndEnqueuesItsPlaylist)
{
    // Recorded without a serial: found by its label in another letter case.
    const std::string root = Mount("b", "music_01", 0x1234);
    const NodeId song = File(Folder(Volume("MUSIC_01", 0), "Album"), "song.mp3");
    Touch(root + "/Album/song.mp3");

    EXPECT_TRUE(Play(song, PlayMode::Play));
    EXPECT_EQ(user.events, Events{"open " + root + "/Album/song.mp3"});
    EXPECT_EQ(ReadBytes(playlist), root + "/Album/song.mp3\r\n");

    user.events.clear();
    EXPECT_TRUE(Play(song, PlayMode::Enqueue));
    EXPECT_EQ(user.events, Events{"enqueue " + playlist});
    EXPECT_EQ(ReadBytes(playlist), root + "/Album/song.mp3\r\n");
}

TEST_F(PlaybackTest, AVolumeWithASerialIsNotFoundByItsLabelAlone)
{
    Mount("b", "AUDIO", 5);
    const NodeId volume = Volume("AUDIO\\Music", -1);
    File(volume, "song.mp3");

    EXPECT_FALSE(Play(volume, PlayMode::Play));
    const std::string message = std::string(table.Text(TextId::CannotFindSource)) + "\r\n" +
                                std::string(table.Text(TextId::DriveLabelLabel)) +
                                ": \"AUDIO\"\r\n" +
                                std::string(table.Text(TextId::DriveSerialLabel)) + ": FFFFFFFF";
    EXPECT_EQ(user.events, Events{"error " + message});
    EXPECT_FALSE(fs::exists(playlist));
}

TEST_F(PlaybackTest, AVolumeAtTheRootOfAMountGivesNoDoubledSlash)
{
    // The root "/" itself: the test folder's path, name by name, below a
    // volume mounted at "/".
    AddMount("/", "SYSTEM", 77);
    const NodeId volume = Volume("SYSTEM", 77);
    NodeId folder = volume;
    for (const fs::path& part : dir.path().relative_path())
        folder = Folder(folder, part.string());
    File(Folder(folder, "Album"), "a.mp3");
    File(folder, "b.mp3");
    const std::string path = dir.path().string();
    Touch(path + "/Album/a.mp3");
    Touch(path + "/b.mp3");

    EXPECT_TRUE(Play(volume, PlayMode::Playlist));
    EXPECT_EQ(user.events, Events{"listing"});
    EXPECT_EQ(ReadBytes(playlist), path + "/Album/a.mp3\r\n" + path + "/b.mp3\r\n");
    const ProgressSnapshot shown = user.progress.Latest();
    EXPECT_EQ(shown.title, table.Text(TextId::ListingTitle));
    EXPECT_EQ(shown.phase, table.Step(TextId::CreatePlaylistCommand));
    EXPECT_EQ(shown.maximum, tree.size() - 2);
    EXPECT_EQ(shown.position, shown.maximum);
}

TEST_F(PlaybackTest, AMissingFolderIsReportedWithItsFullPathAndNothingIsWritten)
{
    const std::string root = Mount("b", "AUDIO", 9);
    const NodeId gone = Folder(Volume("AUDIO\\Music", 9), "Gone");
    File(gone, "song.mp3");
    fs::create_directories(root + "/Music");

    EXPECT_FALSE(Play(gone, PlayMode::Play));
    EXPECT_EQ(user.events, Events{"error " + std::string(table.Text(TextId::CannotFindSource)) +
                                  ": " + root + "/Music/Gone"});
    EXPECT_FALSE(fs::exists(playlist));
}

TEST_F(PlaybackTest, NamesHoldingABackslashAreNamesOnDisk)
{
    // Only the volume's own name has "\" for separators.
    const std::string root = Mount("b", "MUSIC", 3);
    const NodeId band = Folder(Volume("MUSIC\\Rock", 3), "AC\\DC");
    File(band, "T.N.T.mp3");
    Touch(root + "/Rock/AC\\DC/T.N.T.mp3");

    EXPECT_TRUE(Play(band, PlayMode::Play));
    EXPECT_EQ(user.events, (Events{"listing", "open " + root + "/Rock/AC\\DC/T.N.T.mp3"}));
}

TEST_F(PlaybackTest, AWindows1252NameIsFoundInUtf8)
{
    const std::string root = Mount("b", "AUDIO", 3);
    const NodeId volume = Volume("AUDIO", 3);
    const NodeId artist = Folder(volume, "Bj\xF6rk");
    File(artist, "Caf\xE9.mp3");
    File(artist, "Plain.mp3");
    Touch(root + "/Bj\xC3\xB6rk/Caf\xC3\xA9.mp3");
    Touch(root + "/Bj\xC3\xB6rk/Plain.mp3");

    EXPECT_EQ(LocateNode(tree, tree.firstChild(artist), services).path,
              root + "/Bj\xC3\xB6rk/Caf\xC3\xA9.mp3");
    EXPECT_TRUE(Play(volume, PlayMode::Enqueue));
    EXPECT_EQ(user.events, (Events{"listing", "enqueue " + playlist}));
    EXPECT_EQ(ReadBytes(playlist),
              root + "/Bj\xC3\xB6rk/Caf\xC3\xA9.mp3\r\n" + root + "/Bj\xC3\xB6rk/Plain.mp3\r\n");
}

TEST_F(PlaybackTest, APlaylistThatCannotBeWrittenStartsNothing)
{
    const std::string root = Mount("b", "AUDIO", 3);
    const NodeId song = File(Volume("AUDIO", 3), "song.mp3");
    Touch(root + "/song.mp3");
    WriteBytes(playlist, "old\r\n");
    files.failCommit = true;

    EXPECT_FALSE(Play(song, PlayMode::Play));
    EXPECT_EQ(user.events, Events{"error " + std::string(table.Text(TextId::CannotCreatePlaylist)) +
                                  ": " + playlist});
    EXPECT_EQ(ReadBytes(playlist), "old\r\n");
}

// Names that are no entry of their folder, which a hand-made collection can
// hold, never make a path: each such node cannot be located, even where the
// path they would make exists, and a playlist leaves its files out.
TEST_F(PlaybackTest, NamesThatLeadElsewhereAreNeverLocated)
{
    const std::string root = Mount("b", "AUDIO", 3);
    const NodeId volume = Volume("AUDIO", 3);
    const NodeId up = File(Folder(Folder(volume, ".."), ".."), "secret"); // b/../../secret
    const NodeId here = File(Folder(volume, "."), "a.mp3");               // b/./a.mp3
    const NodeId slash = File(volume, "Rock/a.mp3");                      // b/Rock/a.mp3
    const NodeId empty = File(Folder(volume, ""), "a.mp3");               // b//a.mp3
    const NodeId zero = File(volume, std::string_view("a.mp3\0x", 7));    // b/a.mp3 as a C path
    File(volume, "a.mp3");
    Touch(dir.path().parent_path().string() + "/secret");
    Touch(root + "/a.mp3");
    Touch(root + "/Rock/a.mp3");

    for (const NodeId node : {up, here, slash, empty, zero})
        EXPECT_EQ(LocateNode(tree, node, services).status, NodeLocation::Status::PathMissing)
            << collection::NodeName(tree.text(node));
    EXPECT_FALSE(Play(here, PlayMode::Play));
    EXPECT_EQ(user.events, Events{"error " + std::string(table.Text(TextId::CannotFindSource)) +
                                  ": " + root + "/./a.mp3"});

    user.events.clear();
    EXPECT_TRUE(Play(volume, PlayMode::Playlist));
    EXPECT_EQ(
        user.events,
        (Events{"listing", "left out " + std::string(table.Text(TextId::ItemsLeftOut)) + ": 5"}));
    EXPECT_EQ(ReadBytes(playlist), root + "/a.mp3\r\n");

    // The volume's own folder part may not climb either.
    const NodeId outside = Volume("AUDIO\\..\\..", 3);
    File(outside, "secret");
    EXPECT_EQ(LocateNode(tree, outside, services).status, NodeLocation::Status::PathMissing);
}

// The scan drops leading and trailing blanks of names: on disk, the name as
// stored comes first, else the one entry of the folder, of the node's kind,
// that the scan stores under it; with none or two, the node is not located.
TEST_F(PlaybackTest, ANameCleanedByTheScanIsFoundOnDisk)
{
    const std::string root = Mount("b", "AUDIO", 3);
    const NodeId volume = Volume("AUDIO", 3);
    const NodeId live = Folder(volume, "Live");
    const NodeId song = File(live, "song.mp3");
    const NodeId both = File(live, "both.mp3");
    const NodeId twice = File(live, "twice.mp3");
    const NodeId folderNamed = File(live, "dir.mp3");
    Touch(root + "/  Live / song.mp3");
    Touch(root + "/  Live / both.mp3");
    Touch(root + "/  Live /both.mp3");
    Touch(root + "/  Live / twice.mp3");
    Touch(root + "/  Live /twice.mp3 ");
    fs::create_directories(root + "/  Live / dir.mp3");

    EXPECT_EQ(LocateNode(tree, live, services).path, root + "/  Live ");
    const NodeLocation found = LocateNode(tree, song, services);
    EXPECT_EQ(found.status, NodeLocation::Status::Found);
    EXPECT_EQ(found.path, root + "/  Live / song.mp3");
    EXPECT_EQ(LocateNode(tree, both, services).path, root + "/  Live /both.mp3");
    EXPECT_EQ(LocateNode(tree, twice, services).status, NodeLocation::Status::PathMissing);
    EXPECT_EQ(LocateNode(tree, folderNamed, services).status, NodeLocation::Status::PathMissing);

    EXPECT_TRUE(Play(live, PlayMode::Playlist));
    EXPECT_EQ(ReadBytes(playlist),
              root + "/  Live / song.mp3\r\n" + root + "/  Live /both.mp3\r\n");
    EXPECT_EQ(user.events.back(),
              "left out " + std::string(table.Text(TextId::ItemsLeftOut)) + ": 2");
}

// Files of a branch that are no longer on disk, alone or with their folder,
// are left out and counted; with none found, nothing is written or started.
TEST_F(PlaybackTest, FilesNotOnDiskAreLeftOutAndCounted)
{
    const std::string root = Mount("b", "AUDIO", 3);
    const NodeId volume = Volume("AUDIO", 3);
    const NodeId gone = Folder(volume, "Gone");
    File(gone, "1.mp3");
    File(gone, "2.mp3");
    const NodeId kept = Folder(volume, "Kept");
    File(kept, "here.mp3");
    const NodeId away = File(kept, "away.mp3");
    Touch(root + "/Kept/here.mp3");
    const std::string leftOut = "left out " + std::string(table.Text(TextId::ItemsLeftOut));

    EXPECT_TRUE(Play(volume, PlayMode::Play));
    EXPECT_EQ(user.events, (Events{"listing", "open " + root + "/Kept/here.mp3", leftOut + ": 3"}));
    EXPECT_EQ(ReadBytes(playlist), root + "/Kept/here.mp3\r\n");

    fs::remove(root + "/Kept/here.mp3");
    user.events.clear();
    EXPECT_FALSE(Play(kept, PlayMode::Enqueue));
    EXPECT_EQ(user.events, (Events{"listing", leftOut + ": 2"}));
    EXPECT_EQ(ReadBytes(playlist), root + "/Kept/here.mp3\r\n");

    user.events.clear();
    EXPECT_FALSE(Play(away, PlayMode::Play));
    EXPECT_EQ(user.events, Events{"error " + std::string(table.Text(TextId::CannotFindSource)) +
                                  ": " + root + "/Kept/away.mp3"});
}

TEST(PlaylistFiles, PlsIsARealPlsFile)
{
    TestDir dir;
    fakes::FaultyFileSystem files;
    const std::string file = dir.file("list.PLS");

    ASSERT_TRUE(WritePlaylist(files, file, {"/m/a b.mp3", "/m/c.mp3"}));
    EXPECT_EQ(ReadBytes(file), "[playlist]\r\n"
                               "File1=/m/a b.mp3\r\n"
                               "File2=/m/c.mp3\r\n"
                               "NumberOfEntries=2\r\n"
                               "Version=2\r\n");
}

} // namespace
} // namespace velmora::playback
