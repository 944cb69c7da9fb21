// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's part in the settings: read at start and applied to the
// window, collected from it and written at the end.
#include "collection/CollectionStore.h"
#include "collection/ListOrder.h"
#include "gui/app/Application.h"
#include "gui/app/CommandActions.h"
#include "gui/collection/CollectionCommands.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/mainwindow/MainWindow.h"
#include "settings/Settings.h"
#include "texts/TextIds.h"

#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <algorithm>

namespace velmora::gui {
namespace {

using texts::TextId;
constexpr int kMinimumWidth = MainWindow::kMinimumWidth;
constexpr int kMinimumHeight = MainWindow::kMinimumHeight;

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

} // namespace

const settings::Settings& MainWindow::settingsRecord() const
{
    return app_.settings();
}

void MainWindow::StartUp(const QString& commandLineCollection)
{
    settings::Settings& settings = app_.settings();
    settings::ReadResult read;
    if (app_.services().settingsStore != nullptr)
        read = settings::ReadSettings(*app_.services().settingsStore, settings);
    settings::ResolveStartFolders(settings, app_.startFolder());
    app_.ApplyLanguage();
    ApplySettings(read);

    const QString path = commandLineCollection.trimmed();
    using Outcome = CollectionCommands::LoadOutcome;
    if (!path.isEmpty()) {
        const Outcome outcome = commands().LoadCollection(path);
        if (outcome == Outcome::Loaded)
            return;
        if (outcome == Outcome::Cancelled) {
            commands().NewCollection();
            return;
        }
        if (outcome == Outcome::CannotOpen)
            commands().TellCannotOpen(path);
    }
    if (settings.autoOpen && !settings.currentCollection.empty() &&
        commands().LoadCollection(QString::fromStdString(settings.currentCollection)) ==
            Outcome::Loaded)
        return;
    commands().NewCollection();
}

void MainWindow::ApplySettings(const settings::ReadResult& read)
{
    const settings::Settings& settings = app_.settings();
    collection::CollectionStore& store = app_.store();
    QHeaderView* header = list_->horizontalHeader();
    for (int c = 0; c < collection::kListColumnCount; ++c) {
        header->resizeSection(
            c, std::max(kMinimumColumnWidth, settings.column[static_cast<std::size_t>(c)]));
    }
    for (std::size_t d = 0; d < settings.detailColumn.size(); ++d) {
        const int c = collection::kListColumnCount + static_cast<int>(d);
        header->resizeSection(c, std::max(kMinimumColumnWidth, settings.detailColumn[d]));
        list_->setColumnHidden(c, (settings.shownColumns & (1 << d)) == 0);
    }
    action(Command::GridLines)->setChecked(settings.gridLines);
    action(Command::HotTrack)->setChecked(settings.hotTrack);
    action(Command::TagInfo)->setChecked(settings.tagInfo);
    action(Command::ToolBar)->setChecked(settings.toolbar);
    action(Command::StatusBar)->setChecked(settings.statusbar);
    // Toggled signals only fire on a change; the views take the state anyway.
    list_->setShowGrid(settings.gridLines);
    SetHotTrack(settings.hotTrack);
    SetTagInfo(settings.tagInfo);
    actions_->toolBar()->setVisible(settings.toolbar);
    statusBar()->setVisible(settings.statusbar);

    if (settings.useWindowSettings && read.wasRead("Width") && settings.left && settings.top &&
        settings.width && settings.height)
        setGeometry(FitOnScreen(QRect(*settings.left, *settings.top,
                                      std::max(*settings.width, kMinimumWidth),
                                      std::max(*settings.height, kMinimumHeight))));
    const int panel =
        settings.panelWidth ? std::max(*settings.panelWidth, kMinimumTreeWidth) : width() / 3;
    splitter_->setSizes({panel, std::max(0, width() - panel)});

    const int sortColumn =
        settings.detailSort >= collection::kListColumnCount &&
                settings.detailSort < collection::kListAllColumnCount
            ? settings.detailSort
            : std::clamp(settings.columnToSort, 0, collection::kListColumnCount - 1);
    const Qt::SortOrder order = settings.sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder;
    header->setSortIndicator(sortColumn, order);
    listModel_->SetSortColumn(sortColumn, settings.sortDescending);
    store.setRecentFiles(settings.lastCol);
    store.setBackup(settings.autoBackup);
    app_.folders().lastOpen = QString::fromStdString(settings.lastOpenDir);
    app_.folders().lastSave = QString::fromStdString(settings.lastSaveDir);
}

void MainWindow::CollectSettings()
{
    settings::Settings& settings = app_.settings();
    const collection::CollectionStore& store = app_.store();
    settings.currentCollection = store.currentPath();
    settings.lastCol = store.recentFiles();
    settings.lastOpenDir = app_.folders().lastOpen.toStdString();
    settings.lastSaveDir = app_.folders().lastSave.toStdString();
    settings.autoBackup = store.backup();
    const QHeaderView* header = list_->horizontalHeader();
    // A hidden column keeps the width it had, and so does the last one
    // shown, which fills the rest of the list.
    int stretched = -1;
    for (int c = 0; c < collection::kListAllColumnCount; ++c) {
        if (!header->isSectionHidden(c))
            stretched = c;
    }
    const auto keep = [&](int c) { return !header->isSectionHidden(c) && c != stretched; };
    for (int c = 0; c < collection::kListColumnCount; ++c) {
        if (keep(c))
            settings.column[static_cast<std::size_t>(c)] = header->sectionSize(c);
    }
    settings.shownColumns = 0;
    for (std::size_t d = 0; d < settings.detailColumn.size(); ++d) {
        const int c = collection::kListColumnCount + static_cast<int>(d);
        if (keep(c))
            settings.detailColumn[d] = header->sectionSize(c);
        if (!header->isSectionHidden(c))
            settings.shownColumns |= 1 << d;
    }
    settings.gridLines = action(Command::GridLines)->isChecked();
    settings.hotTrack = action(Command::HotTrack)->isChecked();
    settings.tagInfo = action(Command::TagInfo)->isChecked();
    settings.toolbar = action(Command::ToolBar)->isChecked();
    settings.statusbar = action(Command::StatusBar)->isChecked();
    settings.panelWidth = splitter_->sizes().value(0, width() / 3);
    const QRect bounds = geometry();
    settings.top = bounds.top();
    settings.left = bounds.left();
    settings.height = bounds.height();
    settings.width = bounds.width();
    // The stored sort column stays one of the seven; an optional column is
    // kept beside it.
    const int sortColumn = listModel_->sortColumn();
    if (sortColumn < collection::kListColumnCount) {
        settings.columnToSort = sortColumn;
        settings.detailSort = 0;
    } else {
        settings.detailSort = sortColumn;
    }
    settings.sortDescending = listModel_->descending();
}

bool MainWindow::WriteSettings()
{
    CollectSettings();
    settings::SettingsStore* store = app_.services().settingsStore;
    if (store == nullptr)
        return false;
    return settings::WriteSettings(*store, app_.settings());
}

} // namespace velmora::gui
