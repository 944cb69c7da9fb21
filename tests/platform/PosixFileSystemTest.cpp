#include "platform/PosixFileSystem.h"

#include "TestDir.h"

#include <filesystem>
#include <gtest/gtest.h>

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
    std::unique_ptr<OutputFile> out = files.createReplacement(target);
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
    {
        std::unique_ptr<OutputFile> out = files.createReplacement(target);
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
    for (const char* name : {"music.col", "dangling.col"}) {
        std::unique_ptr<OutputFile> out = files.createReplacement(dir.file(name));
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
    {
        std::unique_ptr<OutputFile> out = files.createReplacement(target);
        ASSERT_TRUE(out);
        ASSERT_TRUE(out->write("new"));
        ASSERT_TRUE(out->commit());
    }
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(Entries(dir), 1u);

    WriteBytes(PosixFileSystem::ReplacementPath(target), "half a collection");
    files.removeLeftoverReplacement(target);
    EXPECT_EQ(Entries(dir), 1u);

    std::unique_ptr<OutputFile> out = files.createReplacement(target);
    ASSERT_TRUE(out);
    files.removeLeftoverReplacement(target);
    ASSERT_TRUE(out->write("written on"));
    ASSERT_TRUE(out->commit());
    EXPECT_EQ(ReadBytes(target), "written on");
    EXPECT_EQ(Entries(dir), 1u);
}

} // namespace
} // namespace velmora::platform
