// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"

#include <QDialog>
#include <vector>

class QTreeWidget;

namespace velmora::scan {
class EditorUser;
}
namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The volume list dialog: every volume of the collection with a check box.
/// Ok hands the checked volumes to scan::ConfirmVolumeList(): nothing
/// checked (warning NothingSelected) or No to the question
/// AskDeleteSelectedVolumes keeps the dialog open,
/// Yes marks them for deletion and closes it accepted, Cancel closes it.
class SelectVolume : public QDialog {
    Q_OBJECT
public:
    SelectVolume(collection::CollectionTree& tree, const texts::TextTable& texts,
                 scan::EditorUser& user, QWidget* parent = nullptr);

    /// Checks or unchecks the volume in row `row` (0 is the first volume).
    void setChecked(int row, bool on);
    /// Ok.
    void TryAccept();

private:
    collection::CollectionTree& tree_;
    scan::EditorUser& user_;
    QTreeWidget* list_ = nullptr;
    std::vector<collection::NodeId> volumes_;
};

} // namespace velmora::gui
