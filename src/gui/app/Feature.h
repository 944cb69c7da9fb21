// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"

#include <functional>
#include <vector>

class QWidget;

namespace velmora::gui {

class Application;
class CollectionViews;
class CommandTable;
class WaitWindow;

/// What every feature of the main window is given; all of it outlives the
/// features.
struct FeatureContext {
    Application& app;
    /// The views over the collection tree.
    CollectionViews& views;
    /// The wait window, for long work that shows no window of its own.
    WaitWindow& wait;
    /// The node the user works on (the tree's or the list's, by the focus);
    /// kNoNode when there is none.
    std::function<collection::NodeId()> currentNode;
    /// Every node the user works on: the tree's node when the tree has the
    /// focus, else the list's selected rows in the list's order; empty when
    /// there is none. The commands that act on a node act on each.
    std::function<std::vector<collection::NodeId>()> currentNodes;
    /// The parent of the feature's dialogs and windows.
    QWidget* window = nullptr;
};

/// A feature of the main window: a set of commands, their dialogs and
/// windows. The window makes every feature from the same context and lets
/// each add its rows to the one command table; features never reach each
/// other, only the application and the views.
class Feature {
public:
    virtual ~Feature() = default;
    /// Adds the feature's rows to `table`; their handlers run the feature.
    virtual void Register(CommandTable& table) = 0;
};

} // namespace velmora::gui
