// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/dialogs/UserDialogs.h"
#include "texts/TextIds.h"

#include <cstddef>
#include <optional>

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

// The kinds of message the program shows, with captions, symbols and buttons
// from the text table: errors ErrorCaption, information InformationCaption,
// warnings WarningCaption, each with the single button OkButton, which
// Escape presses too; questions ConfirmationCaption with YesButton, NoButton
// and optionally CancelButton, Escape answering Cancel where it is shown and
// No otherwise.

/// The text `text`, followed by ": " and `path` when `path` is not empty.
QString MessageText(const texts::TextTable& table, texts::TextId text, const QString& path = {});

MessageRequest ErrorMessage(const texts::TextTable& table, texts::TextId text,
                            const QString& path = {});
MessageRequest InformationMessage(const texts::TextTable& table, texts::TextId text,
                                  const QString& path = {});
MessageRequest WarningMessage(const texts::TextTable& table, texts::TextId text,
                              const QString& path = {});
/// The error that a file was not saved: CannotSaveFile, ": ", `path`, and
/// `reason` on a line of its own where there is one.
MessageRequest CannotSaveMessage(const texts::TextTable& table, const QString& path,
                                 std::optional<texts::TextId> reason);
/// A question with Yes and No, and Cancel when `offerCancel`; `defaultButton`
/// 1 (Yes), 2 (No) or 3 (Cancel).
MessageRequest Question(const texts::TextTable& table, texts::TextId text, bool offerCancel,
                        int defaultButton);

/// Text n of the table as a QString.
QString TextOf(const texts::TextTable& table, texts::TextId n);

} // namespace velmora::gui
