#include "reports/ReportFormats.h"

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

std::string TextLine(const CellViews& cells, std::uint32_t depth, const ReportLayout& layout,
                     bool heading)
{
    std::string line;
    const std::string_view name = cells[0];
    AppendBlanks(line, Signed(depth) - 1);
    line += name;
    AppendBlanks(line, Signed(layout.widths[0]) - Signed(TextLength(name)) - Signed(depth) + 1);
    for (const int column : layout.columns) {
        const std::string_view value = cells[static_cast<std::size_t>(column)];
        const std::int64_t pad =
            Signed(layout.widths[static_cast<std::size_t>(column)]) - Signed(TextLength(value));
        if (IsNumber(column, heading)) {
            AppendBlanks(line, pad + 1);
            line += value;
        } else {
            line += ' ';
            line += value;
            AppendBlanks(line, pad);
        }
    }
    return line;
}

// A DIF string value: the bytes between double quotes, each double quote
// inside written twice so that readers do not take it for the end.
void AppendDifString(std::string& out, std::string_view indent, std::string_view value)
{
    out += '"';
    out += indent;
    for (const char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::string DifTuple(const CellViews& cells, std::uint32_t depth, const ReportLayout& layout,
                     bool heading)
{
    std::string tuple = "BOT\r\n1,0\r\n";
    AppendDifString(tuple, std::string((depth - 1) * 3, ' '), cells[0]);
    for (const int column : layout.columns) {
        const std::string_view value = cells[static_cast<std::size_t>(column)];
        tuple += kCrLf;
        if (IsNumber(column, heading)) {
            tuple += "0,";
            tuple += value;
            tuple += "\r\nV";
        } else {
            tuple += "1,0\r\n";
            AppendDifString(tuple, {}, value);
        }
    }
    tuple += "\r\n-1,0";
    return tuple;
}

void AppendHtmlCell(std::string& out, std::string_view tag, bool right, std::string_view prefix,
                    std::string_view value)
{
    out += '<';
    out += tag;
    out += right ? " ALIGN=right NOWRAP>" : " ALIGN=left NOWRAP>";
    out += prefix;
    out += HtmlEscaped(value);
    out += "</";
    out += tag;
    out += '>';
}

std::string HtmlRow(const CellViews& cells, std::uint32_t depth, const ReportLayout& layout,
                    bool heading)
{
    const std::string_view tag = heading ? "TH" : "TD";
    std::string html = "<TR BGCOLOR=\"";
    html += heading ? "#FEDCBA" : depth % 2 == 0 ? "#FAEBDC" : "#FFEDED";
    html += "\">";
    AppendHtmlCell(html, tag, false, std::string((depth - 1) * 2, '.'), cells[0]);
    for (const int column : layout.columns)
        AppendHtmlCell(html, tag, IsNumber(column, heading), {},
                       cells[static_cast<std::size_t>(column)]);
    html += "</TR>";
    return html;
}

} // namespace

std::string FormatLine(ReportFormat format, const CellViews& cells, std::uint32_t depth,
                       const ReportLayout& layout, bool heading)
{
    const std::uint32_t d = heading ? 1 : std::max<std::uint32_t>(depth, 1);
    switch (format) {
    case ReportFormat::Text:
        return TextLine(cells, d, layout, heading);
    case ReportFormat::Dif:
        return DifTuple(cells, d, layout, heading);
    case ReportFormat::Html:
        return HtmlRow(cells, d, layout, heading);
    }
    return {};
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

std::string HtmlHead(bool utf8)
{
    std::string head =
        "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=";
    head += utf8 ? "utf-8" : "windows-1252";
    head += "\"><TITLE></TITLE></HEAD><BODY BGCOLOR=\"#EEEEEE\"><CENTER>"
            "<TABLE RULES=cols CELLSPACING=\"0\" CELLPADDING=\"2\">";
    return head;
}

std::string HtmlEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace velmora::reports
