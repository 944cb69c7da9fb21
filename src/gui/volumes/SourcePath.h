// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scan/VolumeEditor.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QFileSystemModel;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;

namespace velmora {
class Volumes;
}
namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

class UserDialogs;

/// The source dialog: the mounted volumes with their labels in a drop-down
/// list and the folder tree of the chosen one, headed by the volume's root
/// itself (folders only, hidden ones left out). Ok is enabled only while a
/// folder (the root included) is chosen in the tree; it accepts the folder
/// when its volume information can be read, and otherwise tells
/// CannotReadDrive and stays open.
class SourcePath : public QDialog {
    Q_OBJECT
public:
    /// A `startFolder` that is not empty is chosen at first, on its volume
    /// (Update offers the volume's own folder this way).
    SourcePath(const QString& caption, const Volumes& volumes, const texts::TextTable& texts,
               UserDialogs& dialogs, QWidget* parent = nullptr,
               const QString& startFolder = QString());

    /// The folder chosen now; empty while none is.
    QString chosenPath() const;
    QPushButton* okButton() const { return ok_; }
    /// What Ok found; set when the dialog was accepted.
    const std::optional<scan::SourceChoice>& choice() const { return choice_; }
    /// Ok: accepts when the volume information of the chosen path can be read.
    void TryAccept();

private:
    void ShowVolume(int index);
    void ChooseFolder(const QString& path);
    void UpdateOk();

    const Volumes& volumes_;
    const texts::TextTable& texts_;
    UserDialogs& dialogs_;
    QComboBox* drives_ = nullptr;
    QFileSystemModel* folders_ = nullptr;
    QSortFilterProxyModel* volumeFolders_ = nullptr;
    QTreeView* tree_ = nullptr;
    QPushButton* ok_ = nullptr;
    std::optional<scan::SourceChoice> choice_;
};

} // namespace velmora::gui
