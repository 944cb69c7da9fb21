// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/DriveSearch.h"

#include "SearchTestTree.h"
#include "TestDir.h"
#include "collection/CollectionFile.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "scan/ScanThread.h"
#include "search/ResultFiles.h"
#include "search/ResultRows.h"
#include "search/Searches.h"
#include "settings/Settings.h"
#include "system/FileSystem.h"
#include "system/MemoryFile.h"
#include "system/Progress.h"
#include "texts/TextTable.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace velmora::search {
namespace {

using collection::NodeId;
using testing::File;
using testing::Folder;
using testing::Root;
using testing::Volume;
namespace fs = std::filesystem;

// A collection of one volume, and a drive AUDIO mounted at the test folder
// holding Music/Rock/live one.mp3 and Music/live two.mp3.
class DriveSearchTest : public ::testing::Test {
protected:
    DriveSearchTest()
    {
        const NodeId root = tree.addRoot(Root());
        const NodeId v = tree.appendChild(root, Volume("CD1"));
        tree.appendChild(tree.appendChild(v, Folder("Live")), File("live in the collection.mp3"));
        volumes.setVolumes(
            {{dir.path().string(), "AUDIO", 0x1234, VolumeType::Removable, "vfat", "/dev/sdb1"}});
        Put("Music/Rock/live one.mp3");
        Put("Music/live two.mp3");
        settings.nameText = "live";
        settings.nameArea = 3;
    }

    void Put(const std::string& relative)
    {
        const fs::path target = dir.path() / relative;
        fs::create_directories(target.parent_path());
        fs::copy_file(std::string(std::getenv("VELMORA_TEST_DATA")) +
                          "/audio/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3",
                      target);
    }

    std::string Saved() const
    {
        MemoryOutput out;
        EXPECT_TRUE(collection::WriteCollection(tree, tree.text(tree.root()), out));
        return out.bytes();
    }

    scan::ScanOutcome Scan(const std::string& source)
    {
        scan::ScanRequest request;
        request.sourcePath = source;
        request.updateTotals = false;
        return scan::ScanSource(tree, services, request, progress, stop);
    }

    velmora::testing::TestDir dir;
    collection::CollectionTree tree;
    fakes::FaultyFileSystem files;
    fakes::FakeVolumes volumes;
    testing::UmlautLocale locale;
    fakes::FakeClock clock{46000};
    Services services{files, volumes, locale, clock};
    std::atomic<bool> stop{false};
    settings::Settings settings;
    texts::TextTable table;
    NoProgress progress;
};

TEST_F(DriveSearchTest, SearchesOnlyTheDriveAndLeavesTheCollectionAsItWas)
{
    const std::string before = Saved();
    const std::size_t nodes = tree.size();
    {
        TemporaryVolume temporary(tree);
        const scan::ScanOutcome outcome = Scan((dir.path() / "Music").string());
        ASSERT_NE(outcome.volume, collection::kNoNode);
        ASSERT_TRUE(temporary.grown());
        EXPECT_EQ(temporary.start(), static_cast<std::int64_t>(nodes));

        ResultList results;
        const SearchScope scope{tree, services, progress, {}, {}, {}};
        ASSERT_TRUE(
            NameSearch(scope, NameCriteriaFrom(settings), temporary.start(), results).found);
        ASSERT_EQ(results.size(), 2U);
        const std::string root = dir.path().string();
        EXPECT_EQ(RowPath(tree, results[0].node, root), root + "/Music/Rock/");
        EXPECT_EQ(RowPath(tree, results[1].node, root), root + "/Music/");
        EXPECT_EQ(NameResultsFile(tree, results, NameCriteriaFrom(settings), table, root),
                  "Found: Name\r\n\r\nText: live\r\nMatch case: No\r\n\r\n" + root +
                      "/Music/Rock/live one.mp3\r\n" + root + "/Music/live two.mp3\r\n");
    }
    // The totals were never touched, and the branch is gone.
    EXPECT_EQ(tree.size(), nodes);
    EXPECT_EQ(Saved(), before);
}

TEST_F(DriveSearchTest, CancelledOrEmptyScansLeaveNoTrace)
{
    const std::string before = Saved();
    {
        TemporaryVolume temporary(tree);
        stop = true;
        Scan(dir.path().string());
        temporary.remove();
        EXPECT_FALSE(temporary.grown());
        temporary.remove(); // twice is harmless
    }
    EXPECT_EQ(Saved(), before);

    fs::create_directories(dir.path() / "Empty");
    stop = false;
    TemporaryVolume temporary(tree);
    const scan::ScanOutcome outcome = Scan((dir.path() / "Empty").string());
    EXPECT_EQ(outcome.volume, collection::kNoNode);
    EXPECT_FALSE(temporary.grown());
    EXPECT_EQ(Saved(), before);
}

} // namespace
} // namespace velmora::search
