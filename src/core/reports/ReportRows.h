// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/ReportSettings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {
class Locale;
}

namespace velmora::reports {

/// Cells of a row: the name (cell 0) and one per column id.
inline constexpr std::size_t kCellCount = kColumnCount + 1;

/// Text columns are left-aligned; number columns are right-aligned in the
/// text and HTML formats and written as numeric values in DIF.
enum class ColumnClass { Text, Number };

/// One row of a report: depth 0 for the heading row, 1 and more for data
/// rows; cell 0 the name, cell k the value of column id k (empty when the
/// column is off or not filled for the row's kind). Cells are node bytes.
struct ReportRow {
    std::uint32_t depth = 0;
    std::array<std::string, kCellCount> cells;
};

/// The cells of a row as views, valid while the row they show exists.
using CellViews = std::array<std::string_view, kCellCount>;
CellViews ViewsOf(const ReportRow& row);

/// The class of each column, by column id - 1: Size, Duration, Sample rate
/// and the two counts are numbers.
inline constexpr std::array<ColumnClass, kColumnCount> kColumnClasses = {
    ColumnClass::Number, ColumnClass::Number, ColumnClass::Text, ColumnClass::Number,
    ColumnClass::Text,   ColumnClass::Text,   ColumnClass::Text, ColumnClass::Text,
    ColumnClass::Text,   ColumnClass::Text,   ColumnClass::Text, ColumnClass::Text,
    ColumnClass::Number, ColumnClass::Number, ColumnClass::Text, ColumnClass::Text,
};

/// Text for ids outside 1 to 16.
inline ColumnClass ClassOf(int columnId)
{
    if (columnId < 1 || columnId > kColumnCount)
        return ColumnClass::Text;
    return kColumnClasses[static_cast<std::size_t>(columnId - 1)];
}

/// Kilobytes as megabytes with two decimals, a 5 in the third decimal
/// rounding up, and the given decimal separator: 128 gives "0.13", 3921
/// gives "3.83".
std::string SizeText(std::int64_t sizeKB, std::string_view decimalSeparator);

/// The heading row of a report: cell 0 NameColumn "Name", cell k the heading
/// of column k when the column is on and its condition holds (Size,
/// Duration, Bit rate and Date always; the file columns with file rows; the
/// two counts with collection, volume or folder rows; Volume with folder or
/// file rows), else empty.
ReportRow HeadingRow(const ReportSettings& settings, const texts::TextTable& table);

/// The length of a cell in characters: UTF-8 code points when the bytes are
/// valid UTF-8, bytes otherwise (Windows-1252 texts).
std::size_t TextLength(std::string_view text);

/// The width of each cell index in characters.
using ColumnWidths = std::array<std::size_t, kCellCount>;

/// The length of each cell of a row in characters.
using CellLengths = std::array<std::size_t, kCellCount>;
CellLengths LengthsOf(const CellViews& cells);

/// Widths from the heading row: the length of each heading cell.
ColumnWidths HeadingWidths(const ReportRow& heading);

/// Raises the widths to a data row's cells: width k (k >= 1) to the length of
/// cell k, width 0 to the length of the name plus depth - 1.
void RaiseWidths(ColumnWidths& widths, const CellLengths& lengths, std::uint32_t depth);
void RaiseWidths(ColumnWidths& widths, const ReportRow& row);

/// The columns to write, in the settings' order: those that are on and whose
/// width is greater than 0.
std::vector<int> WrittenColumns(const ReportSettings& settings, const ColumnWidths& widths);

/// How siblings are ordered.
enum class SortRule {
    /// Rows with children before rows without, each group by name compared
    /// case-insensitively by the locale (the collection's own order); used
    /// when folder and file rows are both on.
    FoldersFirst,
    /// By name compared by the locale with case (Locale::compare).
    ByName,
};
SortRule SortRuleFor(const ReportSettings& settings);

/// The rows of one report as a tree: the heading row is the root, and a data
/// row of depth d is the last child of the row most recently added at depth
/// d - 1. Nothing here recurses: rows of any depth are added, sorted and
/// walked with loops.
///
/// A row keeps its depth, its name (for sorting) and where its cells come
/// from, not the cells themselves: the report fills them again from the
/// collection when it formats the row, which costs less than keeping them.
/// About forty bytes a row.
class ReportRowTree {
public:
    using Index = std::uint32_t;
    static constexpr Index kNone = 0xFFFFFFFFu;

    /// Where a row's cells come from; the tree only keeps it.
    struct Source {
        std::uint32_t node;
        std::uint32_t volume;
    };

    /// Drops every row and releases the memory.
    void clear();
    /// Number of rows, the heading included.
    std::size_t size() const { return rows_.size(); }

    /// Makes room for `rows` rows in all.
    void reserve(std::size_t rows) { rows_.reserve(rows); }

    /// Drops every row and makes a heading row named `name` the root, at
    /// depth 0. Names are not copied: their bytes must stay until clear().
    void setHeading(std::string_view name);

    /// Adds a data row (depth 1 or more) under the row most recently added at
    /// depth - 1. When none was added at that depth (a gap in the marks of a
    /// "Selected only" report) it goes under the most recent row of the
    /// nearest smaller depth, the heading at worst; its own depth stays.
    /// Needs a heading.
    void add(std::uint32_t depth, std::string_view name, Source source = {});

    std::uint32_t depth(Index index) const { return rows_[index].depth; }
    std::string_view name(Index index) const
    {
        return std::string_view(rows_[index].name, rows_[index].nameSize);
    }
    Source source(Index index) const { return rows_[index].source; }
    /// Asks the processor to fetch the row into the cache.
    void prefetch(Index index) const { __builtin_prefetch(&rows_[index]); }
    bool hasChildren(Index index) const { return rows_[index].firstChild != kNone; }

    /// Orders the children of every row by the rule; rows that compare equal
    /// keep their order. Depths and parents stay.
    void sort(SortRule rule, const Locale& locale);

    /// The rows in output order: the heading, then pre-order.
    std::vector<Index> preOrder() const;

private:
    struct Row {
        const char* name = nullptr;
        std::uint32_t nameSize = 0;
        std::uint32_t depth = 0;
        Source source{};
        Index parent = kNone;
        Index firstChild = kNone;
        Index lastChild = kNone;
        Index nextSibling = kNone;
    };

    std::vector<Row> rows_;
    /// The most recent row at each depth; kNone where none was added.
    std::vector<Index> lastAtDepth_;
    /// After sort(): every row's children in order, row by row, row r's
    /// from sortedChildren_[childrenAt_[r]] to before childrenAt_[r + 1].
    /// The walk of preOrder() then reads arrays instead of following the
    /// sibling links from one place of memory to another.
    std::vector<Index> sortedChildren_;
    std::vector<std::uint32_t> childrenAt_;
};

} // namespace velmora::reports
