// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/app/CommandTable.h"

#include <array>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QToolButton;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The QActions of the commands and the menus, tool bar and context menu
/// that show them, all made from the rows of one CommandTable in one place:
/// a menu action for every row (its shortcut active while the window has the
/// focus, triggering its handler), a tool-bar action for the commands on the
/// tool bar, and the layout of the five menus, the tool bar and the context
/// menu. The table and the window must outlive this object; the Qt objects
/// belong to the window.
/// Set (true) on a menu entry whose caption carries its own Alt mark, such
/// as a recent file's number, which CommandActions then leaves as it is.
inline constexpr char kOwnMark[] = "velmoraOwnMark";
/// Gives the entries of `menu` Alt letters made from their captions.
void MarkMenu(QMenu* menu);

class CommandActions {
public:
    CommandActions(const CommandTable& table, QMainWindow& window);

    /// The menu action of a command; nullptr for a command without a row.
    QAction* action(Command command) const { return actions_[Index(command)]; }
    /// The tool-bar action of a command, nullptr for commands without one.
    QAction* toolAction(Command command) const { return toolActions_[Index(command)]; }
    QToolBar* toolBar() const { return toolBar_; }
    /// The menu of recent collection files behind the Open tool button.
    QMenu* recentFilesMenu() const { return recentMenu_; }
    /// The Collection menu, whose end lists the recent files too.
    QMenu* collectionMenu() const { return menus_[0]; }
    QMenu* viewMenu() const { return menus_[2]; }
    QMenu* contextMenu() const { return contextMenu_; }

    /// Enables every command whose rule holds and that has a handler (the
    /// tool buttons follow, never hidden); shows the menu entries whose
    /// layout rules hold.
    void Update(const CommandState& state);
    /// Shows the context menu's entries whose rules hold for the current
    /// node, hides the others; returns the menu.
    QMenu* PrepareContextMenu(const CommandState& state);
    /// Labels the actions, the tool buttons (their tool tips with the key)
    /// and the menus from `table`, then gives every menu title and entry
    /// (of submenus too) its Alt letter from the caption it holds.
    void ApplyTexts(const texts::TextTable& table);

private:
    static std::size_t Index(Command command) { return static_cast<std::size_t>(command); }

    /// A shown entry of a menu or the tool bar whose visibility follows a
    /// rule.
    struct RuledEntry {
        QAction* entry;
        CommandRule shownWhen;
    };

    void CreateActions(QMainWindow& window);
    void CreateMenus(QMainWindow& window);
    void CreateToolBar(QMainWindow& window);
    QAction* MakeToolAction(Command command);

    const CommandTable& table_;
    std::array<QAction*, kCommandCount> actions_{};
    std::array<QAction*, kCommandCount> toolActions_{};
    std::array<QMenu*, 5> menus_{};
    std::vector<RuledEntry> menuEntries_;
    std::vector<RuledEntry> contextEntries_;
    QMenu* contextMenu_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QToolButton* openButton_ = nullptr;
    QMenu* recentMenu_ = nullptr;
};

} // namespace velmora::gui
