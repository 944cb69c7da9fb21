// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/ResultsModel.h"

#include "collection/NodeText.h"
#include "platform/QtText.h"
#include "search/ResultRows.h"
#include "texts/TextTable.h"

namespace velmora::gui {

using collection::kNoNode;
using collection::NodeId;
using texts::TextId;

namespace {
constexpr int kFixedColumns = 2;
} // namespace

ResultsModel::ResultsModel(const collection::CollectionTree& tree,
                           const search::ResultList& results, const texts::TextTable& texts,
                           std::string driveRoot, QObject* parent)
    : QAbstractTableModel(parent), tree_(tree), results_(results), texts_(texts),
      driveRoot_(std::move(driveRoot))
{
}

void ResultsModel::SetTagColumns(const search::TagCriteria& criteria)
{
    beginResetModel();
    cells_ = Cells::Tag;
    usedTags_ = search::UsedTagColumns(criteria);
    extraHeadings_.clear();
    for (std::size_t i = 0; i < usedTags_.size(); ++i) {
        if (usedTags_[i])
            extraHeadings_.push_back(texts::After(TextId::TitleColumn, i));
    }
    endResetModel();
}

void ResultsModel::SetPropertyColumns(const search::PropertyCriteria& criteria)
{
    beginResetModel();
    cells_ = Cells::Property;
    property_ = criteria;
    const std::array<bool, 6> used = {criteria.bitRate.used,     criteria.sampleRate.used,
                                      criteria.channelMode.used, criteria.version.used,
                                      criteria.layer.used,       criteria.validTag.used};
    extraHeadings_.clear();
    for (std::size_t i = 0; i < used.size(); ++i) {
        if (used[i])
            extraHeadings_.push_back(texts::After(TextId::BitRateCriterion, i));
    }
    endResetModel();
}

void ResultsModel::ShowAll()
{
    beginResetModel();
    all_ = true;
    positions_.clear();
    endResetModel();
}

void ResultsModel::ShowEntries(std::vector<std::size_t> positions)
{
    beginResetModel();
    all_ = false;
    positions_ = std::move(positions);
    endResetModel();
}

NodeId ResultsModel::nodeAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return kNoNode;
    const auto index = static_cast<std::size_t>(row);
    const std::size_t position = all_ ? index : positions_[index];
    return position < results_.size() ? results_[position].node : kNoNode;
}

std::vector<std::string> ResultsModel::ExtraCells(NodeId node) const
{
    switch (cells_) {
    case Cells::Tag:
        return search::TagCells(tree_.text(node), usedTags_);
    case Cells::Property:
        return search::PropertyCells(tree_.text(node), property_, texts_);
    case Cells::None:
        break;
    }
    return {};
}

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(all_ ? results_.size() : positions_.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kFixedColumns + static_cast<int>(extraHeadings_.size());
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const NodeId node = nodeAt(index.row());
    if (node == kNoNode)
        return {};
    switch (index.column()) {
    case 0:
        return platform::ToQString(collection::NodeName(tree_.text(node)));
    case 1:
        return platform::ToQString(search::RowPath(tree_, node, driveRoot_));
    default: {
        const std::vector<std::string> cells = ExtraCells(node);
        const auto cell = static_cast<std::size_t>(index.column() - kFixedColumns);
        return cell < cells.size() ? platform::ToQString(cells[cell]) : QVariant();
    }
    }
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return {};
    TextId heading = TextId::NameColumn;
    if (section == 1)
        heading = TextId::DirectoryLabel;
    else if (section >= kFixedColumns)
        heading = extraHeadings_[static_cast<std::size_t>(section - kFixedColumns)];
    return platform::ToQString(texts_.Text(heading));
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace velmora::gui
