#pragma once

#include "collection/CollectionStore.h"
#include "gui/CollectionCommands.h"
#include "gui/Icons.h"
#include "gui/WaitWindow.h"
#include "settings/Settings.h"

#include <QMainWindow>
#include <array>
#include <memory>

class QLabel;
class QMenu;
class QSplitter;
class QTableView;
class QToolButton;
class QTreeView;

namespace velmora {
class Clock;
class FileSystem;
class Locale;
class Volumes;
} // namespace velmora
namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

class FileListModel;
class UserDialogs;
class ViewTreeModel;
class VolumeCommands;

/// What the main window works with; everything must outlive it.
struct MainWindowServices {
    FileSystem& files;
    const Clock& clock;
    const Locale& locale;
    const Volumes& volumes;
    const texts::TextTable& texts;
    UserDialogs& dialogs;
    /// Where the settings are read at start and written at the end; nullptr
    /// runs on the defaults and writes nothing.
    settings::SettingsStore* settingsStore = nullptr;
    /// The folder the open and save dialogs start in on a first start.
    std::string startFolder = {};
};

/// The commands of the menus, the tool bar and the context menu.
enum class Command : int {
    New,
    Open,
    Save,
    SaveAs,
    Import,
    Statistics,
    Report,
    Exit,
    Add,
    Delete,
    Sort,
    GridLines,
    HotTrack,
    TagInfo,
    ToolBar,
    StatusBar,
    Search,
    TagEditor,
    CdCover,
    Options,
    Info,
    History,
    License,
    Homepage,
    Feedback,
    Donation,
    About,
    Play,
    Enqueue,
    Update,
    DeleteThis,
    Rename,
    Playlist,
    Tag,
    Selected,
    Count
};

/// The main window: the view tree of volumes and folders beside the list of
/// the chosen one's contents, both Qt models over the collection tree; six
/// status panels for the current node; menus, tool bar and context menu.
/// The collection file commands live in CollectionCommands, which talks to
/// the user through the injected UserDialogs.
class MainWindow : public QMainWindow, private CollectionViews {
    Q_OBJECT
public:
    explicit MainWindow(const MainWindowServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Reads the settings and applies them to the window (stored bounds cut
    /// to fit on the screen), then opens the collection named on the command
    /// line when it loads (a file that cannot be loaded is told with 048, as
    /// Open tells it, and passed over), else the last collection when
    /// auto-open is on and it loads, else a new one.
    void StartUp(const QString& commandLineCollection);
    /// Collects the window's values into the settings record and writes it
    /// to the store; false when there is no store or it refused the write.
    bool WriteSettings();
    const settings::Settings& settingsRecord() const { return settings_; }

    /// Builds the view tree anew, refills the list, the status bar and the
    /// enabled commands.
    void RebuildViewTree() override;
    /// Refills the list from the view tree's selection.
    void FillList();
    /// The six panels for the current node.
    void UpdateStatusBar();
    /// Enables and shows the commands by the collection's state.
    void UpdateMenuState();
    /// Brings a node into view: a volume or folder in the tree, a file in
    /// the list of its folder.
    void ShowNode(collection::NodeId node);
    /// The node of the tree's selection when the tree has the focus, else of
    /// the list's selection when the list has it, else kNoNode.
    collection::NodeId CurrentNode() const;
    /// Sets every caption from the text table.
    void ApplyMainWindowTexts();
    /// The Selected command (F9) on the current node.
    void ToggleSelectedMark();
    /// Selects the first volume and gives the tree the focus.
    void SelectFirstVolume();
    /// Opening from the list: a folder item selects its view item.
    void OpenListItem(const QModelIndex& index);
    /// Rebuilds the context menu for the current node; returns it.
    QMenu* PrepareContextMenu();

    QAction* action(Command command) const { return actions_[static_cast<int>(command)]; }
    /// The tool bar's entry of a command, nullptr for commands without one.
    QAction* toolAction(Command command) const { return toolActions_[static_cast<int>(command)]; }
    QString statusText(int panel) const;
    QTreeView* treeView() const { return tree_; }
    QTableView* listView() const { return list_; }
    ViewTreeModel* treeModel() const { return treeModel_; }
    FileListModel* listModel() const { return listModel_; }
    collection::CollectionStore& store() { return store_; }
    CollectionCommands& commands() { return commands_; }
    WaitWindow& waitWindow() { return wait_; }
    VolumeCommands& volumeCommands() { return *volumeCommands_; }
    QMenu* recentFilesMenu() const { return recentMenu_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // CollectionViews
    void DetachViews() override;
    void RefreshWindow() override;
    void StateChanged() override;
    void SelectNode(collection::NodeId node) override;
    void NodeRenamed(collection::NodeId node) override;

    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateViews();
    void CreateStatusBar();
    QAction* MakeAction(Command command, const QKeySequence& shortcut = {}, const QIcon& icon = {});
    QAction* MakeToolAction(Command command);
    void ClearStatusBar();
    void LayoutStatusPanels();
    void FillRecentFilesMenu();
    void ShowStatistics();
    void SetTagInfo(bool on);
    void SetHotTrack(bool on);
    void OnTreeSelectionChanged();
    void OnListSortClicked(int column);
    void ShowContextMenu(QWidget* view, const QPoint& position);
    void UpdateCaption();
    void ApplySettings(const settings::ReadResult& read);
    void CollectSettings();

    MainWindowServices services_;
    settings::Settings settings_;
    collection::CollectionStore store_;
    Icons icons_;
    WaitWindow wait_;
    CollectionCommands commands_;
    std::unique_ptr<VolumeCommands> volumeCommands_;
    ViewTreeModel* treeModel_ = nullptr;
    FileListModel* listModel_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QTreeView* tree_ = nullptr;
    QTableView* list_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QToolButton* openButton_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    std::array<QMenu*, 5> menus_{};
    QAction* separatorAfterDelete_ = nullptr;
    std::array<QAction*, 3> contextSeparators_{};
    std::array<QLabel*, 6> panels_{};
    std::array<QAction*, static_cast<int>(Command::Count)> actions_{};
    std::array<QAction*, static_cast<int>(Command::Count)> toolActions_{};
};

} // namespace velmora::gui
