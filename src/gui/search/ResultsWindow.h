// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "search/ResultList.h"
#include "texts/TextIds.h"

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QTableView;
class QVBoxLayout;

namespace velmora {
struct Services;
}
namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

class ResultsModel;
class UserDialogs;
class WaitWindow;

/// What a result window shows and uses. Every reference must outlive the
/// window; the tree and the result list stay unchanged while it is open.
struct ResultsSource {
    const collection::CollectionTree& tree;
    const search::ResultList& results;
    const texts::TextTable& texts;
    /// The files Save writes to, the locale of the decimal separator and the
    /// order of the duplicate rows.
    const Services& services;
    UserDialogs& dialogs;
    /// Shown while the window is filled and while a list is saved.
    WaitWindow& wait;
    /// The folder the save dialog starts in; Save sets it to the folder of
    /// the file chosen.
    QString& lastSaveDir;
    /// Empty after a search of the collection; after a search on a drive the
    /// searched source's mount point, so rows show real folders.
    std::string driveRoot;
    /// The open collection's file, which Save refuses to write; empty for
    /// an untitled collection.
    std::string collectionPath = {};
};

/// The common part of the four modal result windows: a title, the list of
/// found nodes (columns Name and Directory, then those of the kind of
/// search; the headers do not sort), which has the focus at first, and the
/// buttons Close (also Escape), Save and Search. Left of the buttons a line
/// tells how many rows the list holds ("Found: 12"), in the window's texts,
/// whenever the rows change.
///
/// Double-click or Enter on a row closes the window, remembers the row's
/// node and hands it to the node callback. Search closes it with the
/// search-again request set. Save writes SavedText() to a file chosen in the
/// save dialog, UTF-8 with CR LF line ends, and tells ReportCreated or
/// CannotSaveFile; it refuses the collection's own file (see
/// RefuseCollectionFile()). The window stays open.
class ResultsWindow : public QDialog {
    Q_OBJECT
public:
    using NodeChosen = std::function<void(collection::NodeId)>;

    ~ResultsWindow() override;

    /// Called with the node of the row double-clicked or entered, after the
    /// window has closed.
    void setNodeChosen(NodeChosen chosen) { nodeChosen_ = std::move(chosen); }

    /// The node of the row chosen; kNoNode when the window was closed
    /// otherwise.
    collection::NodeId chosenNode() const { return chosenNode_; }
    /// Whether Search closed the window: the caller shows the search dialog
    /// again.
    bool searchAgain() const { return searchAgain_; }

    const ResultsModel& model() const { return *model_; }

    /// Save: the save dialog, then the file and the message.
    void Save();
    /// Double-click or Enter: chooses the selected row's node and closes.
    void ChooseSelected();

    struct Controls {
        QTableView* list = nullptr;
        QLabel* count = nullptr;
        QPushButton* close = nullptr;
        QPushButton* save = nullptr;
        QPushButton* search = nullptr;
    };
    const Controls& controls() const { return controls_; }

protected:
    ResultsWindow(const ResultsSource& source, const QString& title, QWidget* parent);

    /// "Found: " and the text `what`.
    static QString FoundTitle(const texts::TextTable& texts, texts::TextId what);

    /// The whole saved file (see search/ResultFiles.h).
    virtual std::string SavedText() const = 0;

    /// Puts a control above the list.
    void AddAboveList(QWidget* widget);
    /// Selects and makes current the first row, if any.
    void SelectFirstRow();

    /// Shows the wait window of the filling; CloseWait() ends it.
    void ShowBuildingWait();
    void CloseWait();

    const ResultsSource& source() const { return source_; }
    ResultsModel& listModel() { return *model_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowRowCount();

    ResultsSource source_;
    ResultsModel* model_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    Controls controls_;
    NodeChosen nodeChosen_;
    collection::NodeId chosenNode_ = collection::kNoNode;
    bool searchAgain_ = false;
};

} // namespace velmora::gui
