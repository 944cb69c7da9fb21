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

} // namespace
} // namespace velmora::platform
