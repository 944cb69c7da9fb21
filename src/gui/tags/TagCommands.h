// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "gui/app/Feature.h"

#include <QString>
#include <functional>
#include <vector>

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

    /// The tag editor, starting at `startFolder` (native), by default at
    /// EditorStartFolder(). Its folder on closing is remembered for the
    /// session (Application::Folders::lastTagFolder).
    void OpenTagEditor(const QString& startFolder = {});
    /// The stored tag of the current files (the list's selected rows): one
    /// file's fields, or the values several share, empty where they differ;
    /// a field changed in the window is set in each file, the others keep
    /// their own.
    void EditItemTag();

private:
    /// The folder of the current node's volume when that volume is mounted;
    /// else the tag editor's folder when it last closed; else the process's
    /// current folder.
    QString EditorStartFolder() const;

    Application& app_;
    CollectionViews& views_;
    std::function<collection::NodeId()> currentNode_;
    std::function<std::vector<collection::NodeId>()> currentNodes_;
    QWidget* window_;
};

} // namespace velmora::gui
