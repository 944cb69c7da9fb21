// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "gui/app/Feature.h"
#include "search/ResultList.h"
#include "search/Searches.h"
#include "texts/TextIds.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace velmora::gui {

class Application;
class CollectionViews;
class CommandTable;
class FindDialog;
class Icons;
class ResultsWindow;
class WaitWindow;

/// The search command: the search dialog, the search it asks for over the
/// collection or over a drive, the result window or the no-matches message,
/// and the node chosen there brought into view; again from the dialog while
/// a "Search" button asks for it.
///
/// A search on a drive scans the source in the scan window into a temporary
/// last volume, searches only that, and removes it on every way out: the
/// collection keeps its nodes, its texts and its modified flag. The views let
/// go of the tree while it is scanned and are put back where they stood.
///
/// Searches run on a worker while the wait window shows their progress.
class SearchCommands : public Feature {
public:
    explicit SearchCommands(const FeatureContext& context);

    /// The search command (Tools menu, tool button, F3), enabled while the
    /// collection holds a volume.
    void Register(CommandTable& table) override;
    ~SearchCommands();
    SearchCommands(const SearchCommands&) = delete;
    SearchCommands& operator=(const SearchCommands&) = delete;

    /// The whole command; returns when the last window of it has closed.
    void Search();

    /// The source dialog of "On drive"; tests replace it.
    using SourceChooser = std::function<std::optional<std::string>()>;
    void setSourceChooser(SourceChooser chooser) { chooser_ = std::move(chooser); }

    /// The results of the search running now; empty between commands.
    const search::ResultList& results() const { return results_; }

private:
    /// One round of the command; true when a "Search" button asked for
    /// another.
    bool SearchOnce();
    void SearchCollection();
    void SearchDrive(const std::string& source);
    /// Runs the search of the settings' page from `start` on a worker.
    bool RunSearch(const collection::CollectionTree& tree, std::int64_t start);
    /// The result window of the settings' page; its chosen node, if any.
    collection::NodeId ShowResults(const std::string& driveRoot);
    /// A message with Ok and Search; Search asks for another round.
    void TellWithSearchButton(texts::TextId text);
    std::optional<std::string> ChooseSource();

    Application& app_;
    WaitWindow& wait_;
    CollectionViews& views_;
    QString& lastSaveDir_;
    QWidget* window_;
    SourceChooser chooser_;
    search::ResultList results_;
    bool again_ = false;
};

} // namespace velmora::gui
