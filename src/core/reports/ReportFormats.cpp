// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportFormats.h"

#include "reports/ReportCsv.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace velmora::reports {

namespace {

std::int64_t Signed(std::size_t n)
{
    return static_cast<std::int64_t>(n);
}

// The number of blanks for a count that may come out negative.
std::size_t Blanks(std::int64_t count)
{
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

// Copies the bytes to `at` and returns where they end. Most pieces of a
// line are a few bytes long, for which a call of memcpy() costs more than
// the copy: up to 32 bytes go as two overlapping blocks of a fixed size.
inline char* Copy(char* at, std::string_view bytes)
{
    const char* from = bytes.data();
    const std::size_t n = bytes.size();
    const auto blocks = [&](auto block) {
        constexpr std::size_t kSize = sizeof block;
        std::memcpy(&block, from, kSize);
        std::memcpy(at, &block, kSize);
        std::memcpy(&block, from + n - kSize, kSize);
        std::memcpy(at + n - kSize, &block, kSize);
    };
    struct Sixteen {
        std::uint64_t a, b;
    };
    if (n > 32)
        std::memcpy(at, from, n);
    else if (n >= 16)
        blocks(Sixteen{});
    else if (n >= 8)
        blocks(std::uint64_t{});
    else if (n >= 4)
        blocks(std::uint32_t{});
    else
        for (std::size_t i = 0; i < n; ++i)
            at[i] = from[i];
    return at + n;
}

bool IsNumber(int column, bool heading)
{
    return !heading && ClassOf(column) == ColumnClass::Number;
}

// The line is laid out in blanks of its full length first, and the name and
// the values are then copied into their places.
void AppendTextLine(std::string& line, const CellViews& cells, const CellLengths& lengths,
                    std::uint32_t depth, const ReportLayout& layout, bool heading)
{
    const std::string_view name = cells[0];
    const std::size_t indent = depth - 1;
    const std::size_t namePad =
        Blanks(Signed(layout.widths[0]) - Signed(lengths[0]) - Signed(depth) + 1);
    // Each written column's blanks, by its place in the line.
    std::array<std::size_t, kCellCount> pads{};
    const std::size_t count = std::min(layout.columns.size(), pads.size());
    std::size_t size = indent + name.size() + namePad;
    for (std::size_t i = 0; i < count; ++i) {
        const auto k = static_cast<std::size_t>(layout.columns[i]);
        pads[i] = Blanks(Signed(layout.widths[k]) - Signed(lengths[k]));
        size += 1 + cells[k].size() + pads[i];
    }
    const std::size_t start = line.size();
    line.append(size, ' ');
    char* at = line.data() + start + indent;
    at = Copy(at, name) + namePad;
    for (std::size_t i = 0; i < count; ++i) {
        const int column = layout.columns[i];
        const std::string_view value = cells[static_cast<std::size_t>(column)];
        if (IsNumber(column, heading)) {
            at = Copy(at + pads[i] + 1, value);
        } else {
            at = Copy(at + 1, value) + pads[i];
        }
    }
}

// Every line below is measured first, then laid out in place in that many
// bytes added to the output at once.

// Whether any byte of the text is one of the given ones, eight bytes at a
// time: a byte b of the text is one of them when (b | spread) == target.
// With the spreads 4 and 2 and the targets 0x26 and 0x3E, that finds
// double quotes and ampersands, and less-than and greater-than signs;
// with the spread 0 and the target 0x22 double quotes alone.
template <unsigned char Spread1, unsigned char Target1, unsigned char Spread2,
          unsigned char Target2>
bool HasAny(std::string_view text)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    // Nonzero exactly when some byte of v is zero.
    const auto hasZero = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    const char* at = text.data();
    std::size_t left = text.size();
    for (; left >= 8; at += 8, left -= 8) {
        std::uint64_t v = 0;
        std::memcpy(&v, at, 8);
        if (hasZero((v | kOnes * Spread1) ^ kOnes * Target1) |
            hasZero((v | kOnes * Spread2) ^ kOnes * Target2))
            return true;
    }
    bool found = false;
    for (; left > 0; ++at, --left) {
        const auto byte = static_cast<unsigned char>(*at);
        found |= (byte | Spread1) == Target1 || (byte | Spread2) == Target2;
    }
    return found;
}

// The number of double quotes in a value.
std::size_t Quotes(std::string_view value)
{
    if (!HasAny<0, '"', 0, '"'>(value))
        return 0;
    return static_cast<std::size_t>(std::count(value.begin(), value.end(), '"'));
}

// A DIF string value: the bytes between double quotes, each double quote
// inside written twice so that readers do not take it for the end. `quotes`
// is the number of double quotes in the value.
char* CopyDifString(char* at, std::size_t indent, std::string_view value, std::size_t quotes)
{
    *at++ = '"';
    std::memset(at, ' ', indent);
    at += indent;
    if (quotes == 0) {
        at = Copy(at, value);
    } else {
        for (const char c : value) {
            *at++ = c;
            if (c == '"')
                *at++ = '"';
        }
    }
    *at++ = '"';
    return at;
}

constexpr std::string_view kDifBegin = "BOT\r\n1,0\r\n";
constexpr std::string_view kDifNumber = "\r\n0,";
constexpr std::string_view kDifNumberEnd = "\r\nV";
constexpr std::string_view kDifString = "\r\n1,0\r\n";
constexpr std::string_view kDifEnd = "\r\n-1,0";

void AppendDifTuple(std::string& tuple, const CellViews& cells, std::uint32_t depth,
                    const ReportLayout& layout, bool heading)
{
    const std::size_t indent = (depth - 1) * 3;
    // Per cell: the double quotes in a string, or none for a number.
    std::array<std::size_t, kCellCount> quotes{};
    std::array<bool, kCellCount> number{};
    quotes[0] = Quotes(cells[0]);
    std::size_t size = kDifBegin.size() + indent + cells[0].size() + quotes[0] + 2;
    for (const int column : layout.columns) {
        const auto k = static_cast<std::size_t>(column);
        const std::string_view value = cells[k];
        // A number tuple without a number is an error cell to spreadsheets;
        // an empty cell is an empty string.
        number[k] = IsNumber(column, heading) && !value.empty();
        if (number[k]) {
            size += kDifNumber.size() + value.size() + kDifNumberEnd.size();
        } else {
            quotes[k] = Quotes(value);
            size += kDifString.size() + value.size() + quotes[k] + 2;
        }
    }
    size += kDifEnd.size();
    const std::size_t start = tuple.size();
    tuple.append(size, ' ');
    char* at = Copy(tuple.data() + start, kDifBegin);
    at = CopyDifString(at, indent, cells[0], quotes[0]);
    for (const int column : layout.columns) {
        const auto k = static_cast<std::size_t>(column);
        if (number[k]) {
            at = Copy(Copy(Copy(at, kDifNumber), cells[k]), kDifNumberEnd);
        } else {
            at = CopyDifString(Copy(at, kDifString), 0, cells[k], quotes[k]);
        }
    }
    Copy(at, kDifEnd);
}

// The bytes the character references add to a value: &amp; 4, &lt; and
// &gt; 3, &quot; 5.
std::size_t HtmlExtra(std::string_view text)
{
    if (!HasAny<4, '&', 2, '>'>(text))
        return 0;
    std::size_t extra = 0;
    for (const char c : text) {
        extra += static_cast<std::size_t>(c == '&') * 4 + static_cast<std::size_t>(c == '<') * 3 +
                 static_cast<std::size_t>(c == '>') * 3 + static_cast<std::size_t>(c == '"') * 5;
    }
    return extra;
}

char* CopyHtmlEscaped(char* at, std::string_view text, std::size_t extra)
{
    if (extra == 0)
        return Copy(at, text);
    for (const char c : text) {
        switch (c) {
        case '&':
            at = Copy(at, "&amp;");
            break;
        case '<':
            at = Copy(at, "&lt;");
            break;
        case '>':
            at = Copy(at, "&gt;");
            break;
        case '"':
            at = Copy(at, "&quot;");
            break;
        default:
            *at++ = c;
        }
    }
    return at;
}

// The opening of a cell: its tag and its alignment.
std::string_view CellOpening(bool heading, bool right)
{
    if (heading)
        return right ? "<TH ALIGN=right NOWRAP>" : "<TH ALIGN=left NOWRAP>";
    return right ? "<TD ALIGN=right NOWRAP>" : "<TD ALIGN=left NOWRAP>";
}

void AppendHtmlRow(std::string& html, const CellViews& cells, std::uint32_t depth,
                   const ReportLayout& layout, bool heading)
{
    const std::string_view row = heading          ? "<TR BGCOLOR=\"#FEDCBA\">"
                                 : depth % 2 == 0 ? "<TR BGCOLOR=\"#FAEBDC\">"
                                                  : "<TR BGCOLOR=\"#FFEDED\">";
    const std::string_view close = heading ? "</TH>" : "</TD>";
    constexpr std::string_view kRowEnd = "</TR>";
    const std::size_t stops = (depth - 1) * 2;
    std::array<std::size_t, kCellCount> extra{};
    extra[0] = HtmlExtra(cells[0]);
    std::size_t size = row.size() + CellOpening(heading, false).size() + stops + cells[0].size() +
                       extra[0] + close.size();
    for (const int column : layout.columns) {
        const auto k = static_cast<std::size_t>(column);
        extra[k] = HtmlExtra(cells[k]);
        size += CellOpening(heading, IsNumber(column, heading)).size() + cells[k].size() +
                extra[k] + close.size();
    }
    size += kRowEnd.size();
    const std::size_t start = html.size();
    // Full stops, of which the name's indentation is made.
    html.append(size, '.');
    char* at = Copy(html.data() + start, row);
    at = Copy(at, CellOpening(heading, false)) + stops;
    at = Copy(CopyHtmlEscaped(at, cells[0], extra[0]), close);
    for (const int column : layout.columns) {
        const auto k = static_cast<std::size_t>(column);
        at = Copy(at, CellOpening(heading, IsNumber(column, heading)));
        at = Copy(CopyHtmlEscaped(at, cells[k], extra[k]), close);
    }
    Copy(at, kRowEnd);
}

} // namespace

void AppendLine(std::string& out, ReportFormat format, const CellViews& cells, std::uint32_t depth,
                const ReportLayout& layout, bool heading)
{
    AppendLine(out, format, cells, LengthsOf(cells), depth, layout, heading);
}

void AppendLine(std::string& out, ReportFormat format, const CellViews& cells,
                const CellLengths& lengths, std::uint32_t depth, const ReportLayout& layout,
                bool heading)
{
    const std::uint32_t d = heading ? 1 : std::max<std::uint32_t>(depth, 1);
    switch (format) {
    case ReportFormat::Text:
        AppendTextLine(out, cells, lengths, d, layout, heading);
        break;
    case ReportFormat::Dif:
        AppendDifTuple(out, cells, d, layout, heading);
        break;
    case ReportFormat::Html:
        AppendHtmlRow(out, cells, d, layout, heading);
        break;
    case ReportFormat::Csv:
        AppendCsvRecord(out, cells, d, layout, heading);
        break;
    }
}

std::string FormatLine(ReportFormat format, const CellViews& cells, std::uint32_t depth,
                       const ReportLayout& layout, bool heading)
{
    std::string line;
    AppendLine(line, format, cells, depth, layout, heading);
    return line;
}

std::string DifHead(std::size_t columns, std::size_t rows)
{
    std::string head = "TABLE\r\n0,1\r\n\"EXCEL\"\r\nVECTORS\r\n0,";
    head += std::to_string(columns);
    head += "\r\n\"\"\r\nTUPLES\r\n0,";
    head += std::to_string(rows);
    head += "\r\n\"\"\r\nDATA\r\n0,0\r\n\"\"\r\n-1,0";
    return head;
}

void AppendHtmlEscaped(std::string& out, std::string_view text)
{
    const std::size_t extra = HtmlExtra(text);
    const std::size_t start = out.size();
    out.append(text.size() + extra, ' ');
    CopyHtmlEscaped(out.data() + start, text, extra);
}

std::string HtmlEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendHtmlEscaped(out, text);
    return out;
}

} // namespace velmora::reports
