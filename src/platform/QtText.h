// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace velmora::platform {

/// Node bytes as a QString, decoded by texts::DisplayText(): UTF-8 when they
/// are valid UTF-8, otherwise Windows-1252.
QString ToQString(std::string_view nodeBytes);

/// A QString as node bytes (UTF-8).
std::string ToNodeBytes(const QString& text);

/// A path as the file system's bytes, and back (QFile's encoding of names).
std::string PathBytes(const QString& path);
QString NativePath(std::string_view pathBytes);

} // namespace velmora::platform
