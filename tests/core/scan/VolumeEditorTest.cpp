// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/VolumeEditor.h"

#include "Bytes.h"
#include "VolumeEditorFixture.h"
#include "collection/NodeText.h"
#include "platform/fakes/FakeVolumes.h"

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
using testing::kSerial;
using testing::ScanFinds;
using testing::VolumeEditorTest;
using velmora::testing::Bytes;
namespace fs = std::filesystem;

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

TEST_F(VolumeEditorTest, FoldersOfOneDriveUnderTwoLabelsAreTwoVolumes)
{
    AddVolume("AUDIO", 100, 10, 1);
    const NodeId rock = AddVolume("ROCK", 100, 10, 1);
    fs::create_directories(dir.path() / "b/Rock");
    fs::create_directories(dir.path() / "b/Jazz");
    SourceChoice jazz = Source("b", "Jazz");
    jazz.label = "Jazz";
    SourceChoice rockAgain = Source("b", "Rock");
    rockAgain.label = "rock";
    user.sources = {jazz, rockAgain};
    user.answers.push_back(Answer::Yes);

    // Neither the drive's root nor the other label is this volume.
    user.scan = ScanFinds("Jazz", 50, 5, 1, kSerial);
    EXPECT_EQ(editor.AddVolume(), EditOutcome::Changed);
    EXPECT_EQ(user.events.at(1), "scan " + Root("b") + "/Jazz");
    EXPECT_EQ(VolumeNames(), (Events{"AUDIO", "ROCK", "Jazz"}));

    // The same label finds its volume, whose update keeps that label on a
    // drive that has a label of its own.
    user.events.clear();
    user.scan = ScanFinds("rock", 60, 6, 1, kSerial);
    EXPECT_EQ(editor.AddVolume(), EditOutcome::Changed);
    EXPECT_EQ(user.events.at(1), "ask 99 default Yes");
    ASSERT_EQ(user.scans.size(), 2u);
    EXPECT_EQ(user.scans[1].replace, rock);
    EXPECT_EQ(user.scans[1].label, "rock");
    EXPECT_EQ(VolumeNames(), (Events{"AUDIO", "ROCK", "Jazz"}));
}

TEST_F(VolumeEditorTest, UpdateOfALabelledFolderNeverScansItsDrivesRoot)
{
    // "Rock" was scanned from the folder Rock of the mounted drive AUDIO
    // under the label given: its name keeps no folder.
    const NodeId rock = AddVolume("Rock", 100, 10, 2);
    fs::create_directories(dir.path() / "b/Rock");
    const Events before = Dump();
    user.sources = {Source("b"), Source("b", "Rock")};
    user.answers = {Answer::No};
    user.scan = ScanFinds("AUDIO\\Rock", 200, 20, 3, kSerial);

    // The drive's root is not taken: the source dialog asks for the folder,
    // and the root chosen there is asked about.
    EXPECT_EQ(editor.UpdateVolume(rock), EditOutcome::Declined);
    EXPECT_EQ(user.events, (Events{"source 12", "ask 165 default No | 103 Rock | 89 AUDIO"}));
    EXPECT_EQ(Dump(), before);

    // The folder chosen is the volume's own: no question, and the volume
    // keeps its label and serial.
    user.events.clear();
    EXPECT_EQ(editor.UpdateVolume(rock), EditOutcome::Changed);
    EXPECT_EQ(user.events.at(0), "source 12");
    EXPECT_EQ(user.events.at(1), "scan " + Root("b") + "/Rock");
    ASSERT_EQ(user.scans.size(), 1u);
    EXPECT_EQ(user.scans[0].replace, rock);
    EXPECT_EQ(user.scans[0].label, "Rock");
    EXPECT_EQ(user.scans[0].serial, kSerial);
    EXPECT_EQ(VolumeNames(), (Events{"Rock"}));
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
