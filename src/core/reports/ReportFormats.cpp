#include "reports/ReportFormats.h"

#include "reports/ReportCsv.h"

#include <algorithm>
#include <cstdint>

namespace velmora::reports {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Blanks for a count that may come out negative, which means none.
void AppendBlanks(std::string& out, std::int64_t count)
{
    if (count > 0)
        out.append(static_cast<std::size_t>(count), ' ');
}

std::int64_t Signed(std::size_t n)
{
    return static_cast<std::int64_t>(n);
}

bool IsNumber(int column, bool heading)
{
    return !heading && ClassOf(column) == ColumnClass::Number;
}

void AppendTextLine(std::string& line, const CellViews& cells, const CellLengths& lengths,
                    std::uint32_t depth, const ReportLayout& layout, bool heading)
{
    const std::string_view name = cells[0];
    AppendBlanks(line, Signed(depth) - 1);
    line += name;
    AppendBlanks(line, Signed(layout.widths[0]) - Signed(lengths[0]) - Signed(depth) + 1);
    for (const int column : layout.columns) {
        const auto k = static_cast<std::size_t>(column);
        const std::string_view value = cells[k];
        const std::int64_t pad = Signed(layout.widths[k]) - Signed(lengths[k]);
        if (IsNumber(column, heading)) {
            AppendBlanks(line, pad + 1);
            line += value;
        } else {
            line += ' ';
            line += value;
            AppendBlanks(line, pad);
        }
    }
}

// A DIF string value: the bytes between double quotes, each double quote
// inside written twice so that readers do not take it for the end.
void AppendDifString(std::string& out, std::size_t indent, std::string_view value)
{
    out += '"';
    out.append(indent, ' ');
    for (std::size_t quote = value.find('"'); quote != std::string_view::npos;
         quote = value.find('"')) {
        out += value.substr(0, quote + 1);
        out += '"';
        value.remove_prefix(quote + 1);
    }
    out += value;
    out += '"';
}

void AppendDifTuple(std::string& tuple, const CellViews& cells, std::uint32_t depth,
                    const ReportLayout& layout, bool heading)
{
    tuple += "BOT\r\n1,0\r\n";
    AppendDifString(tuple, (depth - 1) * 3, cells[0]);
    for (const int column : layout.columns) {
        const std::string_view value = cells[static_cast<std::size_t>(column)];
        tuple += kCrLf;
        // A number tuple without a number is an error cell to spreadsheets;
        // an empty cell is an empty string.
        if (IsNumber(column, heading) && !value.empty()) {
            tuple += "0,";
            tuple += value;
            tuple += "\r\nV";
        } else {
            tuple += "1,0\r\n";
            AppendDifString(tuple, 0, value);
        }
    }
    tuple += "\r\n-1,0";
}

void AppendHtmlCell(std::string& out, std::string_view tag, bool right, std::size_t stops,
                    std::string_view value)
{
    out += '<';
    out += tag;
    out += right ? " ALIGN=right NOWRAP>" : " ALIGN=left NOWRAP>";
    out.append(stops, '.');
    AppendHtmlEscaped(out, value);
    out += "</";
    out += tag;
    out += '>';
}

void AppendHtmlRow(std::string& html, const CellViews& cells, std::uint32_t depth,
                   const ReportLayout& layout, bool heading)
{
    const std::string_view tag = heading ? "TH" : "TD";
    html += "<TR BGCOLOR=\"";
    html += heading ? "#FEDCBA" : depth % 2 == 0 ? "#FAEBDC" : "#FFEDED";
    html += "\">";
    AppendHtmlCell(html, tag, false, (depth - 1) * 2, cells[0]);
    for (const int column : layout.columns)
        AppendHtmlCell(html, tag, IsNumber(column, heading), 0,
                       cells[static_cast<std::size_t>(column)]);
    html += "</TR>";
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
    // One pass over the bytes; find_first_of() would search the set of four
    // for every byte.
    std::size_t plain = 0; // start of the bytes not yet copied
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view reference;
        switch (text[i]) {
        case '&':
            reference = "&amp;";
            break;
        case '<':
            reference = "&lt;";
            break;
        case '>':
            reference = "&gt;";
            break;
        case '"':
            reference = "&quot;";
            break;
        default:
            continue;
        }
        out.append(text.data() + plain, i - plain);
        out += reference;
        plain = i + 1;
    }
    out.append(text.data() + plain, text.size() - plain);
}

std::string HtmlEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendHtmlEscaped(out, text);
    return out;
}

} // namespace velmora::reports
