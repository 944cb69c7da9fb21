#include "gui/Messages.h"

#include "platform/QtText.h"
#include "texts/TextTable.h"

namespace velmora::gui {
namespace {

constexpr std::size_t kConfirmationCaption = 50;
constexpr std::size_t kErrorCaption = 51;
constexpr std::size_t kInformationCaption = 52;
constexpr std::size_t kWarningCaption = 53;
constexpr std::size_t kOk = 54;
constexpr std::size_t kYes = 55;
constexpr std::size_t kNo = 56;
constexpr std::size_t kCancel = 57;

MessageRequest OkMessage(const texts::TextTable& table, std::size_t text, const QString& path,
                         std::size_t caption, MessageIcon icon)
{
    MessageRequest request;
    request.text = MessageText(table, text, path);
    request.caption = TextOf(table, caption);
    request.button1 = TextOf(table, kOk);
    request.defaultButton = 1;
    request.icon = icon;
    return request;
}

} // namespace

QString TextOf(const texts::TextTable& table, std::size_t n)
{
    return platform::ToQString(table.Text(n));
}

QString MessageText(const texts::TextTable& table, std::size_t text, const QString& path)
{
    QString message = TextOf(table, text);
    if (!path.isEmpty())
        message += QStringLiteral(": ") + path;
    return message;
}

MessageRequest ErrorMessage(const texts::TextTable& table, std::size_t text, const QString& path)
{
    return OkMessage(table, text, path, kErrorCaption, MessageIcon::Error);
}

MessageRequest InformationMessage(const texts::TextTable& table, std::size_t text,
                                  const QString& path)
{
    return OkMessage(table, text, path, kInformationCaption, MessageIcon::Information);
}

MessageRequest WarningMessage(const texts::TextTable& table, std::size_t text, const QString& path)
{
    return OkMessage(table, text, path, kWarningCaption, MessageIcon::Warning);
}

MessageRequest Question(const texts::TextTable& table, std::size_t text, bool offerCancel,
                        int defaultButton)
{
    MessageRequest request;
    request.text = TextOf(table, text);
    request.caption = TextOf(table, kConfirmationCaption);
    request.button1 = TextOf(table, kYes);
    request.button2 = TextOf(table, kNo);
    if (offerCancel)
        request.button3 = TextOf(table, kCancel);
    request.defaultButton = defaultButton;
    request.icon = MessageIcon::Question;
    return request;
}

} // namespace velmora::gui
