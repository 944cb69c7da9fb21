// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"

namespace velmora::gui {

/// What the features need from the window that shows the collection: its
/// views over the collection tree.
class CollectionViews {
public:
    virtual ~CollectionViews() = default;
    /// The collection tree is about to be replaced or restructured: let go of
    /// every node id.
    virtual void DetachViews() = 0;
    /// Build the view tree again from the collection tree.
    virtual void RebuildViewTree() = 0;
    /// Refill the list, refresh the status bar, the enabled commands and the
    /// window caption.
    virtual void RefreshWindow() = 0;
    /// The modified flag or the current path changed.
    virtual void StateChanged() = 0;
    /// Bring this node into view (a volume after it was added or updated).
    virtual void SelectNode(collection::NodeId /*node*/) {}
    /// The node's name changed; the structure did not.
    virtual void NodeRenamed(collection::NodeId /*node*/) {}

    /// Where the views stand: the tree's current node, the list's current
    /// node and whether the list has the focus.
    struct Place {
        collection::NodeId folder = collection::kNoNode;
        collection::NodeId item = collection::kNoNode;
        bool listFocused = false;
    };
    virtual Place CurrentPlace() const { return {}; }
    /// Puts the views back where they stood, after the view tree was built
    /// again over a tree whose nodes are the same.
    virtual void RestorePlace(const Place& /*place*/) {}
    /// Give the view tree the keyboard (after a collection was opened).
    virtual void FocusTree() {}
};

} // namespace velmora::gui
