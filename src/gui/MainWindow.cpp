#include "gui/MainWindow.h"

#include "collection/NodeText.h"
#include "gui/FileListModel.h"
#include "gui/Messages.h"
#include "gui/SelectedMarks.h"
#include "gui/Statistic.h"
#include "gui/StatusTexts.h"
#include "gui/UserDialogs.h"
#include "gui/ViewTreeModel.h"
#include "gui/VolumeCommands.h"
#include "platform/QtText.h"
#include "system/Locale.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>

namespace velmora::gui {

using collection::kNoNode;
using collection::NodeId;

namespace {

constexpr int kCommandCount = static_cast<int>(Command::Count);

using texts::TextId;

// The commands' captions, in the order of Command.
constexpr std::array<TextId, kCommandCount> kCommandTexts = {
    TextId::NewCommand,          TextId::OpenCommand,        TextId::SaveCommand,
    TextId::SaveAsCommand,       TextId::ImportCommand,      TextId::StatisticsCommand,
    TextId::ReportCommand,       TextId::ExitCommand,        TextId::AddVolumeCommand,
    TextId::DeleteVolumeCommand, TextId::SortAllCommand,     TextId::GridLinesCommand,
    TextId::HotTrackCommand,     TextId::TagInfoColumn,      TextId::ToolbarCommand,
    TextId::StatusBarCommand,    TextId::SearchMenu,         TextId::TagEditorCommand,
    TextId::CdCoverCommand,      TextId::OptionsCommand,     TextId::InfoCommand,
    TextId::HistoryCommand,      TextId::LicenseCommand,     TextId::HomepageCommand,
    TextId::FeedbackCommand,     TextId::DonationCommand,    TextId::AboutCommand,
    TextId::PlayCommand,         TextId::EnqueueCommand,     TextId::UpdateVolumeCommand,
    TextId::DeleteVolumeCommand, TextId::RenameLabelCommand, TextId::SaveAsPlaylistCommand,
    TextId::TagInfoTitle,        TextId::SelectedLabel,
};
constexpr std::array<TextId, 5> kMenuTexts = {
    TextId::CollectionMenu, TextId::EditMenu, TextId::ViewMenu, TextId::ToolsMenu, TextId::HelpMenu,
};
constexpr std::array<int, kListColumnCount> kDefaultColumnWidths = {300, 100, 100, 100,
                                                                    70,  70,  100};
constexpr int kMinimumColumnWidth = 10;
constexpr int kMinimumTreeWidth = 100;
constexpr int kMinimumWidth = 640;
constexpr int kMinimumHeight = 480;
const char* const kProductName = "Velmora";

// Commands whose windows are not built yet: present, with captions and keys,
// but never enabled.
constexpr std::array<Command, 16> kNotYetAvailable = {
    Command::Report,   Command::Search,   Command::TagEditor, Command::CdCover,
    Command::Options,  Command::Info,     Command::History,   Command::License,
    Command::Homepage, Command::Feedback, Command::Donation,  Command::About,
    Command::Play,     Command::Enqueue,  Command::Playlist,  Command::Tag,
};

bool NotYetAvailable(Command command)
{
    for (const Command c : kNotYetAvailable) {
        if (c == command)
            return true;
    }
    return false;
}

// Bounds stored by another session (another screen, another scale factor)
// can be larger than the screen or lie off it: they are cut to the available
// area of the screen they are on (the primary one when none) and moved into
// it. The smallest window size still wins on a smaller screen.
QRect FitOnScreen(const QRect& wanted)
{
    const QScreen* screen = QGuiApplication::screenAt(wanted.center());
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return wanted;
    const QRect area = screen->availableGeometry();
    const QSize size(std::max(std::min(wanted.width(), area.width()), kMinimumWidth),
                     std::max(std::min(wanted.height(), area.height()), kMinimumHeight));
    const int lastLeft = std::max(area.left(), area.left() + area.width() - size.width());
    const int lastTop = std::max(area.top(), area.top() + area.height() - size.height());
    return {QPoint(std::clamp(wanted.left(), area.left(), lastLeft),
                   std::clamp(wanted.top(), area.top(), lastTop)),
            size};
}

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback, const QStyle* style)
{
    return QIcon::fromTheme(QLatin1String(name), style->standardIcon(fallback));
}

} // namespace

MainWindow::MainWindow(const MainWindowServices& services, QWidget* parent)
    : QMainWindow(parent), services_(services),
      store_(services.files, services.clock, services.texts), wait_(this),
      commands_(store_, services.files, services.texts, services.dialogs, wait_, *this)
{
    setWindowTitle(QLatin1String(kProductName));
    setWindowIcon(icons_.window());
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(960, 640);
    store_.NewCollection();
    CreateViews();
    volumeCommands_ = std::make_unique<VolumeCommands>(
        store_,
        VolumeCommands::Services{services.files, services.volumes, services.locale, services.clock},
        services.texts, services.dialogs, wait_, static_cast<CollectionViews&>(*this), this);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    ApplyMainWindowTexts();
    UpdateMenuState();
}

MainWindow::~MainWindow()
{
    wait_.Close();
    volumeCommands_.reset();
    // The views and models read the store and the icons, which are members
    // and go before the base class destroys its children.
    delete splitter_;
    delete treeModel_;
    delete listModel_;
}

QAction* MainWindow::MakeAction(Command command, const QKeySequence& shortcut, const QIcon& icon)
{
    auto* action = new QAction(icon.isNull() ? icon : Icons::CommandIcon(icon), QString(), this);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    if (NotYetAvailable(command))
        action->setEnabled(false);
    actions_[static_cast<int>(command)] = action;
    addAction(action); // shortcuts work while menus are closed
    return action;
}

QAction* MainWindow::MakeToolAction(Command command)
{
    QAction* menuAction = action(command);
    auto* tool = new QAction(menuAction->icon(), QString(), this);
    tool->setEnabled(menuAction->isEnabled());
    connect(tool, &QAction::triggered, menuAction, &QAction::trigger);
    connect(menuAction, &QAction::enabledChanged, tool, &QAction::setEnabled);
    toolActions_[static_cast<int>(command)] = tool;
    return tool;
}

void MainWindow::CreateActions()
{
    const QStyle* s = style();
    MakeAction(Command::New, {},
               QIcon::fromTheme(QStringLiteral("document-new"), icons_.newCollection()));
    MakeAction(Command::Open, QKeySequence(Qt::CTRL | Qt::Key_O),
               ThemeIcon("document-open", QStyle::SP_DialogOpenButton, s));
    MakeAction(Command::Save, QKeySequence(Qt::CTRL | Qt::Key_S),
               ThemeIcon("document-save", QStyle::SP_DialogSaveButton, s));
    MakeAction(Command::SaveAs, {}, ThemeIcon("document-save-as", QStyle::SP_DialogSaveButton, s));
    MakeAction(Command::Import, {}, ThemeIcon("document-import", QStyle::SP_ArrowDown, s));
    MakeAction(Command::Statistics, {},
               ThemeIcon("view-statistics", QStyle::SP_FileDialogInfoView, s));
    MakeAction(Command::Report, {},
               ThemeIcon("document-print-preview", QStyle::SP_FileDialogDetailedView, s));
    MakeAction(Command::Exit, {}, ThemeIcon("application-exit", QStyle::SP_DialogCloseButton, s));
    MakeAction(Command::Add, QKeySequence(Qt::CTRL | Qt::Key_A), icons_.volume(false));
    MakeAction(Command::Delete, {}, ThemeIcon("list-remove", QStyle::SP_TrashIcon, s));
    MakeAction(Command::Sort, {}, ThemeIcon("view-sort-ascending", QStyle::SP_ArrowUp, s));
    for (const Command c : {Command::GridLines, Command::HotTrack, Command::TagInfo,
                            Command::ToolBar, Command::StatusBar}) {
        MakeAction(c)->setCheckable(true);
    }
    action(Command::TagInfo)->setChecked(true);
    action(Command::ToolBar)->setChecked(true);
    action(Command::StatusBar)->setChecked(true);
    MakeAction(Command::Search, QKeySequence(Qt::Key_F3),
               ThemeIcon("edit-find", QStyle::SP_FileDialogContentsView, s));
    MakeAction(Command::TagEditor, QKeySequence(Qt::CTRL | Qt::Key_T),
               ThemeIcon("document-edit", QStyle::SP_FileDialogDetailedView, s));
    MakeAction(Command::CdCover, QKeySequence(Qt::CTRL | Qt::Key_C),
               ThemeIcon("document-print", QStyle::SP_DriveCDIcon, s));
    MakeAction(Command::Options, {}, ThemeIcon("configure", QStyle::SP_ComputerIcon, s));
    for (const Command c : {Command::Info, Command::History, Command::License, Command::Homepage,
                            Command::Feedback, Command::Donation})
        MakeAction(c);
    MakeAction(Command::About, {}, ThemeIcon("help-about", QStyle::SP_MessageBoxInformation, s));
    MakeAction(Command::Play, QKeySequence(Qt::Key_F5));
    MakeAction(Command::Enqueue, QKeySequence(Qt::Key_F6));
    MakeAction(Command::Update);
    MakeAction(Command::DeleteThis);
    MakeAction(Command::Rename);
    MakeAction(Command::Playlist);
    MakeAction(Command::Tag, QKeySequence(Qt::Key_F4));
    MakeAction(Command::Selected, QKeySequence(Qt::Key_F9))->setCheckable(true);

    connect(action(Command::New), &QAction::triggered, this, [this] { commands_.New(); });
    connect(action(Command::Open), &QAction::triggered, this, [this] {
        if (commands_.Open())
            tree_->setFocus();
    });
    connect(action(Command::Save), &QAction::triggered, this, [this] { commands_.Save(); });
    connect(action(Command::SaveAs), &QAction::triggered, this, [this] { commands_.SaveAs(); });
    connect(action(Command::Import), &QAction::triggered, this, [this] { commands_.Import(); });
    connect(action(Command::Statistics), &QAction::triggered, this, &MainWindow::ShowStatistics);
    connect(action(Command::Add), &QAction::triggered, this, [this] { volumeCommands_->Add(); });
    connect(action(Command::Delete), &QAction::triggered, this,
            [this] { volumeCommands_->DeleteFromList(); });
    connect(action(Command::Sort), &QAction::triggered, this,
            [this] { volumeCommands_->SortAll(); });
    connect(action(Command::Update), &QAction::triggered, this,
            [this] { volumeCommands_->Update(CurrentNode()); });
    connect(action(Command::DeleteThis), &QAction::triggered, this,
            [this] { volumeCommands_->Delete(CurrentNode()); });
    connect(action(Command::Rename), &QAction::triggered, this,
            [this] { volumeCommands_->Rename(CurrentNode()); });
    connect(action(Command::Exit), &QAction::triggered, this, &QWidget::close);
    connect(action(Command::GridLines), &QAction::toggled, list_, &QTableView::setShowGrid);
    connect(action(Command::HotTrack), &QAction::toggled, this, &MainWindow::SetHotTrack);
    connect(action(Command::TagInfo), &QAction::toggled, this, &MainWindow::SetTagInfo);
    connect(action(Command::Selected), &QAction::triggered, this, &MainWindow::ToggleSelectedMark);
}

void MainWindow::CreateMenus()
{
    const auto add = [this](QMenu* menu, std::initializer_list<Command> commands) {
        for (const Command c : commands)
            menu->addAction(action(c));
    };
    QMenuBar* bar = menuBar();
    menus_[0] = bar->addMenu(QString());
    add(menus_[0], {Command::New, Command::Open, Command::Save, Command::SaveAs});
    menus_[0]->addSeparator();
    add(menus_[0], {Command::Import});
    menus_[0]->addSeparator();
    add(menus_[0], {Command::Statistics, Command::Report});
    menus_[0]->addSeparator();
    add(menus_[0], {Command::Exit});

    menus_[1] = bar->addMenu(QString());
    add(menus_[1], {Command::Add, Command::Delete});
    separatorAfterDelete_ = menus_[1]->addSeparator();
    add(menus_[1], {Command::Sort});

    menus_[2] = bar->addMenu(QString());
    add(menus_[2], {Command::GridLines, Command::HotTrack, Command::TagInfo});
    menus_[2]->addSeparator();
    add(menus_[2], {Command::ToolBar, Command::StatusBar});

    menus_[3] = bar->addMenu(QString());
    add(menus_[3], {Command::Search, Command::TagEditor, Command::CdCover});
    menus_[3]->addSeparator();
    add(menus_[3], {Command::Options});

    menus_[4] = bar->addMenu(QString());
    add(menus_[4], {Command::Info, Command::History, Command::License});
    menus_[4]->addSeparator();
    add(menus_[4], {Command::Homepage, Command::Feedback, Command::Donation});
    menus_[4]->addSeparator();
    add(menus_[4], {Command::About});

    contextMenu_ = new QMenu(this);
    add(contextMenu_, {Command::Play, Command::Enqueue});
    contextSeparators_[0] = contextMenu_->addSeparator();
    add(contextMenu_, {Command::Update, Command::DeleteThis, Command::Rename});
    contextSeparators_[1] = contextMenu_->addSeparator();
    add(contextMenu_, {Command::Playlist, Command::Tag});
    contextSeparators_[2] = contextMenu_->addSeparator();
    add(contextMenu_, {Command::Selected});
}

void MainWindow::CreateToolBar()
{
    toolBar_ = addToolBar(QString());
    toolBar_->setObjectName(QStringLiteral("main"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(22, 22));
    toolBar_->addAction(MakeToolAction(Command::New));

    openButton_ = new QToolButton(toolBar_);
    openButton_->setDefaultAction(MakeToolAction(Command::Open));
    openButton_->setPopupMode(QToolButton::MenuButtonPopup);
    recentMenu_ = new QMenu(openButton_);
    openButton_->setMenu(recentMenu_);
    connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::FillRecentFilesMenu);
    toolBar_->addWidget(openButton_);

    for (const Command c : {Command::Save, Command::Import, Command::Statistics, Command::Report})
        toolBar_->addAction(MakeToolAction(c));
    toolBar_->addSeparator();
    for (const Command c : {Command::Add, Command::Delete, Command::Sort})
        toolBar_->addAction(MakeToolAction(c));
    toolBar_->addSeparator();
    for (const Command c :
         {Command::Search, Command::TagEditor, Command::CdCover, Command::Options})
        toolBar_->addAction(MakeToolAction(c));
    toolBar_->addSeparator();
    toolBar_->addAction(MakeToolAction(Command::About));

    connect(action(Command::ToolBar), &QAction::toggled, toolBar_, &QToolBar::setVisible);
    toolBar_->toggleViewAction()->setVisible(false);
}

void MainWindow::CreateViews()
{
    treeModel_ = new ViewTreeModel(store_.tree(), icons_, this);
    listModel_ = new FileListModel(store_.tree(), services_.texts, icons_, this);

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
    for (int c = 0; c < kListColumnCount; ++c)
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
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::UpdateStatusBar);
    connect(header, &QHeaderView::sectionClicked, this, &MainWindow::OnListSortClicked);
    connect(tree_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { ShowContextMenu(tree_, position); });
    connect(list_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { ShowContextMenu(list_, position); });
    connect(list_, &QAbstractItemView::doubleClicked, this, &MainWindow::OpenListItem);
}

void MainWindow::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    for (QLabel*& panel : panels_) {
        panel = new QLabel(bar);
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        bar->addWidget(panel);
    }
    connect(action(Command::StatusBar), &QAction::toggled, bar, &QStatusBar::setVisible);
    LayoutStatusPanels();
}

void MainWindow::LayoutStatusPanels()
{
    // Six panels of equal width: the client width divided by six.
    const int panelWidth = width() / 6;
    for (QLabel* panel : panels_) {
        panel->setFixedWidth(std::max(0, panelWidth - statusBar()->layout()->spacing()));
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (panels_[0] != nullptr)
        LayoutStatusPanels();
}

void MainWindow::ApplyMainWindowTexts()
{
    const texts::TextTable& texts = services_.texts;
    for (int c = 0; c < kCommandCount; ++c) {
        const QString caption = TextOf(texts, kCommandTexts[static_cast<std::size_t>(c)]);
        actions_[static_cast<std::size_t>(c)]->setText(caption);
        if (QAction* tool = toolActions_[static_cast<std::size_t>(c)]) {
            tool->setText(caption);
            tool->setToolTip(caption);
        }
    }
    for (std::size_t m = 0; m < menus_.size(); ++m)
        menus_[m]->setTitle(TextOf(texts, kMenuTexts[m]));
    listModel_->TextsChanged();
}

void MainWindow::StartUp(const QString& commandLineCollection)
{
    settings::ReadResult read;
    if (services_.settingsStore != nullptr)
        read = settings::ReadSettings(*services_.settingsStore, settings_);
    settings::ResolveStartFolders(settings_, services_.startFolder);
    ApplySettings(read);

    const QString path = commandLineCollection.trimmed();
    if (!path.isEmpty()) {
        if (commands_.LoadCollection(path))
            return;
        services_.dialogs.Message(ErrorMessage(services_.texts, TextId::CannotOpenFile, path));
    }
    if (settings_.autoOpen && !settings_.currentCollection.empty() &&
        commands_.LoadCollection(QString::fromStdString(settings_.currentCollection)))
        return;
    commands_.NewCollection();
}

void MainWindow::ApplySettings(const settings::ReadResult& read)
{
    QHeaderView* header = list_->horizontalHeader();
    for (int c = 0; c < kListColumnCount; ++c) {
        header->resizeSection(
            c, std::max(kMinimumColumnWidth, settings_.column[static_cast<std::size_t>(c)]));
    }
    action(Command::GridLines)->setChecked(settings_.gridLines);
    action(Command::HotTrack)->setChecked(settings_.hotTrack);
    action(Command::TagInfo)->setChecked(settings_.tagInfo);
    action(Command::ToolBar)->setChecked(settings_.toolbar);
    action(Command::StatusBar)->setChecked(settings_.statusbar);
    // Toggled signals only fire on a change; the views take the state anyway.
    list_->setShowGrid(settings_.gridLines);
    SetHotTrack(settings_.hotTrack);
    SetTagInfo(settings_.tagInfo);
    toolBar_->setVisible(settings_.toolbar);
    statusBar()->setVisible(settings_.statusbar);

    if (settings_.useWindowSettings && read.wasRead("Width") && settings_.left && settings_.top &&
        settings_.width && settings_.height)
        setGeometry(FitOnScreen(QRect(*settings_.left, *settings_.top,
                                      std::max(*settings_.width, kMinimumWidth),
                                      std::max(*settings_.height, kMinimumHeight))));
    const int panel =
        settings_.panelWidth ? std::max(*settings_.panelWidth, kMinimumTreeWidth) : width() / 3;
    splitter_->setSizes({panel, std::max(0, width() - panel)});

    listModel_->SetSortColumn(std::clamp(settings_.columnToSort, 0, kListColumnCount - 1));
    store_.setRecentFiles(settings_.lastCol);
    store_.setBackup(settings_.autoBackup);
    commands_.lastOpenDir = QString::fromStdString(settings_.lastOpenDir);
    commands_.lastSaveDir = QString::fromStdString(settings_.lastSaveDir);
}

void MainWindow::CollectSettings()
{
    settings_.currentCollection = store_.currentPath();
    settings_.lastCol = store_.recentFiles();
    settings_.lastOpenDir = commands_.lastOpenDir.toStdString();
    settings_.lastSaveDir = commands_.lastSaveDir.toStdString();
    settings_.autoBackup = store_.backup();
    const QHeaderView* header = list_->horizontalHeader();
    for (int c = 0; c < kListColumnCount; ++c) {
        // A hidden column (list style) keeps the width it had.
        if (!header->isSectionHidden(c))
            settings_.column[static_cast<std::size_t>(c)] = header->sectionSize(c);
    }
    settings_.gridLines = action(Command::GridLines)->isChecked();
    settings_.hotTrack = action(Command::HotTrack)->isChecked();
    settings_.tagInfo = action(Command::TagInfo)->isChecked();
    settings_.toolbar = action(Command::ToolBar)->isChecked();
    settings_.statusbar = action(Command::StatusBar)->isChecked();
    settings_.panelWidth = splitter_->sizes().value(0, width() / 3);
    const QRect bounds = geometry();
    settings_.top = bounds.top();
    settings_.left = bounds.left();
    settings_.height = bounds.height();
    settings_.width = bounds.width();
    settings_.columnToSort = listModel_->sortColumn();
}

bool MainWindow::WriteSettings()
{
    CollectSettings();
    if (services_.settingsStore == nullptr)
        return false;
    return settings::WriteSettings(*services_.settingsStore, settings_);
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
    if (!store_.currentPath().empty())
        caption += QStringLiteral(" - ") +
                   QFile::decodeName(QByteArray::fromStdString(store_.currentPath()));
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

void MainWindow::ClearStatusBar()
{
    for (QLabel* panel : panels_)
        panel->clear();
}

void MainWindow::UpdateStatusBar()
{
    const NodeId node = CurrentNode();
    if (node == kNoNode) {
        if (!tree_->selectionModel()->hasSelection() && !list_->selectionModel()->hasSelection())
            ClearStatusBar();
        return;
    }
    const auto texts =
        StatusPanelTexts(store_.tree(), node, services_.texts, services_.locale.decimalSeparator(),
                         services_.locale.dateSeparator());
    for (std::size_t i = 0; i < panels_.size(); ++i)
        panels_[i]->setText(platform::ToQString(texts[i]));
}

QString MainWindow::statusText(int panel) const
{
    return panels_[static_cast<std::size_t>(panel)]->text();
}

void MainWindow::UpdateMenuState()
{
    const bool modified = store_.modified();
    action(Command::Save)->setEnabled(modified);
    toolAction(Command::Save)->setVisible(modified);

    const bool hasVolumes = treeModel_->rowCount() > 0;
    for (const Command c : {Command::Report, Command::Delete, Command::Sort, Command::Search}) {
        action(c)->setEnabled(hasVolumes && !NotYetAvailable(c));
        toolAction(c)->setVisible(hasVolumes);
    }
    separatorAfterDelete_->setVisible(hasVolumes);
}

void MainWindow::OnTreeSelectionChanged()
{
    FillList();
    UpdateStatusBar();
}

void MainWindow::OnListSortClicked(int column)
{
    listModel_->SetSortColumn(column);
}

void MainWindow::SetTagInfo(bool on)
{
    for (int c = 1; c < kListColumnCount; ++c)
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

void MainWindow::ShowStatistics()
{
    Statistic window(store_.tree().text(store_.tree().root()), services_.texts,
                     services_.locale.decimalSeparator(), services_.locale.dateSeparator(), this);
    window.exec();
}

void MainWindow::FillRecentFilesMenu()
{
    recentMenu_->clear();
    int number = 0;
    for (const std::string& entry : store_.recentFiles()) {
        if (entry.empty())
            continue;
        const QString path = QFile::decodeName(QByteArray::fromStdString(entry));
        QAction* item = recentMenu_->addAction(QString::number(++number) + u' ' + path);
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
    ToggleSelected(store_.tree(), node);
    treeModel_->MarksChanged(node);
    listModel_->MarksChanged();
}

QMenu* MainWindow::PrepareContextMenu()
{
    for (QAction* entry : contextMenu_->actions())
        entry->setVisible(false);
    const NodeId node = CurrentNode();
    if (node == kNoNode)
        return contextMenu_;
    const collection::CollectionTree& tree = store_.tree();
    for (QAction* entry : {action(Command::Play), action(Command::Enqueue), contextSeparators_[0],
                           contextSeparators_[2], action(Command::Selected)})
        entry->setVisible(true);
    action(Command::Selected)->setChecked(tree.selected(node));
    action(Command::Playlist)->setVisible(tree.hasChildren(node));
    action(Command::Tag)->setVisible(!tree.hasChildren(node));
    if (tree.level(node) == 1) {
        for (QAction* entry : {action(Command::Update), action(Command::DeleteThis),
                               action(Command::Rename), contextSeparators_[1]})
            entry->setVisible(true);
    }
    return contextMenu_;
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
    const collection::CollectionTree& tree = store_.tree();
    if (!tree.hasChildren(node)) {
        // Playing a file belongs to the playback commands.
        return;
    }
    const QModelIndexList selected = tree_->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
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

void MainWindow::ShowNode(NodeId node)
{
    if (node == kNoNode)
        return;
    const collection::CollectionTree& tree = store_.tree();
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
    if (watched == list_ && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const QModelIndexList rows = list_->selectionModel()->selectedRows();
            if (!rows.isEmpty())
                OpenListItem(rows.first());
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
