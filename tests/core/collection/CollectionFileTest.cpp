// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/CollectionFile.h"

#include "Bytes.h"
#include "Samples.h"
#include "TestDir.h"
#include "collection/CollectionStore.h"
#include "collection/CollectionTransaction.h"
#include "collection/NodeText.h"
#include "display/StatusTexts.h"
#include "platform/PosixFileSystem.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "reports/Statistic.h"
#include "system/Progress.h"
#include "texts/TextTable.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::collection {
namespace {

using testing::Bytes;

using testing::ReadBytes;
using testing::TestDir;
using testing::WriteBytes;

constexpr std::int32_t kToday = 46000;

const std::string& kRootLine = testing::kExampleRoot;
const std::string kVolumeLine = "\t" + testing::kExampleVolume;
const std::string kFileLine = "\t\t" + testing::kExampleFile;
const std::string& kExample = testing::kExampleCollection;

std::string RootLineOfToday(const std::string& rest)
{
    return rest + std::to_string(kToday) + Bytes("[06]");
}

class RecordingProgress final : public Progress {
public:
    void setTitle(std::string_view title) override
    {
        // Appended piece by piece: GCC 12 at -O3 warns wrongly (-Wrestrict)
        // about "[" + std::string + "]".
        std::string line = "[";
        line += title;
        line += ']';
        steps.push_back(std::move(line));
    }
    void step(std::uint64_t, std::uint64_t, std::string_view text) override
    {
        steps.emplace_back(text);
    }
    bool cancelled() const override { return false; }
    std::vector<std::string> steps;
};

class CollectionFileTest : public ::testing::Test {
protected:
    TestDir dir;
    fakes::FaultyFileSystem files;
    fakes::FakeClock clock{kToday};
    texts::TextTable texts;
    CollectionStore store{files, clock, texts};
    RecordingProgress progress;
};

TEST(CollectionReader, PlacesNodesByIndentation)
{
    CollectionTree tree;
    const ReadOutcome outcome =
        ReadCollection(std::string_view(Bytes(
                           "[01]r\r\n\tv1\r\n\t\td\r\n\t\t\tf1\r\n\t\t\tf2\r\n\t\tg\r\n\tv2\r\n  "
                           "[01]blank-indented\r\n")),
                       tree);
    ASSERT_TRUE(outcome.valid);
    ASSERT_EQ(tree.size(), 8u);
    const NodeId v1 = tree.firstChild(tree.root());
    EXPECT_EQ(tree.text(v1), "v1");
    EXPECT_EQ(tree.childCount(v1), 2u);
    const NodeId v2 = tree.nextSibling(v1);
    EXPECT_EQ(tree.text(v2), "v2");
    EXPECT_EQ(tree.text(tree.firstChild(v2)), Bytes("[01]blank-indented"));
    EXPECT_EQ(tree.text(tree.atPosition(4)), "f2");
}

TEST(CollectionReader, LineEndsOfEveryKindReadAlike)
{
    const std::string lines[] = {Bytes("[01]r"), "\tv", "\t\tf1 ", "\t\tf2"};
    for (const std::string_view end : {"\r\n", "\n", "\r"}) {
        std::string bytes;
        for (const std::string& line : lines)
            bytes += line + std::string(end);
        CollectionTree tree;
        ASSERT_TRUE(ReadCollection(std::string_view(bytes), tree).valid);
        ASSERT_EQ(tree.size(), 4u);
        EXPECT_EQ(tree.text(tree.atPosition(2)), "f1 "); // trailing blanks kept
        EXPECT_EQ(tree.text(tree.atPosition(3)), "f2");
    }
}

TEST(CollectionReader, RefusesJumpsSecondRootsAndEmptyLines)
{
    CollectionTree tree;
    ReadOutcome outcome =
        ReadCollection(std::string_view(Bytes("[01]r\r\n\tv\r\n\t\t\tdeep\r\n\tv2\r\n")), tree);
    EXPECT_FALSE(outcome.valid);
    EXPECT_EQ(outcome.faultyLine, 3u);
    EXPECT_EQ(tree.size(), 2u); // the nodes before the faulty line

    outcome = ReadCollection(std::string_view(Bytes("[01]r\r\n\tv\r\n[01]second\r\n")), tree);
    EXPECT_FALSE(outcome.valid);
    EXPECT_EQ(outcome.faultyLine, 3u);

    outcome = ReadCollection(std::string_view(Bytes("[01]r\r\n\r\n\tv\r\n")), tree);
    EXPECT_FALSE(outcome.valid);
    EXPECT_EQ(outcome.faultyLine, 2u);

    // The first line is the root whatever its indentation.
    outcome = ReadCollection(std::string_view(Bytes("\t\t[01]r\n\tv\n")), tree);
    EXPECT_TRUE(outcome.valid);
    EXPECT_EQ(tree.text(tree.root()), Bytes("[01]r"));
}

TEST(CollectionReader, NulMakesTheFileNotValidAtItsLine)
{
    CollectionTree tree;
    constexpr char kWithNul[] = "\x01r\r\n\tv1\r\n\tv\0ignored\r\n\tv3\r\n";
    const std::string bytes(kWithNul, sizeof kWithNul - 1);
    ReadOutcome outcome = ReadCollection(std::string_view(bytes), tree);
    EXPECT_FALSE(outcome.valid);
    EXPECT_EQ(outcome.faultyLine, 3u);
    ASSERT_EQ(tree.size(), 2u); // the lines before the one holding the NUL
    EXPECT_EQ(tree.text(tree.atPosition(1)), "v1");

    // A NUL at the start of a line, and one in the first line.
    outcome = ReadCollection(std::string_view("\x01r\n\tv1\n\0", 8), tree);
    EXPECT_FALSE(outcome.valid);
    EXPECT_EQ(outcome.faultyLine, 3u);
    EXPECT_EQ(tree.size(), 2u);
    outcome = ReadCollection(std::string_view("\x01r\0\n\tv1\n", 8), tree);
    EXPECT_FALSE(outcome.valid);
    EXPECT_EQ(outcome.faultyLine, 1u);
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_EQ(tree.text(tree.root()), "\x01r");
}

TEST(CollectionReader, HugeLineAndDeepNesting)
{
    // One node text of 20 MB.
    std::string bytes = Bytes("[01]r\r\n\t") + std::string(20 << 20, 'x') + "\r\n";
    CollectionTree tree;
    ASSERT_TRUE(ReadCollection(std::string_view(bytes), tree).valid);
    EXPECT_EQ(tree.text(tree.atPosition(1)).size(), std::size_t(20) << 20);

    // 10,000 nested levels: the file holds 50 million tabs.
    constexpr std::size_t kDepth = 10000;
    bytes = Bytes("[01]r\r\n");
    for (std::size_t level = 1; level <= kDepth; ++level)
        bytes += std::string(level, '\t') + "n\r\n";
    bytes += "\tlast\r\n";
    ASSERT_TRUE(ReadCollection(std::string_view(bytes), tree).valid);
    EXPECT_EQ(tree.size(), kDepth + 2);
    EXPECT_EQ(tree.level(tree.atPosition(kDepth)), kDepth);
    EXPECT_EQ(tree.childCount(tree.root()), 2u);
}

TEST_F(CollectionFileTest, NewCollectionSavesAsOneLine)
{
    const std::string path = dir.file("empty.col");
    EXPECT_EQ(store.tree().size(), 1u);
    EXPECT_FALSE(store.modified());
    ASSERT_TRUE(store.SaveCollection(path, progress).saved());
    EXPECT_EQ(ReadBytes(path), RootLineOfToday(Bytes("[01]0[02]0[03]0[04]0[05]")) + "\r\n");
    EXPECT_EQ(progress.steps, (std::vector<std::string>{"[Saving]", "Please wait..."}));
    EXPECT_EQ(store.currentPath(), path);
    EXPECT_EQ(store.recentFiles()[0], path);
}

TEST_F(CollectionFileTest, LoadThenSaveChangesOnlyTheRootLine)
{
    const std::string path = dir.file("example.col");
    const std::string body = kVolumeLine + "\r\n" + kFileLine + "\r\n";
    WriteBytes(path, Bytes("[01]1[02]2[03]3[04]4[05]5[06]\r\n") + body);
    const LoadResult loaded = store.LoadCollection(path, progress);
    ASSERT_EQ(loaded.status, LoadStatus::Loaded);
    EXPECT_EQ(progress.steps[0], "[Loading]");
    EXPECT_EQ(progress.steps[1], "Read data...");
    EXPECT_EQ(store.tree().size(), 3u);
    EXPECT_EQ(store.currentPath(), path);
    EXPECT_FALSE(store.modified());

    ASSERT_TRUE(store.SaveCollection(path, progress).saved());
    // The root is rebuilt from the volumes: 3921 KB, 245 s, 1 volume, 1 file.
    EXPECT_EQ(ReadBytes(path),
              RootLineOfToday(Bytes("[01]3921[02]245[03]1[04]1[05]")) + "\r\n" + body);
}

TEST_F(CollectionFileTest, LoadRefusals)
{
    CollectionTree& tree = store.tree();
    const NodeId before = tree.root();
    const std::string path = dir.file("bad.col");

    EXPECT_EQ(store.LoadCollection(dir.file("missing.col"), progress).status,
              LoadStatus::CannotOpen);
    WriteBytes(path, "");
    EXPECT_EQ(store.LoadCollection(path, progress).status, LoadStatus::CannotOpen);
    WriteBytes(path, Bytes("\t[01]r\r\n"));
    EXPECT_EQ(store.LoadCollection(path, progress).status, LoadStatus::CannotOpen);
    WriteBytes(path, std::string("\0\x01r\r\n", 5));
    EXPECT_EQ(store.LoadCollection(path, progress).status, LoadStatus::CannotOpen);
    EXPECT_EQ(store.LoadCollection(dir.path().string(), progress).status, LoadStatus::CannotOpen);
    // Neither a FIFO without a writer nor an endless device may hang a load.
    const std::string fifo = dir.file("fifo.col");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(store.LoadCollection(fifo, progress).status, LoadStatus::CannotOpen);
    ::unlink(fifo.c_str());
    EXPECT_EQ(store.LoadCollection("/dev/zero", progress).status, LoadStatus::CannotOpen);
    WriteBytes(path, kExample);
    files.failRead = true;
    EXPECT_EQ(store.LoadCollection(path, progress).status, LoadStatus::CannotOpen);

    EXPECT_EQ(tree.root(), before);
    EXPECT_EQ(tree.size(), 1u);
    EXPECT_EQ(store.currentPath(), "");
    EXPECT_TRUE(progress.steps.empty());
}

TEST_F(CollectionFileTest, ACancelledLoadKeepsTheOpenCollection)
{
    const std::string open = dir.file("open.col");
    WriteBytes(open, kExample);
    ASSERT_EQ(store.LoadCollection(open, progress).status, LoadStatus::Loaded);
    const std::size_t nodes = store.tree().size();

    // A larger file, whose read stops at its first step of bytes.
    std::string big = kRootLine + "\r\n" + kVolumeLine + "\r\n";
    for (int i = 0; i < 40000; ++i)
        big += kFileLine + "\r\n";
    const std::string path = dir.file("big.col");
    WriteBytes(path, big);
    class StopAtFirstBytes final : public Progress {
    public:
        void step(std::uint64_t done, std::uint64_t all, std::string_view) override
        {
            if (done > 0 && !stop) {
                read = done;
                total = all;
                stop = true;
            }
        }
        bool cancelled() const override { return stop; }
        std::uint64_t read = 0;
        std::uint64_t total = 0;
        bool stop = false;
    } stopping;
    EXPECT_EQ(store.LoadCollection(path, stopping).status, LoadStatus::Cancelled);
    EXPECT_GT(stopping.read, 0u);
    EXPECT_LT(stopping.read, big.size());
    EXPECT_EQ(stopping.total, big.size());
    EXPECT_EQ(store.tree().size(), nodes);
    EXPECT_EQ(store.currentPath(), open);
    EXPECT_EQ(store.recentFiles()[0], open);

    ASSERT_EQ(store.LoadCollection(path, progress).status, LoadStatus::Loaded);
    EXPECT_EQ(store.tree().size(), 40002u);
}

TEST_F(CollectionFileTest, InvalidFileKeepsTheNodesBeforeTheFaultUntitled)
{
    const std::string path = dir.file("broken.col");
    // The root's totals count a second volume that lies after the faulty line.
    const std::string bytes = Bytes("[01]7842[02]490[03]2[04]2[05]45000[06]\r\n") + kVolumeLine +
                              "\r\n\t\t\t\tdeep\r\n" + kVolumeLine + "\r\n" + kFileLine + "\r\n";
    WriteBytes(path, bytes);
    const RecentFiles recent = store.recentFiles();
    const LoadResult result = store.LoadCollection(path, progress);
    EXPECT_EQ(result.status, LoadStatus::NotValid);
    EXPECT_EQ(result.faultyLine, 3u);
    EXPECT_EQ(store.tree().size(), 2u);
    // The volume before the faulty line holds nothing.
    EXPECT_EQ(store.tree().text(store.tree().root()),
              RootLineOfToday(Bytes("[01]0[02]0[03]1[04]0[05]")));
    EXPECT_EQ(store.currentPath(), "");
    EXPECT_TRUE(store.modified());
    EXPECT_EQ(store.recentFiles(), recent);
    EXPECT_EQ(ReadBytes(path), bytes);
}

// The file holds 28 files in the folders A (5), B (10) and C (13) and breaks
// after the seventh, in B: the volume, B and the root count what is held.
TEST_F(CollectionFileTest, InvalidFileRecountsTheBranchItCutShort)
{
    const std::string path = dir.file("broken.col");
    // Names built by appending: GCC 12 at -O3 warns wrongly (-Wrestrict)
    // about "a" + std::string.
    const auto file = [](char folder, int number, std::int64_t duration) {
        std::string name(1, folder);
        name += std::to_string(number);
        name += ".mp3";
        return "\t\t\t" + FileText(name, {1000, duration, 4410, 2, 1, 3}, {}) + "\r\n";
    };
    std::string bytes = Bytes("[01]28000[02]2800[03]1[04]28[05]45000[06]\r\n") + "\t" +
                        VolumeText("CD", 28000, 2800, 3, 28, 45123, -805) + "\r\n\t\t" +
                        FolderText("A", 5000, 500, 0, 5) + "\r\n";
    for (int i = 0; i < 5; ++i)
        bytes += file('a', i, 100);
    bytes += "\t\t" + FolderText("B", 10000, 1000, 0, 10) + "\r\n";
    bytes += file('b', 0, 100);
    bytes += file('b', 1, -120);   // VBR
    bytes += "\t\t\t\t\tjunk\r\n"; // line 12
    for (int i = 2; i < 10; ++i)
        bytes += file('b', i, 100);
    bytes += "\t\t" + FolderText("C", 13000, 1300, 0, 13) + "\r\n";
    for (int i = 0; i < 13; ++i)
        bytes += file('c', i, 100);
    WriteBytes(path, bytes);

    const LoadResult result = store.LoadCollection(path, progress);
    ASSERT_EQ(result.status, LoadStatus::NotValid);
    EXPECT_EQ(result.faultyLine, 12u);
    const CollectionTree& tree = store.tree();
    const NodeId volume = tree.firstChild(tree.root());
    const NodeId a = tree.firstChild(volume);
    const NodeId b = tree.nextSibling(a);
    EXPECT_EQ(tree.text(a), FolderText("A", 5000, 500, 0, 5));
    EXPECT_EQ(tree.text(b), FolderText("B", 2000, 220, 0, 2));
    EXPECT_EQ(tree.text(volume), VolumeText("CD", 7000, 720, 2, 7, 45123, -805));
    EXPECT_EQ(tree.text(tree.root()), CollectionText(7000, 720, 1, 7, kToday));

    // What the status bar shows for the volume and what Statistics shows.
    const std::array<std::string, 6> status =
        display::StatusPanelTexts(tree, volume, texts, ".", "/");
    EXPECT_EQ(status[4], "7 File(s)");
    EXPECT_EQ(reports::StatisticRows(tree.text(tree.root()), texts, ".", "/")[4].value,
              "7 File(s)");
}

// A volume or folder line right before the faulty one holds nothing.
TEST_F(CollectionFileTest, InvalidFileRightAfterAFolderLineCountsItEmpty)
{
    const std::string path = dir.file("broken.col");
    const std::string song = "\t\t\t" + FileText("s.mp3", {1000, 100, 4410, 2, 1, 3}, {}) + "\r\n";
    WriteBytes(path, Bytes("[01]3000[02]300[03]2[04]3[05]45000[06]\r\n") + "\t" +
                         VolumeText("CD", 2000, 200, 2, 2, 45123, 7) + "\r\n\t\t" +
                         FolderText("A", 1000, 100, 0, 1) + "\r\n" + song + "\t\t" +
                         FolderText("B", 1000, 100, 0, 1) + "\r\n\t\t\t\tjunk\r\n" + song + "\t" +
                         VolumeText("TWO", 1000, 100, 0, 1, 45123, 8) + "\r\n");
    ASSERT_EQ(store.LoadCollection(path, progress).status, LoadStatus::NotValid);
    const CollectionTree& tree = store.tree();
    const NodeId volume = tree.firstChild(tree.root());
    EXPECT_EQ(tree.text(tree.lastChild(volume)), FolderText("B", 0, 0, 0, 0));
    EXPECT_EQ(tree.text(volume), VolumeText("CD", 1000, 100, 2, 1, 45123, 7));
    EXPECT_EQ(tree.text(tree.root()), CollectionText(1000, 100, 1, 1, kToday));
}

TEST_F(CollectionFileTest, BackupKeepsThePreviousState)
{
    const std::string path = dir.file("c.col");
    store.setBackup(true);
    ASSERT_TRUE(store.SaveCollection(path, progress).saved());
    EXPECT_FALSE(std::filesystem::exists(path + "~")); // nothing to back up yet
    const std::string first = ReadBytes(path);

    store.tree().appendChild(store.tree().root(), Bytes("V[01]10[02]20[03]0[04]1[05]1[06]2[07]"));
    ASSERT_TRUE(store.SaveCollection(path, progress).saved());
    const std::string second = ReadBytes(path);
    EXPECT_EQ(ReadBytes(path + "~"), first);

    store.tree().appendChild(store.tree().root(), Bytes("W[01]1[02]1[03]0[04]1[05]1[06]2[07]"));
    ASSERT_TRUE(store.SaveCollection(path, progress).saved());
    EXPECT_EQ(ReadBytes(path + "~"), second); // the state before the second save
    EXPECT_NE(ReadBytes(path), second);

    // Without hard links the previous file is renamed; the result is the same.
    files.failLink = true;
    const std::string third = ReadBytes(path);
    ASSERT_TRUE(store.SaveCollection(path, progress).saved());
    EXPECT_EQ(ReadBytes(path + "~"), third);
}

TEST_F(CollectionFileTest, SaveThroughASymbolicLinkBacksUpAndReplacesTheFileItLeadsTo)
{
    std::filesystem::create_directory(dir.path() / "discs");
    const std::string real = dir.file("discs/c.col");
    WriteBytes(real, kExample);
    const std::string link = dir.file("c.col");
    std::filesystem::create_symlink("discs/c.col", link);
    store.setBackup(true);
    const SaveResult result = store.SaveCollection(link, progress);
    ASSERT_TRUE(result.saved());
    EXPECT_EQ(result.backupPath, real + "~");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(real + "~"), kExample);
    EXPECT_EQ(ReadBytes(real), ReadBytes(link));
    EXPECT_NE(ReadBytes(real), kExample);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link + "~")));
}

TEST_F(CollectionFileTest, FailedBackupIsReportedAndSavingGoesOn)
{
    const std::string path = dir.file("c.col");
    WriteBytes(path, "old");
    store.setBackup(true);
    files.failLink = true;
    files.failRename = true;
    const SaveResult result = store.SaveCollection(path, progress);
    EXPECT_TRUE(result.saved());
    EXPECT_TRUE(result.backupFailed);
    EXPECT_EQ(result.backupPath, path + "~");
    EXPECT_EQ(ReadBytes(path).substr(0, 1), Bytes("[01]"));
}

// Every way a save can fail leaves the previous file, the collection and the
// modified flag as they were, and no temporary file behind.
TEST_F(CollectionFileTest, FailedSavesLeaveEverythingAsItWas)
{
    const std::string path = dir.file("keep.col");
    WriteBytes(path, kExample);
    ASSERT_TRUE(store.LoadCollection(path, progress).loaded());
    store.tree().appendChild(store.tree().root(), std::string(3 << 20, 'v') + Bytes("[01]1[02]"));
    store.setModified();
    store.setBackup(true);
    const std::string rootBefore(store.tree().text(store.tree().root()));

    const auto expectUntouched = [&](const SaveResult& result, SaveStatus status) {
        EXPECT_EQ(result.status, status);
        EXPECT_EQ(ReadBytes(path), kExample);
        EXPECT_FALSE(std::filesystem::exists(path + "~"));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                                std::filesystem::directory_iterator()),
                  1);
        EXPECT_TRUE(store.modified());
        EXPECT_EQ(store.tree().text(store.tree().root()), rootBefore);
    };

    files.failCreate = true;
    expectUntouched(store.SaveCollection(path, progress), SaveStatus::CannotCreate);
    files.failCreate = false;

    for (const std::size_t limit : {std::size_t(0), std::size_t(10), std::size_t(2 << 20)}) {
        files.failWriteAfter = limit;
        expectUntouched(store.SaveCollection(path, progress), SaveStatus::WriteFailed);
    }
    files.failWriteAfter = static_cast<std::size_t>(-1);

    files.failFlush = true;
    expectUntouched(store.SaveCollection(path, progress), SaveStatus::WriteFailed);
    files.failFlush = false;

    files.failCommit = true;
    files.failLink = true; // the previous file was renamed away: it comes back
    const SaveResult result = store.SaveCollection(path, progress);
    EXPECT_EQ(result.status, SaveStatus::WriteFailed);
    EXPECT_EQ(ReadBytes(path), kExample);
    EXPECT_TRUE(store.modified());
}

TEST_F(CollectionFileTest, TargetsThatCannotBeCreated)
{
    EXPECT_EQ(store.SaveCollection(dir.file("no/such/folder.col"), progress).status,
              SaveStatus::CannotCreate);
    EXPECT_EQ(store.SaveCollection(dir.path().string(), progress).status, SaveStatus::CannotCreate);
    EXPECT_EQ(store.SaveCollection("", progress).status, SaveStatus::CannotCreate);
    EXPECT_EQ(store.currentPath(), "");
}

// A real short write: the process may not write files beyond 64 KB.
TEST(CollectionSave, FileSizeLimitFailsTheSaveAndKeepsTheOldFile)
{
    TestDir dir;
    platform::PosixFileSystem files;
    fakes::FakeClock clock{kToday};
    const texts::TextTable texts;
    CollectionStore store(files, clock, texts);
    NoProgress progress;
    const std::string path = dir.file("limited.col");
    WriteBytes(path, kExample);
    for (int i = 0; i < 5000; ++i)
        store.tree().appendChild(store.tree().root(), std::string(100, 'v') + Bytes("[01]1[02]"));

    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const SaveResult result = store.SaveCollection(path, progress);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_EQ(result.status, SaveStatus::WriteFailed);
    EXPECT_EQ(ReadBytes(path), kExample);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(CollectionFileTest, SaveKeepsTheFilesModeOwnerAndGroupAndRefusesAWriteProtectedFile)
{
    const std::string path = dir.file("perm.col");
    WriteBytes(path, kExample);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    // Root may give the file away; the save must give it back.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), 4242, 4343), 0);
    }
    ASSERT_TRUE(store.SaveCollection(path, progress).saved());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4242u);
        EXPECT_EQ(st.st_gid, 4343u);
    }

    // A file nobody may write is not replaced, for root neither, although
    // its folder is writable.
    const std::string saved = ReadBytes(path);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    store.setModified();
    const SaveResult refused = store.SaveCollection(path, progress);
    EXPECT_EQ(refused.status, SaveStatus::CannotCreate);
    EXPECT_EQ(ReasonTextOf(refused), texts::TextId::FileWriteProtected);
    EXPECT_EQ(ReadBytes(path), saved);
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_TRUE(store.modified());
}

TEST_F(CollectionFileTest, TransactionKeepsOtherProgramsOutFromLoadToSave)
{
    const std::string path = dir.file("shared.col");
    WriteBytes(path, kExample);
    CollectionStore other{files, clock, texts};
    std::optional<CollectionTransaction> first;
    first.emplace(store, path, std::chrono::milliseconds(0));
    ASSERT_EQ(first->status(), LockStatus::Held);
    ASSERT_EQ(first->Load(progress).status, LoadStatus::Loaded);

    // While the first holds the file, the other neither loads nor saves it.
    {
        CollectionTransaction second(other, path, std::chrono::milliseconds(0));
        EXPECT_EQ(second.status(), LockStatus::Busy);
        EXPECT_EQ(MessageTextOf(second.status()), texts::TextId::CollectionBusy);
        EXPECT_EQ(second.Load(progress).status, LoadStatus::CannotOpen);
        EXPECT_FALSE(second.Save(progress).saved());
        EXPECT_EQ(ReadBytes(path), kExample);
    }
    store.setModified();
    ASSERT_TRUE(first->Save(progress).saved());
    first.reset();

    CollectionTransaction second(other, path, std::chrono::milliseconds(0));
    ASSERT_EQ(second.status(), LockStatus::Held);
    ASSERT_EQ(second.Load(progress).status, LoadStatus::Loaded);
    EXPECT_FALSE(second.ChangedOnDisk());
    second.Release();
    // The first store's version of the file is no longer the one on disk
    // once the other has saved.
    {
        CollectionTransaction again(other, path, std::chrono::milliseconds(0));
        ASSERT_TRUE(again.Save(progress).saved());
    }
    CollectionTransaction third(store, path, std::chrono::milliseconds(0));
    EXPECT_TRUE(third.ChangedOnDisk());
}

// Runs `work` on a thread with a small stack: code that recursed once per
// level of a deep tree would overflow it and crash the test.
void OnSmallStack(const std::function<void()>& work)
{
    pthread_attr_t attributes;
    ASSERT_EQ(::pthread_attr_init(&attributes), 0);
    ASSERT_EQ(::pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
    pthread_t thread;
    const auto run = [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(
        ::pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&work)), 0);
    ::pthread_join(thread, nullptr);
    ::pthread_attr_destroy(&attributes);
}

TEST_F(CollectionFileTest, DeepCollectionLoadsSavesWalksAndFreesOnASmallStack)
{
    // 10,000 nested levels: 50 million tabs, a 50 MB file.
    constexpr std::size_t kDepth = 10000;
    std::string bytes = RootLineOfToday(Bytes("[01]0[02]0[03]0[04]0[05]")) + "\r\n";
    bytes.reserve(kDepth * (kDepth + 1) / 2 + kDepth * 8 + 64);
    for (std::size_t level = 1; level <= kDepth; ++level) {
        bytes.append(level, '\t');
        bytes += 'n';
        bytes += std::to_string(level);
        bytes += "\r\n";
    }
    const std::string path = dir.file("deep.col");
    WriteBytes(path, bytes);
    const std::string out = dir.file("deep-out.col");

    bool saved = false;
    std::size_t walked = 0;
    OnSmallStack([&] {
        CollectionStore deep(files, clock, texts);
        if (deep.LoadCollection(path, progress).status != LoadStatus::Loaded)
            return;
        const CollectionTree& tree = deep.tree();
        for (NodeId n = tree.root(); n != kNoNode; n = tree.nextInPreOrder(n))
            ++walked;
        saved = deep.SaveCollection(out, progress).saved();
        deep.NewCollection(); // frees the deep tree here, on the small stack
    });
    EXPECT_EQ(walked, kDepth + 1);
    ASSERT_TRUE(saved);
    // The volume holds no numbers, so the rebuilt root counts it with zeros.
    std::string expected = std::move(bytes);
    expected.replace(0, expected.find('\r'), RootLineOfToday(Bytes("[01]0[02]0[03]1[04]0[05]")));
    EXPECT_TRUE(ReadBytes(out) == expected);
}

TEST_F(CollectionFileTest, RecentFiles)
{
    for (const char* name : {"a", "b", "c", "d", "e"})
        store.AddRecentFile(std::string("/x/") + name + ".col");
    EXPECT_EQ(store.recentFiles(),
              (RecentFiles{"/x/e.col", "/x/d.col", "/x/c.col", "/x/b.col", "/x/a.col"}));
    store.AddRecentFile("/X/B.COL"); // ASCII case folding finds the same entry
    EXPECT_EQ(store.recentFiles(),
              (RecentFiles{"/X/B.COL", "/x/e.col", "/x/d.col", "/x/c.col", "/x/a.col"}));
    store.AddRecentFile("/x/f.col");
    EXPECT_EQ(store.recentFiles(),
              (RecentFiles{"/x/f.col", "/X/B.COL", "/x/e.col", "/x/d.col", "/x/c.col"}));
    store.setRecentFiles({"/x/a.col", "", "/x/b.col", "", ""});
    store.AddRecentFile("/x/b.col");
    EXPECT_EQ(store.recentFiles(), (RecentFiles{"/x/b.col", "/x/a.col", "", "", ""}));
    // Letters beyond A to Z are not folded.
    store.AddRecentFile("/x/Ä.col");
    store.AddRecentFile("/x/ä.col");
    EXPECT_EQ(store.recentFiles()[1], "/x/Ä.col");
}

} // namespace
} // namespace velmora::collection
