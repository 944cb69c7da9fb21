// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/ResultRows.h"

#include "collection/NodeText.h"
#include "display/Formats.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>

namespace velmora::search {

namespace {

using texts::TextId;

bool BlankOnly(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

} // namespace

std::string DrivePath(std::string_view rowPath, std::string_view driveRoot)
{
    const std::size_t separator = rowPath.find('\\');
    const std::string_view rest =
        separator == std::string_view::npos ? std::string_view{} : rowPath.substr(separator + 1);
    std::string path(driveRoot);
    if (path.empty() || path.back() != '/')
        path += '/';
    for (const char c : rest)
        path += c == '\\' ? '/' : c;
    return path;
}

std::string RowPath(const collection::CollectionTree& tree, collection::NodeId node,
                    std::string_view driveRoot)
{
    std::vector<std::string_view> names;
    for (collection::NodeId up = tree.parent(node);
         up != collection::kNoNode && tree.level(up) >= 1; up = tree.parent(up))
        names.push_back(collection::NodeName(tree.text(up)));
    if (driveRoot.empty()) {
        std::string path;
        for (auto name = names.rbegin(); name != names.rend(); ++name) {
            path += *name;
            path += '\\';
        }
        return path;
    }
    if (names.empty())
        return DrivePath({}, driveRoot);
    // Only the volume's name has "\" for separators; a "\" in a folder
    // name below it is part of that name on this system.
    std::string path = DrivePath(std::string(names.back()) + '\\', driveRoot);
    for (auto name = names.rbegin() + 1; name != names.rend(); ++name) {
        path += *name;
        path += '/';
    }
    return path;
}

std::array<bool, 6> UsedTagColumns(const TagCriteria& criteria)
{
    std::array<bool, 6> used{};
    for (std::size_t i = 0; i < used.size(); ++i)
        used[i] = !BlankOnly(criteria.texts[i]);
    return used;
}

std::vector<std::string> TagCells(std::string_view fileText, const std::array<bool, 6>& used)
{
    collection::Tags tags;
    collection::ReadTags(fileText, tags);
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < used.size(); ++i) {
        if (used[i])
            cells.emplace_back(BlankOnly(tags[i]) ? std::string_view{} : tags[i]);
    }
    return cells;
}

std::vector<std::string> PropertyCells(std::string_view fileText, const PropertyCriteria& c,
                                       const texts::TextTable& table)
{
    collection::Numbers n{};
    collection::ReadNumbers(fileText, n);
    std::vector<std::string> cells;
    if (c.bitRate.used)
        cells.push_back(display::FileRateText(table, n[collection::kSizeKB],
                                              n[collection::kDuration], n[collection::kVersionCode],
                                              n[collection::kLayerCode]));
    if (c.sampleRate.used)
        cells.push_back(display::SampleRateText(table, n[collection::kSampleRate10]));
    if (c.channelMode.used)
        cells.emplace_back(display::ChannelText(table, n[collection::kChannelCode]));
    if (c.version.used)
        cells.emplace_back(display::VersionText(n[collection::kVersionCode]));
    if (c.layer.used)
        cells.push_back(std::to_string(n[collection::kLayerCode]));
    if (c.validTag.used) {
        collection::Tags tags;
        collection::ReadTags(fileText, tags);
        const bool present =
            std::any_of(tags.begin(), tags.end(), [](std::string_view t) { return !t.empty(); });
        cells.emplace_back(table.Text(present ? TextId::TagPresent : TextId::TagNotPresent));
    }
    return cells;
}

std::string DuplicateGroupLabel(std::string_view nodeText, bool compareName, bool compareProperty,
                                const texts::TextTable& table, std::string_view decimalSeparator)
{
    std::string label;
    if (compareName)
        label = collection::NodeName(nodeText);
    if (!compareProperty)
        return label;
    if (compareName)
        label += ", ";
    collection::Numbers n{};
    collection::ReadNumbers(nodeText, n);
    label += display::MegabytesThreeDecimals(n[collection::kSizeKB], decimalSeparator) + ' ' +
             std::string(table.Text(TextId::MegabytesUnit)) + ", " +
             display::DurationText(table, n[collection::kDuration]);
    return label;
}

} // namespace velmora::search
