// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/ReportRows.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::reports {

// The lines of the three report formats. Each function returns one output
// block without its final CR LF, which the writer adds; cells go out as the
// bytes they are, except where a format needs escaping (below).

/// What every line of one report shares.
struct ReportLayout {
    ColumnWidths widths{};
    /// The written column ids in order (see WrittenColumns()).
    std::vector<int> columns;
};

/// A row's cells as one line of the report, for a data row at `depth` (1 or
/// more). The heading row is written as a row of depth 1 whose cells are all
/// text; `heading` says that the cells are its.
///
/// Text: d - 1 blanks, the name, and blanks up to width 0; then per column a
/// blank, the value and blanks up to the column's width for text columns, or
/// the blanks first and then the value for number columns. Lengths count
/// characters (TextLength()).
///
/// DIF: a tuple, lines joined by CR LF: BOT, 1,0, the name in double quotes
/// after (d - 1) * 3 blanks; per column 1,0 and the value in double quotes
/// (text) or 0,value and V (number; an empty number cell is written as an
/// empty text); last -1,0. A double quote inside a quoted value is doubled.
///
/// HTML: one TR element, TH cells on "#FEDCBA" for the heading, TD cells on
/// "#FAEBDC" (even depth) or "#FFEDED" (odd depth) otherwise; the name after
/// (d - 1) * 2 full stops; number cells aligned right. &, <, > and " in
/// values are written as character references.
///
/// CSV: one record, see AppendCsvRecord() (ReportCsv.h).
std::string FormatLine(ReportFormat format, const CellViews& cells, std::uint32_t depth,
                       const ReportLayout& layout, bool heading);
/// FormatLine() appended to `out`.
void AppendLine(std::string& out, ReportFormat format, const CellViews& cells, std::uint32_t depth,
                const ReportLayout& layout, bool heading);
/// The same with the cells' lengths in characters known (LengthsOf()).
void AppendLine(std::string& out, ReportFormat format, const CellViews& cells,
                const CellLengths& lengths, std::uint32_t depth, const ReportLayout& layout,
                bool heading);

/// The DIF head: 13 lines joined by CR LF, declaring `columns` columns (the
/// name column included) and `rows` rows (the heading included).
std::string DifHead(std::size_t columns, std::size_t rows);

/// The HTML head, up to the opening TABLE tag, with the declaration of the
/// character set utf-8.
inline constexpr std::string_view kHtmlHead =
    "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">"
    "<TITLE></TITLE></HEAD><BODY BGCOLOR=\"#EEEEEE\"><CENTER>"
    "<TABLE RULES=cols CELLSPACING=\"0\" CELLPADDING=\"2\">";

inline constexpr std::string_view kDifTail = "EOD";
inline constexpr std::string_view kHtmlTail = "</TABLE></CENTER></BODY></HTML>";

/// The text with &, <, > and " replaced by &amp;, &lt;, &gt; and &quot;.
std::string HtmlEscaped(std::string_view text);
void AppendHtmlEscaped(std::string& out, std::string_view text);

} // namespace velmora::reports
