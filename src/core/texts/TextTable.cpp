// SPDX-License-Identifier: GPL-3.0-or-later
#include "texts/TextTable.h"

#include "texts/Lines.h"

namespace velmora::texts {

std::vector<std::string_view> SplitLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    LineSplitter splitter(UpToNul(bytes));
    std::string_view line;
    while (splitter.next(line))
        lines.push_back(line);
    return lines;
}

TextTable::TextTable() : lines_(kDefaultLines.begin(), kDefaultLines.end()) {}

TextTable TextTable::FromPackBytes(std::string_view bytes)
{
    TextTable table;
    table.lines_.clear();
    for (const std::string_view line : SplitLines(bytes))
        table.lines_.emplace_back(line);
    return table;
}

std::string_view TextTable::TextAt(std::size_t n) const
{
    const bool extra = n >= kTextCount && n - kTextCount < kExtraTextCount;
    if (n >= lines_.size() || (extra && lines_[n].starts_with(">>>"))) {
        if (extra)
            return kExtraTexts[n - kTextCount].substr(3);
        return "?";
    }
    const std::string_view line = lines_[n];
    return line.size() <= 3 ? std::string_view() : line.substr(3);
}

std::string TextTable::Step(TextId id) const
{
    std::string step(Text(id));
    step += "...";
    return step;
}

} // namespace velmora::texts
