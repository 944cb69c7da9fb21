// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/SearchCommands.h"

#include "collection/CollectionStore.h"
#include "gui/app/Application.h"
#include "gui/app/CollectionViews.h"
#include "gui/app/CommandTable.h"
#include "gui/collection/CollectionCommands.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/ModalFocus.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/dialogs/WaitWindow.h"
#include "gui/search/DuplicatesResults.h"
#include "gui/search/FindDialog.h"
#include "gui/search/ResultWindows.h"
#include "gui/volumes/ScanDialog.h"
#include "gui/volumes/SourcePath.h"
#include "platform/QtText.h"
#include "search/DriveSearch.h"
#include "search/SearchCriteria.h"
#include "settings/Settings.h"
#include "system/Volumes.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <memory>

namespace velmora::gui {

using texts::TextId;

namespace {

enum FindArea { NameArea = 0, PropertyArea = 1, TagArea = 2, DuplicatesArea = 3 };

/// Copies what an accepted search dialog changed: the criteria of the four
/// pages and the page.
void TakeSearchSettings(const settings::Settings& from, settings::Settings& to)
{
    search::WriteCriteria(search::NameCriteriaFrom(from), to);
    search::WriteCriteria(search::TagCriteriaFrom(from), to);
    search::WriteCriteria(search::PropertyCriteriaFrom(from), to);
    search::WriteCriteria(search::DuplicateCriteriaFrom(from), to);
    to.findArea = from.findArea;
}

} // namespace

SearchCommands::SearchCommands(const FeatureContext& context)
    : app_(context.app), wait_(context.wait), views_(context.views),
      lastSaveDir_(context.app.folders().lastSave), window_(context.window)
{
}

SearchCommands::~SearchCommands() = default;

void SearchCommands::Search()
{
    while (SearchOnce()) {
    }
}

bool SearchCommands::SearchOnce()
{
    again_ = false;
    const texts::TextTable& texts = app_.texts().table();
    FindDialog dialog(texts, app_.settings(), window_);
    dialog.setSourceChooser([this] { return ChooseSource(); });
    ExecModal(dialog);
    if (dialog.choice() == FindChoice::None)
        return false;
    TakeSearchSettings(dialog.settings(), app_.settings());

    results_.reset();
    if (dialog.choice() == FindChoice::OnDrive)
        SearchDrive(dialog.sourcePath());
    else
        SearchCollection();
    results_.reset();
    return again_;
}

std::optional<std::string> SearchCommands::ChooseSource()
{
    if (chooser_)
        return chooser_();
    const texts::TextTable& texts = app_.texts().table();
    SourcePath dialog(TextOf(texts, TextId::OnDriveCommand), app_.services().volumes, texts,
                      app_.dialogs(), window_);
    if (ExecModal(dialog) != QDialog::Accepted || !dialog.choice())
        return std::nullopt;
    return dialog.choice()->path;
}

void SearchCommands::SearchCollection()
{
    const collection::CollectionTree& tree = app_.store().tree();
    if (!RunSearch(tree, -1)) {
        TellWithSearchButton(TextId::NoMatches);
        return;
    }
    const collection::NodeId chosen = ShowResults({});
    if (chosen != collection::kNoNode)
        views_.SelectNode(chosen);
}

void SearchCommands::SearchDrive(const std::string& source)
{
    // The scan appends to the tree on its worker: the views let go of it
    // until the temporary volume is gone again.
    const CollectionViews::Place place = views_.CurrentPlace();
    views_.DetachViews();
    collection::CollectionTree& tree = app_.store().tree();
    {
        search::TemporaryVolume temporary(tree);
        scan::ScanRequest request;
        request.sourcePath = source;
        request.updateTotals = false;
        request.readId3v2 = app_.settings().readId3v2;
        const texts::TextTable& texts = app_.texts().table();
        ScanDialog scan(tree, app_.services(), request, texts, window_);
        const bool completed = scan.Run();
        if (completed && scan.outcome().warning)
            app_.dialogs().Message(WarningMessage(texts, TextId::NotAllFoldersReadable));
        if (completed && !temporary.grown()) {
            TellWithSearchButton(TextId::NoAudioInSource);
        } else if (completed) {
            if (RunSearch(tree, temporary.start()))
                ShowResults(app_.services().volumes.rootOf(source));
            else
                TellWithSearchButton(TextId::NoMatches);
        }
        // The result list refers to the temporary volume's nodes.
        results_.reset();
    }
    views_.RebuildViewTree();
    views_.RefreshWindow();
    views_.RestorePlace(place);
}

bool SearchCommands::RunSearch(const collection::CollectionTree& tree, std::int64_t start)
{
    const texts::TextTable& texts = app_.texts().table();
    const settings::Settings& settings = app_.settings();
    const std::string waitTitle(texts.Text(TextId::SearchingTitle));
    const std::string sortLine = texts.Step(TextId::SortingTitle);
    const bool duplicates = settings.findArea == DuplicatesArea;
    const std::string waitLine =
        texts.Step(duplicates ? TextId::CopySelectedObjectsStep : TextId::PleaseWaitStep);
    const Services& services = app_.services();
    search::SearchOutcome outcome;
    wait_.Run(platform::ToQString(waitTitle), platform::ToQString(waitLine),
              [&](ProgressState& progress) {
                  const search::SearchScope scope{tree,      services, progress,
                                                  waitTitle, waitLine, sortLine};
                  switch (settings.findArea) {
                  case NameArea:
                      outcome = search::NameSearch(scope, search::NameCriteriaFrom(settings), start,
                                                   results_);
                      break;
                  case PropertyArea:
                      outcome = search::PropertySearch(
                          scope, search::PropertyCriteriaFrom(settings), start, results_);
                      break;
                  case TagArea:
                      outcome = search::TagSearch(scope, search::TagCriteriaFrom(settings), start,
                                                  results_);
                      break;
                  case DuplicatesArea:
                      outcome = search::DuplicateSearch(
                          scope, search::DuplicateCriteriaFrom(settings), start, results_);
                      break;
                  default:
                      break;
                  }
              });
    return outcome.found;
}

collection::NodeId SearchCommands::ShowResults(const std::string& driveRoot)
{
    const settings::Settings& settings = app_.settings();
    const ResultsSource source{app_.store().tree(), results_,       app_.texts().table(),
                               app_.services(),     app_.dialogs(), wait_,
                               lastSaveDir_,        driveRoot,      app_.store().currentPath()};
    std::unique_ptr<ResultsWindow> window;
    switch (settings.findArea) {
    case NameArea:
        window = std::make_unique<NameResults>(source, search::NameCriteriaFrom(settings), window_);
        break;
    case PropertyArea:
        window = std::make_unique<PropertyResults>(source, search::PropertyCriteriaFrom(settings),
                                                   window_);
        break;
    case TagArea:
        window = std::make_unique<TagResults>(source, search::TagCriteriaFrom(settings), window_);
        break;
    default:
        window = std::make_unique<DuplicatesResults>(
            source, search::DuplicateCriteriaFrom(settings), window_);
        break;
    }
    ExecModal(*window);
    if (window->searchAgain())
        again_ = true;
    return window->chosenNode();
}

void SearchCommands::TellWithSearchButton(TextId text)
{
    const texts::TextTable& texts = app_.texts().table();
    MessageRequest request = InformationMessage(texts, text);
    request.caption = TextOf(texts, TextId::SearchMenu);
    request.button2 = TextOf(texts, TextId::SearchMenu);
    request.defaultButton = 1;
    if (app_.dialogs().Message(request) == 2)
        again_ = true;
}

void SearchCommands::Register(CommandTable& table)
{
    SearchCommands& commands = *this;
    table.Add({.id = Command::Search,
               .text = TextId::SearchMenu,
               .shortcut = QKeySequence(Qt::Key_F3),
               .icon = ThemeIcon("edit-find", QStyle::SP_FileDialogContentsView),
               .enabledWhen = rules::HasVolumes,
               .handler = [&commands](bool) { commands.Search(); }});
}

} // namespace velmora::gui
