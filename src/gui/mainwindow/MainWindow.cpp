// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/MainWindow.h"

#include "Product.h"
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "collection/SelectedMarks.h"
#include "display/StatusTexts.h"
#include "gui/app/Application.h"
#include "gui/app/CommandActions.h"
#include "gui/collection/CollectionCommands.h"
#include "gui/collection/Statistic.h"
#include "gui/cover/CoverCommands.h"
#include "gui/dialogs/Messages.h"
#include "gui/help/HelpCommands.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/mainwindow/StatusPanels.h"
#include "gui/mainwindow/ViewTreeModel.h"
#include "gui/options/OptionsCommands.h"
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
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>
#include <algorithm>
#include <cstdlib>

namespace velmora::gui {

using collection::kNoNode;
using collection::NodeId;

namespace {

using texts::TextId;

QString ProductName()
{
    return QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size()));
}

template <typename... Features>
std::vector<std::unique_ptr<Feature>> MakeFeatures(const FeatureContext& context)
{
    std::vector<std::unique_ptr<Feature>> features;
    (features.push_back(std::make_unique<Features>(context)), ...);
    return features;
}

} // namespace

MainWindow::MainWindow(Application& application, QWidget* parent)
    : QMainWindow(parent), app_(application), wait_(this, application.texts())
{
    setWindowTitle(ProductName());
    setWindowIcon(app_.icons().window());
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(960, 640);
    CreateViews();

    // Every feature gets the same context and adds its own rows.
    const FeatureContext context{
        app_, *this, wait_, [this] { return CurrentNode(); }, [this] { return CurrentNodes(); },
        this};
    features_ = MakeFeatures<CollectionCommands, StatisticCommand, VolumeCommands, SearchCommands,
                             ReportCommands, PlaybackCommands, TagCommands, CoverCommands,
                             OptionsCommands, HelpCommands>(context);
    for (const std::unique_ptr<Feature>& feature : features_)
        feature->Register(table_);
    RegisterWindowCommands();
    actions_ = std::make_unique<CommandActions>(table_, *this);
    connect(actions_->recentFilesMenu(), &QMenu::aboutToShow, this,
            &MainWindow::FillRecentFilesMenu);
    connect(actions_->collectionMenu(), &QMenu::aboutToShow, this, &MainWindow::FillCollectionMenu);
    CreateKeys();
    CreateSortMenu();
    setAcceptDrops(true);

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
    // The views go while the members their signals reach are still there.
    delete splitter_;
}

template <typename F> F& MainWindow::feature() const
{
    for (const std::unique_ptr<Feature>& each : features_) {
        if (auto* found = dynamic_cast<F*>(each.get()))
            return *found;
    }
    std::abort(); // every feature is made in the constructor
}

CollectionCommands& MainWindow::commands() const
{
    return feature<CollectionCommands>();
}

VolumeCommands& MainWindow::volumeCommands() const
{
    return feature<VolumeCommands>();
}

SearchCommands& MainWindow::searchCommands() const
{
    return feature<SearchCommands>();
}

ReportCommands& MainWindow::reportCommands() const
{
    return feature<ReportCommands>();
}

PlaybackCommands& MainWindow::playbackCommands() const
{
    return feature<PlaybackCommands>();
}

TagCommands& MainWindow::tagCommands() const
{
    return feature<TagCommands>();
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

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (panels_)
        panels_->Layout(width());
}

void MainWindow::ApplyMainWindowTexts()
{
    sortMenu_->setTitle(TextOf(app_.texts().table(), TextId::SortingTitle));
    for (std::size_t c = 0; c < sortEntries_.size(); ++c)
        sortEntries_[c]->setText(
            listModel_->headerData(static_cast<int>(c), Qt::Horizontal).toString());
    reverseEntry_->setText(TextOf(app_.texts().table(), TextId::ReverseOrder));
    actions_->ApplyTexts(app_.texts().table());
    listModel_->TextsChanged();
    UpdateStatusBar();
    UpdateCaption();
}

void MainWindow::StateChanged()
{
    UpdateCaption();
    UpdateMenuState();
}

void MainWindow::UpdateCaption()
{
    // As desktop programs name their document: "music.col – Velmora", the
    // "*" of the modified mark after the name while changes are unsaved.
    const std::string& path = app_.store().currentPath();
    const QString name =
        path.empty() ? TextOf(app_.texts().table(), TextId::UntitledName)
                     : QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName();
    setWindowTitle(name + QStringLiteral("[*] \u2013 ") + ProductName());
    setWindowModified(app_.store().modified());
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

QList<QAction*> MainWindow::MakeRecentEntries(QMenu* menu)
{
    QList<QAction*> entries;
    for (const std::string& entry : app_.store().recentFiles()) {
        if (entry.empty())
            continue;
        const QString path = QFile::decodeName(QByteArray::fromStdString(entry));
        QString caption = path;
        caption.replace(u'&', QStringLiteral("&&"));
        auto* item = new QAction(u'&' + QString::number(entries.size() + 1) + u' ' + caption, menu);
        item->setProperty(kOwnMark, true);
        connect(item, &QAction::triggered, this, [this, path] {
            if (commands().OpenCollection(path))
                tree_->setFocus();
        });
        entries.push_back(item);
    }
    return entries;
}

void MainWindow::FillRecentFilesMenu()
{
    QMenu* menu = actions_->recentFilesMenu();
    menu->clear();
    menu->addActions(MakeRecentEntries(menu));
}

void MainWindow::FillCollectionMenu()
{
    QMenu* menu = actions_->collectionMenu();
    qDeleteAll(recentEntries_);
    recentEntries_ = MakeRecentEntries(menu);
    QAction* exit = action(Command::Exit);
    menu->insertActions(exit, recentEntries_);
    if (!recentEntries_.isEmpty())
        recentEntries_.push_back(menu->insertSeparator(exit));
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

void MainWindow::ShowContextMenuOfFocus()
{
    QAbstractItemView* view = nullptr;
    if (tree_->hasFocus())
        view = tree_;
    else if (list_->hasFocus())
        view = list_;
    if (view == nullptr)
        return;
    const QRect item = view->visualRect(view->currentIndex());
    ShowContextMenu(view, item.isValid() ? item.bottomLeft() : QPoint(0, 0));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!commands().CloseQuery()) {
        event->ignore();
        return;
    }
    wait_.Close();
    WriteSettings();
    event->accept();
}

} // namespace velmora::gui
