// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bytes.h"
#include "CliFixture.h"
#include "TestDir.h"
#include "cli/Cli.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "texts/TextTable.h"

#include <gtest/gtest.h>
#include <sstream>

namespace velmora::cli {
namespace {

using testing::Bytes;

using testing::ReadBytes;
using testing::TestDir;
using testing::WriteBytes;

const std::string kExample =
    Bytes("[01]3921[02]245[03]1[04]1[05]45000[06]\r\n\tAUDIO[01]3921[02]245[03]1[04]1[05]45000[06]-"
          "805[07]\r\n\t\tRock[01]3921[02]245[03]0[04]1[05]\r\n\t\t\tsong.mp3[01]3921[02]245[03]"
          "4410[04]2[05]1[06]3[07][15]Title[16]Bj[F6]rk[17][18]7[19]1999[1A][1B]\r\n");

class CliTest : public CliFixture {
protected:
};

TEST_F(CliTest, HelpVersionAndUsage)
{
    EXPECT_EQ(Run({"--help"}), kSuccess);
    EXPECT_NE(out.str().find("dump COLLECTION"), std::string::npos);
    EXPECT_EQ(Run({"--version"}), kSuccess);
    EXPECT_EQ(out.str().rfind("velmora-cli ", 0), 0u);
    EXPECT_EQ(Run({}), kUsage);
    EXPECT_EQ(Run({"frobnicate"}), kUsage);
    EXPECT_NE(err.str().find("unknown command"), std::string::npos);
    EXPECT_EQ(Run({"dump"}), kUsage);
    EXPECT_EQ(err.str(), "usage: velmora-cli dump COLLECTION\n");
    EXPECT_EQ(Run({"convert", "a"}), kUsage);
    EXPECT_EQ(Run({"import", "a"}), kUsage);
}

TEST_F(CliTest, DumpPrintsEveryNode)
{
    const std::string path = dir.file("c.col");
    WriteBytes(path, kExample);
    ASSERT_EQ(Run({"dump", path}), kSuccess);
    EXPECT_EQ(out.str(),
              "0\tcollection\t\t3921\t245\t1\t1\t45000\n"
              "1\tvolume\tAUDIO\t3921\t245\t1\t1\t45000\t-805\n"
              "2\tfolder\tRock\t3921\t245\t0\t1\n"
              "3\tfile\tsong.mp3\t3921\t245\t4410\t2\t1\t3\tTitle\tBjörk\t\t7\t1999\t\n");
}

TEST_F(CliTest, FailuresUseTheSystemsTexts)
{
    const std::string missing = dir.file("missing.col");
    EXPECT_EQ(Run({"dump", missing}), kFailed);
    EXPECT_EQ(err.str(), "Can not open the file: " + missing + "\n");

    const std::string broken = dir.file("broken.col");
    WriteBytes(broken, Bytes("[01]r\r\n\t\t\tdeep\r\n"));
    EXPECT_EQ(Run({"stats", broken}), kFailed);
    EXPECT_EQ(err.str(), "The file isn't valid: " + broken + "\n");
    // A command that would save leaves the file as it is.
    EXPECT_EQ(Run({"sort", "-c", broken}), kFailed);
    EXPECT_EQ(err.str(), "The file isn't valid: " + broken + "\n");
    EXPECT_EQ(ReadBytes(broken), Bytes("[01]r\r\n\t\t\tdeep\r\n"));

    const std::string target = dir.file("none/new.col");
    EXPECT_EQ(Run({"new", target}), kFailed);
    EXPECT_EQ(err.str(), "Can not save in the file: " + target + "\n");
}

TEST_F(CliTest, NewAndStats)
{
    const std::string path = dir.file("new.col");
    ASSERT_EQ(Run({"new", path}), kSuccess);
    EXPECT_EQ(ReadBytes(path), Bytes("[01]0[02]0[03]0[04]0[05]46000[06]\r\n"));

    WriteBytes(path, kExample);
    locale.setDecimalSeparator(",");
    locale.setDateSeparator(".");
    ASSERT_EQ(Run({"stats", path}), kSuccess);
    EXPECT_EQ(out.str(), "Total size:\t0 GB\n"
                         "Total duration:\t0,1 Hour(s)\n"
                         "Average bit rate:\t131 Kbps\n"
                         "Volume count:\t1 Volume(s)\n"
                         "File count:\t1 File(s)\n"
                         "Last change:\t15.03.2023\n");
}

TEST_F(CliTest, ConvertAndImport)
{
    const std::string old = dir.file("old.vlm");
    WriteBytes(
        old,
        "CD\r\n\ta.mp3\r\n10;20;0;1;1;44000\r\n10;20;0;0;1;44000\r\n10;20;-1;441;1;13\r\nend\r\n");
    const std::string converted = dir.file("converted.col");
    ASSERT_EQ(Run({"convert", old, converted}), kSuccess) << err.str();
    EXPECT_EQ(ReadBytes(converted),
              Bytes("[01]10[02]20[03]1[04]1[05]46000[06]\r\n\tCD[01]10[02]20[03]0[04]1[05]44000[06]"
                    "0[07]\r\n\t\ta.mp3[01]10[02]-20[03]4410[04]2[05]1[06]3[07][15][16][17][18][19]"
                    "[1A][1B]\r\n"));

    const std::string current = dir.file("current.col");
    WriteBytes(current, kExample);
    const std::string copy = dir.file("copy.col");
    ASSERT_EQ(Run({"convert", current, copy}), kSuccess);
    std::string expected = kExample;
    expected.replace(0, expected.find('\r'), Bytes("[01]3921[02]245[03]1[04]1[05]46000[06]"));
    EXPECT_EQ(ReadBytes(copy), expected);

    // Import into a collection that does not exist yet: it is created.
    const std::string merged = dir.file("merged.col");
    ASSERT_EQ(Run({"import", merged, current, old}), kSuccess) << err.str();
    EXPECT_EQ(ReadBytes(merged).substr(0, 22), Bytes("[01]3931[02]265[03]2[04]2[05]46000[06]\r\n"));

    // A source that fails leaves the collection file untouched.
    const std::string before = ReadBytes(merged);
    const std::string bad = dir.file("bad.col");
    WriteBytes(bad, "not a collection");
    EXPECT_EQ(Run({"import", merged, current, bad}), kFailed);
    EXPECT_EQ(err.str(), "Can not import from the file: " + bad + "\n");
    EXPECT_EQ(ReadBytes(merged), before);
}

} // namespace
} // namespace velmora::cli
