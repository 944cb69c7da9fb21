// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/ResultWindows.h"

#include "gui/search/ResultsModel.h"
#include "platform/QtText.h"
#include "search/ResultFiles.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

namespace velmora::gui {

using texts::TextId;

NameResults::NameResults(const ResultsSource& source, const search::NameCriteria& criteria,
                         QWidget* parent)
    : ResultsWindow(source,
                    FoundTitle(source.texts, TextId::SearchNameLabel) + QStringLiteral(" (") +
                        platform::ToQString(criteria.text) + QStringLiteral(")"),
                    parent),
      criteria_(criteria)
{
    ShowBuildingWait();
    listModel().ShowAll();
    CloseWait();
    SelectFirstRow();
}

std::string NameResults::SavedText() const
{
    return search::NameResultsFile(source().tree, source().results, criteria_, source().texts,
                                   source().driveRoot);
}

TagResults::TagResults(const ResultsSource& source, const search::TagCriteria& criteria,
                       QWidget* parent)
    : ResultsWindow(source, FoundTitle(source.texts, TextId::TagCommand), parent),
      criteria_(criteria)
{
    ShowBuildingWait();
    listModel().SetTagColumns(criteria);
    listModel().ShowAll();
    CloseWait();
    SelectFirstRow();
}

std::string TagResults::SavedText() const
{
    return search::TagResultsFile(source().tree, source().results, criteria_, source().texts,
                                  source().driveRoot);
}

PropertyResults::PropertyResults(const ResultsSource& source,
                                 const search::PropertyCriteria& criteria, QWidget* parent)
    : ResultsWindow(source, FoundTitle(source.texts, TextId::PropertyCommand), parent),
      criteria_(criteria)
{
    ShowBuildingWait();
    listModel().SetPropertyColumns(criteria);
    listModel().ShowAll();
    CloseWait();
    SelectFirstRow();
}

std::string PropertyResults::SavedText() const
{
    return search::PropertyResultsFile(source().tree, source().results, criteria_, source().texts,
                                       source().driveRoot);
}

} // namespace velmora::gui
