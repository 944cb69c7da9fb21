// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/ListOrder.h"

#include "collection/NodeText.h"
#include "texts/AsciiCase.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace velmora::collection {

int CompareListTexts(std::string_view a, std::string_view b)
{
    return texts::CompareLowerFolded(a, b);
}

std::string_view ListColumnText(const CollectionTree& tree, NodeId node, int column)
{
    const std::string_view text = tree.text(node);
    if (column <= 0 || column >= kListColumnCount)
        return NodeName(text);
    if (tree.hasChildren(node))
        return {};
    Tags tags;
    ReadTags(text, tags);
    return tags[static_cast<std::size_t>(column - 1)];
}

int CompareListItems(const CollectionTree& tree, NodeId a, NodeId b, int sortColumn)
{
    const bool folderA = tree.hasChildren(a);
    const bool folderB = tree.hasChildren(b);
    if (folderA != folderB)
        return folderA ? -1 : 1;
    const int column = folderA ? 0 : sortColumn;
    return CompareListTexts(ListColumnText(tree, a, column), ListColumnText(tree, b, column));
}

namespace {

// The leading number of a text after blanks; nullopt when it has none.
std::optional<std::int64_t> LeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::int64_t value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        if (value < std::numeric_limits<std::int64_t>::max() / 10 - 10)
            value = value * 10 + (text[i] - '0');
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

std::int64_t DetailValue(const CollectionTree& tree, NodeId node, int column)
{
    Numbers numbers{};
    ReadNumbers(tree.text(node), numbers);
    const bool folder = tree.hasChildren(node);
    switch (column - kListColumnCount) {
    case 0:
        return numbers[kSizeKB];
    case 1:
        return AbsClamped(numbers[kDuration]);
    case 2:
        return folder ? 0 : AverageBitRate(numbers[kSizeKB], numbers[kDuration]);
    case 3:
        return folder ? 0 : numbers[kSampleRate10];
    default:
        return folder ? 0 : numbers[kChannelCode];
    }
}

int Sign(std::int64_t a, std::int64_t b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

int CompareListRows(const CollectionTree& tree, NodeId a, NodeId b, int column, bool descending)
{
    const bool folderA = tree.hasChildren(a);
    const bool folderB = tree.hasChildren(b);
    if (folderA != folderB)
        return folderA ? -1 : 1;
    int order = 0;
    if (column >= kListColumnCount && column < kListAllColumnCount) {
        order = Sign(DetailValue(tree, a, column), DetailValue(tree, b, column));
    } else if (!folderA && (column == kTrackColumn || column == kYearColumn)) {
        const std::string_view textA = ListColumnText(tree, a, column);
        const std::string_view textB = ListColumnText(tree, b, column);
        const std::optional<std::int64_t> numberA = LeadingNumber(textA);
        const std::optional<std::int64_t> numberB = LeadingNumber(textB);
        if (numberA.has_value() != numberB.has_value())
            order = numberA ? 1 : -1;
        else if (numberA && *numberA != *numberB)
            order = Sign(*numberA, *numberB);
        else
            order = CompareListTexts(textA, textB);
    } else {
        order = CompareListItems(tree, a, b, column);
    }
    return descending ? -order : order;
}

} // namespace velmora::collection
