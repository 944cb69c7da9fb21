// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "texts/TextIds.h"

#include <QIcon>
#include <QKeySequence>
#include <QStyle>
#include <array>
#include <functional>
#include <vector>

namespace velmora::gui {

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

inline constexpr int kCommandCount = static_cast<int>(Command::Count);

/// What the rules of the commands look at: the collection and the node the
/// user works on (of the tree or the list, whichever has the focus).
struct CommandState {
    bool modified = false;        ///< the collection has unsaved changes
    bool hasVolumes = false;      ///< the collection holds at least one volume
    bool hasNode = false;         ///< a node is current
    bool nodeIsVolume = false;    ///< the current node is a volume
    bool nodeHasChildren = false; ///< the current node is a volume or a folder
};

/// A condition on the state; nullptr where a rule is optional means "always".
using CommandRule = bool (*)(const CommandState&);

namespace rules {
inline bool Modified(const CommandState& s)
{
    return s.modified;
}
inline bool HasVolumes(const CommandState& s)
{
    return s.hasVolumes;
}
inline bool HasNode(const CommandState& s)
{
    return s.hasNode;
}
inline bool VolumeNode(const CommandState& s)
{
    return s.hasNode && s.nodeIsVolume;
}
inline bool FolderNode(const CommandState& s)
{
    return s.hasNode && s.nodeHasChildren;
}
inline bool FileNode(const CommandState& s)
{
    return s.hasNode && !s.nodeHasChildren;
}
} // namespace rules

/// One command: everything about it in one place. The menus, the tool bar
/// and the context menu show QActions made from these rows.
struct CommandRow {
    Command id = Command::Count;
    texts::TextId text = texts::TextId::NewCommand; ///< the caption
    /// Active while the window has the focus; none: the desktop's usual key
    /// where there is one (Ctrl+N, Ctrl+Shift+S, Ctrl+Q).
    QKeySequence shortcut = {};
    QIcon icon = {}; ///< none: a menu entry without a picture
    /// When the command can run; nullptr: whenever it has a handler.
    CommandRule enabledWhen = nullptr;
    /// What the command does; `checked` is the new state of a checkable
    /// command. Empty: the command waits for its window and is never enabled.
    std::function<void(bool checked)> handler = {};
    bool checkable = false;
    bool checked = false; ///< the first state of a checkable command
};

/// The rows of every command, registered by the features that own them.
class CommandTable {
public:
    /// Adds the row of a command not registered yet; a second row for the
    /// same command is ignored.
    void Add(CommandRow row);

    /// The row of a command, nullptr when none was registered.
    const CommandRow* Find(Command id) const;
    const std::vector<CommandRow>& rows() const { return rows_; }

    /// Whether the command's rule holds in `state` (false for a command
    /// without a row).
    bool RuleHolds(Command id, const CommandState& state) const;
    /// Whether the command can run in `state`: it has a handler and its
    /// rule holds.
    bool Enabled(Command id, const CommandState& state) const;

private:
    std::vector<CommandRow> rows_;
};

/// The picture of command icon `name` (a freedesktop name) from
/// Icons::ForCommand(): the theme's when it has the whole set, else the
/// program's own SVG; the style's `fallback` only for a name neither has.
QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback);

} // namespace velmora::gui
