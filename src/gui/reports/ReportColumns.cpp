// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/reports/ReportColumns.h"

#include "platform/QtText.h"
#include "texts/TextTable.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <algorithm>

namespace velmora::gui {
namespace {

const QString kColumnMimeType = QStringLiteral("application/x-velmora-report-column");

} // namespace

ReportColumnsModel::ReportColumnsModel(const texts::TextTable& texts,
                                       const reports::ReportSettings& report, QObject* parent)
    : QAbstractListModel(parent)
{
    for (int id = 1; id <= reports::kColumnCount; ++id)
        labels_.append(platform::ToQString(reports::ColumnLabel(texts, id)));
    for (const std::int32_t id : reports::NormalColumnOrder(report.columnOrder))
        entries_.push_back({id, report.columnOn(id)});
}

int ReportColumnsModel::idAt(int row) const
{
    return row >= 0 && row < rowCount() ? entries_[static_cast<std::size_t>(row)].id : 0;
}

bool ReportColumnsModel::MoveEntry(int from, int to)
{
    const int count = rowCount();
    if (from == to || from < 0 || from >= count || to < 0 || to >= count)
        return false;
    // Qt names the destination as the row the entry goes before, counted
    // before the move.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    const auto first = entries_.begin();
    if (to > from)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
    endMoveRows();
    return true;
}

void ReportColumnsModel::StoreInto(reports::ReportSettings& report) const
{
    for (std::size_t p = 0; p < entries_.size(); ++p) {
        const Entry& entry = entries_[p];
        report.columnOrder[p] = entry.id;
        report.columnEnabled[static_cast<std::size_t>(entry.id - 1)] = entry.checked;
    }
}

int ReportColumnsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant ReportColumnsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry& entry = entries_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return labels_[entry.id - 1];
    case Qt::CheckStateRole:
        return entry.checked ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool ReportColumnsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    entries_[static_cast<std::size_t>(index.row())].checked =
        value.value<Qt::CheckState>() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags ReportColumnsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled | Qt::ItemNeverHasChildren;
}

Qt::DropActions ReportColumnsModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions ReportColumnsModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList ReportColumnsModel::mimeTypes() const
{
    return {kColumnMimeType};
}

QMimeData* ReportColumnsModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.isEmpty() || idAt(indexes.front().row()) == 0)
        return nullptr;
    auto* data = new QMimeData;
    data->setData(kColumnMimeType, QByteArray::number(idAt(indexes.front().row())));
    return data;
}

int ReportColumnsModel::DraggedRow(const QMimeData* data) const
{
    if (data == nullptr || !data->hasFormat(kColumnMimeType))
        return -1;
    bool number = false;
    const int id = data->data(kColumnMimeType).toInt(&number);
    if (!number)
        return -1;
    const auto entry =
        std::find_if(entries_.begin(), entries_.end(), [id](const Entry& e) { return e.id == id; });
    return entry == entries_.end() ? -1 : static_cast<int>(entry - entries_.begin());
}

bool ReportColumnsModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                         const QModelIndex&) const
{
    return action == Qt::MoveAction && DraggedRow(data) >= 0;
}

bool ReportColumnsModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                      const QModelIndex& parent)
{
    const int from = DraggedRow(data);
    if (action != Qt::MoveAction || from < 0)
        return false;
    int to = 0;
    if (parent.isValid())
        to = parent.row();
    else if (row < 0 || row >= rowCount())
        to = rowCount() - 1;
    else
        to = row > from ? row - 1 : row;
    MoveEntry(from, to);
    // The entry is where the drop put it, also when it did not move; the
    // view must not remove anything after the drag.
    return true;
}

ReportColumnList::ReportColumnList(QWidget* parent) : QListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
}

QSize ReportColumnList::sizeHint() const
{
    QSize size = QListView::sizeHint();
    if (model() == nullptr)
        return size;
    // A little room below the last entry, so that it does not touch the
    // frame.
    int height = 2 * frameWidth() + 4;
    int width = 0;
    for (int row = 0; row < model()->rowCount(); ++row) {
        height += sizeHintForRow(row);
        width = std::max(width, sizeHintForIndex(model()->index(row, 0)).width());
    }
    size.setHeight(height);
    size.setWidth(std::max(size.width() / 2, width + 2 * frameWidth() + 8));
    return size;
}

void ReportColumnList::mousePressEvent(QMouseEvent* event)
{
    recorded_ = indexAt(event->position().toPoint());
    QListView::mousePressEvent(event);
}

void ReportColumnList::mouseReleaseEvent(QMouseEvent* event)
{
    recorded_ = QPersistentModelIndex();
    QListView::mouseReleaseEvent(event);
}

void ReportColumnList::startDrag(Qt::DropActions)
{
    if (recorded_.isValid() && model() != nullptr) {
        if (QMimeData* data = model()->mimeData({recorded_})) {
            auto* drag = new QDrag(this);
            drag->setMimeData(data);
            drag->exec(Qt::MoveAction, Qt::MoveAction);
        }
    }
    recorded_ = QPersistentModelIndex();
}

bool ReportColumnList::Accepts(const QDropEvent* event) const
{
    return recorded_.isValid() && model() != nullptr &&
           model()->canDropMimeData(event->mimeData(), Qt::MoveAction, -1, -1, {});
}

void ReportColumnList::dragEnterEvent(QDragEnterEvent* event)
{
    if (!Accepts(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void ReportColumnList::dragMoveEvent(QDragMoveEvent* event)
{
    if (!Accepts(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    const QModelIndex over = indexAt(event->position().toPoint());
    if (!over.isValid() || over == recorded_)
        return;
    // recorded_ follows the entry it names to its new row.
    model()->dropMimeData(event->mimeData(), Qt::MoveAction, -1, -1, over);
    setCurrentIndex(recorded_);
}

void ReportColumnList::dropEvent(QDropEvent* event)
{
    if (Accepts(event)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
    recorded_ = QPersistentModelIndex();
}

} // namespace velmora::gui
