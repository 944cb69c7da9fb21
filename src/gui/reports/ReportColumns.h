// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/ReportSettings.h"

#include <QAbstractListModel>
#include <QListView>
#include <QPersistentModelIndex>
#include <QStringList>
#include <vector>

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The column list of the report dialog: one entry per column id, in the
/// order of writing, each with its label and its check mark. An entry moves
/// together with its id and its check mark.
///
/// Entries are dragged as their column id (the only MIME type offered), so a
/// drag stays valid while the list reorders under it. A drop onto an entry
/// moves the dragged entry to that entry's position; a drop between entries
/// moves it there (before `row`, or to the end for row -1).
class ReportColumnsModel : public QAbstractListModel {
    Q_OBJECT
public:
    /// The entries of `report`'s column order, checked as its column flags.
    ReportColumnsModel(const texts::TextTable& texts, const reports::ReportSettings& report,
                       QObject* parent = nullptr);

    /// The column id at `row`; 0 outside the list.
    int idAt(int row) const;
    /// Moves the entry at `from` to position `to`, the entries between
    /// shifting by one; false (and nothing moved) when either is outside the
    /// list or they are equal.
    bool MoveEntry(int from, int to);
    /// Writes the list into the column order and the column flags.
    void StoreInto(reports::ReportSettings& report) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    /// The id of the first entry in `indexes`.
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

private:
    struct Entry {
        int id;
        bool checked;
    };
    /// The row of the entry a drag carries; -1 for data of no entry.
    int DraggedRow(const QMimeData* data) const;

    std::vector<Entry> entries_;
    QStringList labels_; ///< by column id - 1
};

/// The view of the column list. Dragging reorders it live: pressing the
/// mouse button records the entry under the pointer (none below the last
/// entry); while the pointer moves over the list the drag is refused without
/// a recorded entry, and over another entry the recorded one is dropped onto
/// it, stays recorded and is selected. The drop itself changes nothing more,
/// and when the drag ends nothing is recorded.
class ReportColumnList : public QListView {
    Q_OBJECT
public:
    explicit ReportColumnList(QWidget* parent = nullptr);

    /// High enough for every entry without scrolling.
    QSize sizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool Accepts(const QDropEvent* event) const;

    QPersistentModelIndex recorded_;
};

} // namespace velmora::gui
