// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/FileListModel.h"

#include "display/StatusTexts.h"
#include "gui/app/Icons.h"
#include "platform/QtText.h"
#include "texts/ActiveTexts.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <array>
#include <utility>

namespace velmora::gui {

using collection::kNoNode;
using collection::NodeId;

namespace {
using texts::TextId;
}

FileListModel::FileListModel(const collection::CollectionTree& tree,
                             const texts::ActiveTexts& texts, const Icons& icons,
                             std::string decimalSeparator, QObject* parent)
    : QAbstractTableModel(parent), tree_(tree), texts_(texts), icons_(icons),
      decimalSeparator_(std::move(decimalSeparator))
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
        return collection::CompareListRows(tree_, a, b, sortColumn_, descending_) < 0;
    });
}

void FileListModel::SortClicked(int column)
{
    SetSortColumn(column, column == sortColumn_ && !descending_);
}

void FileListModel::SetSortColumn(int column, bool descending)
{
    if (column < 0 || column >= collection::kListAllColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<NodeId> nodes;
    nodes.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        nodes.push_back(nodeAt(index.row()));
    sortColumn_ = column;
    descending_ = descending;
    Order();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.push_back(index(rowOf(nodes[static_cast<std::size_t>(i)]), before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
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
    emit headerDataChanged(Qt::Horizontal, 0, collection::kListAllColumnCount - 1);
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : collection::kListAllColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size()))
        return {};
    const NodeId node = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() >= collection::kListColumnCount)
            return platform::ToQString(display::ListDetailText(tree_, node, index.column(),
                                                               texts_.table(), decimalSeparator_));
        return platform::ToQString(collection::ListColumnText(tree_, node, index.column()));
    case Qt::TextAlignmentRole:
        // Numbers line up on the right, as in file managers.
        if (index.column() >= collection::kListColumnCount)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
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
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= collection::kListAllColumnCount || role != Qt::DisplayRole)
        return {};
    static constexpr std::array<TextId, collection::kListDetailColumnCount> kDetailHeaders = {
        TextId::SizeLabel, TextId::DurationLabel, TextId::BitRateCriterion,
        TextId::SampleRateCriterion, TextId::ChannelModeCriterion};
    const TextId text =
        section < collection::kListColumnCount
            ? texts::After(TextId::NameColumn, static_cast<std::size_t>(section))
            : kDetailHeaders[static_cast<std::size_t>(section - collection::kListColumnCount)];
    return platform::ToQString(texts_.table().Text(text));
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace velmora::gui
