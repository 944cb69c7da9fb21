// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/BulkTagEdit.h"

#include <QDialog>
#include <QString>
#include <array>
#include <optional>
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

/// The tag editor: the tags of files on disk, apart from the collection. On
/// the left the mounted volumes, the folder tree of the chosen one (folders
/// on the same file system only, hidden ones left out, as a scan walks them)
/// and the files of the chosen folder that match the mask "*.mp?" (see
/// tags::MatchesTagEditorMask), several selectable at once; on the right six
/// check boxes, each with its field, and a line naming the tags the current
/// file holds ("Tags in the file: ID3v1 ID3v2.3").
///
/// The current file's tag fills the fields. Save writes the ticked fields
/// into the ID3v1 tag of every selected file and, in full, into the ID3v2
/// tag of those that begin with one (see tags::BulkTagEditor): while the
/// current file holds an ID3v2 tag, the text fields take the longer texts
/// of kId3v2FieldLengths. Remove removes the ID3v1 tags; when one or more of
/// the selected files hold an ID3v2 tag (and there is an ID3v2 writer), one
/// question for them all asks first whether those go too: Yes removes both
/// tags, No the ID3v1 tags only, Cancel (also Escape) nothing. Both work in
/// list order; a file that was changed is unselected, one that failed is
/// told with Ok (go on, also Escape) and Cancel (stop) and stays selected.
/// Afterwards the line left of the buttons tells how many files were
/// changed ("Changed files: 3"), and the line of tags shows the current file
/// as it is now (after a Remove its fields too). The check boxes come from
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
    /// Shows the tag of the file list's current file and the line of the
    /// tags it holds; a file that is not valid audio is told.
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
        /// The tags of the current file: "Tags in the file: ID3v1", with
        /// "None" for a file without; empty without a current file.
        QLabel* tagKinds = nullptr;
    };
    const Controls& controls() const { return controls_; }

    /// The longest text of each field, in characters.
    static constexpr std::array<int, 6> kFieldLengths = {30, 30, 30, 2, 4, 29};
    /// The same while the current file holds an ID3v2 tag, which takes the
    /// texts in full; its ID3v1 tag still gets them cut to kFieldLengths.
    static constexpr std::array<int, 6> kId3v2FieldLengths = {250, 250, 250, 2, 4, 250};

private:
    QWidget* SourcePanel();
    QWidget* TagPanel(const texts::TextTable& texts);
    void UpdateEnabling();
    void ClearFields();
    /// The full name of the file list's current file; empty when there is
    /// none.
    std::string CurrentPath() const;
    /// Fills the fields, their lengths and the line of tags from the current
    /// file; a file that is not valid audio is told when `tellNotValid`.
    void ReadCurrentFile(bool tellNotValid);
    void ShowTagKinds(const tags::BulkTagEditor::Shown& shown);
    /// kId3v2FieldLengths when `id3v2`, else kFieldLengths; a text already
    /// in a field is never cut by a shorter limit.
    void SetFieldLengths(bool id3v2);
    /// The tags Remove takes from `paths`: the ID3v1 tags, or after the
    /// question about ID3v2 tags also those; nothing when it is cancelled.
    std::optional<tags::TagParts> PartsToRemove(const std::vector<std::string>& paths);
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
