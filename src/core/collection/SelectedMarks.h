// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"

namespace velmora::collection {

/// The Selected command on a node (not the collection node): a marked node
/// is unmarked; an unmarked one is marked together with its ancestors up to
/// its volume. Every node of its subtree then takes the node's new state, so
/// unmarking a file leaves its folder and volume marked.
void ToggleSelected(CollectionTree& tree, NodeId node);

} // namespace velmora::collection
