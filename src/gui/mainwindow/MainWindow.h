// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "gui/app/CollectionViews.h"
#include "gui/app/CommandTable.h"
#include "gui/app/Feature.h"
#include "gui/dialogs/WaitWindow.h"
#include "texts/ActiveTexts.h"

#include <QMainWindow>
#include <memory>
#include <vector>

class QMenu;
class QUrl;
class QSplitter;
class QTableView;
class QTreeView;

namespace velmora::collection {
class CollectionStore;
}
namespace velmora::settings {
struct ReadResult;
struct Settings;
} // namespace velmora::settings

namespace velmora::gui {

class Application;
class CollectionCommands;
class CommandActions;
class FileListModel;
class StatusPanels;
class PlaybackCommands;
class ReportCommands;
class SearchCommands;
class TagCommands;
class ViewTreeModel;
class VolumeCommands;

/// The main window, a view over the application object and the command
/// table: the view tree of volumes and folders beside the list of the chosen
/// one's contents, both Qt models over the collection tree; six status
/// panels for the current node; menus, tool bar and context menu built from
/// the command table. The commands live in the features (see Feature), each
/// made from the same context and registering its own rows; the window keeps
/// its views, models and settings. It labels itself again whenever the
/// active text table is replaced.
class MainWindow : public QMainWindow, private CollectionViews {
    Q_OBJECT
public:
    /// The smallest window (pixels), tree pane and list column widths.
    static constexpr int kMinimumWidth = 640;
    static constexpr int kMinimumHeight = 480;
    static constexpr int kMinimumTreeWidth = 100;
    static constexpr int kMinimumColumnWidth = 10;

    /// `application` must outlive the window.
    explicit MainWindow(Application& application, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Reads the settings and applies them to the window (stored bounds cut
    /// to fit on the screen), then opens the collection named on the command
    /// line when it loads (a file that cannot be loaded is told with
    /// CannotOpenFile, as Open tells it, and passed over), else the last
    /// collection when auto-open is on and it loads, else a new one.
    void StartUp(const QString& commandLineCollection);
    /// Collects the window's values into the settings record and writes it
    /// to the store; false when there is no store or it refused the write.
    bool WriteSettings();
    const settings::Settings& settingsRecord() const;

    /// Builds the view tree anew, refills the list, the status bar and the
    /// enabled commands.
    void RebuildViewTree() override;
    /// Refills the list from the view tree's selection.
    void FillList();
    /// The six panels for the current node.
    void UpdateStatusBar();
    /// Enables the commands and shows the tool buttons by the table's rules.
    void UpdateMenuState();
    /// Brings a node into view: a volume or folder in the tree, a file in
    /// the list of its folder.
    void ShowNode(collection::NodeId node);
    /// The node of the tree's selection when the tree has the focus, else of
    /// the list's selection when the list has it, else kNoNode.
    collection::NodeId CurrentNode() const;
    /// The tree's node when the tree has the focus, else the list's
    /// selected rows in list order; empty when there is none.
    std::vector<collection::NodeId> CurrentNodes() const;
    /// What the commands' rules look at now.
    CommandState commandState() const;
    /// Sets every caption from the active text table: actions, menus, tool
    /// buttons, list headers, status bar.
    void ApplyMainWindowTexts();
    /// The Selected command (F9) on the current nodes: each takes the
    /// opposite of the first one's mark.
    void ToggleSelectedMark();
    /// Backspace: the tree moves up to the parent of its folder; with the
    /// list focused, the list then shows the folder it came from.
    void GoUp();
    /// Shift+F10 or the Menu key: the context menu of the focused view at
    /// its current item.
    void ShowContextMenuOfFocus();
    /// A dropped collection file opens (with `import`, or in the older
    /// format, is imported) as Open or Import opens it; a dropped folder over the tree is added as
    /// a volume. False when the drop is of nothing the window takes.
    bool DropPaths(const QList<QUrl>& urls, bool import, bool overTree);
    /// Selects the first volume and gives the tree the focus.
    void SelectFirstVolume();
    /// Opening from the list (a double-click, or Enter pressed while the
    /// list has the keyboard): a folder item selects its view item, anything
    /// else is played.
    void OpenListItem(const QModelIndex& index);
    /// Shows the context menu's entries for the current node; returns it.
    QMenu* PrepareContextMenu();

    Application& application() { return app_; }
    const CommandTable& commandTable() const { return table_; }
    QAction* action(Command command) const;
    /// The tool bar's entry of a command, nullptr for commands without one.
    QAction* toolAction(Command command) const;
    QString statusText(int panel) const;
    QTreeView* treeView() const { return tree_; }
    QTableView* listView() const { return list_; }
    ViewTreeModel* treeModel() const { return treeModel_; }
    FileListModel* listModel() const { return listModel_; }
    collection::CollectionStore& store();
    WaitWindow& waitWindow() { return wait_; }
    /// The features, for tests.
    CollectionCommands& commands() const;
    VolumeCommands& volumeCommands() const;
    SearchCommands& searchCommands() const;
    ReportCommands& reportCommands() const;
    PlaybackCommands& playbackCommands() const;
    TagCommands& tagCommands() const;
    QMenu* recentFilesMenu() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // CollectionViews
    void DetachViews() override;
    void RefreshWindow() override;
    void StateChanged() override;
    void SelectNode(collection::NodeId node) override;
    void NodeRenamed(collection::NodeId node) override;
    Place CurrentPlace() const override;
    void RestorePlace(const Place& place) override;
    void FocusTree() override;

    /// The feature of type F.
    template <typename F> F& feature() const;

    void RegisterWindowCommands();
    void CreateViews();
    void FillRecentFilesMenu();
    /// The recent files at the end of the Collection menu, before Exit.
    void FillCollectionMenu();
    /// The recent files as numbered entries of `menu`, each opening its file.
    QList<QAction*> MakeRecentEntries(QMenu* menu);
    /// Whether a drag at `position` (of the window) is over the tree.
    bool OverTree(const QPointF& position) const;
    void CreateKeys();
    void ShowHeaderMenu(const QPoint& position);
    /// View's Sorting menu: the list's columns and Reverse order, for the
    /// keyboard as the header is for the mouse.
    void CreateSortMenu();
    void ShowSortInMenu();
    void SetColumnShown(int column, bool shown);
    void SetTagInfo(bool on);
    void SetHotTrack(bool on);
    void OnTreeSelectionChanged();
    void ShowContextMenu(QWidget* view, const QPoint& position);
    void UpdateCaption();
    void ApplySettings(const settings::ReadResult& read);
    void CollectSettings();

    Application& app_;
    WaitWindow wait_;
    CommandTable table_;
    // After the wait window, which they use, and before the views, which go
    // with the base class.
    std::vector<std::unique_ptr<Feature>> features_;
    std::unique_ptr<CommandActions> actions_;
    std::unique_ptr<StatusPanels> panels_;
    texts::ActiveTexts::Subscription textsSubscription_ = 0;
    ViewTreeModel* treeModel_ = nullptr;
    FileListModel* listModel_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QTreeView* tree_ = nullptr;
    QTableView* list_ = nullptr;
    /// The recent-file entries of the Collection menu.
    QList<QAction*> recentEntries_;
    QMenu* sortMenu_ = nullptr;
    std::vector<QAction*> sortEntries_; ///< by column
    QAction* reverseEntry_ = nullptr;
};

} // namespace velmora::gui
