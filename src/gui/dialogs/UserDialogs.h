// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace velmora::gui {

/// The symbol of a message; the numbers are those callers and recordings use.
enum class MessageIcon : int { None = 0, Question = 1, Error = 2, Information = 3, Warning = 4 };

/// One message or question: up to three buttons, the first always shown, the
/// third only together with the second.
struct MessageRequest {
    QString text; ///< may hold CR LF line breaks
    QString caption;
    QString button1;
    QString button2;       ///< empty: not shown
    QString button3;       ///< empty: not shown
    int defaultButton = 1; ///< 1 to 3: the button that has the focus at first
    /// 1 to 3: the button Escape presses (Cancel, else No, else the only
    /// button of a message); 0: Escape does nothing.
    int escapeButton = 0;
    MessageIcon icon = MessageIcon::None;
};

/// One open or save file dialog.
struct FileRequest {
    QString title;
    QString folder;        ///< the folder the dialog starts in
    QString fileName;      ///< the name proposed (save dialogs), may be empty
    QString filter;        ///< Qt filter text, for example "Collection file (*.col)"
    QString defaultSuffix; ///< without the dot, added to a name typed without one
};

/// A one-line input box.
struct TextRequest {
    QString caption;
    QString prompt;
    QString okText;
    QString cancelText;
};

/// Every question, message and file dialog of the program goes through one
/// instance of this interface: the desktop answers with windows, tests with a
/// script.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    /// Shows the message modally. Returns 1, 2 or 3 for the button pressed
    /// (Escape presses the request's escape button), 0 when it was closed
    /// another way (its close box).
    virtual int Message(const MessageRequest& request) = 0;

    /// The path of an existing file chosen to open; empty when cancelled.
    virtual QString OpenFileName(const FileRequest& request) = 0;

    /// The path chosen to save to (the dialog has confirmed overwriting an
    /// existing file); empty when cancelled.
    virtual QString SaveFileName(const FileRequest& request) = 0;

    /// A line of text: the box's caption, its prompt, the texts of its two
    /// buttons and the initial value. Returns false, leaving `value` alone,
    /// when it was closed without Ok.
    virtual bool TextInput(const TextRequest& request, QString& value) = 0;
};

} // namespace velmora::gui
