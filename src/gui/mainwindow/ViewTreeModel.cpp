// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/ViewTreeModel.h"

#include "collection/NodeText.h"
#include "gui/app/Icons.h"
#include "platform/QtText.h"

namespace velmora::gui {

using collection::kNoNode;
using collection::NodeId;

ViewTreeModel::ViewTreeModel(collection::CollectionTree& tree, const Icons& icons, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), icons_(icons)
{
}

void ViewTreeModel::DropLinks()
{
    for (const Item& item : items_) {
        if (tree_.viewLink(item.node) == &item)
            tree_.setViewLink(item.node, nullptr);
    }
    items_.clear();
    topLevel_.clear();
}

void ViewTreeModel::Clear()
{
    beginResetModel();
    // The tree may already have been replaced: links are dropped only where
    // they still point at this model's records.
    DropLinks();
    endResetModel();
}

void ViewTreeModel::Rebuild()
{
    beginResetModel();
    DropLinks();
    if (!tree_.empty()) {
        // Pre-order walk: a node with children gets an item below the item
        // last made one level up (volumes at the top).
        std::vector<int> lastAtLevel;
        for (NodeId node = tree_.nextInPreOrder(tree_.root()); node != kNoNode;
             node = tree_.nextInPreOrder(node)) {
            if (!tree_.hasChildren(node))
                continue;
            const std::uint32_t level = tree_.level(node);
            const int parent = level <= 1 ? -1 : lastAtLevel[level - 2];
            const int number = static_cast<int>(items_.size());
            // The sibling list is extended before items_ grows, which may
            // move the parent's record.
            std::vector<int>& siblings = parent < 0 ? topLevel_ : items_[parent].children;
            const int row = static_cast<int>(siblings.size());
            siblings.push_back(number);
            items_.push_back(Item{node, parent, row, {}});
            if (lastAtLevel.size() < level)
                lastAtLevel.resize(level);
            lastAtLevel[level - 1] = number;
        }
        for (Item& item : items_)
            tree_.setViewLink(item.node, &item);
    }
    endResetModel();
}

NodeId ViewTreeModel::nodeOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return kNoNode;
    return items_[static_cast<std::size_t>(index.internalId())].node;
}

int ViewTreeModel::itemOf(NodeId node) const
{
    if (node == kNoNode || items_.empty())
        return -1;
    const auto* link = static_cast<const Item*>(tree_.viewLink(node));
    if (link < items_.data() || link >= items_.data() + items_.size() || link->node != node)
        return -1;
    return static_cast<int>(link - items_.data());
}

QModelIndex ViewTreeModel::indexOf(NodeId node) const
{
    const int item = itemOf(node);
    if (item < 0)
        return {};
    return createIndex(items_[item].row, 0, static_cast<quintptr>(item));
}

void ViewTreeModel::MarksChanged(NodeId node)
{
    const QList<int> roles = {Qt::DecorationRole};
    for (NodeId n = node; n != kNoNode && tree_.level(n) >= 1; n = tree_.parent(n)) {
        const QModelIndex index = indexOf(n);
        if (index.isValid())
            emit dataChanged(index, index, roles);
    }
    const NodeId end = tree_.nextAfterSubtree(node);
    for (NodeId n = tree_.nextInPreOrder(node); n != end && n != kNoNode;
         n = tree_.nextInPreOrder(n)) {
        const QModelIndex index = indexOf(n);
        if (index.isValid())
            emit dataChanged(index, index, roles);
    }
}

void ViewTreeModel::NodeChanged(NodeId node)
{
    const QModelIndex index = indexOf(node);
    if (index.isValid())
        emit dataChanged(index, index);
}

const std::vector<int>& ViewTreeModel::childrenOf(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return topLevel_;
    return items_[static_cast<std::size_t>(parent.internalId())].children;
}

QModelIndex ViewTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || (parent.isValid() && parent.column() != 0))
        return {};
    const std::vector<int>& children = childrenOf(parent);
    if (row >= static_cast<int>(children.size()))
        return {};
    return createIndex(row, 0, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex ViewTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    const int parent = items_[static_cast<std::size_t>(child.internalId())].parent;
    if (parent < 0)
        return {};
    return createIndex(items_[parent].row, 0, static_cast<quintptr>(parent));
}

int ViewTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return static_cast<int>(childrenOf(parent).size());
}

int ViewTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant ViewTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Item& item = items_[static_cast<std::size_t>(index.internalId())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return platform::ToQString(collection::NodeName(tree_.text(item.node)));
    case Qt::DecorationRole: {
        const bool marked = tree_.selected(item.node);
        return item.parent < 0 ? icons_.volume(marked) : icons_.folder(marked);
    }
    default:
        return {};
    }
}

Qt::ItemFlags ViewTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace velmora::gui
