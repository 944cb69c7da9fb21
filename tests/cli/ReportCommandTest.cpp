// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bytes.h"
#include "CliFixture.h"
#include "TestDir.h"
#include "cli/Cli.h"
#include "platform/QtLocale.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "texts/TextTable.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace velmora::cli {
namespace {

using testing::Bytes;
using testing::ReadBytes;
using testing::TestDir;
using testing::WriteBytes;

// Volume "Disc" (day 45000) with the folders "rock" and "Jazz", in that
// order, each holding one file, and a file in the volume's root.
const std::string kCollection =
    Bytes("[01]6000[02]600[03]1[04]3[05]45000[06]\r\n"
          "\tDisc[01]6000[02]600[03]2[04]3[05]45000[06]7[07]\r\n"
          "\t\trock[01]2048[02]200[03]0[04]1[05]\r\n"
          "\t\t\tr.mp3[01]2048[02]200[03]4410[04]2[05]1[06]3[07]"
          "[15]Rocker[16]Band & Co[17][18]3[19]2001[1A][1B]\r\n"
          "\t\tJazz[01]3072[02]-300[03]0[04]1[05]\r\n"
          "\t\t\tj.mp3[01]3072[02]-300[03]2205[04]4[05]2[06]3[07][15][16][17][18][19][1A][1B]\r\n"
          "\t\ttop.mp3[01]880[02]100[03]4410[04]1[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n");

class ReportCommandTest : public CliFixture {
protected:
    ReportCommandTest() { WriteBytes(collection, kCollection); }

    int Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), "report");
        return CliFixture::Run(args);
    }

    const std::string collection = dir.file("music.col");
    const std::string report = dir.file("report.txt");
};

TEST_F(ReportCommandTest, WithoutOptionsWritesTheDefaultReportQuietly)
{
    ASSERT_EQ(Run({collection, "-o", report}), kSuccess) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "");
    // Folder rows, sorted with case (capitals first in the fake locale).
    EXPECT_EQ(ReadBytes(report), "Name Mb   H:M:S    Kbps   Volume\r\n"
                                 "--------------------------------\r\n"
                                 "Jazz 3.00 00:05:00 ABR 83 Disc  \r\n"
                                 "rock 2.00 00:03:20 ABR 83 Disc  \r\n");
}

TEST_F(ReportCommandTest, RowsColumnsFormatAndSortingFromTheOptions)
{
    ASSERT_EQ(Run({collection, "--rows", "collection,file", "--columns", "title,artist",
                   "--no-sort", "--format", "html", "-o", report}),
              kSuccess)
        << err.str();
    EXPECT_EQ(
        ReadBytes(report),
        "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">"
        "<TITLE></TITLE></HEAD><BODY BGCOLOR=\"#EEEEEE\"><CENTER>"
        "<TABLE RULES=cols CELLSPACING=\"0\" CELLPADDING=\"2\">\r\n"
        "<TR BGCOLOR=\"#FEDCBA\"><TH ALIGN=left NOWRAP>Name</TH><TH ALIGN=left NOWRAP>Title</TH>"
        "<TH ALIGN=left NOWRAP>Artist</TH></TR>\r\n"
        "<TR BGCOLOR=\"#FFEDED\"><TD ALIGN=left NOWRAP>Collection music.col</TD>"
        "<TD ALIGN=left NOWRAP></TD><TD ALIGN=left NOWRAP></TD></TR>\r\n"
        "<TR BGCOLOR=\"#FAEBDC\"><TD ALIGN=left NOWRAP>..r.mp3</TD>"
        "<TD ALIGN=left NOWRAP>Rocker</TD><TD ALIGN=left NOWRAP>Band &amp; Co</TD></TR>\r\n"
        "<TR BGCOLOR=\"#FAEBDC\"><TD ALIGN=left NOWRAP>..j.mp3</TD>"
        "<TD ALIGN=left NOWRAP></TD><TD ALIGN=left NOWRAP></TD></TR>\r\n"
        "<TR BGCOLOR=\"#FAEBDC\"><TD ALIGN=left NOWRAP>..top.mp3</TD>"
        "<TD ALIGN=left NOWRAP></TD><TD ALIGN=left NOWRAP></TD></TR>\r\n"
        "</TABLE></CENTER></BODY></HTML>\r\n");

    // The named columns in their order, numbers as DIF values; an empty list
    // leaves the names alone.
    ASSERT_EQ(Run({collection, "--rows", "volume", "--columns", "files,duration", "--format", "dif",
                   "-o", report}),
              kSuccess);
    const std::string dif = ReadBytes(report);
    EXPECT_NE(dif.find("VECTORS\r\n0,3\r\n"), std::string::npos);
    EXPECT_NE(dif.find("BOT\r\n1,0\r\n\"Disc\"\r\n0,3\r\nV\r\n0,00:10:00\r\nV\r\n-1,0\r\nEOD\r\n"),
              std::string::npos)
        << dif;
    ASSERT_EQ(Run({collection, "--rows", "volume", "--columns", "", "-o", report}), kSuccess);
    EXPECT_EQ(ReadBytes(report), "Name\r\n----\r\nDisc\r\n");
}

TEST_F(ReportCommandTest, SortsWithCaseInTheUsersLocale)
{
    const platform::QtLocale english(QLocale("en_US"));
    const Services withLocaleServices{files, volumes, english, clock};
    CliContext withLocale{withLocaleServices, texts, &interrupted};
    std::string bytes = Bytes("[01]0[02]0[03]1[04]4[05]45000[06]\r\n"
                              "\tV[01]0[02]0[03]0[04]4[05]45000[06]7[07]\r\n");
    for (const char* name : {"B", "a", "b", "A"})
        bytes += "\t\t" + std::string(name) +
                 Bytes("[01]0[02]0[03]0[04]1[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n");
    WriteBytes(collection, bytes);
    ASSERT_EQ(RunCli({"report", collection, "-o", report, "--rows", "file", "--columns", ""}, out,
                     err, withLocale),
              kSuccess);
    // Letters first, then case; the bytes would give A, B, a, b.
    EXPECT_EQ(ReadBytes(report), "Name\r\n----\r\na   \r\nA   \r\nb   \r\nB   \r\n");
}

TEST_F(ReportCommandTest, WrongUsageListsWhatIsAllowed)
{
    EXPECT_EQ(Run({collection, "-o", report, "--format", "pdf"}), kUsage);
    EXPECT_NE(err.str().find("--format takes one of text, dif, html"), std::string::npos);
    EXPECT_NE(err.str().find("usage: velmora-cli report COLLECTION -o FILE"), std::string::npos);

    EXPECT_EQ(Run({collection, "-o", report, "--rows", "volume,disc"}), kUsage);
    EXPECT_NE(err.str().find("\"disc\"; allowed: collection, volume, folder, file"),
              std::string::npos);
    EXPECT_EQ(Run({collection, "-o", report, "--rows", ""}), kUsage);
    EXPECT_EQ(Run({collection, "-o", report, "--rows", "file,file"}), kUsage);

    EXPECT_EQ(Run({collection, "-o", report, "--columns", "size,bpm"}), kUsage);
    EXPECT_NE(err.str().find("\"bpm\"; allowed: size, duration, bitrate, samplerate, mode, "
                             "version, title, artist, album, track, year, comment, folders, "
                             "files, date, volume"),
              std::string::npos);
    EXPECT_EQ(Run({collection, "-o", report, "--columns", "size,size"}), kUsage);
    EXPECT_EQ(Run({collection, "-o", report, "--columns", "size,"}), kUsage);

    EXPECT_EQ(Run({collection}), kUsage);
    EXPECT_EQ(Run({"-o", report}), kUsage);
    EXPECT_EQ(Run({collection, "-o"}), kUsage);
    EXPECT_EQ(Run({collection, "-o", report, "-o", report}), kUsage);
    EXPECT_EQ(Run({collection, "other.col", "-o", report}), kUsage);
    EXPECT_EQ(Run({collection, "-o", report, "--sorted"}), kUsage);
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(std::filesystem::exists(report));
}

TEST_F(ReportCommandTest, FailuresTellTheFileAndLeaveThePreviousReport)
{
    EXPECT_EQ(Run({dir.file("missing.col"), "-o", report}), kFailed);
    EXPECT_EQ(err.str(), "Can not open the file: " + dir.file("missing.col") + "\n");

    const std::string nowhere = dir.file("no/such/folder/r.txt");
    EXPECT_EQ(Run({collection, "-o", nowhere}), kFailed);
    EXPECT_EQ(err.str(), "Can not save in the file: " + nowhere + "\n");

    WriteBytes(report, "previous");
    files.failWriteAfter = 40;
    EXPECT_EQ(Run({collection, "-o", report}), kFailed);
    EXPECT_EQ(err.str(), "Can not save in the file: " + report + "\n");
    EXPECT_EQ(ReadBytes(report), "previous");
    EXPECT_EQ(out.str(), "");
}

// The collection under its own name, a symbolic link and a hard link to it:
// the report would replace the collection.
TEST_F(ReportCommandTest, AReportIntoTheCollectionItselfIsRefused)
{
    std::filesystem::create_symlink("music.col", dir.file("link.col"));
    std::filesystem::create_hard_link(collection, dir.file("hard.col"));
    for (const std::string& target : {collection, dir.file("link.col"), dir.file("hard.col")}) {
        EXPECT_EQ(Run({collection, "-o", target, "--format", "html"}), kFailed) << target;
        EXPECT_EQ(err.str(),
                  "Can not save in the file: " + target + "\nThe file is the collection itself\n");
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(ReadBytes(collection), kCollection);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.col")));
    EXPECT_EQ(std::filesystem::hard_link_count(collection), 2u);
    // Only the collection and the two links: no report, no replacement.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

TEST_F(ReportCommandTest, ADashWritesTheReportToTheOutputAlone)
{
    for (const char* format : {"text", "dif", "html", "csv"}) {
        ASSERT_EQ(Run({collection, "-o", report, "--format", format, "--rows",
                       "collection,volume,folder,file"}),
                  kSuccess)
            << err.str();
        ASSERT_EQ(Run({collection, "-o", "-", "--format", format, "--rows",
                       "collection,volume,folder,file"}),
                  kSuccess)
            << err.str();
        EXPECT_EQ(out.str(), ReadBytes(report)) << format;
        EXPECT_EQ(err.str(), "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("-")));

    // A stream that fails is a file that cannot be written.
    std::ostringstream closed;
    closed.setstate(std::ios::badbit);
    EXPECT_EQ(RunCli({"report", collection, "--output=-"}, closed, err, context), kFailed);
    EXPECT_EQ(err.str(), "Can not save in the file: -\n");
}

TEST_F(ReportCommandTest, AnInterruptStopsTheReportWithoutAFile)
{
    WriteBytes(report, "previous");
    interrupted = true;
    EXPECT_EQ(Run({collection, "-o", report}), kFailed);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(ReadBytes(report), "previous");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST_F(ReportCommandTest, HelpNamesTheCommand)
{
    ASSERT_EQ(RunCli({"--help"}, out, err, context), kSuccess);
    EXPECT_NE(out.str().find("  report COLLECTION -o FILE [--format text|dif|html|csv]\n"),
              std::string::npos);
}

} // namespace
} // namespace velmora::cli
