// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bytes.h"
#include "VolumeEditorFixture.h"
#include "collection/NodeText.h"
#include "scan/VolumeEditor.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace velmora::scan {
namespace {

using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;
using collection::Numbers;
using testing::CancelledScan;
using testing::Drive;
using testing::EmptyScan;
using testing::Events;
using testing::kOtherSerial;
using testing::kScanDay;
using testing::kSerial;
using testing::ScanFinds;
using testing::VolumeEditorTest;
using velmora::testing::Bytes;
namespace fs = std::filesystem;

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
    VolumeEditor windowsLike(store, user, services, /*skipFirstDrive=*/true);

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

} // namespace
} // namespace velmora::scan
