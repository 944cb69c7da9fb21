// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/SelectedMarks.h"

namespace velmora::collection {

void ToggleSelected(CollectionTree& tree, NodeId node)
{
    if (node == kNoNode || tree.level(node) == 0)
        return;
    const bool mark = !tree.selected(node);
    if (mark) {
        for (NodeId n = node; n != kNoNode && tree.level(n) >= 1; n = tree.parent(n))
            tree.setSelected(n, true);
    } else {
        tree.setSelected(node, false);
    }
    const NodeId end = tree.nextAfterSubtree(node);
    for (NodeId n = tree.nextInPreOrder(node); n != end && n != kNoNode; n = tree.nextInPreOrder(n))
        tree.setSelected(n, mark);
}

} // namespace velmora::collection
