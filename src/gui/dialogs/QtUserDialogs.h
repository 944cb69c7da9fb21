// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/dialogs/UserDialogs.h"

class QWidget;

namespace velmora::gui {

/// The dialogs of the desktop: messages in the program's own MessageDialog,
/// Qt's file dialogs (which follow the desktop) and Qt's input box, all
/// modal over `parent`; each gives the keyboard back to the widget that
/// had it when it closes (ExecModal).
class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    int Message(const MessageRequest& request) override;
    QString OpenFileName(const FileRequest& request) override;
    QString SaveFileName(const FileRequest& request) override;
    bool TextInput(const TextRequest& request, QString& value) override;

private:
    QWidget* parent_;
};

} // namespace velmora::gui
