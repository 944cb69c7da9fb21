#include "gui/ListOrder.h"

#include "collection/NodeText.h"

#include <algorithm>

namespace velmora::gui {
namespace {

unsigned char FoldAscii(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

} // namespace

int CompareListTexts(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = FoldAscii(a[i]);
        const unsigned char y = FoldAscii(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string_view ListColumnText(const collection::CollectionTree& tree, collection::NodeId node,
                                int column)
{
    const std::string_view text = tree.text(node);
    if (column <= 0 || column >= kListColumnCount)
        return collection::NodeName(text);
    if (tree.hasChildren(node))
        return {};
    collection::Tags tags;
    collection::ReadTags(text, tags);
    return tags[static_cast<std::size_t>(column - 1)];
}

int CompareListItems(const collection::CollectionTree& tree, collection::NodeId a,
                     collection::NodeId b, int sortColumn)
{
    const bool folderA = tree.hasChildren(a);
    const bool folderB = tree.hasChildren(b);
    if (folderA != folderB)
        return folderA ? -1 : 1;
    const int column = folderA ? 0 : sortColumn;
    return CompareListTexts(ListColumnText(tree, a, column), ListColumnText(tree, b, column));
}

} // namespace velmora::gui
