#include "platform/QtText.h"

#include "texts/Encoding.h"

namespace velmora::platform {

QString ToQString(std::string_view nodeBytes)
{
    const std::string utf8 = texts::DisplayText(nodeBytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToNodeBytes(const QString& text)
{
    return text.toStdString();
}

} // namespace velmora::platform
