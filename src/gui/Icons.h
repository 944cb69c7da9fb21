#pragma once

#include <QIcon>

namespace velmora::gui {

/// The program's own pictures, drawn as SVG in the resources and rendered at
/// every size the desktop asks for: volume, folder (its selected state shows
/// the open folder), file, each also with the selected-mark overlay; the
/// sort mark; the window icon. Built once by the main window and shared with
/// its models.
class Icons {
public:
    Icons();

    const QIcon& volume(bool marked) const { return marked ? volumeMarked_ : volume_; }
    const QIcon& folder(bool marked) const { return marked ? folderMarked_ : folder_; }
    /// A folder in the list: closed whether or not its row is selected.
    const QIcon& listFolder(bool marked) const { return marked ? listFolderMarked_ : listFolder_; }
    const QIcon& file(bool marked) const { return marked ? fileMarked_ : file_; }
    const QIcon& sortMark() const { return sortMark_; }
    const QIcon& window() const { return window_; }

private:
    QIcon volume_, volumeMarked_, folder_, folderMarked_, listFolder_, listFolderMarked_;
    QIcon file_, fileMarked_;
    QIcon sortMark_, window_;
};

} // namespace velmora::gui
