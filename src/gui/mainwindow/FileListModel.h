// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "collection/ListOrder.h"

#include <QAbstractTableModel>
#include <string>
#include <vector>

namespace velmora::texts {
class ActiveTexts;
}

namespace velmora::gui {

class Icons;

/// The list: the children of one volume or folder in the order of
/// CompareListRows(), seven columns (Name, then the tag fields Title,
/// Artist, Album, Track, Year, Comment) and the five optional ones (Size,
/// Duration, Bit rate, Sample rate, Mode), which the window hides until
/// asked. It keeps only the children's node ids in list order; texts, tags
/// and marks are read from the collection tree when asked for. The window's
/// header shows the order by its sort indicator.
class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    /// The tree, texts and icons must outlive the model; the headers are read
    /// from the active table when asked for.
    FileListModel(const collection::CollectionTree& tree, const texts::ActiveTexts& texts,
                  const Icons& icons, std::string decimalSeparator, QObject* parent = nullptr);

    /// Lists the children of `parent` (nothing for kNoNode), ordered by the
    /// list rule (one model reset).
    void Fill(collection::NodeId parent);
    /// Empties the list (one model reset).
    void Clear() { Fill(collection::kNoNode); }
    collection::NodeId listedParent() const { return parent_; }

    /// Orders by a column (0 to 11) in the given direction.
    void SetSortColumn(int column, bool descending = false);
    /// A click on a column's header: another column orders ascending by it,
    /// the sort column reverses its direction.
    void SortClicked(int column);
    int sortColumn() const { return sortColumn_; }
    bool descending() const { return descending_; }

    collection::NodeId nodeAt(int row) const;
    /// The row of a listed node, -1 when it is not listed.
    int rowOf(collection::NodeId node) const;

    /// The marks of listed nodes may have changed.
    void MarksChanged();
    /// The names of listed nodes may have changed.
    void NamesChanged();
    /// The header texts changed (another text table).
    void TextsChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void Order();

    const collection::CollectionTree& tree_;
    const texts::ActiveTexts& texts_;
    const Icons& icons_;
    collection::NodeId parent_ = collection::kNoNode;
    std::vector<collection::NodeId> rows_;
    std::string decimalSeparator_;
    int sortColumn_ = 0;
    bool descending_ = false;
};

} // namespace velmora::gui
