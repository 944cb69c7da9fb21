// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/SameFile.h"

#include "TestDir.h"
#include "platform/fakes/FaultyFileSystem.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace velmora {
namespace {

using testing::TestDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

class SameFileTest : public ::testing::Test {
protected:
    SameFileTest() { WriteBytes(collection, "\x01"); }

    TestDir dir;
    fakes::FaultyFileSystem files;
    const std::string collection = dir.file("s.col");
};

TEST_F(SameFileTest, TheFileItselfAndEveryLinkToItAreTheSameFile)
{
    EXPECT_TRUE(SameFile(files, collection, collection));
    fs::create_symlink("s.col", dir.path() / "link.col");
    fs::create_hard_link(collection, dir.path() / "hard.col");
    fs::create_directories(dir.path() / "sub");
    fs::create_directory_symlink(dir.path(), dir.path() / "sub" / "up");
    EXPECT_TRUE(SameFile(files, dir.file("link.col"), collection));
    EXPECT_TRUE(SameFile(files, dir.file("hard.col"), collection));
    EXPECT_TRUE(SameFile(files, dir.file("sub/../s.col"), collection));
    EXPECT_TRUE(SameFile(files, dir.file("sub/up/s.col"), collection));
}

TEST_F(SameFileTest, RelativeAndAbsolutePathsOfAFileNotYetThereAreTheSameFile)
{
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    EXPECT_TRUE(SameFile(files, "new.col", dir.file("new.col")));
    EXPECT_TRUE(SameFile(files, "./new.col", "new.col"));
    // A link to a file not yet there leads to it.
    fs::create_symlink("new.col", dir.path() / "dangling.col");
    EXPECT_TRUE(SameFile(files, "dangling.col", dir.file("new.col")));
    fs::current_path(before);
}

TEST_F(SameFileTest, OtherFilesAndEmptyPathsAreNot)
{
    WriteBytes(dir.file("copy.col"), "\x01");
    EXPECT_FALSE(SameFile(files, dir.file("copy.col"), collection));
    EXPECT_FALSE(SameFile(files, dir.file("report.txt"), collection));
    EXPECT_FALSE(SameFile(files, "", collection));
    EXPECT_FALSE(SameFile(files, "", ""));
}

} // namespace
} // namespace velmora
