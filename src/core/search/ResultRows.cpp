#include "search/ResultRows.h"

#include "collection/NodeText.h"
#include "settings/Settings.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <cstdio>

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

std::array<bool, 6> UsedTagColumns(const settings::Settings& settings)
{
    std::array<bool, 6> used{};
    for (std::size_t i = 0; i < used.size(); ++i)
        used[i] = !BlankOnly(settings.tagText[i]);
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
    const std::int64_t duration = n[collection::kDuration];
    const std::int64_t version = n[collection::kVersionCode];
    const std::int64_t layer = n[collection::kLayerCode];
    std::vector<std::string> cells;
    if (c[0] == 1) {
        const std::int64_t rate = collection::AverageBitRate(n[collection::kSizeKB], duration);
        const bool vbr = duration < 0;
        const std::int64_t shown = vbr ? rate : collection::StandardBitRate(rate, version, layer);
        cells.push_back(std::string(table.Text(vbr ? TextId::VariableRate : TextId::ConstantRate)) +
                        ' ' + std::to_string(shown) + ' ' +
                        std::string(table.Text(TextId::KbpsUnit)));
    }
    if (c[3] == 1)
        cells.push_back(
            std::to_string(collection::MultiplyClamped(n[collection::kSampleRate10], 10)) + ' ' +
            std::string(table.Text(TextId::HertzUnit)));
    if (c[6] == 1)
        cells.emplace_back(collection::ChannelText(table, n[collection::kChannelCode]));
    if (c[9] == 1)
        cells.emplace_back(collection::VersionText(version));
    if (c[12] == 1)
        cells.push_back(std::to_string(layer));
    if (c[15] == 1) {
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
    std::array<char, 64> megabytes{};
    std::snprintf(megabytes.data(), megabytes.size(), "%.3f",
                  static_cast<double>(n[collection::kSizeKB]) / 1024.0);
    std::string number = megabytes.data();
    const std::size_t point = number.find('.');
    if (point != std::string::npos)
        number.replace(point, 1, decimalSeparator);
    const std::int64_t duration = n[collection::kDuration];
    label += number + ' ' + std::string(table.Text(TextId::MegabytesUnit)) + ", " +
             collection::FormatHMS(collection::AbsClamped(duration)) + ' ' +
             std::string(table.Text(TextId::HoursMinutesSecondsUnit));
    return label;
}

} // namespace velmora::search
