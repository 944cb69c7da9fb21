// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/ListOrder.h"

#include "collection/NodeText.h"
#include "texts/AsciiCase.h"

#include <algorithm>

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

} // namespace velmora::collection
