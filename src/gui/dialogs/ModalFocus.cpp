// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/ModalFocus.h"

#include <QApplication>
#include <QDialog>

namespace velmora::gui {

KeyboardReturn::KeyboardReturn(QWidget* opener) : focus_(QApplication::focusWidget())
{
    QWidget* window = focus_ ? focus_->window() : QApplication::activeWindow();
    if (window == nullptr && opener != nullptr)
        window = opener->window();
    window_ = window;
}

KeyboardReturn::~KeyboardReturn()
{
    if (window_.isNull() || !window_->isVisible())
        return;
    // Focus set on a widget of a window that is not active yet waits for
    // the activation, which may come later from the window system.
    if (!focus_.isNull() && focus_->window() == window_ && focus_->isVisible() &&
        focus_->isEnabled())
        focus_->setFocus(Qt::ActiveWindowFocusReason);
    window_->activateWindow();
}

int ExecModal(QDialog& dialog)
{
    const KeyboardReturn keyboard(dialog.parentWidget());
    return dialog.exec();
}

} // namespace velmora::gui
