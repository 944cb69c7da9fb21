// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/search/ResultsWindow.h"
#include "search/SearchCriteria.h"

#include <cstddef>
#include <vector>

class QComboBox;

namespace velmora::gui {

/// The results of a duplicate search. Above the list a pick list of the
/// groups (runs of equal keys in the result list), each labelled by
/// DuplicateGroupLabel() of its first node; choosing one lists that group's
/// entries sorted by name in the locale's case-sensitive order. The first
/// group is chosen at first. Title "Found: Duplicates".
class DuplicatesResults : public ResultsWindow {
    Q_OBJECT
public:
    DuplicatesResults(const ResultsSource& source, const search::DuplicateCriteria& criteria,
                      QWidget* parent = nullptr);

    /// The pick list of the groups.
    QComboBox* groups() const { return groups_; }

protected:
    std::string SavedText() const override;

private:
    void ShowGroup(int group);

    search::DuplicateCriteria criteria_;
    QComboBox* groups_ = nullptr;
    /// Where each group begins in the result list, and after the last one
    /// the list's size.
    std::vector<std::size_t> starts_;
};

} // namespace velmora::gui
