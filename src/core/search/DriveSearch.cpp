// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/DriveSearch.h"

namespace velmora::search {

TemporaryVolume::TemporaryVolume(collection::CollectionTree& tree)
    : tree_(tree), before_(tree.size())
{
}

void TemporaryVolume::remove()
{
    // The scan appends one last child of the collection node; a cancelled
    // scan may have left it half-built, but never more than that one branch.
    while (tree_.size() > before_ && tree_.root() != collection::kNoNode) {
        const collection::NodeId volume = tree_.lastChild(tree_.root());
        if (volume == collection::kNoNode)
            return;
        tree_.remove(volume);
    }
}

} // namespace velmora::search
