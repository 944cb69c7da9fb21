// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/FileListModel.h"

#include "gui/app/Icons.h"
#include "platform/QtText.h"
#include "texts/ActiveTexts.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>

namespace velmora::gui {

using collection::kNoNode;
using collection::NodeId;

namespace {
using texts::TextId;
}

FileListModel::FileListModel(const collection::CollectionTree& tree,
                             const texts::ActiveTexts& texts, const Icons& icons, QObject* parent)
    : QAbstractTableModel(parent), tree_(tree), texts_(texts), icons_(icons)
{
}

void FileListModel::Fill(NodeId parent)
{
    beginResetModel();
    parent_ = parent;
    rows_.clear();
    if (parent != kNoNode) {
        rows_.reserve(tree_.childCount(parent));
        for (NodeId child = tree_.firstChild(parent); child != kNoNode;
             child = tree_.nextSibling(child))
            rows_.push_back(child);
        Order();
    }
    endResetModel();
}

void FileListModel::Order()
{
    std::stable_sort(rows_.begin(), rows_.end(), [this](NodeId a, NodeId b) {
        return collection::CompareListItems(tree_, a, b, sortColumn_) < 0;
    });
}

void FileListModel::SetSortColumn(int column)
{
    if (column < 0 || column >= collection::kListColumnCount)
        return;
    const int old = sortColumn_;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<NodeId> nodes;
    nodes.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        nodes.push_back(nodeAt(index.row()));
    sortColumn_ = column;
    Order();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.push_back(index(rowOf(nodes[static_cast<std::size_t>(i)]), before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit headerDataChanged(Qt::Horizontal, std::min(old, column), std::max(old, column));
}

NodeId FileListModel::nodeAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return kNoNode;
    return rows_[static_cast<std::size_t>(row)];
}

int FileListModel::rowOf(NodeId node) const
{
    const auto found = std::find(rows_.begin(), rows_.end(), node);
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

void FileListModel::MarksChanged()
{
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

void FileListModel::NamesChanged()
{
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DisplayRole});
}

void FileListModel::TextsChanged()
{
    emit headerDataChanged(Qt::Horizontal, 0, collection::kListColumnCount - 1);
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : collection::kListColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size()))
        return {};
    const NodeId node = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return platform::ToQString(collection::ListColumnText(tree_, node, index.column()));
    case Qt::DecorationRole:
        if (index.column() != 0)
            return {};
        return tree_.hasChildren(node) ? icons_.listFolder(tree_.selected(node))
                                       : icons_.file(tree_.selected(node));
    default:
        return {};
    }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= collection::kListColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return platform::ToQString(texts_.table().Text(
            texts::After(TextId::NameColumn, static_cast<std::size_t>(section))));
    if (role == Qt::DecorationRole && section == sortColumn_)
        return icons_.sortMark();
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace velmora::gui
