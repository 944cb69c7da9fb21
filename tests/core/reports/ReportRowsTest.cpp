// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportRows.h"

#include "platform/fakes/FakeLocale.h"
#include "texts/TextTable.h"

#include <gtest/gtest.h>

namespace velmora::reports {
namespace {

using Names = std::vector<std::string>;

TEST(ReportCells, SizesInMegabytesRoundAHalfUp)
{
    EXPECT_EQ(SizeText(128, "."), "0.13");  // 0.125
    EXPECT_EQ(SizeText(3921, "."), "3.83"); // 3.8291
    EXPECT_EQ(SizeText(10240, "."), "10.00");
    EXPECT_EQ(SizeText(0, "."), "0.00");
    EXPECT_EQ(SizeText(1023, "."), "1.00"); // 0.999 rounds into the next whole
    EXPECT_EQ(SizeText(1029, ","), "1,00"); // 1.0049
    EXPECT_EQ(SizeText(1030, ","), "1,01"); // 1.0059
    EXPECT_EQ(SizeText(-128, "."), "-0.13");
    EXPECT_EQ(SizeText(9223372036854775807, "."), "9007199254740992.00");
}

TEST(ReportCells, LengthsCountCharacters)
{
    EXPECT_EQ(TextLength(""), 0u);
    EXPECT_EQ(TextLength("Rock"), 4u);
    EXPECT_EQ(TextLength("\xC3\x96l"), 2u);        // "Öl" in UTF-8
    EXPECT_EQ(TextLength("\xE2\x82\xAC 5"), 3u);   // "€ 5" in UTF-8
    EXPECT_EQ(TextLength("\xF0\x9F\x8E\xB5"), 1u); // one character of four bytes
    EXPECT_EQ(TextLength("\xC4ra"), 3u);           // "Ära" in Windows-1252
    EXPECT_EQ(TextLength("\x80 5 \xC3\x96"), 6u);  // not UTF-8 as a whole: bytes
}

TEST(ReportCells, HeadingsByRowKinds)
{
    const texts::TextTable table;
    ReportSettings s;
    s.columnEnabled.fill(true);
    const auto headings = [&] {
        const ReportRow row = HeadingRow(s, table);
        return Names(row.cells.begin(), row.cells.end());
    };
    // Folder rows: sizes, counts, date and volume.
    EXPECT_EQ(headings(), (Names{"Name", "Mb", "H:M:S", "Kbps", "", "", "", "", "", "", "", "", "",
                                 "Folder(s)", "File(s)", "Date", "Volume"}));
    s.folderRows = false;
    s.fileRows = true;
    EXPECT_EQ(headings(),
              (Names{"Name", "Mb", "H:M:S", "Kbps", "Hz", "Channel mode", "MPEG", "Title", "Artist",
                     "Album", "Track", "Year", "Comment", "", "", "Date", "Volume"}));
    s.fileRows = false;
    s.collectionRow = true;
    EXPECT_EQ(headings(), (Names{"Name", "Mb", "H:M:S", "Kbps", "", "", "", "", "", "", "", "", "",
                                 "Folder(s)", "File(s)", "Date", ""}));
    // A column that is off has no heading.
    s.columnEnabled[kDurationColumn - 1] = false;
    s.columnEnabled[kFileCountColumn - 1] = false;
    EXPECT_EQ(headings(), (Names{"Name", "Mb", "", "Kbps", "", "", "", "", "", "", "", "", "",
                                 "Folder(s)", "", "Date", ""}));
}

TEST(ReportCells, WidthsAndWrittenColumns)
{
    ReportRow heading;
    heading.cells[0] = "Name";
    heading.cells[kSizeColumn] = "Mb";
    ColumnWidths widths = HeadingWidths(heading);
    ReportRow row;
    row.depth = 3;
    row.cells[0] = "ab";
    row.cells[kSizeColumn] = "10.00";
    row.cells[kDateColumn] = "\xC3\x96";
    RaiseWidths(widths, row);
    EXPECT_EQ(widths[0], 4u);
    row.depth = 4;
    RaiseWidths(widths, row);
    EXPECT_EQ(widths[0], 5u); // name plus depth - 1
    EXPECT_EQ(widths[kSizeColumn], 5u);
    EXPECT_EQ(widths[kDateColumn], 1u);

    ReportSettings s;
    s.columnEnabled.fill(true);
    s.columnOrder = {15, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 1, 16};
    EXPECT_EQ(WrittenColumns(s, widths), (std::vector<int>{15, 1}));
    s.columnEnabled[kDateColumn - 1] = false;
    EXPECT_EQ(WrittenColumns(s, widths), (std::vector<int>{1}));
}

Names InOrder(const ReportRowTree& rows)
{
    Names names;
    for (const ReportRowTree::Index i : rows.preOrder())
        names.push_back(std::to_string(rows.depth(i)) + std::string(rows.name(i)));
    return names;
}

TEST(ReportRowTree, RowsGoUnderTheLastRowOneLevelUp)
{
    ReportRowTree rows;
    rows.setHeading("Name");
    for (const auto& [depth, name] : std::vector<std::pair<std::uint32_t, const char*>>{
             {1, "b"}, {2, "y"}, {2, "X"}, {1, "a"}, {2, "z"}, {3, "c"}})
        rows.add(depth, name);
    EXPECT_EQ(rows.size(), 7u);
    EXPECT_EQ(InOrder(rows), (Names{"0Name", "1b", "2y", "2X", "1a", "2z", "3c"}));

    const fakes::FakeLocale locale;
    rows.sort(SortRule::ByName, locale);
    EXPECT_EQ(InOrder(rows), (Names{"0Name", "1a", "2z", "3c", "1b", "2X", "2y"}));
    rows.sort(SortRule::FoldersFirst, locale);
    EXPECT_EQ(InOrder(rows), (Names{"0Name", "1a", "2z", "3c", "1b", "2X", "2y"}));
}

TEST(ReportRowTree, SourcesStayWithTheirRowsThroughASort)
{
    ReportRowTree rows;
    rows.setHeading("Name");
    rows.add(1, "b", {10, 1});
    rows.add(2, "d", {11, 1});
    rows.add(2, "c", {12, 1});
    rows.add(1, "a", {20, 2});
    const fakes::FakeLocale locale;
    rows.sort(SortRule::ByName, locale);
    std::vector<std::uint32_t> nodes;
    for (const ReportRowTree::Index i : rows.preOrder())
        nodes.push_back(rows.source(i).node * 10 + rows.source(i).volume);
    EXPECT_EQ(nodes, (std::vector<std::uint32_t>{0, 202, 101, 121, 111}));
    EXPECT_TRUE(rows.hasChildren(1));
    EXPECT_FALSE(rows.hasChildren(4));
}

TEST(ReportRowTree, FoldersFirstThenNamesIgnoringCaseKeepingEqualOnes)
{
    ReportRowTree rows;
    rows.setHeading("Name");
    for (const auto& [depth, name] :
         std::vector<std::pair<std::uint32_t, const char*>>{{1, "b.mp3"},
                                                            {1, "B.MP3"},
                                                            {1, "Zeta"},
                                                            {2, "f"},
                                                            {1, "alpha"},
                                                            {2, "g"},
                                                            {1, "A.mp3"}})
        rows.add(depth, name);
    const fakes::FakeLocale locale;
    rows.sort(SortRule::FoldersFirst, locale);
    EXPECT_EQ(InOrder(rows),
              (Names{"0Name", "1alpha", "2g", "1Zeta", "2f", "1A.mp3", "1b.mp3", "1B.MP3"}));
    rows.sort(SortRule::ByName, locale);
    EXPECT_EQ(InOrder(rows),
              (Names{"0Name", "1A.mp3", "1B.MP3", "1Zeta", "2f", "1alpha", "2g", "1b.mp3"}));
}

TEST(ReportRowTree, ARowWithoutARowOneLevelUpGoesUnderTheNearestShallowerOne)
{
    ReportRowTree rows;
    rows.setHeading("Name");
    rows.add(3, "deep");
    rows.add(1, "a");
    rows.add(3, "e");
    EXPECT_EQ(InOrder(rows), (Names{"0Name", "3deep", "1a", "3e"}));
    const fakes::FakeLocale locale;
    rows.sort(SortRule::ByName, locale);
    EXPECT_EQ(InOrder(rows), (Names{"0Name", "1a", "3e", "3deep"}));
}

TEST(ReportRowTree, AHundredThousandLevels)
{
    // Every level holds a file row "a" after its folder row "b", so sorting
    // changes every level.
    constexpr std::uint32_t kDepth = 100000;
    ReportRowTree rows;
    rows.setHeading("Name");
    for (std::uint32_t d = 1; d <= kDepth; ++d)
        rows.add(d, "b");
    for (std::uint32_t d = kDepth; d >= 1; --d)
        rows.add(d, "a");
    const fakes::FakeLocale locale;
    rows.sort(SortRule::ByName, locale);
    std::vector<ReportRowTree::Index> order = rows.preOrder();
    ASSERT_EQ(order.size(), 2 * kDepth + 1);
    // Each level's "a" comes first: a at depth 1, then b, then a at depth 2
    // below it, and so on.
    for (std::uint32_t d = 1; d <= kDepth; ++d) {
        ASSERT_EQ(rows.name(order[2 * d - 1]), "a");
        ASSERT_EQ(rows.depth(order[2 * d - 1]), d);
        ASSERT_EQ(rows.depth(order[2 * d]), d);
    }
    // Folders first: the chain of "b" down to the deepest level, where
    // neither row has children, then the "a" rows from the deepest up.
    rows.sort(SortRule::FoldersFirst, locale);
    order = rows.preOrder();
    EXPECT_EQ(rows.name(order[kDepth - 1]), "b");
    EXPECT_EQ(rows.depth(order[kDepth - 1]), kDepth - 1);
    EXPECT_EQ(rows.name(order[kDepth]), "a");
    EXPECT_EQ(rows.depth(order[kDepth]), kDepth);
    EXPECT_EQ(rows.name(order[kDepth + 1]), "b");
    EXPECT_EQ(rows.depth(order.back()), 1u);
    rows.clear();
    EXPECT_EQ(rows.size(), 0u);
    EXPECT_TRUE(rows.preOrder().empty());
}

} // namespace
} // namespace velmora::reports
