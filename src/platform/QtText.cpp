// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtText.h"

#include "texts/Encoding.h"

#include <QFile>

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

std::string PathBytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString NativePath(std::string_view pathBytes)
{
    return QFile::decodeName(
        QByteArray(pathBytes.data(), static_cast<qsizetype>(pathBytes.size())));
}

} // namespace velmora::platform
