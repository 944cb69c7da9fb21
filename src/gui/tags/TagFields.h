// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// Keeps characters below 32 out of a tag field, whether typed or pasted:
/// they are dropped as they come in. Texts set by the program are left as
/// they are.
void DropControlCharacters(QLineEdit* field);

/// The row both tag windows end with: Save, Remove and Close on the right.
struct TagButtons {
    QPushButton* save = nullptr;
    QPushButton* remove = nullptr;
    QPushButton* close = nullptr;
    QHBoxLayout* row = nullptr;
};
TagButtons MakeTagButtons(const texts::TextTable& texts, QWidget* parent);

} // namespace velmora::gui
