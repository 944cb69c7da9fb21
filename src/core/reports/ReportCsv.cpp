// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportCsv.h"

#include <charconv>

namespace velmora::reports {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text)
{
    for (const char c : text) {
        if (!IsDigit(c))
            return false;
    }
    return !text.empty();
}

// A day as the cells have it, two digits of the day, a separator, two of the
// month, the separator again and the year, written as year, month and day
// joined by hyphens; false, with nothing written, for any other text.
[[nodiscard]] bool AppendIsoDate(std::string& out, std::string_view cell)
{
    if (cell.size() < 2 || !AllDigits(cell.substr(0, 2)))
        return false;
    std::size_t month = 2;
    while (month < cell.size() && !IsDigit(cell[month]))
        ++month;
    const std::string_view separator = cell.substr(2, month - 2);
    const std::size_t year = month + 2 + separator.size();
    if (separator.empty() || year >= cell.size() || !AllDigits(cell.substr(month, 2)) ||
        cell.substr(month + 2, separator.size()) != separator || !AllDigits(cell.substr(year)))
        return false;
    out += cell.substr(year);
    out += '-';
    out += cell.substr(month, 2);
    out += '-';
    out += cell.substr(0, 2);
    return true;
}

// Whether a spreadsheet would read a text beginning so as a formula (or,
// after a tab or carriage return it drops, as one).
bool ReadsAsFormula(std::string_view text)
{
    constexpr std::string_view kFormulaStarts = "=+-@\t\r";
    return !text.empty() && kFormulaStarts.find(text.front()) != std::string_view::npos;
}

} // namespace

void AppendCsvText(std::string& out, std::string_view value)
{
    if (!ReadsAsFormula(value)) {
        AppendCsvField(out, value);
        return;
    }
    std::string guarded;
    guarded.reserve(value.size() + 1);
    guarded += '\'';
    guarded += value;
    AppendCsvField(out, guarded);
}

void AppendCsvField(std::string& out, std::string_view value)
{
    bool quoted = false;
    for (const char c : value) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            quoted = true;
            break;
        }
    }
    if (!quoted) {
        out += value;
        return;
    }
    out += '"';
    for (std::size_t quote = value.find('"'); quote != std::string_view::npos;
         quote = value.find('"')) {
        out += value.substr(0, quote + 1);
        out += '"';
        value.remove_prefix(quote + 1);
    }
    out += value;
    out += '"';
}

void AppendCsvRecord(std::string& out, const CellViews& cells, std::uint32_t depth,
                     const ReportLayout& layout, bool heading)
{
    if (heading) {
        out += kCsvLevelHeading;
    } else {
        char digits[12];
        const std::uint32_t level = depth > 0 ? depth - 1 : 0;
        const auto end = std::to_chars(digits, digits + sizeof digits, level).ptr;
        out.append(digits, static_cast<std::size_t>(end - digits));
    }
    out += ',';
    AppendCsvText(out, cells[0]);
    for (const int column : layout.columns) {
        out += ',';
        const std::string_view cell = cells[static_cast<std::size_t>(column)];
        if (column == kDateColumn && !heading && AppendIsoDate(out, cell))
            continue;
        if (!heading && ClassOf(column) == ColumnClass::Number)
            AppendCsvField(out, cell);
        else
            AppendCsvText(out, cell);
    }
}

} // namespace velmora::reports
