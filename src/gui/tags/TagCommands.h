// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "gui/app/Feature.h"

#include <QString>
#include <functional>

class QWidget;

namespace velmora::gui {

class Application;
class CollectionViews;
class CommandTable;

/// The two tag commands: the tag editor for files on disk, and the tag that
/// the collection holds for the current file node (ItemTag), written into
/// the node's text when confirmed; the collection is then modified, the list
/// refilled and the node shown.
class TagCommands : public Feature {
public:
    explicit TagCommands(const FeatureContext& context);

    /// The tag editor (Tools menu, tool button, Ctrl+T) and the Tag command
    /// (context menu of file nodes, F4).
    void Register(CommandTable& table) override;

    /// The tag editor, starting at `startFolder` (native), by default the
    /// process's current folder.
    void OpenTagEditor(const QString& startFolder = {});
    /// The tag of the current node, when it is a file.
    void EditItemTag();

private:
    Application& app_;
    CollectionViews& views_;
    std::function<collection::NodeId()> currentNode_;
    QWidget* window_;
};

} // namespace velmora::gui
