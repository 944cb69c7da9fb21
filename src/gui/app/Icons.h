// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <array>

namespace velmora::gui {

/// The program's own pictures, drawn as SVG in the resources and rendered at
/// every size the desktop asks for: volume, folder (its selected state shows
/// the open folder), file, each also with the selected-mark overlay; the
/// window icon. Built once by the main window and shared with its models. The commands' pictures
/// come from ForCommand().
class Icons {
public:
    Icons();

    /// The icon a command shows in the menus and on its tool button for
    /// `base`: enabled, `base` as it is; disabled, the enabled picture of
    /// `base` in grey at a third of its opacity. A command's look thus follows
    /// its state whatever pictures the theme or the style gives for a
    /// disabled icon, which can hardly differ from the enabled one.
    static QIcon CommandIcon(const QIcon& base);

    /// The picture of a command by its freedesktop icon name: the desktop
    /// theme's when the theme has every name of kCommandIconNames, so that
    /// the tool bar never mixes two sets; else the program's own
    /// ":/icons/<name>.svg". A null icon for a name neither has.
    static QIcon ForCommand(const char* name);
    /// The freedesktop names of the pictures the commands show; each has an
    /// SVG of its own in the resources.
    static const std::array<const char*, 16> kCommandIconNames;

    const QIcon& volume(bool marked) const { return marked ? volumeMarked_ : volume_; }
    const QIcon& folder(bool marked) const { return marked ? folderMarked_ : folder_; }
    /// A folder in the list: closed whether or not its row is selected.
    const QIcon& listFolder(bool marked) const { return marked ? listFolderMarked_ : listFolder_; }
    const QIcon& file(bool marked) const { return marked ? fileMarked_ : file_; }
    const QIcon& window() const { return window_; }

private:
    QIcon volume_, volumeMarked_, folder_, folderMarked_, listFolder_, listFolderMarked_;
    QIcon file_, fileMarked_;
    QIcon window_;
};

} // namespace velmora::gui
