// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"

#include <QAbstractItemModel>
#include <vector>

namespace velmora::gui {

class Icons;

/// The view tree: the volumes of the collection at the top level and their
/// folders below, in collection order (files and the collection node have
/// no item). Texts, marks and pictures are read from the collection tree
/// each time they are asked for; the model keeps only the shape of the view
/// (one small record per volume or folder) and links each record with its
/// collection node both ways (the node's view link).
///
/// Rebuild() after every structural change of the collection tree, and
/// Clear() before an operation that replaces or restructures it.
class ViewTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    /// The tree and icons must outlive the model.
    ViewTreeModel(collection::CollectionTree& tree, const Icons& icons, QObject* parent = nullptr);

    /// Builds the view anew from the collection tree (one model reset).
    void Rebuild();
    /// Empties the view and drops its links (one model reset).
    void Clear();

    /// The collection node of an index; kNoNode for an invalid one.
    collection::NodeId nodeOf(const QModelIndex& index) const;
    /// The index of a volume or folder node; invalid when it has no item.
    QModelIndex indexOf(collection::NodeId node) const;
    /// Number of view items.
    std::size_t itemCount() const { return items_.size(); }

    /// The selected marks of `node`, its ancestors and its subtree may have
    /// changed: their items are repainted.
    void MarksChanged(collection::NodeId node);
    /// The texts of `node`'s item changed (a new name).
    void NodeChanged(collection::NodeId node);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Item {
        collection::NodeId node;
        int parent; ///< item number of the parent, -1 for a volume
        int row;    ///< place among its parent's items
        std::vector<int> children;
    };
    static constexpr quintptr kTopLevel = ~quintptr(0);

    void DropLinks();
    const std::vector<int>& childrenOf(const QModelIndex& parent) const;
    int itemOf(collection::NodeId node) const;

    collection::CollectionTree& tree_;
    const Icons& icons_;
    std::vector<Item> items_;
    std::vector<int> topLevel_;
};

} // namespace velmora::gui
