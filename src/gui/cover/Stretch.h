// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cover/CoverSource.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The cover's options dialog: numbering, the date, the custom label (at
/// most 30 characters, editable only while "CD label" is checked) and the
/// horizontal and vertical stretch, 95 to 105 % in steps of 1, changed only
/// by the up and down buttons and keys. It opens with a copy of the options;
/// Ok writes the controls into the copy, Cancel and Escape leave it.
class Stretch : public QDialog {
    Q_OBJECT
public:
    Stretch(const texts::TextTable& texts, const cover::CoverOptions& options,
            QWidget* parent = nullptr);

    /// The options passed in, with the controls' values once accepted.
    const cover::CoverOptions& options() const { return options_; }

    struct Controls {
        QCheckBox* numeration = nullptr;
        QCheckBox* addDate = nullptr;
        QCheckBox* customLabel = nullptr;
        QLineEdit* labelText = nullptr;
        QSpinBox* horizontal = nullptr;
        QSpinBox* vertical = nullptr;
    };
    const Controls& controls() const { return controls_; }

    void accept() override;

private:
    cover::CoverOptions options_;
    Controls controls_;
};

} // namespace velmora::gui
