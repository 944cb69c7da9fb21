#pragma once

#include "scan/VolumeEditor.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QFileSystemModel;
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
/// list and the folder tree of the chosen one (folders only, hidden ones
/// left out). Ok accepts the chosen folder when its volume information can
/// be read, and otherwise tells 098 and stays open.
class SourcePath : public QDialog {
    Q_OBJECT
public:
    SourcePath(const QString& caption, const Volumes& volumes, const texts::TextTable& texts,
               UserDialogs& dialogs, QWidget* parent = nullptr);

    /// The folder chosen now: the selected folder, else the volume's root.
    QString chosenPath() const;
    /// What Ok found; set when the dialog was accepted.
    const std::optional<scan::SourceChoice>& choice() const { return choice_; }
    /// Ok: accepts when the volume information of the chosen path can be read.
    void TryAccept();

private:
    void ShowVolume(int index);

    const Volumes& volumes_;
    const texts::TextTable& texts_;
    UserDialogs& dialogs_;
    QComboBox* drives_ = nullptr;
    QFileSystemModel* folders_ = nullptr;
    QTreeView* tree_ = nullptr;
    std::optional<scan::SourceChoice> choice_;
};

} // namespace velmora::gui
