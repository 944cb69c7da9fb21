// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/Messages.h"

#include "platform/QtText.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

namespace velmora::gui {
namespace {

using texts::TextId;

MessageRequest OkMessage(const texts::TextTable& table, texts::TextId text, const QString& path,
                         TextId caption, MessageIcon icon)
{
    MessageRequest request;
    request.text = MessageText(table, text, path);
    request.caption = TextOf(table, caption);
    request.button1 = TextOf(table, TextId::OkButton);
    request.defaultButton = 1;
    request.escapeButton = 1;
    request.icon = icon;
    return request;
}

} // namespace

QString TextOf(const texts::TextTable& table, texts::TextId n)
{
    return platform::ToQString(table.Text(n));
}

QString MessageText(const texts::TextTable& table, texts::TextId text, const QString& path)
{
    QString message = TextOf(table, text);
    if (!path.isEmpty())
        message += QStringLiteral(": ") + path;
    return message;
}

MessageRequest ErrorMessage(const texts::TextTable& table, texts::TextId text, const QString& path)
{
    return OkMessage(table, text, path, TextId::ErrorCaption, MessageIcon::Error);
}

MessageRequest CannotSaveMessage(const texts::TextTable& table, const QString& path,
                                 std::optional<texts::TextId> reason)
{
    MessageRequest request = ErrorMessage(table, TextId::CannotSaveFile, path);
    if (reason)
        request.text += QStringLiteral("\r\n") + TextOf(table, *reason);
    return request;
}

MessageRequest InformationMessage(const texts::TextTable& table, texts::TextId text,
                                  const QString& path)
{
    return OkMessage(table, text, path, TextId::InformationCaption, MessageIcon::Information);
}

MessageRequest WarningMessage(const texts::TextTable& table, texts::TextId text,
                              const QString& path)
{
    return OkMessage(table, text, path, TextId::WarningCaption, MessageIcon::Warning);
}

MessageRequest Question(const texts::TextTable& table, texts::TextId text, bool offerCancel,
                        int defaultButton)
{
    MessageRequest request;
    request.text = TextOf(table, text);
    request.caption = TextOf(table, TextId::ConfirmationCaption);
    request.button1 = TextOf(table, TextId::YesButton);
    request.button2 = TextOf(table, TextId::NoButton);
    if (offerCancel)
        request.button3 = TextOf(table, TextId::CancelButton);
    request.defaultButton = defaultButton;
    request.escapeButton = offerCancel ? 3 : 2;
    request.icon = MessageIcon::Question;
    return request;
}

} // namespace velmora::gui
