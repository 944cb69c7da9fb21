// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Sorting.h"

#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
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
        const auto before = [&](NodeId a, NodeId b) {
            return collection::CompareTreeNodes(tree, a, b, locale) < 0;
        };
        if (std::is_sorted(children.begin(), children.end(), before))
            continue;
        std::stable_sort(children.begin(), children.end(), before);
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
