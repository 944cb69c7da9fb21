// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "search/ResultList.h"
#include "search/SearchCriteria.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QAbstractTableModel>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace velmora::gui {

/// The list of a result window over a search's result list: the columns
/// Name and Directory, then the used tag fields or property terms. It keeps
/// only positions in the result list; names, paths and cells are computed
/// from the collection tree when asked for (RowPath, TagCells,
/// PropertyCells). The tree and the result list must outlive the model and
/// stay unchanged while it lists them. It keeps the texts it was made with,
/// so that an open window does not change its language when another table
/// becomes active.
class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    /// `driveRoot`: empty after a search of the collection, the searched
    /// source's mount point after a search on a drive (see RowPath).
    ResultsModel(const collection::CollectionTree& tree, const search::ResultList& results,
                 const texts::TextTable& texts, std::string driveRoot, QObject* parent = nullptr);

    /// Adds a column for each tag field whose text is used (Title to
    /// Comment, in this order); one model reset.
    void SetTagColumns(const search::TagCriteria& criteria);
    /// Adds a column for each switched-on term (bit rate to valid tag, in
    /// this order); one model reset.
    void SetPropertyColumns(const search::PropertyCriteria& criteria);

    /// Lists every entry of the result list in its order (one model reset).
    void ShowAll();
    /// Lists the entries at these positions of the result list, in this
    /// order (one model reset).
    void ShowEntries(std::vector<std::size_t> positions);

    /// The node of a listed row; kNoNode outside the list.
    collection::NodeId nodeAt(int row) const;
    /// The texts the model was made with, those of its window.
    const texts::TextTable& texts() const { return texts_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    enum class Cells { None, Tag, Property };

    std::vector<std::string> ExtraCells(collection::NodeId node) const;

    const collection::CollectionTree& tree_;
    const search::ResultList& results_;
    const texts::TextTable texts_;
    std::string driveRoot_;
    Cells cells_ = Cells::None;
    std::array<bool, 6> usedTags_{};
    search::PropertyCriteria property_;
    /// The headings of the columns after Directory.
    std::vector<texts::TextId> extraHeadings_;
    /// Without `positions_` the rows are the whole result list.
    bool all_ = false;
    std::vector<std::size_t> positions_;
};

} // namespace velmora::gui
