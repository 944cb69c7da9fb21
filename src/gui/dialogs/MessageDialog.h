// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/dialogs/UserDialogs.h"

#include <QDialog>
#include <array>

class QFrame;
class QLabel;
class QPushButton;

namespace velmora::gui {

/// The program's own message window: a bevelled panel holding the symbol and
/// the word-wrapped text (70 columns, centred lines), and up to three buttons
/// centred as a group below it. The panel grows to fit the text; the symbol
/// and the text are centred on each other vertically. On opening the window
/// is activated and its default button has the focus. Enter presses the
/// button that has the focus; Escape presses the request's escape button
/// (nothing without one); the close box answers 0.
class MessageDialog : public QDialog {
    Q_OBJECT
public:
    MessageDialog(const MessageRequest& request, QWidget* parent);

    /// Shows the dialog modally and returns 1 to 3 for the button pressed, 0
    /// when it was closed another way. The widget that had the keyboard
    /// before gets it back afterwards (KeyboardReturn).
    int Run();

    /// The result so far (0 until a button is pressed).
    int answer() const { return answer_; }
    QPushButton* button(int number) const { return buttons_[number - 1]; }
    QLabel* textLabel() const { return label_; }
    QFrame* panel() const { return panel_; }
    QLabel* iconLabel() const { return icon_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Layout(const MessageRequest& request);

    QFrame* panel_ = nullptr;
    QLabel* icon_ = nullptr;
    QLabel* label_ = nullptr;
    std::array<QPushButton*, 3> buttons_{};
    /// The button focused at first and the one Escape presses (0: none),
    /// numbered from 1.
    int defaultButton_ = 1;
    int escapeButton_ = 0;
    int answer_ = 0;
};

} // namespace velmora::gui
