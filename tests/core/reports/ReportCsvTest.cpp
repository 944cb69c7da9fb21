// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportCsv.h"

#include "ReportTestFixture.h"
#include "reports/ReportFormats.h"

#include <gtest/gtest.h>

namespace velmora::reports {
namespace {

TEST(ReportCsv, QuotesFieldsWithCommasQuotesAndLineBreaks)
{
    ReportLayout layout;
    layout.columns = {kTitleColumn, kSizeColumn};
    CellViews cells;
    cells[0] = "Rock, Pop";
    cells[kTitleColumn] = "Say \"Hi\"";
    cells[kSizeColumn] = "1.00";
    EXPECT_EQ(FormatLine(ReportFormat::Csv, cells, 3, layout, false),
              "2,\"Rock, Pop\",\"Say \"\"Hi\"\"\",1.00");
    cells[0] = "two\r\nlines";
    cells[kTitleColumn] = "one\nmore";
    cells[kSizeColumn] = "";
    EXPECT_EQ(FormatLine(ReportFormat::Csv, cells, 1, layout, false),
              "0,\"two\r\nlines\",\"one\nmore\",");
    cells[0] = "Name";
    cells[kTitleColumn] = "Title";
    cells[kSizeColumn] = "\"";
    EXPECT_EQ(FormatLine(ReportFormat::Csv, cells, 0, layout, true), "Level,Name,Title,\"\"\"\"");
}

// Text cells that a spreadsheet would take for formulas are led by an
// apostrophe, the heading's too; number cells, even negative ones, and texts
// with the signs further in stay as they are.
TEST(ReportCsv, TextCellsThatReadAsFormulasGetAnApostrophe)
{
    ReportLayout layout;
    layout.columns = {kTitleColumn, kSizeColumn,    kArtistColumn, kAlbumColumn,
                      kYearColumn,  kCommentColumn, kTrackColumn};
    CellViews cells;
    cells[0] = "=2*21";
    cells[kTitleColumn] = "+1+2";
    cells[kSizeColumn] = "-1.00";
    cells[kArtistColumn] = "@SUM(A1)";
    cells[kAlbumColumn] = "\t=1";
    cells[kYearColumn] = "-5";
    cells[kCommentColumn] = "\r=HYPERLINK(\"x\",B2)";
    cells[kTrackColumn] = "a=b+c-d@e";
    EXPECT_EQ(FormatLine(ReportFormat::Csv, cells, 3, layout, false),
              "2,'=2*21,'+1+2,-1.00,'@SUM(A1),'\t=1,'-5,\"'\r=HYPERLINK(\"\"x\"\",B2)\","
              "a=b+c-d@e");
    cells = {};
    cells[0] = "=Name";
    cells[kSizeColumn] = "-Mb";
    EXPECT_EQ(FormatLine(ReportFormat::Csv, cells, 0, layout, true), "Level,'=Name,,'-Mb,,,,,");
}

TEST_F(ReportTest, CsvIsUtf8WithLevelsPlainNamesFullStopsAndIsoDates)
{
    // Windows-1252 names ("\xC4ra", "s\xF6ng") with commas and quotes, under
    // a locale whose decimal separator is a comma and whose dates are
    // 15.03.2023.
    Load(Bytes("[01]10240[02]600[03]1[04]1[05]45000[06]\r\n"
               "\tCD, \"one\"[01]10240[02]600[03]1[04]1[05]45000[06]7[07]\r\n"
               "\t\t\xC4ra, \"live\"[01]10240[02]600[03]0[04]1[05]\r\n"
               "\t\t\ts\xF6ng.mp3[01]10240[02]600[03]4410[04]2[05]1[06]3[07]"
               "[15]Hey, \"you\"[16][17][18][19][1A][1B]\r\n"));
    locale.setDecimalSeparator(",");
    locale.setDateSeparator(".");
    ReportSettings s = NoColumns();
    s.format = ReportFormat::Csv;
    s.collectionRow = s.volumeRows = s.folderRows = s.fileRows = true;
    for (const int column :
         {kSizeColumn, kBitRateColumn, kTitleColumn, kFileCountColumn, kDateColumn, kVolumeColumn})
        s.columnEnabled[static_cast<std::size_t>(column - 1)] = true;
    EXPECT_EQ(Report(s),
              "Level,Name,Mb,Kbps,File(s),Date,Volume,Title\r\n"
              "0,Collection c.col,10.00,ABR 139,1,2023-03-15,,\r\n"
              "1,\"CD, \"\"one\"\"\",10.00,ABR 139,1,2023-03-15,,\r\n"
              "2,\"\xC3\x84ra, \"\"live\"\"\",10.00,ABR 139,1,2023-03-15,\"CD, \"\"one\"\"\",\r\n"
              "3,s\xC3\xB6ng.mp3,10.00,CBR 128,,2023-03-15,\"CD, \"\"one\"\"\","
              "\"Hey, \"\"you\"\"\"\r\n");
}

} // namespace
} // namespace velmora::reports
