#include "reports/ReportCsv.h"

#include <charconv>

namespace velmora::reports {

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
    AppendCsvField(out, cells[0]);
    for (const int column : layout.columns) {
        out += ',';
        AppendCsvField(out, cells[static_cast<std::size_t>(column)]);
    }
}

} // namespace velmora::reports
