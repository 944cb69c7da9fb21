// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportFormats.h"

#include <gtest/gtest.h>

namespace velmora::reports {
namespace {

// A name column 8 wide, Size (a number column) 6 wide and Title (text) 5
// wide, written in the order Title, Size.
ReportLayout Layout()
{
    ReportLayout layout;
    layout.widths[0] = 8;
    layout.widths[kSizeColumn] = 6;
    layout.widths[kTitleColumn] = 5;
    layout.columns = {kTitleColumn, kSizeColumn};
    return layout;
}

CellViews Cells(std::string_view name, std::string_view title, std::string_view size)
{
    CellViews cells;
    cells[0] = name;
    cells[kTitleColumn] = title;
    cells[kSizeColumn] = size;
    return cells;
}

TEST(ReportFormats, TextAlignsNumbersRightExceptInTheHeading)
{
    const ReportLayout layout = Layout();
    EXPECT_EQ(FormatLine(ReportFormat::Text, Cells("ab", "x", "1.00"), 3, layout, false),
              "  ab     x       1.00");
    EXPECT_EQ(FormatLine(ReportFormat::Text, Cells("Name", "Title", "Mb"), 0, layout, true),
              "Name     Title Mb    ");
    // A name as wide as the column leaves no blank after it.
    EXPECT_EQ(FormatLine(ReportFormat::Text, Cells("abcdef", "", ""), 3, layout, false),
              "  abcdef             ");
}

TEST(ReportFormats, DifQuotesNamesAndTextsDoublingQuotes)
{
    const ReportLayout layout = Layout();
    EXPECT_EQ(FormatLine(ReportFormat::Dif, Cells("\"Hits\"", "a \"b\"", "1.00"), 2, layout, false),
              "BOT\r\n1,0\r\n\"   \"\"Hits\"\"\"\r\n1,0\r\n\"a \"\"b\"\"\"\r\n0,1.00\r\nV\r\n-1,0");
    EXPECT_EQ(FormatLine(ReportFormat::Dif, Cells("Name", "Title", "Mb"), 0, layout, true),
              "BOT\r\n1,0\r\n\"Name\"\r\n1,0\r\n\"Title\"\r\n1,0\r\n\"Mb\"\r\n-1,0");
    EXPECT_EQ(DifHead(3, 12), "TABLE\r\n0,1\r\n\"EXCEL\"\r\nVECTORS\r\n0,3\r\n\"\"\r\nTUPLES\r\n"
                              "0,12\r\n\"\"\r\nDATA\r\n0,0\r\n\"\"\r\n-1,0");
}

TEST(ReportFormats, HtmlEscapesHeadingsAndValues)
{
    const ReportLayout layout = Layout();
    EXPECT_EQ(FormatLine(ReportFormat::Html, Cells("Name", "<Title>", "M&b"), 0, layout, true),
              "<TR BGCOLOR=\"#FEDCBA\"><TH ALIGN=left NOWRAP>Name</TH>"
              "<TH ALIGN=left NOWRAP>&lt;Title&gt;</TH><TH ALIGN=left NOWRAP>M&amp;b</TH></TR>");
    EXPECT_EQ(FormatLine(ReportFormat::Html, Cells("a\"b", "", "1.00"), 4, layout, false),
              "<TR BGCOLOR=\"#FAEBDC\"><TD ALIGN=left NOWRAP>......a&quot;b</TD>"
              "<TD ALIGN=left NOWRAP></TD><TD ALIGN=right NOWRAP>1.00</TD></TR>");
    EXPECT_EQ(HtmlEscaped("&amp; <>\"'"), "&amp;amp; &lt;&gt;&quot;'");
}

} // namespace
} // namespace velmora::reports
