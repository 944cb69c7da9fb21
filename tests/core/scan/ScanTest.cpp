// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bytes.h"
#include "TestDir.h"
#include "collection/NodeText.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "scan/ScanThread.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::scan {
namespace {

using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;
using namespace velmora::testing;
namespace fs = std::filesystem;

constexpr std::int32_t kToday = 46000;
constexpr std::uint32_t kSerial = 0xABCD1234;

class ScanTest : public ::testing::Test {
protected:
    ScanTest()
    {
        volumes.setVolumes(
            {{dir.path().string(), "AUDIO", kSerial, VolumeType::Removable, "vfat", "/dev/sdb1"}});
        tree.addRoot(collection::CollectionText(0, 0, 0, 0, 1));
    }

    std::string Fixture(const std::string& name) const
    {
        return std::string(std::getenv("VELMORA_TEST_DATA")) + "/audio/" + name;
    }

    // Copies a fixture to a path below the test folder, making folders.
    void Put(const std::string& relative,
             const std::string& fixture = "mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3")
    {
        const fs::path target = dir.path() / relative;
        fs::create_directories(target.parent_path());
        fs::copy_file(Fixture(fixture), target);
    }

    ScanOutcome Scan(const std::string& relative = "", NodeId replace = kNoNode)
    {
        ScanRequest request;
        request.sourcePath =
            relative.empty() ? dir.path().string() : (dir.path() / relative).string();
        request.replace = replace;
        return ScanSource(tree, services, request, lines, stop);
    }

    // Every node below the root as "level name", in pre-order.
    std::vector<std::string> Shape() const
    {
        std::vector<std::string> shape;
        for (NodeId n = tree.firstChild(tree.root()); n != kNoNode; n = tree.nextInPreOrder(n))
            shape.push_back(std::to_string(tree.level(n)) + " " +
                            std::string(collection::NodeName(tree.text(n))));
        return shape;
    }

    collection::Numbers NumbersOf(NodeId node) const
    {
        collection::Numbers n{};
        collection::ReadNumbers(tree.text(node), n);
        return n;
    }

    TestDir dir;
    fakes::FaultyFileSystem files;
    fakes::FakeVolumes volumes;
    fakes::FakeLocale locale;
    fakes::FakeClock clock{kToday};
    Services services{files, volumes, locale, clock};
    ProgressState lines;
    std::atomic<bool> stop{false};
    CollectionTree tree;
};

TEST_F(ScanTest, FoldersWithAudioAreKeptWithTheirTotals)
{
    Put("Music/A/B/one.mp3");
    Put("Music/A/B/two.mp3", "mpeg1_l3_vbr_xing.mp3");
    fs::create_directories(dir.path() / "Music/Empty/Deeper");
    Put("Music/Empty/Deeper/notes.txt", "text_named_mp3.mp3");

    const ScanOutcome outcome = Scan("Music");
    ASSERT_NE(outcome.volume, kNoNode);
    EXPECT_FALSE(outcome.cancelled);
    EXPECT_FALSE(outcome.warning);
    EXPECT_EQ(Shape(),
              (std::vector<std::string>{"1 AUDIO\\Music", "2 A", "3 B", "4 one.mp3", "4 two.mp3"}));
    const NodeId a = tree.firstChild(outcome.volume);
    const NodeId b = tree.firstChild(a);
    // B holds the files, A one folder, the volume one folder.
    EXPECT_EQ(NumbersOf(b), (collection::Numbers{32, 2, 0, 2, 0, 0}));
    EXPECT_EQ(NumbersOf(a), (collection::Numbers{32, 2, 1, 2, 0, 0}));
    EXPECT_EQ(tree.text(outcome.volume),
              Bytes("AUDIO\\Music[01]32[02]2[03]1[04]2[05]46000[06]-1412623820[07]"));
    // The VBR file is stored negative and adds its absolute time.
    EXPECT_EQ(NumbersOf(tree.lastChild(b))[collection::kDuration], -1);
    EXPECT_EQ(tree.text(tree.root()), Bytes("[01]32[02]2[03]1[04]2[05]46000[06]"));
    EXPECT_EQ(lines.Latest().title, "AUDIO\\Music");
    // The steps count the audio-named files: both analysed of both found.
    EXPECT_EQ(lines.Latest().position, 2u);
    EXPECT_EQ(lines.Latest().maximum, 2u);
}

TEST_F(ScanTest, ListingOrderHiddenFoldersAndTheMask)
{
    Put("z.mp3");
    Put("a.MP2", "mpeg1_l2_cbr192_48k_stereo.mp2");
    Put(".hidden.mp3");
    Put("B/x.mpa", "mpeg2_l3_cbr64_22k_js.mp3");
    Put("a/y.mp1", "mpeg2_l3_cbr64_22k_js.mp3");
    Put(".config/secret.mp3");
    Put("c.mp3x");
    Put("d.wav");
    const ScanOutcome outcome = Scan();
    ASSERT_NE(outcome.volume, kNoNode);
    EXPECT_EQ(Shape(), (std::vector<std::string>{"1 AUDIO", "2 a", "3 y.mp1", "2 B", "3 x.mpa",
                                                 "2 .hidden.mp3", "2 a.MP2", "2 z.mp3"}));
}

TEST_F(ScanTest, TextFileNamedMp3IsStoredWithItsSize)
{
    Put("fake.mp3", "junk_30000_before_frame.mp3");
    const ScanOutcome outcome = Scan();
    ASSERT_NE(outcome.volume, kNoNode);
    EXPECT_EQ(tree.text(tree.firstChild(outcome.volume)),
              Bytes("fake.mp3[01]33[02]0[03]0[04]0[05]0[06]0[07][15][16][17][18][19][1A][1B]"));
}

TEST_F(ScanTest, NoAudioMeansNoVolumeAndUnchangedTotals)
{
    Put("readme.txt", "text_named_mp3.mp3");
    const std::string rootBefore(tree.text(tree.root()));
    const ScanOutcome outcome = Scan();
    EXPECT_EQ(outcome.volume, kNoNode);
    EXPECT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree.text(tree.root()), rootBefore);

    volumes.setUnreadable(dir.path().string());
    Put("song.mp3");
    const ScanOutcome unreadable = Scan();
    EXPECT_TRUE(unreadable.noVolumeInformation);
    EXPECT_EQ(unreadable.volume, kNoNode);
}

TEST_F(ScanTest, UnreadableFolderWarnsAndTheRestIsScanned)
{
    Put("good/one.mp3");
    Put("bad/two.mp3");
    files.unreadableFolders.push_back((dir.path() / "bad").string());
    const ScanOutcome outcome = Scan();
    EXPECT_TRUE(outcome.warning);
    EXPECT_EQ(Shape(), (std::vector<std::string>{"1 AUDIO", "2 good", "3 one.mp3"}));
}

TEST_F(ScanTest, LinksAreNotFollowedIntoFolders)
{
    Put("real/song.mp3");
    fs::create_symlink(dir.path() / "real", dir.path() / "link-to-real");
    fs::create_symlink(dir.path(), dir.path() / "real" / "loop");
    fs::create_symlink(dir.path() / "real" / "song.mp3", dir.path() / "alias.mp3");
    const ScanOutcome outcome = Scan();
    ASSERT_NE(outcome.volume, kNoNode);
    EXPECT_EQ(Shape(),
              (std::vector<std::string>{"1 AUDIO", "2 real", "3 song.mp3", "2 alias.mp3"}));
}

TEST_F(ScanTest, ControlBytesInNamesBecomeQuestionMarks)
{
    Put("Bad\tFolder/so\x01ng.mp3");
    const ScanOutcome outcome = Scan();
    EXPECT_FALSE(outcome.warning); // every folder was read
    EXPECT_EQ(Shape(), (std::vector<std::string>{"1 AUDIO", "2 Bad?Folder", "3 so?ng.mp3"}));
    for (NodeId n = tree.root(); n != kNoNode; n = tree.nextInPreOrder(n))
        EXPECT_EQ(tree.text(n).find_first_of("\t\r\n"), std::string_view::npos);
}

TEST_F(ScanTest, UpdateReplacesBeforeTheOldVolumeAndKeepsARenamedLabel)
{
    Put("Music/one.mp3");
    const NodeId first = Scan("Music").volume;
    ASSERT_NE(first, kNoNode);
    tree.setText(first,
                 "MYDISC\\Music" +
                     std::string(tree.text(first)).substr(std::string("AUDIO\\Music").size()));
    const std::string rootBefore(tree.text(tree.root()));

    Put("Music/two.mp3");
    const ScanOutcome update = Scan("Music", first);
    ASSERT_NE(update.volume, kNoNode);
    EXPECT_EQ(tree.nextSibling(update.volume), first);
    EXPECT_EQ(collection::NodeName(tree.text(update.volume)), "MYDISC\\Music");
    // The totals moved from the old volume to the new one.
    EXPECT_EQ(tree.text(tree.root()), Bytes("[01]32[02]2[03]1[04]2[05]46000[06]"));
    (void)rootBefore;

    // A folder part that differs in case only takes the drive's label.
    fs::rename(dir.path() / "Music", dir.path() / "music");
    const ScanOutcome other = Scan("music", first);
    EXPECT_EQ(collection::NodeName(tree.text(other.volume)), "AUDIO\\music");
}

TEST_F(ScanTest, LabelAndSerialGivenByTheCaller)
{
    Put("copies/CD042/song.mp3");
    ScanRequest request;
    request.sourcePath = (dir.path() / "copies/CD042").string();
    request.label = "MP3 CD 042";
    request.serial = 0x12345678;
    const ScanOutcome outcome = ScanSource(tree, services, request, lines, stop);
    ASSERT_NE(outcome.volume, kNoNode);
    EXPECT_EQ(collection::NodeName(tree.text(outcome.volume)), "MP3 CD 042");
    EXPECT_EQ(NumbersOf(outcome.volume)[collection::kSerial], 0x12345678);
}

TEST_F(ScanTest, LabelsAreCleanedWhereverTheyComeFrom)
{
    // A name beginning with a blank would read back as indentation, bytes
    // below 32 as marks.
    Put("Music/one.mp3");
    volumes.setVolumes({{dir.path().string(),
                         " \tAU\x01"
                         "DIO ",
                         kSerial, VolumeType::Removable, "vfat", "/dev/sdb1"}});
    const NodeId platform = Scan("Music").volume;
    ASSERT_NE(platform, kNoNode);
    EXPECT_EQ(collection::NodeName(tree.text(platform)), "AUDIO\\Music");

    ScanRequest request;
    request.sourcePath = (dir.path() / "Music").string();
    request.label = " \tX\\Y\x15 ";
    const ScanOutcome given = ScanSource(tree, services, request, lines, stop);
    ASSERT_NE(given.volume, kNoNode);
    EXPECT_EQ(collection::NodeName(tree.text(given.volume)), "X Y");

    EXPECT_EQ(CleanLabel(" \t "), "");
    EXPECT_EQ(VolumeName(" ", "/", "/"), "");
    EXPECT_EQ(VolumeName("\t", "/",
                         "/a\x01"
                         "b"),
              "\\a?b");
}

TEST_F(ScanTest, CancelLeavesAHalfBuiltVolumeAndTheTotals)
{
    Put("a/one.mp3");
    Put("b/two.mp3");
    const std::string rootBefore(tree.text(tree.root()));
    stop = true;
    const ScanOutcome outcome = Scan();
    EXPECT_TRUE(outcome.cancelled);
    ASSERT_NE(outcome.volume, kNoNode); // for the caller to remove
    EXPECT_EQ(tree.text(tree.root()), rootBefore);
    tree.remove(outcome.volume);
    EXPECT_EQ(tree.size(), 1u);
}

TEST_F(ScanTest, VolumeNames)
{
    EXPECT_EQ(VolumeName("AUDIO", "/media/u/AUDIO", "/media/u/AUDIO"), "AUDIO");
    EXPECT_EQ(VolumeName("AUDIO", "/media/u/AUDIO", "/media/u/AUDIO/"), "AUDIO");
    EXPECT_EQ(VolumeName("AUDIO", "/media/u/AUDIO", "/media/u/AUDIO/Music/Rock"),
              "AUDIO\\Music\\Rock");
    EXPECT_EQ(VolumeName("", "/", "/home/u/Music"), "\\home\\u\\Music");
    EXPECT_EQ(VolumeName("", "/", "/"), "");
}

// Folders nested deeper than any path may be long: the walk neither
// recurses nor crashes; the unreachable depths count as unreadable.
TEST_F(ScanTest, DeepNestingBeyondThePathLimit)
{
    Put("top/song.mp3");
    int fd = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < 3000; ++level) {
        ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
        const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
    }
    ::close(fd);
    const ScanOutcome outcome = Scan();
    ASSERT_NE(outcome.volume, kNoNode);
    EXPECT_TRUE(outcome.warning);
    EXPECT_EQ(Shape(), (std::vector<std::string>{"1 AUDIO", "2 top", "3 song.mp3"}));
    std::error_code ignored;
    fs::remove_all(dir.path() / "d", ignored);
    EXPECT_EQ(::system(("rm -rf " + (dir.path() / "d").string()).c_str()), 0);
}

// A file system whose listings are followed at once by changes on disk, as
// when another program works in the folder during a scan. The scan lists
// each folder twice, first to count its files: the changes follow the
// second listing, the one whose entries are scanned.
class ChangingFileSystem final : public fakes::FaultyFileSystem {
public:
    std::function<void(const std::string&)> afterListing;
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) const override
    {
        const bool listed = FaultyFileSystem::listFolder(path, entries);
        if (afterListing && ++listings_[path] == 2)
            afterListing(path);
        return listed;
    }

private:
    mutable std::map<std::string, int> listings_;
};

TEST_F(ScanTest, FilesThatVanishOrChangeDuringTheScan)
{
    Put("gone.mp3");
    Put("grown.mp3", "mpeg2_l3_cbr32_24k_mono.mp3");
    Put("Sub/kept.mp3");
    ChangingFileSystem changing;
    changing.afterListing = [&](const std::string& path) {
        if (path != dir.path().string())
            return;
        fs::remove(dir.path() / "gone.mp3");
        fs::remove_all(dir.path() / "Sub");
        std::ofstream(dir.path() / "grown.mp3", std::ios::app) << std::string(5000, 'x');
    };
    const Services changingServices{changing, volumes, locale, clock};
    ScanRequest request;
    request.sourcePath = dir.path().string();
    const ScanOutcome outcome = ScanSource(tree, changingServices, request, lines, stop);
    ASSERT_NE(outcome.volume, kNoNode);
    // The vanished folder reads as unreadable; the vanished file is stored
    // without values; the grown file as it is now.
    EXPECT_TRUE(outcome.warning);
    EXPECT_EQ(Shape(), (std::vector<std::string>{"1 AUDIO", "2 gone.mp3", "2 grown.mp3"}));
    EXPECT_EQ(NumbersOf(tree.firstChild(outcome.volume)), (collection::Numbers{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(NumbersOf(tree.lastChild(outcome.volume))[collection::kSizeKB], (4224 + 5000) / 1024);
}

TEST_F(ScanTest, CancelInTheMiddleLeavesTheCollectionAsItWas)
{
    Put("a/one.mp3");
    Put("b/two.mp3");
    Put("c/three.mp3");
    const std::vector<std::string> before = Shape();
    const std::string rootBefore(tree.text(tree.root()));
    ChangingFileSystem changing;
    changing.afterListing = [&](const std::string& path) {
        if (path == (dir.path() / "b").string())
            stop = true;
    };
    const Services changingServices{changing, volumes, locale, clock};
    ScanRequest request;
    request.sourcePath = dir.path().string();
    const ScanOutcome outcome = ScanSource(tree, changingServices, request, lines, stop);
    EXPECT_TRUE(outcome.cancelled);
    ASSERT_NE(outcome.volume, kNoNode);
    EXPECT_GT(tree.size(), 2u); // folder a was kept before the stop
    tree.remove(outcome.volume);
    EXPECT_EQ(Shape(), before);
    EXPECT_EQ(tree.text(tree.root()), rootBefore);
}

TEST_F(ScanTest, WorkerThreadRunsAndStops)
{
    for (int i = 0; i < 30; ++i) {
        std::string path = "f";
        path += std::to_string(i);
        path += "/song.mp3";
        Put(path);
    }
    ScanRequest request;
    request.sourcePath = dir.path().string();
    {
        std::atomic<bool> ended{false};
        TScanThread worker(tree, services, request);
        ASSERT_TRUE(worker.Start([&] { ended = true; }));
        worker.Wait();
        EXPECT_TRUE(ended);
        EXPECT_TRUE(worker.Finished());
        EXPECT_NE(worker.Outcome().volume, kNoNode);
        EXPECT_EQ(NumbersOf(worker.Outcome().volume)[collection::kFileCount], 30);
    }
    {
        TScanThread worker(tree, services, request);
        worker.RequestStop();
        ASSERT_TRUE(worker.Start());
        worker.Wait();
        EXPECT_TRUE(worker.Outcome().cancelled);
        tree.remove(worker.Outcome().volume);
    }
    EXPECT_EQ(tree.childCount(tree.root()), 1u);
}

} // namespace
} // namespace velmora::scan
