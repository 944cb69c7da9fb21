// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Sorting.h"

#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "system/LocaleSort.h"
#include "texts/TextIds.h"

#include <algorithm>
#include <vector>

namespace velmora::scan {

namespace {

using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;

using texts::TextId;

} // namespace

bool SortTree(CollectionTree& tree, const Locale& locale)
{
    if (tree.empty())
        return false;
    std::vector<NodeId> children;
    LocaleSort sorter(locale, CaseOrder::IgnoreCase);
    const auto nameOf = [&tree](NodeId node) { return collection::NodeName(tree.text(node)); };
    // Nodes with children first, as CompareTreeNodes() has them.
    const auto rankOf = [&tree](NodeId node) {
        return static_cast<std::uint8_t>(tree.hasChildren(node) ? 0 : 1);
    };
    // A node's children are put in order when the pre-order walk reaches the
    // node, before the walk goes down into them, so every child is reached
    // (and sorted in turn) in its final place.
    for (NodeId node = tree.root(); node != kNoNode; node = tree.nextInPreOrder(node)) {
        const NodeId first = tree.firstChild(node);
        if (first == kNoNode || tree.nextSibling(first) == kNoNode)
            continue;
        children.clear();
        for (NodeId child = first; child != kNoNode; child = tree.nextSibling(child))
            children.push_back(child);
        const std::vector<NodeId> before = children;
        sorter.sort(children, nameOf, rankOf);
        if (children != before)
            tree.reorderChildren(node, children);
    }
    return true;
}

bool SortCollection(collection::CollectionStore& store, const Locale& locale, EditorUser& user)
{
    if (user.Ask(TextId::AskSortCollection, Answer::No, false) != Answer::Yes)
        return false;
    user.ShowWait(TextId::SortingTitle);
    user.SetWaitText(TextId::ReindexDataStep);
    bool sorted = false;
    user.RunStep([&] { sorted = SortTree(store.tree(), locale); });
    if (sorted) {
        user.SetWaitText(TextId::BuildCollectionStep);
        user.RebuildViews();
        user.SetWaitText(TextId::RefreshWindowStep);
        store.setModified();
        user.RefreshViews();
    }
    user.CloseWait();
    if (sorted)
        user.Tell(TextId::SortingFinished, {}, MessageKind::Information);
    return sorted;
}

} // namespace velmora::scan
