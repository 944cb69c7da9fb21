#include "gui/SelectedMarks.h"

namespace velmora::gui {

void ToggleSelected(collection::CollectionTree& tree, collection::NodeId node)
{
    using collection::kNoNode;
    if (node == kNoNode || tree.level(node) == 0)
        return;
    const bool mark = !tree.selected(node);
    if (mark) {
        for (collection::NodeId n = node; n != kNoNode && tree.level(n) >= 1; n = tree.parent(n))
            tree.setSelected(n, true);
    } else {
        tree.setSelected(node, false);
    }
    const collection::NodeId end = tree.nextAfterSubtree(node);
    for (collection::NodeId n = tree.nextInPreOrder(node); n != end && n != kNoNode;
         n = tree.nextInPreOrder(n))
        tree.setSelected(n, mark);
}

} // namespace velmora::gui
