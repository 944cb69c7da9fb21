// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "collection/SelectedMarks.h"
#include "gui/app/Application.h"
#include "gui/app/CommandActions.h"
#include "gui/collection/CollectionCommands.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/StatusPanels.h"
#include "gui/mainwindow/ViewTreeModel.h"
#include "gui/playback/PlaybackCommands.h"
#include "gui/volumes/VolumeCommands.h"
#include "system/Locale.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>
#include <QTreeView>
#include <QUrl>
#include <algorithm>
#include <functional>

// The views of the main window: the view tree and the list, and what the
// features ask of them.

namespace velmora::gui {

using collection::kNoNode;
using collection::NodeId;

namespace {

constexpr std::array<int, collection::kListAllColumnCount> kDefaultColumnWidths = {
    300, 100, 100, 100, 70, 70, 100, 80, 70, 110, 90, 90};

// Shows a cell's whole text in a tool tip when the column cuts it off.
class CellTips : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const QString text = index.data(Qt::DisplayRole).toString();
        if (!text.isEmpty() && sizeHint(option, index).width() > option.rect.width())
            QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
        else
            QToolTip::hideText();
        return true;
    }
};

// The local paths of dropped addresses.
QStringList LocalPaths(const QList<QUrl>& urls)
{
    QStringList paths;
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            paths.push_back(url.toLocalFile());
    }
    return paths;
}

bool IsCollectionFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("col") || suffix == QLatin1String("vlm");
}

// Whether a drag carries something the window takes: a collection file
// anywhere, a folder over the tree.
bool Takes(const QMimeData* data, bool overTree)
{
    const QStringList paths = LocalPaths(data->urls());
    if (paths.isEmpty())
        return false;
    const QFileInfo info(paths.first());
    return info.isDir() ? overTree : IsCollectionFile(paths.first());
}

} // namespace

void MainWindow::CreateViews()
{
    treeModel_ = new ViewTreeModel(app_.store().tree(), app_.icons(), this);
    listModel_ = new FileListModel(app_.store().tree(), app_.texts(), app_.icons(),
                                   app_.services().locale.decimalSeparator(), this);
    tree_ = new QTreeView;
    tree_->setModel(treeModel_);
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    tree_->setMinimumWidth(kMinimumTreeWidth);

    list_ = new QTableView;
    list_->setModel(listModel_);
    list_->setShowGrid(false);
    list_->setWordWrap(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Shift and Ctrl mark several rows; Tab leaves the list, the arrows
    // move inside it.
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setTabKeyNavigation(false);
    list_->setItemDelegate(new CellTips(list_));
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    QHeaderView* header = list_->horizontalHeader();
    header->setMinimumSectionSize(kMinimumColumnWidth);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(true);
    // A click on a header orders by its column, a second one reverses the
    // order; the header's arrow shows which.
    header->setSortIndicatorShown(true);
    header->setSortIndicator(0, Qt::AscendingOrder);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    for (int c = 0; c < collection::kListAllColumnCount; ++c)
        header->resizeSection(c, kDefaultColumnWidths[static_cast<std::size_t>(c)]);
    for (int c = collection::kListColumnCount; c < collection::kListAllColumnCount; ++c)
        list_->setColumnHidden(c, true);
    list_->installEventFilter(this);

    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->addWidget(tree_);
    splitter_->addWidget(list_);
    splitter_->setStretchFactor(1, 1);
    splitter_->setChildrenCollapsible(false);
    setCentralWidget(splitter_);
    splitter_->setSizes({width() / 3, width() - width() / 3});

    connect(tree_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::OnTreeSelectionChanged);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        UpdateStatusBar();
        UpdateMenuState();
    });
    // The commands on the current node follow the view that has the focus.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old == tree_ || old == list_ || now == tree_ || now == list_)
            UpdateMenuState();
    });
    connect(header, &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                listModel_->SetSortColumn(column, order == Qt::DescendingOrder);
            });
    connect(header, &QWidget::customContextMenuRequested, this, &MainWindow::ShowHeaderMenu);
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { ShowContextMenu(tree_, position); });
    connect(list_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { ShowContextMenu(list_, position); });
    connect(list_, &QAbstractItemView::doubleClicked, this, &MainWindow::OpenListItem);
}

void MainWindow::DetachViews()
{
    listModel_->Clear();
    treeModel_->Clear();
}

void MainWindow::RebuildViewTree()
{
    treeModel_->Rebuild();
}

void MainWindow::SelectNode(NodeId node)
{
    ShowNode(node);
}

void MainWindow::NodeRenamed(NodeId node)
{
    treeModel_->NodeChanged(node);
    listModel_->NamesChanged();
    UpdateStatusBar();
}

CollectionViews::Place MainWindow::CurrentPlace() const
{
    Place place;
    place.folder = treeModel_->nodeOf(tree_->currentIndex());
    const QModelIndex item = list_->currentIndex();
    place.item = item.isValid() ? listModel_->nodeAt(item.row()) : kNoNode;
    place.listFocused = focusWidget() == list_;
    return place;
}

void MainWindow::FocusTree()
{
    tree_->setFocus();
}

void MainWindow::RestorePlace(const Place& place)
{
    const QModelIndex folder = treeModel_->indexOf(place.folder);
    if (!folder.isValid())
        return;
    tree_->setCurrentIndex(folder);
    tree_->scrollTo(folder);
    const int row = place.item == kNoNode ? -1 : listModel_->rowOf(place.item);
    if (row >= 0) {
        const QModelIndex item = listModel_->index(row, 0);
        list_->setCurrentIndex(item);
        list_->scrollTo(item);
    }
    if (place.listFocused && row >= 0)
        list_->setFocus();
    else
        tree_->setFocus();
    UpdateStatusBar();
}

void MainWindow::RefreshWindow()
{
    FillList();
    UpdateStatusBar();
    UpdateMenuState();
}

void MainWindow::FillList()
{
    const QModelIndexList selected = tree_->selectionModel()->selectedIndexes();
    const NodeId parent = selected.isEmpty() ? kNoNode : treeModel_->nodeOf(selected.first());
    listModel_->Fill(parent);
    if (listModel_->rowCount() > 0)
        list_->selectionModel()->setCurrentIndex(listModel_->index(0, 0),
                                                 QItemSelectionModel::NoUpdate);
}

NodeId MainWindow::CurrentNode() const
{
    const QWidget* focus = focusWidget();
    if (focus == tree_) {
        const QModelIndexList selected = tree_->selectionModel()->selectedIndexes();
        if (!selected.isEmpty())
            return treeModel_->nodeOf(selected.first());
    }
    if (focus == list_) {
        // The row under the cursor when it is selected, else the first one.
        const QItemSelectionModel* selection = list_->selectionModel();
        const QModelIndex current = list_->currentIndex();
        if (current.isValid() && selection->isRowSelected(current.row()))
            return listModel_->nodeAt(current.row());
        const QModelIndexList rows = selection->selectedRows();
        if (!rows.isEmpty())
            return listModel_->nodeAt(rows.first().row());
    }
    return kNoNode;
}

std::vector<NodeId> MainWindow::CurrentNodes() const
{
    std::vector<NodeId> nodes;
    if (focusWidget() == list_) {
        std::vector<int> rows;
        for (const QModelIndex& index : list_->selectionModel()->selectedRows())
            rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
        for (const int row : rows)
            nodes.push_back(listModel_->nodeAt(row));
    } else if (const NodeId node = CurrentNode(); node != kNoNode) {
        nodes.push_back(node);
    }
    return nodes;
}

void MainWindow::OnTreeSelectionChanged()
{
    FillList();
    UpdateStatusBar();
    UpdateMenuState();
}

void MainWindow::SetTagInfo(bool on)
{
    for (int c = 1; c < collection::kListColumnCount; ++c)
        list_->setColumnHidden(c, !on);
}

void MainWindow::SetColumnShown(int column, bool shown)
{
    list_->setColumnHidden(column, !shown);
    if (shown && list_->columnWidth(column) < kMinimumColumnWidth)
        list_->setColumnWidth(column, kDefaultColumnWidths[static_cast<std::size_t>(column)]);
}

void MainWindow::ShowHeaderMenu(const QPoint& position)
{
    // The optional columns, switched on and off here.
    QMenu menu;
    for (int c = collection::kListColumnCount; c < collection::kListAllColumnCount; ++c) {
        QAction* entry = menu.addAction(listModel_->headerData(c, Qt::Horizontal).toString());
        entry->setCheckable(true);
        entry->setChecked(!list_->isColumnHidden(c));
        connect(entry, &QAction::toggled, this, [this, c](bool on) { SetColumnShown(c, on); });
    }
    menu.exec(list_->horizontalHeader()->mapToGlobal(position));
}

void MainWindow::CreateSortMenu()
{
    QMenu* view = actions_->viewMenu();
    view->addSeparator();
    sortMenu_ = view->addMenu(QString());
    auto* columns = new QActionGroup(sortMenu_);
    for (int c = 0; c < collection::kListAllColumnCount; ++c) {
        QAction* entry = sortMenu_->addAction(QString());
        entry->setCheckable(true);
        columns->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, c] {
            list_->horizontalHeader()->setSortIndicator(
                c, listModel_->descending() ? Qt::DescendingOrder : Qt::AscendingOrder);
        });
        sortEntries_.push_back(entry);
    }
    sortMenu_->addSeparator();
    reverseEntry_ = sortMenu_->addAction(QString());
    reverseEntry_->setCheckable(true);
    connect(reverseEntry_, &QAction::triggered, this, [this](bool reversed) {
        list_->horizontalHeader()->setSortIndicator(
            listModel_->sortColumn(), reversed ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    connect(sortMenu_, &QMenu::aboutToShow, this, &MainWindow::ShowSortInMenu);
}

void MainWindow::ShowSortInMenu()
{
    sortEntries_[static_cast<std::size_t>(listModel_->sortColumn())]->setChecked(true);
    reverseEntry_->setChecked(listModel_->descending());
}

void MainWindow::GoUp()
{
    const QModelIndex folder = tree_->currentIndex();
    const QModelIndex parent = folder.parent();
    if (!parent.isValid())
        return;
    const bool inList = list_->hasFocus();
    const NodeId from = treeModel_->nodeOf(folder);
    tree_->setCurrentIndex(parent);
    tree_->scrollTo(parent);
    if (!inList)
        return;
    // The list shows the parent's contents with the folder it came from.
    if (const int row = listModel_->rowOf(from); row >= 0) {
        const QModelIndex item = listModel_->index(row, 0);
        list_->setCurrentIndex(item);
        list_->scrollTo(item);
    }
}

void MainWindow::CreateKeys()
{
    const auto add = [this](QWidget* owner, const QList<QKeySequence>& keys,
                            Qt::ShortcutContext context, const std::function<void()>& run) {
        auto* key = new QAction(owner);
        key->setShortcuts(keys);
        key->setShortcutContext(context);
        connect(key, &QAction::triggered, this, run);
        owner->addAction(key);
    };
    // F10 opens the menu bar's first menu; the arrows go on from there.
    add(this, {QKeySequence(Qt::Key_F10)}, Qt::WindowShortcut, [this] {
        const QList<QAction*> menus = menuBar()->actions();
        if (!menus.isEmpty())
            menuBar()->setActiveAction(menus.first());
    });
    add(this, {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)},
        Qt::WindowShortcut, [this] { ShowContextMenuOfFocus(); });
    // Delete on a volume of the tree deletes it, after its question.
    add(tree_, {QKeySequence(Qt::Key_Delete)}, Qt::WidgetShortcut,
        [this] { action(Command::DeleteThis)->trigger(); });
    for (QWidget* view : {static_cast<QWidget*>(tree_), static_cast<QWidget*>(list_)})
        add(view, {QKeySequence(Qt::Key_Backspace)}, Qt::WidgetShortcut, [this] { GoUp(); });
}

bool MainWindow::DropPaths(const QList<QUrl>& urls, bool import, bool overTree)
{
    const QStringList paths = LocalPaths(urls);
    if (paths.isEmpty())
        return false;
    const QString& path = paths.first();
    const QFileInfo info(path);
    if (info.isDir()) {
        if (!overTree)
            return false;
        volumeCommands().AddFrom(path);
        return true;
    }
    if (!IsCollectionFile(path))
        return false;
    // Open reads only the current format: a file of the older one is
    // imported.
    if (import || info.suffix() == QLatin1String("vlm"))
        commands().ImportFile(path);
    else if (commands().OpenCollection(path))
        tree_->setFocus();
    return true;
}

bool MainWindow::OverTree(const QPointF& position) const
{
    return tree_->rect().contains(tree_->mapFrom(this, position.toPoint()));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const bool overTree = OverTree(event->position());
    if (Takes(event->mimeData(), overTree))
        event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    const bool overTree = OverTree(event->position());
    if (Takes(event->mimeData(), overTree))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const bool overTree = OverTree(event->position());
    if (!Takes(event->mimeData(), overTree))
        return;
    event->acceptProposedAction();
    // The questions and windows of Open and Add come after the drop has
    // ended, so that the program the drag came from is free again.
    const QList<QUrl> urls = event->mimeData()->urls();
    const bool import = event->modifiers().testFlag(Qt::ControlModifier);
    QMetaObject::invokeMethod(
        this, [this, urls, import, overTree] { DropPaths(urls, import, overTree); },
        Qt::QueuedConnection);
}

void MainWindow::SetHotTrack(bool on)
{
    const QString sheet =
        on ? QStringLiteral("QAbstractItemView::item:hover { background: palette(midlight); }")
           : QString();
    tree_->setMouseTracking(on);
    list_->setMouseTracking(on);
    tree_->setStyleSheet(sheet);
    list_->setStyleSheet(sheet);
}

void MainWindow::ToggleSelectedMark()
{
    const std::vector<NodeId> nodes = CurrentNodes();
    if (nodes.empty())
        return;
    collection::CollectionTree& tree = app_.store().tree();
    const bool mark = !tree.selected(nodes.front());
    for (const NodeId node : nodes) {
        if (tree.selected(node) != mark)
            collection::ToggleSelected(tree, node);
        treeModel_->MarksChanged(node);
    }
    listModel_->MarksChanged();
}

void MainWindow::OpenListItem(const QModelIndex& index)
{
    const NodeId node = listModel_->nodeAt(index.row());
    if (node == kNoNode)
        return;
    const collection::CollectionTree& tree = app_.store().tree();
    const QModelIndexList selected = tree_->selectionModel()->selectedIndexes();
    if (tree.hasChildren(node) && !selected.isEmpty()) {
        const QModelIndex current = selected.first();
        const std::string_view caption = collection::NodeName(tree.text(node));
        for (int row = 0; row < treeModel_->rowCount(current); ++row) {
            const QModelIndex child = treeModel_->index(row, 0, current);
            if (collection::NodeName(tree.text(treeModel_->nodeOf(child))) == caption) {
                tree_->setCurrentIndex(child);
                return;
            }
        }
    }
    playbackCommands().Play({node});
}

void MainWindow::ShowNode(NodeId node)
{
    if (node == kNoNode)
        return;
    const collection::CollectionTree& tree = app_.store().tree();
    if (tree.hasChildren(node)) {
        const QModelIndex index = treeModel_->indexOf(node);
        if (!index.isValid())
            return;
        tree_->setCurrentIndex(index);
        tree_->scrollTo(index);
        tree_->setFocus();
    } else {
        const QModelIndex folder = treeModel_->indexOf(tree.parent(node));
        if (!folder.isValid())
            return;
        tree_->setCurrentIndex(folder);
        tree_->scrollTo(folder);
        const int row = listModel_->rowOf(node);
        if (row >= 0) {
            const QModelIndex item = listModel_->index(row, 0);
            list_->setFocus();
            list_->setCurrentIndex(item);
            list_->scrollTo(item);
        }
    }
    UpdateStatusBar();
}

void MainWindow::SelectFirstVolume()
{
    const QModelIndex first = treeModel_->index(0, 0);
    if (!first.isValid())
        return;
    tree_->setFocus();
    tree_->setCurrentIndex(first);
    tree_->expand(first);
    UpdateStatusBar();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Enter acts on its press, and only while the list has the keyboard: the
    // release of an Enter that closed a dialog (or was pressed elsewhere)
    // comes to the list too, and must not open its row, nor open an error
    // message again that the same key closes.
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (list_->hasFocus() && !key->isAutoRepeat()) {
                const QModelIndexList rows = list_->selectionModel()->selectedRows();
                if (!rows.isEmpty())
                    OpenListItem(rows.first());
            }
            return true;
        }
    }
    if (watched == list_ && event->type() == QEvent::FocusIn)
        QMetaObject::invokeMethod(this, &MainWindow::UpdateStatusBar, Qt::QueuedConnection);
    return QMainWindow::eventFilter(watched, event);
}

} // namespace velmora::gui
