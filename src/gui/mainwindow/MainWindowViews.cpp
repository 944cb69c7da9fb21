// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "collection/SelectedMarks.h"
#include "gui/app/Application.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/StatusPanels.h"
#include "gui/mainwindow/ViewTreeModel.h"
#include "gui/playback/PlaybackCommands.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSplitter>
#include <QTableView>
#include <QTreeView>

// The views of the main window: the view tree and the list, and what the
// features ask of them.

namespace velmora::gui {

using collection::kNoNode;
using collection::NodeId;

namespace {

constexpr std::array<int, collection::kListColumnCount> kDefaultColumnWidths = {300, 100, 100, 100,
                                                                                70,  70,  100};

} // namespace

void MainWindow::CreateViews()
{
    treeModel_ = new ViewTreeModel(app_.store().tree(), app_.icons(), this);
    listModel_ = new FileListModel(app_.store().tree(), app_.texts(), app_.icons(), this);
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
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
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
    for (int c = 0; c < collection::kListColumnCount; ++c)
        header->resizeSection(c, kDefaultColumnWidths[static_cast<std::size_t>(c)]);
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
    connect(header, &QHeaderView::sectionClicked, this, &MainWindow::OnListSortClicked);
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
        const QModelIndexList rows = list_->selectionModel()->selectedRows();
        if (!rows.isEmpty())
            return listModel_->nodeAt(rows.first().row());
    }
    return kNoNode;
}

void MainWindow::OnTreeSelectionChanged()
{
    FillList();
    UpdateStatusBar();
    UpdateMenuState();
}

void MainWindow::OnListSortClicked(int column)
{
    listModel_->SetSortColumn(column);
}

void MainWindow::SetTagInfo(bool on)
{
    for (int c = 1; c < collection::kListColumnCount; ++c)
        list_->setColumnHidden(c, !on);
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
    const NodeId node = CurrentNode();
    if (node == kNoNode)
        return;
    collection::ToggleSelected(app_.store().tree(), node);
    treeModel_->MarksChanged(node);
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
    playbackCommands().Play(node);
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
