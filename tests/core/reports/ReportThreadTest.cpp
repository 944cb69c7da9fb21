// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportThread.h"

#include "ReportTestFixture.h"
#include "collection/NodeText.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace velmora::reports {
namespace {

TEST_F(ReportTest, DefaultTextReportOfOneFolderIsLaidOutToTheCharacter)
{
    Load(kRock);
    EXPECT_EQ(Report(ReportSettings()), "Name Mb    H:M:S    Kbps    Volume\r\n"
                                        "----------------------------------\r\n"
                                        "Rock 10.00 00:10:00 ABR 139 CD1   \r\n");
}

TEST_F(ReportTest, DepthsFollowTheChosenRowKinds)
{
    Load(kMixed);
    ReportSettings s = NoColumns();
    s.sorting = false;
    s.collectionRow = s.volumeRows = s.folderRows = s.fileRows = true;
    EXPECT_EQ(ReportLines(s), (Lines{"Name            ", "----------------", "Collection c.col",
                                     " CD1            ", "  loose.mp3     ", "  Rock          ",
                                     "   B.mp3        ", "   a.mp3        ", "  jazz          ",
                                     "   x.mp3        ", " AUDIO\\Music    ", "  c.mp3         "}));

    // Without the collection row everything moves up one level.
    s.collectionRow = false;
    EXPECT_EQ(ReportLines(s), (Lines{"Name       ", "-----------", "CD1        ", " loose.mp3 ",
                                     " Rock      ", "  B.mp3    ", "  a.mp3    ", " jazz      ",
                                     "  x.mp3    ", "AUDIO\\Music", " c.mp3     "}));

    // Folders alone: top-level folders at depth 1, volumes give no row.
    s.volumeRows = s.fileRows = false;
    EXPECT_EQ(ReportLines(s), (Lines{"Name", "----", "Rock", "jazz"}));

    // Collection and folders: the folders go under the collection row.
    s.collectionRow = true;
    EXPECT_EQ(ReportLines(s), (Lines{"Name            ", "----------------", "Collection c.col",
                                     " Rock           ", " jazz           "}));
}

TEST_F(ReportTest, FileRowsWithoutFolderRowsLieDirectlyUnderTheirVolume)
{
    Load(kMixed);
    ReportSettings s = NoColumns();
    s.sorting = false;
    s.folderRows = false;
    s.volumeRows = s.fileRows = true;
    EXPECT_EQ(ReportLines(s),
              (Lines{"Name       ", "-----------", "CD1        ", " loose.mp3 ", " B.mp3     ",
                     " a.mp3     ", " x.mp3     ", "AUDIO\\Music", " c.mp3     "}));

    s.volumeRows = false;
    EXPECT_EQ(ReportLines(s), (Lines{"Name     ", "---------", "loose.mp3", "B.mp3    ",
                                     "a.mp3    ", "x.mp3    ", "c.mp3    "}));
}

TEST_F(ReportTest, OnlyTheCollectionRowEndsTheReadingAfterTheCollectionNode)
{
    Load(kMixed);
    ReportSettings s;
    s.collectionRow = true;
    s.folderRows = false;
    s.columnEnabled[kDateColumn - 1] = true;
    s.columnEnabled[kFolderCountColumn - 1] = true;
    // The Volume column has no heading without folder or file rows, and no
    // value in the collection row: it is not written. Folder(s) holds the
    // volume count.
    EXPECT_EQ(ReportLines(s),
              (Lines{"Name             Mb   H:M:S    Kbps    Folder(s) Date      ",
                     "-----------------------------------------------------------",
                     "Collection c.col 8.45 00:08:20 ABR 141         2 15/03/2023"}));
    // Nodes after the collection node were never read.
    EXPECT_EQ(progress.objects, (Lines{"Object: ", "Object: "}));
}

TEST_F(ReportTest, ACollectionWithoutVolumesIsNeverAFileRow)
{
    Load(Bytes("[01]0[02]0[03]0[04]0[05]45000[06]\r\n"));
    ReportSettings s = NoColumns();
    s.folderRows = false;
    s.fileRows = true;
    EXPECT_EQ(ReportLines(s), (Lines{"Name", "----"}));
    s.collectionRow = true;
    EXPECT_EQ(ReportLines(s), (Lines{"Name            ", "----------------", "Collection c.col"}));
}

TEST_F(ReportTest, VolumeRowsShowTheWholeNameAndNoVolumeColumn)
{
    Load(kMixed);
    ReportSettings s;
    s.folderRows = false;
    s.volumeRows = true;
    s.columnEnabled.fill(true);
    // File columns and Volume have no heading and no values; Size,
    // Duration, Bit rate, the counts and Date are written. Sorted by name.
    EXPECT_EQ(ReportLines(s),
              (Lines{"Name        Mb   H:M:S    Kbps    Folder(s) File(s) Date      ",
                     "--------------------------------------------------------------",
                     "AUDIO\\Music 0.98 00:00:00 ABR 0           0       1 18/06/2020",
                     "CD1         7.47 00:06:40 ABR 156         2       4 15/03/2023"}));
}

TEST_F(ReportTest, FileRowsFillEveryFileColumn)
{
    Load(kMixed);
    ReportSettings s;
    s.folderRows = false;
    s.fileRows = true;
    s.sorting = false;
    s.columnEnabled.fill(true);
    s.columnOrder = {5, 6, 4, 3, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 1, 2};
    const Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 7u);
    // Folder(s) and File(s) have no heading with file rows alone and no
    // values in file rows: not written. Headings are text, left-aligned over
    // number columns too.
    EXPECT_EQ(lines[0], "Name      Channel mode MPEG      Hz    Kbps    Title    Artist    "
                        "Album   Track Year Comment Date       Volume Mb   H:M:S   ");
    EXPECT_EQ(lines[1], std::string(lines[0].size(), '-'));
    // Empty tag columns still take their widths, 9 + 10 + 8 + 6 + 5 + 8
    // characters between a short bit rate and the date.
    EXPECT_EQ(lines[2], "loose.mp3 Stereo       1 Layer 3 44100 CBR 80" + std::string(48, ' ') +
                            "15/03/2023 CD1    0.98 00:01:40");
    // Average 130 gives the standard rate 128; 120, between 112 and 128, the
    // lower one.
    EXPECT_EQ(lines[3], "B.mp3     Joint stereo 1 Layer 3 44100 CBR 128 Song \"B\" Band & Co "
                        "<Album> 2     1999 fine    15/03/2023 CD1    1.55 00:01:40");
    EXPECT_EQ(lines[4], "a.mp3     Mono         2 Layer 3 22050 VBR 131" + std::string(47, ' ') +
                            "15/03/2023 CD1    1.56 00:01:40");
    EXPECT_EQ(lines[5], "x.mp3     Dual channel 1 Layer 3 48000 CBR 112" + std::string(47, ' ') +
                            "15/03/2023 CD1    1.43 00:01:40");
    // A file no analyser took: duration 0 reads CBR 0, unknown codes "?".
    EXPECT_EQ(lines[6], "c.mp3     ?            ? Layer 0     0 CBR 0" + std::string(49, ' ') +
                            "18/06/2020 AUDIO  0.98 00:00:00");
}

TEST_F(ReportTest, HeadingsNeedTheirRowKinds)
{
    Load(kRock);
    ReportSettings s;
    s.columnEnabled.fill(true);
    s.folderRows = false;
    s.collectionRow = true;
    s.fileRows = true;
    s.columnOrder = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    // Every heading is present: collection rows head the counts, file rows
    // the file columns and the Volume column.
    Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Name             Mb    H:M:S    Kbps    Hz    Channel mode MPEG      "
                        "Title Artist Album Track Year Comment Folder(s) File(s) Date       "
                        "Volume");

    // Without them only Size, Duration, Bit rate and Date stay (Volume rows
    // have no Volume).
    s.fileRows = false;
    s.volumeRows = true;
    s.collectionRow = false;
    lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Name Mb    H:M:S    Kbps    Folder(s) File(s) Date      ");
    EXPECT_EQ(lines[2], "CD1  10.00 00:10:00 ABR 139         1       1 15/03/2023");
}

TEST_F(ReportTest, SortingWithFolderAndFileRowsPutsFoldersFirstIgnoringCase)
{
    Load(kMixed);
    ReportSettings s = NoColumns();
    s.fileRows = true;
    EXPECT_EQ(ReportLines(s),
              (Lines{"Name     ", "---------", "jazz     ", " x.mp3   ", "Rock     ", " a.mp3   ",
                     " B.mp3   ", "c.mp3    ", "loose.mp3"}));
}

TEST_F(ReportTest, SortingOtherwiseComparesNamesWithCase)
{
    Load(kMixed);
    ReportSettings s = NoColumns();
    // The fake locale orders capitals before small letters.
    EXPECT_EQ(ReportLines(s), (Lines{"Name", "----", "Rock", "jazz"}));

    s.folderRows = false;
    s.fileRows = true;
    EXPECT_EQ(ReportLines(s), (Lines{"Name     ", "---------", "B.mp3    ", "a.mp3    ",
                                     "c.mp3    ", "loose.mp3", "x.mp3    "}));

    // Volume rows and file rows: the files under each volume are sorted,
    // rows with children gain nothing.
    s.volumeRows = true;
    EXPECT_EQ(ReportLines(s),
              (Lines{"Name       ", "-----------", "AUDIO\\Music", " c.mp3     ", "CD1        ",
                     " B.mp3     ", " a.mp3     ", " loose.mp3 ", " x.mp3     "}));

    s.sorting = false;
    EXPECT_EQ(ReportLines(s),
              (Lines{"Name       ", "-----------", "CD1        ", " loose.mp3 ", " B.mp3     ",
                     " a.mp3     ", " x.mp3     ", "AUDIO\\Music", " c.mp3     "}));
}

TEST_F(ReportTest, SizesAndDatesUseTheLocaleSeparators)
{
    Load(kRock);
    locale.setDecimalSeparator(",");
    locale.setDateSeparator(".");
    ReportSettings s;
    s.columnEnabled[kDateColumn - 1] = true;
    const Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], "Rock 10,00 00:10:00 ABR 139 15.03.2023 CD1   ");
}

TEST_F(ReportTest, ADecimalSeparatorOfTwoBytesIsOneCharacter)
{
    Load(kRock);
    locale.setDecimalSeparator("\xC2\xB7"); // a middle dot in UTF-8
    ReportSettings s;
    s.columnEnabled[kDateColumn - 1] = true;
    const Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Name Mb    H:M:S    Kbps    Date       Volume");
    EXPECT_EQ(lines[2], "Rock 10\xC2\xB7"
                        "00 00:10:00 ABR 139 15/03/2023 CD1   ");
}

TEST_F(ReportTest, WindowsTextsBecomeUtf8AndWidthsCountCharacters)
{
    // "Öl" in UTF-8 is two characters in three bytes; "Ära" in Windows-1252
    // three characters, written as four bytes of UTF-8.
    Load(Bytes(
        "[01]0[02]0[03]1[04]2[05]45000[06]\r\n"
        "\tV[01]0[02]0[03]2[04]2[05]45000[06]7[07]\r\n"
        "\t\t\xC3\x96l[01]2048[02]60[03]0[04]1[05]\r\n"
        "\t\t\tf.mp3[01]2048[02]60[03]4410[04]1[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
        "\t\t\xC4ra[01]1024[02]60[03]0[04]1[05]\r\n"
        "\t\t\tg.mp3[01]1024[02]60[03]4410[04]1[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"));
    ReportSettings s;
    s.sorting = false;
    s.columnEnabled = {};
    s.columnEnabled[kSizeColumn - 1] = true;
    EXPECT_EQ(ReportLines(s),
              (Lines{"Name Mb  ", "---------", "\xC3\x96l   2.00", "\xC3\x84ra  1.00"}));
}

TEST_F(ReportTest, DifWritesHeadTuplesAndEnd)
{
    Load(kRock);
    ReportSettings s;
    s.format = ReportFormat::Dif;
    s.volumeRows = true;
    s.columnEnabled = {};
    s.columnEnabled[kSizeColumn - 1] = true;
    s.columnEnabled[kBitRateColumn - 1] = true;
    s.columnEnabled[kFileCountColumn - 1] = true;
    s.columnEnabled[kVolumeColumn - 1] = true;
    // Written: Name, Size, Bit rate, File count, Volume: C = 5; rows: the
    // heading, CD1 and Rock: R = 3.
    EXPECT_EQ(Report(s), "TABLE\r\n0,1\r\n\"EXCEL\"\r\nVECTORS\r\n0,5\r\n\"\"\r\nTUPLES\r\n0,3\r\n"
                         "\"\"\r\nDATA\r\n0,0\r\n\"\"\r\n-1,0\r\n"
                         "BOT\r\n1,0\r\n\"Name\"\r\n1,0\r\n\"Mb\"\r\n1,0\r\n\"Kbps\"\r\n"
                         "1,0\r\n\"File(s)\"\r\n1,0\r\n\"Volume\"\r\n-1,0\r\n"
                         "BOT\r\n1,0\r\n\"CD1\"\r\n0,10.00\r\nV\r\n1,0\r\n\"ABR 139\"\r\n"
                         "0,1\r\nV\r\n1,0\r\n\"\"\r\n-1,0\r\n"
                         "BOT\r\n1,0\r\n\"   Rock\"\r\n0,10.00\r\nV\r\n1,0\r\n\"ABR 139\"\r\n"
                         "0,1\r\nV\r\n1,0\r\n\"CD1\"\r\n-1,0\r\n"
                         "EOD\r\n");
}

TEST_F(ReportTest, LinesLongerThanABlockAndAStopWhileWritingThem)
{
    // Folder names of 10 MiB make lines longer than the blocks in which lines
    // go to the file.
    const std::string big(std::size_t{10} << 20, 'x');
    std::string text = Bytes("[01]0[02]0[03]1[04]4[05]45000[06]\r\n"
                             "\tV[01]0[02]0[03]4[04]4[05]45000[06]7[07]\r\n");
    for (const char* first : {"a", "b", "c", "d"})
        text += "\t\t" + std::string(first) + big +
                Bytes("[01]1024[02]60[03]0[04]1[05]\r\n"
                      "\t\t\tf.mp3[01]1024[02]60[03]4410[04]1[05]1[06]3[07][15][16][17][18][19]"
                      "[1A][1B]\r\n");
    Load(text);
    ReportSettings s = NoColumns();
    s.columnEnabled[kSizeColumn - 1] = true;
    const Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 6u);
    const std::string pad(big.size() + 1 - 4, ' ');
    EXPECT_EQ(lines[0], "Name" + pad + " Mb  ");
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(lines[2 + i], std::string(1, static_cast<char>('a' + i)) + big + " 1.00")
            << "line " << 2 + i;

    // Stopped after the third row of the writing pass, the file holds the
    // heading, the hyphens and three rows, though all four went to it.
    const std::string whole = ReadBytes(target);
    progress.stop = &stop;
    progress.stopPhase = "Process: Write report in file";
    progress.stopAt = 3;
    EXPECT_EQ(Run(s), ReportOutcome::StoppedWhileWriting);
    std::size_t end = 0;
    for (int line = 0; line < 5; ++line)
        end = whole.find("\r\n", end) + 2;
    EXPECT_EQ(ReadBytes(target), whole.substr(0, end));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(ReportTest, DifNumbersAreSpreadsheetNumbers)
{
    // A number cell left empty (the sample rate of a volume row) would be an
    // error cell as 0, with nothing after it: it goes out as an empty text.
    // A German locale's decimal comma would make 0,10,00: DIF numbers keep
    // the full stop, and the spreadsheet shows its own separator.
    Load(kRock);
    locale.setDecimalSeparator(",");
    ReportSettings s = NoColumns();
    s.format = ReportFormat::Dif;
    s.volumeRows = true;
    s.folderRows = false;
    s.fileRows = true;
    s.columnEnabled[kSizeColumn - 1] = true;
    s.columnEnabled[kSampleRateColumn - 1] = true;
    const std::string report = Report(s);
    EXPECT_NE(report.find("BOT\r\n1,0\r\n\"CD1\"\r\n0,10.00\r\nV\r\n1,0\r\n\"\"\r\n-1,0\r\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(report.find("0,\r\n"), std::string::npos) << report;
}

TEST_F(ReportTest, DifColumnCountLeavesOutColumnsThatAreNotWritten)
{
    Load(kMixed);
    ReportSettings s;
    s.format = ReportFormat::Dif;
    s.folderRows = false;
    s.volumeRows = true;
    s.columnEnabled.fill(true);
    // Of the 16 columns the file columns and Volume have neither heading nor
    // values: Name and 6 columns remain; 3 rows.
    const std::string report = Report(s);
    EXPECT_EQ(report.substr(0, report.find("DATA")),
              "TABLE\r\n0,1\r\n\"EXCEL\"\r\nVECTORS\r\n0,7\r\n\"\"\r\nTUPLES\r\n0,3\r\n\"\"\r\n");
}

TEST_F(ReportTest, AColumnWithoutHeadingIsWrittenWhenARowHasAValue)
{
    // The same texts, but an empty heading for Title.
    const texts::TextTable english;
    std::string pack;
    for (std::size_t n = 0; n < english.lineCount(); ++n) {
        const std::string_view line = english.line(n);
        pack += n == texts::Number(texts::TextId::TitleColumn) ? line.substr(0, 3) : line;
        pack += "\r\n";
    }
    texts = texts::TextTable::FromPackBytes(pack);
    ASSERT_EQ(texts.Text(texts::TextId::TitleColumn), "");
    ReportSettings s = NoColumns();
    s.folderRows = false;
    s.fileRows = true;
    s.columnEnabled[kTitleColumn - 1] = true;
    // The number of columns written: from the DIF head, or the heading
    // cells of an HTML table.
    const auto columns = [&](ReportFormat format) {
        s.format = format;
        const std::string report = Report(s);
        if (format == ReportFormat::Dif)
            return report.substr(report.find("VECTORS\r\n") + 9, 3);
        std::size_t cells = 0;
        for (std::size_t at = report.find("<TH"); at != std::string::npos;
             at = report.find("<TH", at + 1))
            ++cells;
        return std::to_string(cells);
    };
    // B.mp3 has a title: Name and Title are written; without titles Name
    // alone.
    Load(kMixed);
    EXPECT_EQ(columns(ReportFormat::Dif), "0,2");
    EXPECT_EQ(columns(ReportFormat::Html), "2");
    tree = CollectionTree();
    Load(kRock);
    EXPECT_EQ(columns(ReportFormat::Dif), "0,1");
    EXPECT_EQ(columns(ReportFormat::Html), "1");
}

TEST_F(ReportTest, DifDoublesQuotesInsideValues)
{
    Load(kMixed);
    ReportSettings s = NoColumns();
    s.format = ReportFormat::Dif;
    s.folderRows = false;
    s.fileRows = true;
    s.sorting = false;
    s.columnEnabled[kTitleColumn - 1] = true;
    const std::string report = Report(s);
    EXPECT_NE(report.find("BOT\r\n1,0\r\n\"B.mp3\"\r\n1,0\r\n\"Song \"\"B\"\"\"\r\n-1,0\r\n"),
              std::string::npos)
        << report;
}

TEST_F(ReportTest, HtmlRowsAreColouredByDepthAndEscaped)
{
    Load(kMixed);
    ReportSettings s = NoColumns();
    s.format = ReportFormat::Html;
    s.sorting = false;
    s.volumeRows = s.fileRows = true;
    s.columnEnabled[kSizeColumn - 1] = true;
    s.columnEnabled[kArtistColumn - 1] = true;
    s.columnEnabled[kAlbumColumn - 1] = true;
    s.columnOrder = {8, 9, 1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 15, 16};
    const Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                        "charset=utf-8\"><TITLE></TITLE></HEAD><BODY BGCOLOR=\"#EEEEEE\"><CENTER>"
                        "<TABLE RULES=cols CELLSPACING=\"0\" CELLPADDING=\"2\">");
    EXPECT_EQ(lines[1], "<TR BGCOLOR=\"#FEDCBA\"><TH ALIGN=left NOWRAP>Name</TH>"
                        "<TH ALIGN=left NOWRAP>Artist</TH><TH ALIGN=left NOWRAP>Album</TH>"
                        "<TH ALIGN=left NOWRAP>Mb</TH></TR>");
    // Volume at depth 1 (odd), file in its root at depth 2 (even).
    EXPECT_EQ(lines[2], "<TR BGCOLOR=\"#FFEDED\"><TD ALIGN=left NOWRAP>CD1</TD>"
                        "<TD ALIGN=left NOWRAP></TD><TD ALIGN=left NOWRAP></TD>"
                        "<TD ALIGN=right NOWRAP>7.47</TD></TR>");
    EXPECT_EQ(lines[3], "<TR BGCOLOR=\"#FAEBDC\"><TD ALIGN=left NOWRAP>..loose.mp3</TD>"
                        "<TD ALIGN=left NOWRAP></TD><TD ALIGN=left NOWRAP></TD>"
                        "<TD ALIGN=right NOWRAP>0.98</TD></TR>");
    // Folder at depth 2, its files at depth 3.
    EXPECT_EQ(lines[4], "<TR BGCOLOR=\"#FAEBDC\"><TD ALIGN=left NOWRAP>..Rock</TD>"
                        "<TD ALIGN=left NOWRAP></TD><TD ALIGN=left NOWRAP></TD>"
                        "<TD ALIGN=right NOWRAP>3.11</TD></TR>");
    EXPECT_EQ(lines[5], "<TR BGCOLOR=\"#FFEDED\"><TD ALIGN=left NOWRAP>....B.mp3</TD>"
                        "<TD ALIGN=left NOWRAP>Band &amp; Co</TD>"
                        "<TD ALIGN=left NOWRAP>&lt;Album&gt;</TD>"
                        "<TD ALIGN=right NOWRAP>1.55</TD></TR>");
    EXPECT_EQ(lines[11], "</TABLE></CENTER></BODY></HTML>");
}

TEST_F(ReportTest, HtmlEscapesNamesAndQuotes)
{
    Load(Bytes("[01]0[02]0[03]1[04]1[05]45000[06]\r\n"
               "\t<b>\"Best\" & more[01]0[02]0[03]1[04]1[05]45000[06]7[07]\r\n"
               "\t\tf.mp3[01]0[02]0[03]0[04]1[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"));
    ReportSettings s = NoColumns();
    s.format = ReportFormat::Html;
    s.folderRows = false;
    s.volumeRows = true;
    const Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "<TR BGCOLOR=\"#FFEDED\"><TD ALIGN=left NOWRAP>"
                        "&lt;b&gt;&quot;Best&quot; &amp; more</TD></TR>");
}

TEST_F(ReportTest, ControlBytesAreWrittenAsQuestionMarksInEveryFormat)
{
    Load(Bytes(
        "[01]0[02]0[03]1[04]1[05]45000[06]\r\n"
        "\tCD[0B]1[01]0[02]0[03]1[04]1[05]45000[06]7[07]\r\n"
        "\t\tf[1F].mp3[01]0[02]0[03]0[04]1[05]1[06]3[07][15]T[08][16][17][18][19][1A][1B]\r\n"));
    for (const ReportFormat format : {ReportFormat::Text, ReportFormat::Dif, ReportFormat::Html}) {
        ReportSettings s = NoColumns();
        s.format = format;
        s.folderRows = false;
        s.volumeRows = s.fileRows = true;
        s.columnEnabled[kTitleColumn - 1] = true;
        const std::string report = Report(s);
        EXPECT_NE(report.find("CD?1"), std::string::npos) << report;
        EXPECT_NE(report.find("f?.mp3"), std::string::npos) << report;
        EXPECT_NE(report.find("T?"), std::string::npos) << report;
        EXPECT_EQ(report.find_first_of(std::string("\0\x01\x08\x0B\x1F", 5)), std::string::npos)
            << report;
    }
}

TEST_F(ReportTest, HtmlIsUtf8AndDifWindows1252)
{
    // A folder named in Windows-1252 ("\xC4ra") and one in UTF-8 ("\xC3\x96l"
    // and a euro sign).
    Load(Bytes("[01]0[02]0[03]1[04]1[05]45000[06]\r\n"
               "\tV[01]0[02]0[03]1[04]1[05]45000[06]7[07]\r\n"
               "\t\t\xC4ra[01]0[02]0[03]0[04]1[05]\r\n"
               "\t\t\tf.mp3[01]0[02]0[03]0[04]1[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"
               "\t\t\xC3\x96l \xE2\x82\xAC \xE2\x84\xA2\xE2\x98\x83[01]0[02]0[03]0[04]1[05]\r\n"
               "\t\t\tg.mp3[01]0[02]0[03]0[04]1[05]1[06]3[07][15][16][17][18][19][1A][1B]\r\n"));
    ReportSettings s = NoColumns();
    s.sorting = false;
    s.format = ReportFormat::Html;
    Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[0].find("charset=utf-8\""), std::string::npos);
    EXPECT_EQ(lines[2], "<TR BGCOLOR=\"#FFEDED\"><TD ALIGN=left NOWRAP>\xC3\x84ra</TD></TR>");
    EXPECT_EQ(lines[3], "<TR BGCOLOR=\"#FFEDED\"><TD ALIGN=left NOWRAP>"
                        "\xC3\x96l \xE2\x82\xAC \xE2\x84\xA2\xE2\x98\x83</TD></TR>");

    // DIF has no way to say what it holds: spreadsheets read Windows-1252,
    // and what it lacks (the snowman) becomes "?".
    s.format = ReportFormat::Dif;
    lines = ReportLines(s);
    const std::string all = [&] {
        std::string joined;
        for (const std::string& line : lines)
            joined += line + "\n";
        return joined;
    }();
    EXPECT_NE(all.find("\n\"\xC4ra\"\n"), std::string::npos);
    EXPECT_NE(all.find("\n\"\xD6l \x80 \x99?\"\n"), std::string::npos);

    // Rows are sorted by the names themselves, not by what the format makes
    // of them: the snowman sorts after "Zeta" here, though "?" would not.
    tree.clear();
    Load(Bytes("[01]0[02]0[03]1[04]1[05]45000[06]\r\n"
               "\tV[01]0[02]0[03]2[04]0[05]45000[06]7[07]\r\n"
               "\t\t\xE2\x98\x83[01]0[02]0[03]0[04]0[05]\r\n"
               "\t\t\t\xE2\x98\x83[01]0[02]0[03]0[04]0[05]\r\n"
               "\t\tZeta[01]0[02]0[03]0[04]0[05]\r\n"
               "\t\t\tZeta[01]0[02]0[03]0[04]0[05]\r\n"));
    s.sorting = true;
    lines = ReportLines(s);
    const auto at = [&](std::string_view line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    EXPECT_LT(at("\"Zeta\""), at("\"?\""));
}

TEST_F(ReportTest, SelectedOnlyReportsMarkedItemsAndAlwaysTheCollectionRow)
{
    Load(kMixed);
    ReportSettings s = NoColumns();
    s.scanning = ReportScanning::SelectedOnly;
    s.format = ReportFormat::Html;
    s.sorting = false;
    s.volumeRows = s.fileRows = true;
    // Nothing marked: only head, heading row and tail.
    Lines lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], "</TABLE></CENTER></BODY></HTML>");

    // The collection row does not depend on a mark.
    s.collectionRow = true;
    lines = ReportLines(s);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "<TR BGCOLOR=\"#FFEDED\"><TD ALIGN=left NOWRAP>Collection c.col</TD></TR>");

    // Marking Rock marks the path to it and everything below it.
    const NodeId cd1 = tree.firstChild(tree.root());
    const NodeId rock = tree.nextSibling(tree.firstChild(cd1));
    for (const NodeId n : {cd1, rock, tree.firstChild(rock), tree.lastChild(rock)})
        tree.setSelected(n, true);
    s.format = ReportFormat::Text;
    s.collectionRow = false;
    EXPECT_EQ(ReportLines(s),
              (Lines{"Name   ", "-------", "CD1    ", " Rock  ", "  B.mp3", "  a.mp3"}));
}

TEST_F(ReportTest, ProgressNamesEachPhaseAndNode)
{
    Load(kRock);
    Report(ReportSettings());
    EXPECT_EQ(progress.phases, (Lines{"Process: Copy all selected objects", "Process: Sorting",
                                      "Process: Format report", "Process: Write report in file",
                                      "Process: Clear buffer"}));
    EXPECT_EQ(progress.objects,
              (Lines{"Object: ", "Object: CD1", "Object: Rock", "Object: song.mp3", "Object: "}));
    // Four nodes, then the heading and one row twice.
    EXPECT_EQ(progress.maxima, (std::vector<std::uint64_t>{3, 1, 1}));
}

} // namespace
} // namespace velmora::reports
