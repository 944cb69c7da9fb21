// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/CommandActions.h"

#include "gui/app/Icons.h"
#include "gui/app/MenuMnemonics.h"
#include "gui/dialogs/Messages.h"
#include "texts/TextTable.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <span>

namespace velmora::gui {
namespace {

using texts::TextId;

// An entry of a layout: a command, or a separator for Command::Count; shown
// while `shownWhen` holds (always when nullptr).
struct Entry {
    Command command;
    CommandRule shownWhen = nullptr;
};
constexpr Entry kSeparator{Command::Count};

struct MenuLayout {
    TextId title;
    std::span<const Entry> entries;
};

constexpr std::array<Entry, 11> kCollectionMenu = {{
    {Command::New},
    {Command::Open},
    {Command::Save},
    {Command::SaveAs},
    kSeparator,
    {Command::Import},
    kSeparator,
    {Command::Statistics},
    {Command::Report},
    kSeparator,
    {Command::Exit},
}};
constexpr std::array<Entry, 4> kEditMenu = {{
    {Command::Add},
    {Command::Delete},
    {Command::Count, rules::HasVolumes},
    {Command::Sort},
}};
constexpr std::array<Entry, 6> kViewMenu = {{
    {Command::GridLines},
    {Command::HotTrack},
    {Command::TagInfo},
    kSeparator,
    {Command::ToolBar},
    {Command::StatusBar},
}};
constexpr std::array<Entry, 5> kToolsMenu = {{
    {Command::Search},
    {Command::TagEditor},
    {Command::CdCover},
    kSeparator,
    {Command::Options},
}};
constexpr std::array<Entry, 9> kHelpMenu = {{
    {Command::Info},
    {Command::History},
    {Command::License},
    kSeparator,
    {Command::Homepage},
    {Command::Feedback},
    {Command::Donation},
    kSeparator,
    {Command::About},
}};
constexpr std::array<MenuLayout, 5> kMenuBar = {{
    {TextId::CollectionMenu, kCollectionMenu},
    {TextId::EditMenu, kEditMenu},
    {TextId::ViewMenu, kViewMenu},
    {TextId::ToolsMenu, kToolsMenu},
    {TextId::HelpMenu, kHelpMenu},
}};

// The context menu shows what applies to the current node.
constexpr std::array<Entry, 11> kContextMenu = {{
    {Command::Play, rules::HasNode},
    {Command::Enqueue, rules::HasNode},
    {Command::Count, rules::HasNode},
    {Command::Update, rules::VolumeNode},
    {Command::DeleteThis, rules::VolumeNode},
    {Command::Rename, rules::VolumeNode},
    {Command::Count, rules::VolumeNode},
    {Command::Playlist, rules::FolderNode},
    {Command::Tag, rules::FileNode},
    {Command::Count, rules::HasNode},
    {Command::Selected, rules::HasNode},
}};

// The tool bar; Open's button also drops down the recent files.
constexpr std::array<Entry, 17> kToolBar = {{
    {Command::New},
    {Command::Open},
    {Command::Save},
    {Command::Import},
    {Command::Statistics},
    {Command::Report},
    kSeparator,
    {Command::Add},
    {Command::Delete},
    {Command::Sort},
    kSeparator,
    {Command::Search},
    {Command::TagEditor},
    {Command::CdCover},
    {Command::Options},
    kSeparator,
    {Command::About},
}};

// The desktop's usual keys for commands that have none of their own.
struct DesktopKey {
    Command command;
    QKeyCombination key;
};
constexpr std::array<DesktopKey, 3> kDesktopKeys = {{
    {Command::New, Qt::CTRL | Qt::Key_N},
    {Command::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S},
    {Command::Exit, Qt::CTRL | Qt::Key_Q},
}};

QKeySequence KeyOf(const CommandRow& row)
{
    if (!row.shortcut.isEmpty())
        return row.shortcut;
    for (const DesktopKey& desktop : kDesktopKeys) {
        if (desktop.command == row.id)
            return QKeySequence(desktop.key);
    }
    return {};
}

bool Holds(CommandRule rule, const CommandState& state)
{
    return rule == nullptr || rule(state);
}

} // namespace

CommandActions::CommandActions(const CommandTable& table, QMainWindow& window) : table_(table)
{
    CreateActions(window);
    CreateMenus(window);
    CreateToolBar(window);
}

void CommandActions::CreateActions(QMainWindow& window)
{
    for (const CommandRow& row : table_.rows()) {
        auto* action = new QAction(row.icon.isNull() ? row.icon : Icons::CommandIcon(row.icon),
                                   QString(), &window);
        if (const QKeySequence key = KeyOf(row); !key.isEmpty()) {
            action->setShortcut(key);
            action->setShortcutContext(Qt::WindowShortcut);
        }
        if (row.checkable) {
            action->setCheckable(true);
            action->setChecked(row.checked);
        }
        if (row.handler)
            QObject::connect(action, &QAction::triggered, &window, row.handler);
        else
            action->setEnabled(false);
        actions_[Index(row.id)] = action;
        window.addAction(action); // shortcuts work while menus are closed
    }
}

void CommandActions::CreateMenus(QMainWindow& window)
{
    const auto fill = [this](QMenu* menu, std::span<const Entry> entries,
                             std::vector<RuledEntry>& ruled) {
        for (const Entry& entry : entries) {
            QAction* shown =
                entry.command == Command::Count ? menu->addSeparator() : action(entry.command);
            if (shown == nullptr)
                continue;
            if (entry.command != Command::Count)
                menu->addAction(shown);
            if (entry.shownWhen != nullptr)
                ruled.push_back({shown, entry.shownWhen});
        }
    };
    QMenuBar* bar = window.menuBar();
    for (std::size_t m = 0; m < kMenuBar.size(); ++m) {
        menus_[m] = bar->addMenu(QString());
        fill(menus_[m], kMenuBar[m].entries, menuEntries_);
    }
    contextMenu_ = new QMenu(&window);
    fill(contextMenu_, kContextMenu, contextEntries_);
}

QAction* CommandActions::MakeToolAction(Command command)
{
    QAction* menuAction = action(command);
    auto* tool = new QAction(menuAction->icon(), QString(), menuAction->parent());
    tool->setEnabled(menuAction->isEnabled());
    QObject::connect(tool, &QAction::triggered, menuAction, &QAction::trigger);
    QObject::connect(menuAction, &QAction::enabledChanged, tool, &QAction::setEnabled);
    toolActions_[Index(command)] = tool;
    return tool;
}

void CommandActions::CreateToolBar(QMainWindow& window)
{
    toolBar_ = window.addToolBar(QString());
    toolBar_->setObjectName(QStringLiteral("main"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(22, 22));
    for (const Entry& entry : kToolBar) {
        if (entry.command == Command::Count) {
            toolBar_->addSeparator();
        } else if (action(entry.command) == nullptr) {
            continue;
        } else if (entry.command == Command::Open) {
            openButton_ = new QToolButton(toolBar_);
            openButton_->setDefaultAction(MakeToolAction(Command::Open));
            openButton_->setPopupMode(QToolButton::MenuButtonPopup);
            recentMenu_ = new QMenu(openButton_);
            openButton_->setMenu(recentMenu_);
            toolBar_->addWidget(openButton_);
        } else {
            toolBar_->addAction(MakeToolAction(entry.command));
        }
    }
    toolBar_->toggleViewAction()->setVisible(false);
}

void CommandActions::Update(const CommandState& state)
{
    // Tool buttons follow their commands' enabled state and never hide, so
    // that the bar keeps its place.
    for (const CommandRow& row : table_.rows())
        actions_[Index(row.id)]->setEnabled(Holds(row.enabledWhen, state) && row.handler);
    for (const RuledEntry& entry : menuEntries_)
        entry.entry->setVisible(entry.shownWhen(state));
}

QMenu* CommandActions::PrepareContextMenu(const CommandState& state)
{
    for (const RuledEntry& entry : contextEntries_)
        entry.entry->setVisible(entry.shownWhen(state));
    return contextMenu_;
}

void CommandActions::ApplyTexts(const texts::TextTable& table)
{
    for (const CommandRow& row : table_.rows()) {
        const QString caption = TextOf(table, row.text);
        QAction* action = actions_[Index(row.id)];
        action->setText(caption);
        if (QAction* tool = toolAction(row.id)) {
            tool->setText(caption);
            // The tool tip names the key too, as the menu shows it.
            const QKeySequence key = action->shortcut();
            tool->setToolTip(key.isEmpty() ? caption
                                           : caption + QStringLiteral(" (") +
                                                 key.toString(QKeySequence::NativeText) + u')');
        }
    }
    QStringList titles;
    for (const MenuLayout& menu : kMenuBar)
        titles.push_back(TextOf(table, menu.title));
    const QStringList markedTitles = WithMnemonics(titles);
    for (std::size_t m = 0; m < menus_.size(); ++m) {
        menus_[m]->setTitle(markedTitles[static_cast<qsizetype>(m)]);
        MarkMenu(menus_[m]);
        for (QAction* entry : menus_[m]->actions()) {
            if (QMenu* submenu = entry->menu())
                MarkMenu(submenu);
        }
    }
    MarkMenu(contextMenu_);
}

void MarkMenu(QMenu* menu)
{
    // The recent files carry their numbers as their marks.
    QList<QAction*> entries;
    QStringList captions;
    for (QAction* entry : menu->actions()) {
        if (entry->isSeparator() || entry->property(kOwnMark).toBool())
            continue;
        entries.push_back(entry);
        captions.push_back(Unmarked(entry->text()));
    }
    const QStringList marked = WithMnemonics(captions);
    for (qsizetype i = 0; i < entries.size(); ++i)
        entries[i]->setText(marked[i]);
}

} // namespace velmora::gui
