// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/BulkTagEdit.h"

#include <QDialog>
#include <QString>
#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace velmora {
struct Services;
}
namespace velmora::settings {
struct Settings;
}
namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

class UserDialogs;

/// The tag editor: the ID3v1 tags of files on disk, apart from the
/// collection. On the left the mounted volumes, the folder tree of the
/// chosen one (folders on the same file system only, hidden ones left out,
/// as a scan walks them) and the files of the chosen folder that match the
/// mask "*.mp?" (see tags::MatchesTagEditorMask), several selectable at
/// once; on the right six check boxes, each with its field.
///
/// The current file's tag fills the fields. Save writes the ticked fields
/// into every selected file, Remove removes their tags, both in list order;
/// a file that was changed is unselected, one that failed is told with Ok
/// (go on, also Escape) and Cancel (stop) and stays selected. Afterwards the
/// line left of the buttons tells how many files were changed ("Changed
/// files: 3"). The check boxes come from
/// the settings' tag fields on opening and go back there on closing.
///
/// The fields show one file, while Save writes them into all selected
/// files: before a save into several files that would replace values that
/// differ among them, one question names those fields and the number of
/// files (Yes writes, No writes nothing). A field typed into since the
/// current file last changed is wanted as it is and not asked about.
class TagEditor : public QDialog {
    Q_OBJECT
public:
    /// Everything passed must outlive the window. It starts at the volume
    /// and folder of `startFolder` (a native path).
    TagEditor(const Services& services, settings::Settings& settings, const texts::TextTable& texts,
              UserDialogs& dialogs, const QString& startFolder, QWidget* parent = nullptr);
    ~TagEditor() override;

    /// The volume at `index` of the drive list: its folder tree, or empty
    /// lists when its volume cannot be read ("NO DISC").
    void ChooseDrive(int index);
    /// Opens the folder tree down to `folder` on the chosen volume and makes
    /// it the current folder; false when it is not found there.
    bool ChooseFolder(const QString& folder);
    /// The native path of the current folder; empty when there is none.
    QString currentFolder() const;
    /// Shows the tag of the file list's current file.
    void ShowCurrentFile();
    void Save();
    void Remove();

    /// Stores the check boxes in the settings, then closes.
    void done(int result) override;

    /// The controls, for the callers that set them (tests).
    struct Controls {
        QComboBox* drives = nullptr;
        QTreeWidget* folders = nullptr;
        QListWidget* files = nullptr;
        std::array<QCheckBox*, 6> checks = {};
        std::array<QLineEdit*, 6> fields = {};
        QPushButton* save = nullptr;
        QPushButton* remove = nullptr;
        QPushButton* close = nullptr;
        /// How many files the last Save or Remove changed; empty before.
        QLabel* status = nullptr;
    };
    const Controls& controls() const { return controls_; }

    /// The longest text of each field, in characters.
    static constexpr std::array<int, 6> kFieldLengths = {30, 30, 30, 2, 4, 29};

private:
    QWidget* SourcePanel();
    QWidget* TagPanel(const texts::TextTable& texts);
    void UpdateEnabling();
    void ClearFields();
    void ListSubfolders(QTreeWidgetItem* item);
    void FillFiles();
    /// The selected files in list order: their rows and full names.
    std::vector<int> SelectedRows() const;
    std::vector<std::string> PathsOf(const std::vector<int>& rows) const;
    /// Ok (true) or Cancel after a failure of the file at `path`.
    bool GoOnAfter(texts::TextId error, const std::string& path);
    void ShowChangedCount(std::size_t count);
    /// True when writing the fields `asked` into `paths` replaces no values
    /// that differ among the files, or the user agrees that it may.
    bool MayOverwrite(const std::vector<std::string>& paths, const std::array<bool, 6>& asked);

    const Services& services_;
    settings::Settings& settings_;
    const texts::TextTable& texts_;
    UserDialogs& dialogs_;
    tags::BulkTagEditor editor_;
    Controls controls_;
    /// The fields typed into since they were last filled or emptied.
    std::array<bool, 6> typed_{};
};

} // namespace velmora::gui
