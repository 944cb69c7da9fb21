// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PosixFileSystem.h"

#include "TestDir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::platform {
namespace {

using testing::ReadBytes;
using testing::TestDir;
using testing::WriteBytes;

std::size_t Entries(const TestDir& dir)
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(dir.path()), {}));
}

TEST(PosixReplacementFile, IsCutBackWrittenOnAndPutInPlace)
{
    TestDir dir;
    const std::string target = dir.file("report.txt");
    WriteBytes(target, "previous");
    PosixFileSystem files;
    WriteError error = WriteError::None;
    std::unique_ptr<OutputFile> out = files.createReplacement(target, error);
    ASSERT_TRUE(out);
    ASSERT_TRUE(out->write("first line\r\nsecond line\r\n"));
    ASSERT_TRUE(out->truncate(12));
    ASSERT_TRUE(out->write("third\r\n"));
    EXPECT_EQ(ReadBytes(target), "previous"); // hidden until committed
    ASSERT_TRUE(out->flush());
    ASSERT_TRUE(out->commit());
    EXPECT_EQ(ReadBytes(target), "first line\r\nthird\r\n");
    EXPECT_EQ(Entries(dir), 1u);
}

TEST(PosixReplacementFile, ThatIsDroppedLeavesTheTargetAndNothingElse)
{
    TestDir dir;
    const std::string target = dir.file("report.txt");
    WriteBytes(target, "previous");
    PosixFileSystem files;
    WriteError error = WriteError::None;
    {
        std::unique_ptr<OutputFile> out = files.createReplacement(target, error);
        ASSERT_TRUE(out);
        ASSERT_TRUE(out->write("half a report"));
        ASSERT_TRUE(out->truncate(4));
    }
    EXPECT_EQ(ReadBytes(target), "previous");
    EXPECT_EQ(Entries(dir), 1u);
}

TEST(PosixReplacementFile, ThroughASymbolicLinkReplacesTheFileTheLinkLeadsTo)
{
    TestDir dir;
    std::filesystem::create_directory(dir.path() / "discs");
    const std::string real = dir.file("discs/music.col");
    WriteBytes(real, "previous");
    // music.col -> link.col -> discs/music.col, both relative.
    std::filesystem::create_symlink("discs/music.col", dir.path() / "link.col");
    std::filesystem::create_symlink("link.col", dir.path() / "music.col");
    // A link naming a file that does not exist yet.
    std::filesystem::create_symlink("discs/new.col", dir.path() / "dangling.col");
    PosixFileSystem files;
    WriteError error = WriteError::None;
    for (const char* name : {"music.col", "dangling.col"}) {
        std::unique_ptr<OutputFile> out = files.createReplacement(dir.file(name), error);
        ASSERT_TRUE(out);
        ASSERT_TRUE(out->write(name));
        ASSERT_TRUE(out->flush());
        ASSERT_TRUE(out->commit());
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "music.col"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "link.col"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "dangling.col"));
    EXPECT_EQ(ReadBytes(real), "music.col");
    EXPECT_EQ(ReadBytes(dir.file("discs/new.col")), "dangling.col");
    EXPECT_EQ(Entries(dir), 4u); // the three links and the folder
}

TEST(PosixReplacementFile, LeftByAKilledWriterIsReusedOrRemovedButNotWhileWritten)
{
    TestDir dir;
    const std::string target = dir.file("music.col");
    WriteBytes(target, "previous");
    // What a writer killed half-way leaves: its temporary file, unlocked.
    WriteBytes(PosixFileSystem::ReplacementPath(target), "half a collection");
    PosixFileSystem files;
    WriteError error = WriteError::None;
    {
        std::unique_ptr<OutputFile> out = files.createReplacement(target, error);
        ASSERT_TRUE(out);
        ASSERT_TRUE(out->write("new"));
        ASSERT_TRUE(out->commit());
    }
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(Entries(dir), 1u);

    WriteBytes(PosixFileSystem::ReplacementPath(target), "half a collection");
    files.removeLeftoverReplacement(target);
    EXPECT_EQ(Entries(dir), 1u);

    std::unique_ptr<OutputFile> out = files.createReplacement(target, error);
    ASSERT_TRUE(out);
    files.removeLeftoverReplacement(target);
    ASSERT_TRUE(out->write("written on"));
    ASSERT_TRUE(out->commit());
    EXPECT_EQ(ReadBytes(target), "written on");
    EXPECT_EQ(Entries(dir), 1u);
}

TEST(PosixReplacementFile, FollowsNoLinkOfAnotherUserInASharedStickyFolder)
{
    // As in /tmp: a folder everybody may write, with the sticky bit.
    TestDir dir;
    std::filesystem::create_directory(dir.path() / "shared");
    std::filesystem::create_directory(dir.path() / "home");
    const std::string shared = dir.file("shared");
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string victim = dir.file("home/notes.txt");
    WriteBytes(victim, "precious");
    const std::string planted = dir.file("shared/report.txt");
    std::filesystem::create_symlink(victim, planted);
    const std::string own = dir.file("shared/mine.txt");
    std::filesystem::create_symlink(dir.file("home/mine.txt"), own);

    PosixFileSystem files;
    WriteError error = WriteError::None;
    // The folder's owner's and this user's own links are followed.
    {
        std::unique_ptr<OutputFile> out = files.createReplacement(own, error);
        ASSERT_TRUE(out);
        ASSERT_TRUE(out->write("mine") && out->commit());
        EXPECT_EQ(ReadBytes(dir.file("home/mine.txt")), "mine");
    }
    if (::geteuid() != 0)
        GTEST_SKIP() << "planting a link of another user needs root";
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0);

    EXPECT_FALSE(files.createReplacement(planted, error));
    EXPECT_EQ(error, WriteError::ForeignLink);
    int openError = 0;
    EXPECT_FALSE(files.openFile(planted, true, openError));
    EXPECT_EQ(openError, EPERM);
    // Its lock is taken beside the link, never in the folder it leads to.
    EXPECT_TRUE(files.lockFile(planted, std::chrono::milliseconds(0), openError));
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "home"), {}), 2);
    // Read, it is followed like any link.
    EXPECT_TRUE(files.openFile(planted, false, openError));
}

} // namespace
} // namespace velmora::platform
