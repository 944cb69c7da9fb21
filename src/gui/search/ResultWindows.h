// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/search/ResultsWindow.h"
#include "search/SearchCriteria.h"

namespace velmora::gui {

/// The results of a name search: one row per entry of the result list, in
/// its order. Title "Found: Name (text)".
class NameResults : public ResultsWindow {
    Q_OBJECT
public:
    NameResults(const ResultsSource& source, const search::NameCriteria& criteria,
                QWidget* parent = nullptr);

protected:
    std::string SavedText() const override;

private:
    search::NameCriteria criteria_;
};

/// The results of a tag search: after Name and Directory a column for each
/// tag field searched for. Title "Found: Tag".
class TagResults : public ResultsWindow {
    Q_OBJECT
public:
    TagResults(const ResultsSource& source, const search::TagCriteria& criteria,
               QWidget* parent = nullptr);

protected:
    std::string SavedText() const override;

private:
    search::TagCriteria criteria_;
};

/// The results of a property search: after Name and Directory a column for
/// each switched-on term. Title "Found: Property".
class PropertyResults : public ResultsWindow {
    Q_OBJECT
public:
    PropertyResults(const ResultsSource& source, const search::PropertyCriteria& criteria,
                    QWidget* parent = nullptr);

protected:
    std::string SavedText() const override;

private:
    search::PropertyCriteria criteria_;
};

} // namespace velmora::gui
