// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace velmora::gui {

/// Word wrap of the message dialog (70 columns) and the wait window (25):
/// a line longer than `maxColumns` is broken after its last break character
/// (blank ! ) * + - . : ; ? \ ] _ }) that lies within the limit, or after the
/// first one beyond it when none does; the break is CR LF. A passage between
/// two matching quotes (' or ") is never broken, a CR LF of the text starts a
/// new line, and a line without any break character stays whole.
QString WrapText(const QString& text, int maxColumns);

inline constexpr int kMessageWrapColumns = 70;
inline constexpr int kWaitWrapColumns = 25;

} // namespace velmora::gui
