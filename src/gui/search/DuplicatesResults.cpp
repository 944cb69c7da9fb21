// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/DuplicatesResults.h"

#include "collection/NodeText.h"
#include "gui/search/ResultsModel.h"
#include "platform/QtText.h"
#include "search/ResultFiles.h"
#include "search/ResultRows.h"
#include "system/LocaleSort.h"
#include "system/Services.h"

#include <QComboBox>
#include <QListView>
#include <QStringListModel>
#include <algorithm>
#include <numeric>

namespace velmora::gui {

using texts::TextId;

DuplicatesResults::DuplicatesResults(const ResultsSource& source,
                                     const search::DuplicateCriteria& criteria, QWidget* parent)
    : ResultsWindow(source, FoundTitle(source.texts, TextId::DuplicatesCommand), parent),
      criteria_(criteria)
{
    groups_ = new QComboBox(this);
    groups_->setMaxVisibleItems(15);
    // Styles that open the list over the whole screen ignore the count of
    // visible entries unless told to drop down a plain list.
    groups_->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    // Its width comes from the window, not from measuring every label.
    groups_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    groups_->setMinimumContentsLength(20);
    // Every row of its drop-down list has one height: tens of thousands of
    // groups are not measured one by one when it opens.
    auto* view = new QListView(groups_);
    view->setUniformItemSizes(true);
    groups_->setView(view);
    AddAboveList(groups_);

    ShowBuildingWait();
    const search::ResultList& results = source.results;
    const std::string separator = source.services.locale.decimalSeparator();
    QStringList labels;
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (i > 0 && search::CompareFoldedAZ(results[i - 1].text, results[i].text) == 0)
            continue;
        starts_.push_back(i);
        labels.append(platform::ToQString(
            search::DuplicateGroupLabel(source.tree.text(results[i].node), criteria.compareName,
                                        criteria.compareProperty, source.texts, separator)));
    }
    starts_.push_back(results.size());
    // A plain list model: no item object per group.
    groups_->setModel(new QStringListModel(labels, groups_));
    connect(groups_, &QComboBox::currentIndexChanged, this, &DuplicatesResults::ShowGroup);
    ShowGroup(groups_->currentIndex());
    CloseWait();
}

void DuplicatesResults::ShowGroup(int group)
{
    std::vector<std::size_t> rows;
    if (group >= 0 && static_cast<std::size_t>(group) + 1 < starts_.size()) {
        const auto index = static_cast<std::size_t>(group);
        rows.resize(starts_[index + 1] - starts_[index]);
        std::iota(rows.begin(), rows.end(), starts_[index]);
        const collection::CollectionTree& tree = source().tree;
        const search::ResultList& results = source().results;
        const Locale& locale = source().services.locale;
        LocaleSort(locale, CaseOrder::RespectCase).sort(rows, [&](std::size_t row) {
            return collection::NodeName(tree.text(results[row].node));
        });
    }
    listModel().ShowEntries(std::move(rows));
    SelectFirstRow();
}

std::string DuplicatesResults::SavedText() const
{
    return search::DuplicateResultsFile(source().tree, source().results, criteria_, source().texts,
                                        source().services.locale.decimalSeparator(),
                                        source().driveRoot);
}

} // namespace velmora::gui
