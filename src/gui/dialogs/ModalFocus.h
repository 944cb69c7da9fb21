// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QDialog;

namespace velmora::gui {

/// Gives the keyboard back once a modal window has closed. Made just before
/// the window opens, it notes the widget that has the keyboard then (else
/// the active window, else the window of `opener`); when it goes, that
/// window is activated again and the widget gets the focus back. A widget
/// or window that is gone, hidden or disabled by then is left alone; the
/// window still gets the keyboard, on the widget it would focus itself.
///
/// Without this, giving the keyboard back is left to the window manager,
/// and a desktop without one (or one that activates another window) leaves
/// the program without the keyboard after a question was answered.
class KeyboardReturn {
public:
    explicit KeyboardReturn(QWidget* opener = nullptr);
    ~KeyboardReturn();
    KeyboardReturn(const KeyboardReturn&) = delete;
    KeyboardReturn& operator=(const KeyboardReturn&) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focus_;
};

/// `dialog.exec()`, after which the widget that had the keyboard before
/// gets it back (see KeyboardReturn). Returns what exec() returns. For
/// every modal window a feature opens.
int ExecModal(QDialog& dialog);

} // namespace velmora::gui
