#include "scan/VolumeEditor.h"

#include "Bytes.h"
#include "ScriptedUser.h"
#include "TestDir.h"
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "texts/TextTable.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>

namespace velmora::scan {
namespace {

using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;
using collection::Numbers;
using testing::ScriptedUser;
using velmora::testing::Bytes;
using velmora::testing::TestDir;
using Events = std::vector<std::string>;
namespace fs = std::filesystem;

constexpr std::int32_t kToday = 46000;
constexpr std::int32_t kScanDay = 46100;
constexpr std::uint32_t kSerial = 0xFFFFFCDB; // -805 as stored
constexpr std::uint32_t kOtherSerial = 0x12345678;

// What the real scan does to the tree when it finds `fileCount` files of
// `sizeKB` and `duration` in all: a volume node (with one folder and its
// files) appended, or inserted before the volume it replaces and named like
// it when the folder part is unchanged; the totals moved from the old volume
// to the new one.
std::function<bool(CollectionTree&, const ScanRequest&)>
ScanFinds(std::string name, std::int64_t sizeKB, std::int64_t duration, std::int64_t fileCount,
          std::uint32_t serial)
{
    return [=](CollectionTree& tree, const ScanRequest& request) {
        std::string volumeName = name;
        NodeId volume;
        if (request.replace == kNoNode) {
            volume = tree.appendChild(tree.root(), volumeName);
        } else {
            const std::string_view oldName = collection::NodeName(tree.text(request.replace));
            if (collection::PathAfterDrive(oldName) == collection::PathAfterDrive(volumeName))
                volumeName = std::string(oldName);
            volume = tree.insertBefore(request.replace, volumeName);
        }
        const NodeId folder = tree.appendChild(
            volume, collection::FolderText("Folder", sizeKB, duration, 0, fileCount));
        for (std::int64_t i = 0; i < fileCount; ++i)
            tree.appendChild(folder, "song" + std::to_string(i) + ".mp3");
        tree.setText(volume, collection::VolumeText(volumeName, sizeKB, duration, 1, fileCount,
                                                    kScanDay, static_cast<std::int32_t>(serial)));
        Numbers totals{};
        collection::ReadNumbers(tree.text(tree.root()), totals);
        totals[0] += sizeKB;
        totals[1] += duration;
        totals[2] += 1;
        totals[3] += fileCount;
        if (request.replace != kNoNode) {
            Numbers old{};
            collection::ReadNumbers(tree.text(request.replace), old);
            totals[0] -= old[0];
            totals[1] -= old[1];
            totals[2] -= 1;
            totals[3] -= old[3];
        }
        tree.setText(tree.root(), collection::CollectionText(totals[0], totals[1], totals[2],
                                                             totals[3], kScanDay));
        return true;
    };
}

VolumeInfo Drive(std::string root, std::string label, std::uint32_t serial)
{
    VolumeInfo drive;
    drive.root = std::move(root);
    drive.label = std::move(label);
    drive.serial = serial;
    return drive;
}

// A scan that the user cancels after it put a half-built volume in place.
bool CancelledScan(CollectionTree& tree, const ScanRequest& request)
{
    const NodeId volume = request.replace == kNoNode ? tree.appendChild(tree.root(), "HALF")
                                                     : tree.insertBefore(request.replace, "HALF");
    tree.appendChild(tree.appendChild(volume, "Folder"), "a.mp3");
    return false;
}

// A scan that finds no audio file: it leaves the tree as it was.
bool EmptyScan(CollectionTree&, const ScanRequest&)
{
    return true;
}

class VolumeEditorTest : public ::testing::Test {
protected:
    VolumeEditorTest()
    {
        for (const char* drive : {"a", "b", "c"})
            fs::create_directories(dir.path() / drive);
        volumes.setVolumes({
            {Root("a"), "SYSTEM", kOtherSerial, VolumeType::Fixed, "ext4", "/dev/sda1"},
            {Root("b"), "AUDIO", kSerial, VolumeType::Removable, "vfat", "/dev/sdb1"},
            {Root("c"), "OTHER", 0x0BADF00D, VolumeType::Optical, "iso9660", "/dev/sr0"},
        });
        tree().setText(tree().root(), collection::CollectionText(0, 0, 0, 0, 40000));
    }

    std::string Root(const std::string& drive) const { return (dir.path() / drive).string(); }
    CollectionTree& tree() { return store.tree(); }

    // Appends a volume holding one file and adds it to the collection's totals.
    NodeId AddVolume(const std::string& name, std::int64_t sizeKB, std::int64_t duration,
                     std::int64_t fileCount, std::uint32_t serial = kSerial)
    {
        const NodeId volume = tree().appendChild(
            tree().root(), collection::VolumeText(name, sizeKB, duration, 1, fileCount, 45000,
                                                  static_cast<std::int32_t>(serial)));
        tree().appendChild(tree().appendChild(volume, "Folder"), "x.mp3");
        Numbers totals{};
        collection::ReadNumbers(tree().text(tree().root()), totals);
        tree().setText(tree().root(),
                       collection::CollectionText(totals[0] + sizeKB, totals[1] + duration,
                                                  totals[2] + 1, totals[3] + fileCount, 40000));
        return volume;
    }

    // Every node as "level text", in pre-order.
    Events Dump()
    {
        Events lines;
        for (NodeId n = tree().root(); n != kNoNode; n = tree().nextInPreOrder(n))
            lines.push_back(std::to_string(tree().level(n)) + " " + std::string(tree().text(n)));
        return lines;
    }

    // The names of the volumes in collection order.
    Events VolumeNames()
    {
        Events names;
        for (NodeId v = tree().firstChild(tree().root()); v != kNoNode; v = tree().nextSibling(v))
            names.emplace_back(collection::NodeName(tree().text(v)));
        return names;
    }

    std::string RootText() { return std::string(tree().text(tree().root())); }

    SourceChoice Source(const std::string& drive, const std::string& below = "")
    {
        const std::string path = below.empty() ? Root(drive) : Root(drive) + "/" + below;
        std::optional<SourceChoice> choice = ReadSource(volumes, path);
        EXPECT_TRUE(choice.has_value()) << path;
        return choice.value_or(SourceChoice{});
    }

    TestDir dir;
    fakes::FaultyFileSystem files;
    fakes::FakeVolumes volumes;
    fakes::FakeClock clock{kToday};
    texts::TextTable texts;
    collection::CollectionStore store{files, clock, texts};
    ScriptedUser user{store.tree()};
    EditorServices services{volumes, files, clock};
    VolumeEditor editor{store, user, services};
};

// --- Identity and paths -----------------------------------------------------

TEST(VolumeIdentity, SerialAndFolderPartIgnoringAsciiCase)
{
    const std::string volume = collection::VolumeText("AUDIO\\Music", 1, 1, 1, 1, 1, -805);
    EXPECT_TRUE(SameVolume(volume, kSerial, "Music"));
    EXPECT_TRUE(SameVolume(volume, kSerial, "music"));
    EXPECT_TRUE(SameVolume(volume, kSerial, "MUSIC"));
    EXPECT_FALSE(SameVolume(volume, kSerial, "Music\\Rock"));
    EXPECT_FALSE(SameVolume(volume, kSerial, ""));
    EXPECT_FALSE(SameVolume(volume, kOtherSerial, "Music"));
    // The stored serial is signed: 4294966491 is not how -805 is stored.
    EXPECT_FALSE(SameVolume(Bytes("AUDIO\\Music[01]1[02]1[03]1[04]1[05]1[06]4294966491[07]"),
                            kSerial, "Music"));

    const std::string rock = collection::VolumeText("DATA\\Music\\Rock", 1, 1, 1, 1, 1, 7);
    EXPECT_TRUE(SameVolume(rock, 7, "music\\rock"));
    EXPECT_FALSE(SameVolume(rock, 7, "Music"));

    // The label is not part of the identity; a bare label is the root.
    EXPECT_TRUE(SameVolume(collection::VolumeText("RENAMED", 1, 1, 1, 1, 1, 7), 7, ""));
    // A volume without a serial matches nothing, not even serial 0.
    EXPECT_FALSE(SameVolume(Bytes("AUDIO[01]1[02]1[03]1[04]1[05]1[06]"), 0, ""));
    EXPECT_TRUE(SameVolume(Bytes("AUDIO[01]1[02]1[03]1[04]1[05]1[06]0[07]"), 0, ""));
}

TEST(VolumePaths, FolderPartOfASourceBelowItsRoot)
{
    EXPECT_EQ(FolderPartOf("/media/u/AUDIO", "/media/u/AUDIO/Music/Rock"), "Music\\Rock");
    EXPECT_EQ(FolderPartOf("/media/u/AUDIO", "/media/u/AUDIO"), "");
    EXPECT_EQ(FolderPartOf("/media/u/AUDIO/", "/media/u/AUDIO/Music/"), "Music");
    EXPECT_EQ(FolderPartOf("/", "/home/u/Music"), "home\\u\\Music");
    EXPECT_EQ(FolderPartOf("/", "/"), "");
}

TEST(VolumePaths, SourcePathOfAFolderPart)
{
    EXPECT_EQ(SourcePathOf("/media/u/AUDIO", "Music\\Rock"), "/media/u/AUDIO/Music/Rock");
    EXPECT_EQ(SourcePathOf("/media/u/AUDIO", ""), "/media/u/AUDIO");
    EXPECT_EQ(SourcePathOf("/", "home\\u\\Music"), "/home/u/Music");
    EXPECT_EQ(SourcePathOf("/", ""), "/");
}

TEST(VolumePaths, CandidateDrivesSkipTheFirstOnlyWhenAsked)
{
    const fakes::FakeVolumes volumes(
        {Drive("/", "", 1), Drive("/media/u/A", "A", 2), Drive("/mnt/b", "B", 3)});
    const std::vector<VolumeInfo> all = CandidateDrives(volumes, false);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].root, "/");
    const std::vector<VolumeInfo> skipped = CandidateDrives(volumes, true);
    ASSERT_EQ(skipped.size(), 2u);
    EXPECT_EQ(skipped[0].root, "/media/u/A");
    EXPECT_TRUE(CandidateDrives(fakes::FakeVolumes(), true).empty());
}

TEST(VolumePaths, ReadSourceNamesTheVolumeOrFails)
{
    fakes::FakeVolumes volumes({Drive("/", "", 1), Drive("/media/u/AUDIO", "AUDIO", kSerial)});
    const std::optional<SourceChoice> folder = ReadSource(volumes, "/media/u/AUDIO/Music/Rock");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->path, "/media/u/AUDIO/Music/Rock");
    EXPECT_EQ(folder->volumeName, "AUDIO\\Music\\Rock");
    EXPECT_EQ(folder->serial, kSerial);
    const std::optional<SourceChoice> root = ReadSource(volumes, "/media/u/AUDIO");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->volumeName, "AUDIO");

    volumes.setUnreadable("/media/u/AUDIO");
    EXPECT_FALSE(ReadSource(volumes, "/media/u/AUDIO/Music"));
    EXPECT_FALSE(ReadSource(fakes::FakeVolumes(), "/anything"));
}

// --- Add volume -------------------------------------------------------------

TEST_F(VolumeEditorTest, AddScansANewLastVolumeAndSelectsIt)
{
    AddVolume("OLD", 100, 10, 1, kOtherSerial);
    user.sources.push_back(Source("b", "Music"));
    fs::create_directories(dir.path() / "b/Music");
    user.scan = ScanFinds("AUDIO\\Music", 500, 60, 3, kSerial);

    EXPECT_EQ(editor.AddVolume(), EditOutcome::Changed);
    EXPECT_EQ(user.events,
              (Events{"source 11", "scan " + Root("b") + "/Music", "wait 101", "step 60", "rebuild",
                      "step 61", "refresh", "close", "select AUDIO\\Music"}));
    ASSERT_EQ(user.scans.size(), 1u);
    EXPECT_EQ(user.scans[0].replace, kNoNode);
    EXPECT_TRUE(user.scans[0].updateTotals);
    EXPECT_EQ(VolumeNames(), (Events{"OLD", "AUDIO\\Music"}));
    EXPECT_EQ(RootText(), Bytes("[01]600[02]70[03]2[04]4[05]46100[06]"));
    EXPECT_TRUE(store.modified());
}

TEST_F(VolumeEditorTest, AddingTheSameDriveTwiceOffersTheUpdateAndNoLeavesAllAsItWas)
{
    AddVolume("AUDIO", 100, 10, 1);
    const Events before = Dump();
    user.sources.push_back(Source("b"));
    user.answers.push_back(Answer::No);

    EXPECT_EQ(editor.AddVolume(), EditOutcome::Declined);
    EXPECT_EQ(user.events, (Events{"source 11", "ask 99 default Yes"}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());
}

TEST_F(VolumeEditorTest, AddingAFolderOfTheSameIdentityInOtherCaseOffersTheUpdate)
{
    AddVolume("FIRST", 1, 1, 1, kOtherSerial);
    const NodeId music = AddVolume("AUDIO\\music", 100, 10, 1);
    AddVolume("LAST", 1, 1, 1, kOtherSerial);
    user.sources.push_back(Source("b", "Music"));
    user.answers.push_back(Answer::Yes);
    user.scan = ScanFinds("AUDIO\\Music", 300, 30, 2, kSerial);

    EXPECT_EQ(editor.AddVolume(), EditOutcome::Changed);
    EXPECT_EQ(user.events,
              (Events{"source 11", "ask 99 default Yes", "scan " + Root("b") + "/Music", "wait 163",
                      "step 79", "step 60", "rebuild", "step 61", "refresh", "close",
                      "select AUDIO\\Music"}));
    ASSERT_EQ(user.scans.size(), 1u);
    EXPECT_EQ(user.scans[0].replace, music);
    // The scanned folder part differs in case, so the new name is taken.
    EXPECT_EQ(VolumeNames(), (Events{"FIRST", "AUDIO\\Music", "LAST"}));
    EXPECT_EQ(RootText(), Bytes("[01]302[02]32[03]3[04]4[05]46100[06]"));
    EXPECT_TRUE(store.modified());
}

TEST_F(VolumeEditorTest, AddingASubfolderOfAVolumeIsANewVolume)
{
    AddVolume("AUDIO\\Music", 100, 10, 1);
    fs::create_directories(dir.path() / "b/Music/Rock");
    user.sources.push_back(Source("b", "Music/Rock"));
    user.scan = ScanFinds("AUDIO\\Music\\Rock", 50, 5, 1, kSerial);

    EXPECT_EQ(editor.AddVolume(), EditOutcome::Changed);
    EXPECT_EQ(user.events.at(1), "scan " + Root("b") + "/Music/Rock");
    EXPECT_EQ(VolumeNames(), (Events{"AUDIO\\Music", "AUDIO\\Music\\Rock"}));
}

TEST_F(VolumeEditorTest, AddingTheSameFolderOfAnotherSerialIsANewVolume)
{
    AddVolume("AUDIO", 100, 10, 1, kOtherSerial);
    user.sources.push_back(Source("b"));
    user.scan = ScanFinds("AUDIO", 50, 5, 1, kSerial);

    EXPECT_EQ(editor.AddVolume(), EditOutcome::Changed);
    EXPECT_EQ(VolumeNames(), (Events{"AUDIO", "AUDIO"}));
}

TEST_F(VolumeEditorTest, AddWithTheSourceDialogCancelledDoesNothing)
{
    AddVolume("AUDIO", 100, 10, 1);
    const Events before = Dump();
    EXPECT_EQ(editor.AddVolume(), EditOutcome::Declined);
    EXPECT_EQ(user.events, (Events{"source 11"}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());
}

TEST_F(VolumeEditorTest, AddOfASourceWithoutAudioTellsSoAndChangesNothing)
{
    AddVolume("OLD", 100, 10, 1, kOtherSerial);
    const Events before = Dump();
    user.sources.push_back(Source("b"));
    user.scan = EmptyScan;

    EXPECT_EQ(editor.AddVolume(), EditOutcome::NoAudio);
    EXPECT_EQ(user.events, (Events{"source 11", "scan " + Root("b"), "tell 100 information"}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());
}

TEST_F(VolumeEditorTest, AddCancelledRemovesTheHalfBuiltVolume)
{
    AddVolume("OLD", 100, 10, 1, kOtherSerial);
    const Events before = Dump();
    user.sources.push_back(Source("b"));
    user.scan = CancelledScan;

    EXPECT_EQ(editor.AddVolume(), EditOutcome::Cancelled);
    EXPECT_EQ(user.events, (Events{"source 11", "scan " + Root("b")}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());

    // Cancelled before the volume node was made: nothing to remove, and a
    // modified collection stays modified.
    store.setModified();
    user.sources.push_back(Source("b"));
    user.scan = [](CollectionTree&, const ScanRequest&) { return false; };
    EXPECT_EQ(editor.AddVolume(), EditOutcome::Cancelled);
    EXPECT_EQ(Dump(), before);
    EXPECT_TRUE(store.modified());
}

// --- Update a volume from a path -------------------------------------------

TEST_F(VolumeEditorTest, UpdateReplacesTheVolumeInItsPositionAndMovesTheTotals)
{
    AddVolume("FIRST", 10, 1, 1, kOtherSerial);
    const NodeId old = AddVolume("MYDISC\\Music", 100, 10, 2);
    AddVolume("LAST", 20, 2, 1, kOtherSerial);
    const std::uint32_t position = tree().position(old);
    user.scan = ScanFinds("AUDIO\\Music", 400, 40, 5, kSerial);

    EXPECT_EQ(editor.UpdateFromPath(old, Root("b") + "/Music"), EditOutcome::Changed);
    EXPECT_EQ(user.events,
              (Events{"scan " + Root("b") + "/Music", "wait 163", "step 79", "step 60", "rebuild",
                      "step 61", "refresh", "close", "select MYDISC\\Music"}));
    // The label the user gave survives, the position is kept.
    EXPECT_EQ(VolumeNames(), (Events{"FIRST", "MYDISC\\Music", "LAST"}));
    const NodeId updated = tree().atPosition(position);
    EXPECT_EQ(tree().text(updated),
              collection::VolumeText("MYDISC\\Music", 400, 40, 1, 5, kScanDay, -805));
    EXPECT_EQ(RootText(), Bytes("[01]430[02]43[03]3[04]7[05]46100[06]"));
    EXPECT_EQ(tree().size(), 1u + 3 + (1 + 1 + 5) + 3);
    EXPECT_TRUE(store.modified());
}

TEST_F(VolumeEditorTest, UpdateFromASourceWithoutAudioKeepsTheOldVolume)
{
    const NodeId old = AddVolume("AUDIO", 100, 10, 2);
    const Events before = Dump();
    user.scan = EmptyScan;

    EXPECT_EQ(editor.UpdateFromPath(old, Root("b")), EditOutcome::NoAudio);
    EXPECT_EQ(user.events, (Events{"scan " + Root("b"), "tell 100 information"}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());
}

TEST_F(VolumeEditorTest, UpdateCancelledKeepsTheOldVolumeAndTheModifiedFlag)
{
    AddVolume("FIRST", 10, 1, 1, kOtherSerial);
    const NodeId old = AddVolume("AUDIO", 100, 10, 2);
    AddVolume("LAST", 20, 2, 1, kOtherSerial);
    const Events before = Dump();
    user.scan = CancelledScan;

    EXPECT_EQ(editor.UpdateFromPath(old, Root("b")), EditOutcome::Cancelled);
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());

    store.setModified();
    EXPECT_EQ(editor.UpdateFromPath(old, Root("b")), EditOutcome::Cancelled);
    EXPECT_EQ(Dump(), before);
    EXPECT_TRUE(store.modified());
    EXPECT_EQ(user.events, (Events{"scan " + Root("b"), "scan " + Root("b")}));
}

TEST_F(VolumeEditorTest, UpdateFromAFolderOfAnUnlabelledVolumeKeepsAGivenLabelAndSerial)
{
    volumes.setVolumes({
        {Root("a"), "", kOtherSerial, VolumeType::Fixed, "ext4", "/dev/sda1"},
        {Root("c"), "OTHER", 0x0BADF00D, VolumeType::Optical, "iso9660", "/dev/sr0"},
    });
    fs::create_directories(dir.path() / "a/scaled");
    fs::create_directories(dir.path() / "c/copy");
    const NodeId given = AddVolume("BIG DISC", 100, 10, 2, 2);
    const NodeId music = AddVolume("MYDISC\\Music", 100, 10, 2);

    // The folder stands for the volume's root, as when it was scanned
    // under the label and serial given.
    user.scan = EmptyScan;
    EXPECT_EQ(editor.UpdateFromPath(given, Root("a") + "/scaled"), EditOutcome::NoAudio);
    ASSERT_EQ(user.scans.size(), 1u);
    EXPECT_EQ(user.scans[0].replace, given);
    EXPECT_EQ(user.scans[0].label, "BIG DISC");
    EXPECT_EQ(user.scans[0].serial, 2u);

    // A real label names the new volume, and so does the scan of a root or
    // of a volume that has a folder part.
    for (const auto& [volume, source] :
         {std::pair{given, Root("c") + "/copy"}, std::pair{given, Root("a")},
          std::pair{music, Root("a") + "/scaled"}}) {
        const ScanRequest request = UpdateRequest(tree(), volume, source, volumes);
        EXPECT_EQ(request.replace, volume);
        EXPECT_EQ(request.sourcePath, source);
        EXPECT_FALSE(request.label) << source;
        EXPECT_FALSE(request.serial) << source;
    }
}

TEST_F(VolumeEditorTest, CommandsOnANodeThatIsNoVolumeDoNothing)
{
    const NodeId volume = AddVolume("AUDIO", 100, 10, 1);
    const NodeId folder = tree().firstChild(volume);
    const Events before = Dump();
    for (const NodeId node : {tree().root(), folder, tree().firstChild(folder), kNoNode}) {
        EXPECT_EQ(editor.UpdateFromPath(node, Root("b")), EditOutcome::NotAVolume);
        EXPECT_EQ(editor.UpdateVolume(node), EditOutcome::NotAVolume);
        EXPECT_EQ(editor.DeleteVolume(node), EditOutcome::NotAVolume);
        EXPECT_EQ(editor.RenameLabel(node), EditOutcome::NotAVolume);
    }
    EXPECT_TRUE(user.events.empty());
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());
}

// --- Update command ----------------------------------------------------------

TEST_F(VolumeEditorTest, UpdateCommandFindsTheDriveBySerialAndAsks)
{
    const NodeId volume = AddVolume("AUDIO\\Music\\Rock", 100, 10, 2);
    fs::create_directories(dir.path() / "b/Music/Rock");
    user.answers.push_back(Answer::Yes);
    user.scan = ScanFinds("AUDIO\\Music\\Rock", 200, 20, 3, kSerial);

    EXPECT_EQ(editor.UpdateVolume(volume), EditOutcome::Changed);
    EXPECT_EQ(user.events.at(0), "ask 165 default No");
    EXPECT_EQ(user.events.at(1), "scan " + Root("b") + "/Music/Rock");
    EXPECT_EQ(user.scans.at(0).replace, volume);
    EXPECT_EQ(RootText(), Bytes("[01]200[02]20[03]1[04]3[05]46100[06]"));
}

TEST_F(VolumeEditorTest, UpdateCommandMapsABareLabelToTheDrivesRoot)
{
    const NodeId volume = AddVolume("AUDIO", 100, 10, 2);
    user.answers.push_back(Answer::Yes);
    user.scan = ScanFinds("AUDIO", 200, 20, 3, kSerial);
    EXPECT_EQ(editor.UpdateVolume(volume), EditOutcome::Changed);
    EXPECT_EQ(user.events.at(1), "scan " + Root("b"));
}

TEST_F(VolumeEditorTest, UpdateCommandAnsweredNoChangesNothing)
{
    const NodeId volume = AddVolume("AUDIO", 100, 10, 2);
    const Events before = Dump();
    user.answers.push_back(Answer::No);
    EXPECT_EQ(editor.UpdateVolume(volume), EditOutcome::Declined);
    EXPECT_EQ(user.events, (Events{"ask 165 default No"}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());
}

TEST_F(VolumeEditorTest, UpdateCommandWithTheFolderMissingTellsThePathAnd158)
{
    const NodeId volume = AddVolume("AUDIO\\Gone", 100, 10, 2);
    const Events before = Dump();
    EXPECT_EQ(editor.UpdateVolume(volume), EditOutcome::SourceMissing);
    EXPECT_EQ(user.events, (Events{"tell 158 " + Root("b") + "/Gone error"}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());
    EXPECT_EQ(MessageText(texts, texts::TextId::CannotFindSource, Root("b") + "/Gone"),
              Root("b") + "/Gone: Can not find the source of the selected item");
}

TEST_F(VolumeEditorTest, UpdateCommandLooksAtTheFirstDriveToo)
{
    // The first drive of the list ("/" on Linux) holds the volume.
    const NodeId volume = AddVolume("SYSTEM\\Music", 100, 10, 2, kOtherSerial);
    fs::create_directories(dir.path() / "a/Music");
    user.answers.push_back(Answer::Yes);
    user.scan = ScanFinds("SYSTEM\\Music", 200, 20, 3, kOtherSerial);
    EXPECT_EQ(editor.UpdateVolume(volume), EditOutcome::Changed);
    EXPECT_EQ(user.events.at(0), "ask 165 default No");
    EXPECT_EQ(user.events.at(1), "scan " + Root("a") + "/Music");
}

TEST_F(VolumeEditorTest, UpdateCommandSkippingTheFirstDriveFallsBackToTheSourceDialog)
{
    const NodeId volume = AddVolume("SYSTEM\\Music", 100, 10, 2, kOtherSerial);
    fs::create_directories(dir.path() / "a/Music");
    EditorServices skipping = services;
    skipping.skipFirstDrive = true;
    VolumeEditor windowsLike(store, user, skipping);

    EXPECT_EQ(windowsLike.UpdateVolume(volume), EditOutcome::Declined);
    EXPECT_EQ(user.events, (Events{"source 12"}));

    // A second drive with the serial is found after the skipped first one.
    volumes.setVolumes({
        {Root("a"), "SYSTEM", kOtherSerial, VolumeType::Fixed, "ext4", "/dev/sda1"},
        {Root("c"), "COPY", kOtherSerial, VolumeType::Fixed, "ext4", "/dev/sdc1"},
    });
    user.events.clear();
    EXPECT_EQ(windowsLike.UpdateVolume(volume), EditOutcome::SourceMissing);
    EXPECT_EQ(user.events, (Events{"tell 158 " + Root("c") + "/Music error"}));
}

TEST_F(VolumeEditorTest, UpdateCommandSkipsDrivesThatCannotBeRead)
{
    volumes.setVolumes({
        {Root("a"), "AUDIO", kSerial, VolumeType::Optical, "iso9660", "/dev/sr0"},
        {Root("b"), "AUDIO", kSerial, VolumeType::Removable, "vfat", "/dev/sdb1"},
    });
    volumes.setUnreadable(Root("a"));
    const NodeId volume = AddVolume("AUDIO", 100, 10, 2);
    user.answers.push_back(Answer::Yes);
    user.scan = EmptyScan;
    EXPECT_EQ(editor.UpdateVolume(volume), EditOutcome::NoAudio);
    EXPECT_EQ(user.events,
              (Events{"ask 165 default No", "scan " + Root("b"), "tell 100 information"}));
}

TEST_F(VolumeEditorTest, UpdateCommandAsksBeforeTakingASourceOfAnotherIdentity)
{
    const NodeId volume = AddVolume("GONE\\Music", 100, 10, 2, 0x0F0F0F0F);
    AddVolume("LAST", 20, 2, 1, kOtherSerial);
    const Events before = Dump();
    // The choice does not have the volume's identity: No keeps the volume.
    user.sources = {Source("c"), Source("c")};
    user.answers = {Answer::No, Answer::Yes};
    user.scan = ScanFinds("OTHER", 300, 30, 4, 0x0BADF00D);

    EXPECT_EQ(editor.UpdateVolume(volume), EditOutcome::Declined);
    EXPECT_EQ(user.events,
              (Events{"source 12", "ask 165 default No | 103 GONE\\Music | 89 OTHER"}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());

    user.events.clear();
    EXPECT_EQ(editor.UpdateVolume(volume), EditOutcome::Changed);
    EXPECT_EQ(user.events.at(1), "ask 165 default No | 103 GONE\\Music | 89 OTHER");
    EXPECT_EQ(user.events.at(2), "scan " + Root("c"));
    EXPECT_EQ(VolumeNames(), (Events{"OTHER", "LAST"}));
    const std::array<DetailLine, 2> names = {DetailLine{texts::TextId::VolumeLabel, "GONE\\Music"},
                                             DetailLine{texts::TextId::SourceLabel, "OTHER"}};
    EXPECT_EQ(QuestionText(texts, texts::TextId::AskUpdateThisVolume, names),
              "Do you really want to update this volume?\r\nVolume: GONE\\Music\r\nSource: OTHER");

    // Now the drive with the new volume's serial is found.
    user.events.clear();
    EXPECT_EQ(editor.UpdateVolume(tree().firstChild(tree().root())), EditOutcome::Declined);
    EXPECT_EQ(user.events, (Events{"ask 165 default No"}));
}

// --- Deleting ---------------------------------------------------------------

TEST_F(VolumeEditorTest, DeletionPassSubtractsTheMarkedVolumesAndDatesTheChange)
{
    const NodeId a = AddVolume("A", 100, 10, 2);
    AddVolume("B", 200, 20, 3);
    const NodeId c = AddVolume("C", 300, 30, 4);
    tree().setDeleteMark(a, true);
    tree().setDeleteMark(c, true);

    editor.DeletionPass();
    EXPECT_EQ(user.events, (Events{"wait 108", "step 110", "step 60", "rebuild", "step 61",
                                   "refresh", "close"}));
    EXPECT_EQ(VolumeNames(), (Events{"B"}));
    EXPECT_EQ(RootText(), Bytes("[01]200[02]20[03]1[04]3[05]46000[06]"));
    EXPECT_EQ(tree().size(), 4u);
    EXPECT_TRUE(store.modified());
}

TEST_F(VolumeEditorTest, DeletionPassHoldsNegativeSumsAtZero)
{
    const NodeId a = AddVolume("A", 100, 10, 2);
    AddVolume("B", 50, 5, 1);
    // Totals smaller than the volumes hold (an edited file).
    tree().setText(tree().root(), collection::CollectionText(20, 3, 0, 1, 40000));
    tree().setDeleteMark(a, true);
    editor.DeletionPass();
    EXPECT_EQ(RootText(), Bytes("[01]0[02]0[03]0[04]0[05]46000[06]"));
    EXPECT_EQ(VolumeNames(), (Events{"B"}));
}

TEST_F(VolumeEditorTest, DeletingAllVolumesLeavesZeroSumsAndToday)
{
    AddVolume("A", 100, 10, 2);
    AddVolume("B", 200, 20, 3);
    user.volumeList = [](CollectionTree& tree, EditorUser& asker) {
        const std::vector<NodeId> all{tree.firstChild(tree.root()), tree.lastChild(tree.root())};
        return ConfirmVolumeList(tree, all, asker) == VolumeListAnswer::Confirmed;
    };
    user.answers.push_back(Answer::Yes);
    EXPECT_EQ(editor.DeleteVolumes(), EditOutcome::Changed);
    EXPECT_EQ(Dump(), (Events{"0 " + Bytes("[01]0[02]0[03]0[04]0[05]46000[06]")}));
    EXPECT_TRUE(store.modified());
}

TEST_F(VolumeEditorTest, VolumeListNoThenYesDeletesOnlyWhatIsCheckedThen)
{
    const NodeId a = AddVolume("A", 100, 10, 2);
    const NodeId b = AddVolume("B", 200, 20, 3);
    AddVolume("C", 300, 30, 4);
    user.answers = {Answer::No, Answer::Yes};
    user.volumeList = [&](CollectionTree& tree, EditorUser& asker) {
        const std::vector<NodeId> first{a, b};
        EXPECT_EQ(ConfirmVolumeList(tree, first, asker), VolumeListAnswer::StayOpen);
        EXPECT_FALSE(tree.deleteMarked(a));
        EXPECT_FALSE(tree.deleteMarked(b));
        const std::vector<NodeId> second{b}; // A unchecked
        return ConfirmVolumeList(tree, second, asker) == VolumeListAnswer::Confirmed;
    };

    EXPECT_EQ(editor.DeleteVolumes(), EditOutcome::Changed);
    EXPECT_EQ(user.events, (Events{"list", "ask 109 default No, cancel",
                                   "ask 109 default No, cancel", "wait 108", "step 110", "step 60",
                                   "rebuild", "step 61", "refresh", "close"}));
    EXPECT_EQ(VolumeNames(), (Events{"A", "C"}));
    EXPECT_EQ(RootText(), Bytes("[01]400[02]40[03]2[04]6[05]46000[06]"));
}

TEST_F(VolumeEditorTest, VolumeListWithNothingCheckedWarnsAndStaysOpen)
{
    AddVolume("A", 100, 10, 2);
    const Events before = Dump();
    user.volumeList = [](CollectionTree& tree, EditorUser& asker) {
        EXPECT_EQ(ConfirmVolumeList(tree, {}, asker), VolumeListAnswer::StayOpen);
        return false; // then the Cancel button
    };
    EXPECT_EQ(editor.DeleteVolumes(), EditOutcome::Declined);
    EXPECT_EQ(user.events, (Events{"list", "tell 107 warning"}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());
}

TEST_F(VolumeEditorTest, VolumeListCancelToTheQuestionMarksNothing)
{
    const NodeId a = AddVolume("A", 100, 10, 2);
    const Events before = Dump();
    user.answers.push_back(Answer::Cancel);
    user.volumeList = [&](CollectionTree& tree, EditorUser& asker) {
        const std::vector<NodeId> checked{a};
        return ConfirmVolumeList(tree, checked, asker) == VolumeListAnswer::Confirmed;
    };
    EXPECT_EQ(editor.DeleteVolumes(), EditOutcome::Declined);
    EXPECT_FALSE(tree().deleteMarked(a));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());
}

TEST_F(VolumeEditorTest, DeleteCommandAsksAndDeletesThatVolumeAlone)
{
    const NodeId a = AddVolume("A", 100, 10, 2);
    const NodeId b = AddVolume("B", 200, 20, 3);
    const Events before = Dump();
    user.answers.push_back(Answer::No);
    EXPECT_EQ(editor.DeleteVolume(b), EditOutcome::Declined);
    EXPECT_EQ(user.events, (Events{"ask 164 default No"}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());

    // A mark left from elsewhere is not carried into this deletion.
    tree().setDeleteMark(a, true);
    user.answers.push_back(Answer::Yes);
    EXPECT_EQ(editor.DeleteVolume(b), EditOutcome::Changed);
    EXPECT_EQ(VolumeNames(), (Events{"A"}));
    EXPECT_EQ(RootText(), Bytes("[01]100[02]10[03]1[04]2[05]46000[06]"));
    EXPECT_TRUE(store.modified());
}

// --- Rename label -----------------------------------------------------------

TEST(RenamedVolumeName, KeepsTheFolderPartAndCleansTheLabel)
{
    EXPECT_EQ(RenamedVolumeName("AUDIO\\Music", "NEW"), "NEW\\Music");
    EXPECT_EQ(RenamedVolumeName("AUDIO\\Music", "A\\B"), "A B\\Music");
    EXPECT_EQ(RenamedVolumeName("AUDIO\\Music\\Rock", " \\NEW\\ "), "NEW\\Music\\Rock");
    EXPECT_EQ(RenamedVolumeName("AUDIO", "  NEW\t"), "NEW");
    EXPECT_EQ(RenamedVolumeName("AUDIO", Bytes("NE[01]W")), "NEW");
    EXPECT_EQ(RenamedVolumeName("AUDIO\\Music", ""), std::nullopt);
    EXPECT_EQ(RenamedVolumeName("AUDIO", Bytes(" [01]\t ")), std::nullopt);
    EXPECT_EQ(RenamedVolumeName("AUDIO", "\\"), std::nullopt);
    EXPECT_EQ(RenamedVolumeName("AUDIO\\Music", "AUDIO"), std::nullopt);
    EXPECT_EQ(RenamedVolumeName("AUDIO\\Music", " AUDIO "), std::nullopt);
    EXPECT_EQ(RenamedVolumeName("AUDIO\\Music", "audio"), "audio\\Music");
    EXPECT_EQ(RenamedVolumeName("", ""), std::nullopt);
    EXPECT_EQ(RenamedVolumeName("\\Music", "X"), "X\\Music");
}

TEST_F(VolumeEditorTest, RenameChangesOnlyTheNameInPlace)
{
    AddVolume("FIRST", 1, 1, 1, kOtherSerial);
    const NodeId volume = AddVolume("AUDIO\\Music", 100, 10, 2);
    const std::uint32_t position = tree().position(volume);
    const std::string rootBefore = RootText();
    user.labels.push_back("A\\B");

    EXPECT_EQ(editor.RenameLabel(volume), EditOutcome::Changed);
    EXPECT_EQ(user.events, (Events{"label AUDIO\\Music|AUDIO", "renamed A B\\Music", "refresh"}));
    EXPECT_EQ(tree().text(volume),
              collection::VolumeText("A B\\Music", 100, 10, 1, 2, 45000, -805));
    EXPECT_EQ(tree().position(volume), position);
    EXPECT_EQ(RootText(), rootBefore);
    EXPECT_TRUE(store.modified());
}

TEST_F(VolumeEditorTest, RenameToTheSameLabelOrClosingTheBoxDoesNothing)
{
    const NodeId volume = AddVolume("AUDIO\\Music", 100, 10, 2);
    const Events before = Dump();
    user.labels.push_back(" AUDIO ");
    EXPECT_EQ(editor.RenameLabel(volume), EditOutcome::Unchanged);
    EXPECT_EQ(editor.RenameLabel(volume), EditOutcome::Unchanged); // box closed
    EXPECT_EQ(user.events, (Events{"label AUDIO\\Music|AUDIO", "label AUDIO\\Music|AUDIO"}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());
}

TEST_F(VolumeEditorTest, RenameToAnEmptyOrBlankLabelKeepsTheName)
{
    const NodeId music = AddVolume("AUDIO\\Music", 100, 10, 2);
    const NodeId bare = AddVolume("AUDIO", 100, 10, 2);
    const Events before = Dump();
    user.labels = {"", "  \\ "};
    EXPECT_EQ(editor.RenameLabel(music), EditOutcome::EmptyLabel);
    EXPECT_EQ(editor.RenameLabel(bare), EditOutcome::EmptyLabel);
    EXPECT_EQ(user.events, (Events{"label AUDIO\\Music|AUDIO", "label AUDIO|AUDIO"}));
    EXPECT_EQ(Dump(), before);
    EXPECT_FALSE(store.modified());
}

} // namespace
} // namespace velmora::scan
