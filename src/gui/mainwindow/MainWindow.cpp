#include "gui/mainwindow/MainWindow.h"

#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "collection/SelectedMarks.h"
#include "display/StatusTexts.h"
#include "gui/app/Application.h"
#include "gui/app/CommandActions.h"
#include "gui/app/WaitingCommands.h"
#include "gui/collection/Statistic.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/mainwindow/StatusPanels.h"
#include "gui/mainwindow/ViewTreeModel.h"
#include "gui/playback/PlaybackCommands.h"
#include "gui/reports/ReportCommands.h"
#include "gui/search/SearchCommands.h"
#include "gui/tags/TagCommands.h"
#include "gui/volumes/VolumeCommands.h"
#include "system/Locale.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>
#include <algorithm>

namespace velmora::gui {

using collection::kNoNode;
using collection::NodeId;

namespace {

using texts::TextId;

constexpr std::array<int, collection::kListColumnCount> kDefaultColumnWidths = {300, 100, 100, 100,
                                                                                70,  70,  100};
const char* const kProductName = "Velmora";

} // namespace

MainWindow::MainWindow(Application& application, QWidget* parent)
    : QMainWindow(parent), app_(application), wait_(this, application.texts()),
      commands_(application.store(), application.services().files, application.texts(),
                application.dialogs(), wait_, *this)
{
    setWindowTitle(QLatin1String(kProductName));
    setWindowIcon(icons_.window());
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(960, 640);
    CreateViews();
    volumeCommands_ = std::make_unique<VolumeCommands>(app_.store(), app_.services(), app_.texts(),
                                                       app_.dialogs(), wait_,
                                                       static_cast<CollectionViews&>(*this), this);
    volumeCommands_->setSettings(app_.settings());

    searchCommands_ = std::make_unique<SearchCommands>(
        app_, wait_, static_cast<CollectionViews&>(*this), commands_.lastSaveDir, this);
    reportCommands_ = std::make_unique<ReportCommands>(app_, commands_.lastSaveDir, this);
    playbackCommands_ =
        std::make_unique<PlaybackCommands>(app_, wait_, commands_.lastSaveDir, this);
    tagCommands_ = std::make_unique<TagCommands>(
        app_, static_cast<CollectionViews&>(*this), [this] { return CurrentNode(); }, this);

    RegisterCollectionCommands(table_, commands_, icons_, [this] { tree_->setFocus(); });
    RegisterStatisticsCommand(table_, app_, this);
    RegisterVolumeCommands(table_, *volumeCommands_, icons_, [this] { return CurrentNode(); });
    RegisterSearchCommands(table_, *searchCommands_);
    RegisterReportCommands(table_, *reportCommands_);
    RegisterPlaybackCommands(table_, *playbackCommands_, [this] { return CurrentNode(); });
    RegisterTagCommands(table_, *tagCommands_);
    RegisterWindowCommands();
    RegisterWaitingCommands(table_);
    actions_ = std::make_unique<CommandActions>(table_, *this);
    connect(actions_->recentFilesMenu(), &QMenu::aboutToShow, this,
            &MainWindow::FillRecentFilesMenu);

    panels_ = std::make_unique<StatusPanels>(*statusBar());
    panels_->Layout(width());
    textsSubscription_ = app_.texts().Subscribe([this] { ApplyMainWindowTexts(); });
    ApplyMainWindowTexts();
    UpdateMenuState();
}

MainWindow::~MainWindow()
{
    app_.texts().Unsubscribe(textsSubscription_);
    wait_.Close();
    playbackCommands_.reset();
    tagCommands_.reset();
    reportCommands_.reset();
    searchCommands_.reset();
    volumeCommands_.reset();
    // The views and models read the store and the icons, which are members
    // and go before the base class destroys its children.
    delete splitter_;
    delete treeModel_;
    delete listModel_;
}

void MainWindow::RegisterWindowCommands()
{
    table_.Add({.id = Command::Exit,
                .text = TextId::ExitCommand,
                .icon = ThemeIcon("application-exit", QStyle::SP_DialogCloseButton),
                .handler = [this](bool) { close(); }});
    table_.Add({.id = Command::GridLines,
                .text = TextId::GridLinesCommand,
                .handler = [this](bool on) { list_->setShowGrid(on); },
                .checkable = true});
    table_.Add({.id = Command::HotTrack,
                .text = TextId::HotTrackCommand,
                .handler = [this](bool on) { SetHotTrack(on); },
                .checkable = true});
    table_.Add({.id = Command::TagInfo,
                .text = TextId::TagInfoColumn,
                .handler = [this](bool on) { SetTagInfo(on); },
                .checkable = true,
                .checked = true});
    table_.Add({.id = Command::ToolBar,
                .text = TextId::ToolbarCommand,
                .handler = [this](bool on) { actions_->toolBar()->setVisible(on); },
                .checkable = true,
                .checked = true});
    table_.Add({.id = Command::StatusBar,
                .text = TextId::StatusBarCommand,
                .handler = [this](bool on) { statusBar()->setVisible(on); },
                .checkable = true,
                .checked = true});
    table_.Add({.id = Command::Selected,
                .text = TextId::SelectedLabel,
                .shortcut = QKeySequence(Qt::Key_F9),
                .handler = [this](bool) { ToggleSelectedMark(); },
                .checkable = true});
}

QAction* MainWindow::action(Command command) const
{
    return actions_->action(command);
}

QAction* MainWindow::toolAction(Command command) const
{
    return actions_->toolAction(command);
}

QMenu* MainWindow::recentFilesMenu() const
{
    return actions_->recentFilesMenu();
}

collection::CollectionStore& MainWindow::store()
{
    return app_.store();
}

void MainWindow::CreateViews()
{
    treeModel_ = new ViewTreeModel(app_.store().tree(), icons_, this);
    listModel_ = new FileListModel(app_.store().tree(), app_.texts(), icons_, this);
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

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (panels_)
        panels_->Layout(width());
}

void MainWindow::ApplyMainWindowTexts()
{
    actions_->ApplyTexts(app_.texts().table());
    listModel_->TextsChanged();
    UpdateStatusBar();
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

void MainWindow::StateChanged()
{
    UpdateCaption();
    UpdateMenuState();
}

void MainWindow::UpdateCaption()
{
    QString caption = QLatin1String(kProductName);
    if (!app_.store().currentPath().empty())
        caption += QStringLiteral(" - ") +
                   QFile::decodeName(QByteArray::fromStdString(app_.store().currentPath()));
    setWindowTitle(caption);
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

void MainWindow::UpdateStatusBar()
{
    const NodeId node = CurrentNode();
    if (node == kNoNode) {
        if (!tree_->selectionModel()->hasSelection() && !list_->selectionModel()->hasSelection())
            panels_->Clear();
        return;
    }
    const Locale& locale = app_.services().locale;
    panels_->Show(display::StatusPanelTexts(app_.store().tree(), node, app_.texts().table(),
                                            locale.decimalSeparator(), locale.dateSeparator()));
}

QString MainWindow::statusText(int panel) const
{
    return panels_->text(panel);
}

CommandState MainWindow::commandState() const
{
    const collection::CollectionStore& store = app_.store();
    CommandState state;
    state.modified = store.modified();
    state.hasVolumes = treeModel_->rowCount() > 0;
    const NodeId node = CurrentNode();
    if (node != kNoNode) {
        state.hasNode = true;
        state.nodeIsVolume = store.tree().level(node) == 1;
        state.nodeHasChildren = store.tree().hasChildren(node);
    }
    return state;
}

void MainWindow::UpdateMenuState()
{
    if (actions_)
        actions_->Update(commandState());
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

void MainWindow::FillRecentFilesMenu()
{
    QMenu* menu = actions_->recentFilesMenu();
    menu->clear();
    int number = 0;
    for (const std::string& entry : app_.store().recentFiles()) {
        if (entry.empty())
            continue;
        const QString path = QFile::decodeName(QByteArray::fromStdString(entry));
        QAction* item = menu->addAction(QString::number(++number) + u' ' + path);
        connect(item, &QAction::triggered, this, [this, path] {
            if (commands_.OpenCollection(path))
                tree_->setFocus();
        });
    }
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

QMenu* MainWindow::PrepareContextMenu()
{
    UpdateMenuState();
    QMenu* menu = actions_->PrepareContextMenu(commandState());
    const NodeId node = CurrentNode();
    if (node != kNoNode)
        action(Command::Selected)->setChecked(app_.store().tree().selected(node));
    return menu;
}

void MainWindow::ShowContextMenu(QWidget* view, const QPoint& position)
{
    view->setFocus();
    QMenu* menu = PrepareContextMenu();
    if (CurrentNode() == kNoNode)
        return;
    menu->popup(static_cast<QAbstractItemView*>(view)->viewport()->mapToGlobal(position));
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
    playbackCommands_->Play(node);
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

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!commands_.CloseQuery()) {
        event->ignore();
        return;
    }
    wait_.Close();
    WriteSettings();
    event->accept();
}

} // namespace velmora::gui
