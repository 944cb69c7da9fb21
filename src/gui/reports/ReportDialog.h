// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/ReportSettings.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QPushButton;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

class ReportColumnList;
class ReportColumnsModel;

/// The report dialog: the kinds of rows, the format, the scanning, the
/// sorting and the column list (16 entries with check marks, reordered by
/// Up, Down and dragging), set from a copy of the report settings.
///
/// OK is enabled only while at least one kind of row is checked. OK writes
/// the controls into the copy: the row flags, the sorting flag, the column
/// order and the column flags from the list, and the format and scanning of
/// the selected choices. A stored format or scanning that no choice stands
/// for (the formats are 1 text, 2 DIF, 3 HTML and 4 CSV) selects none and is
/// kept when none is selected on OK. Cancel, Escape and the close box leave
/// the copy as it was passed in.
///
/// The dialog runs no report; the caller takes report() after an accepted
/// exec().
class ReportDialog : public QDialog {
    Q_OBJECT
public:
    ReportDialog(const texts::TextTable& texts, const reports::ReportSettings& report,
                 QWidget* parent = nullptr);

    /// The settings passed in, with the controls' values once the dialog was
    /// accepted.
    const reports::ReportSettings& report() const { return report_; }

    /// Up: the selected entry, unless it is the first, swaps places with the
    /// one above it and stays selected.
    void MoveUp();
    /// Down: the selected entry, unless it is the last, swaps places with the
    /// one below it and stays selected.
    void MoveDown();

    /// The controls, for the callers that set them (tests).
    struct Controls {
        /// Collection, volume, folder and file rows.
        std::array<QCheckBox*, 4> rows = {};
        QButtonGroup* format = nullptr;   ///< ids: the stored formats 1 to 4
        QButtonGroup* scanning = nullptr; ///< ids: the stored scannings 1 and 2
        QCheckBox* sorting = nullptr;
        ReportColumnList* columns = nullptr;
        ReportColumnsModel* columnsModel = nullptr;
        QPushButton* up = nullptr;
        QPushButton* down = nullptr;
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
    };
    const Controls& controls() const { return controls_; }

private:
    QWidget* ChoicesPanel(const texts::TextTable& texts);
    QWidget* ColumnsPanel(const texts::TextTable& texts);
    void ShowSettings();
    void UpdateOk();
    void MoveSelected(int step);
    void Confirm();

    reports::ReportSettings report_;
    Controls controls_;
};

} // namespace velmora::gui
