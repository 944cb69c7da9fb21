// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace velmora::texts {

/// True when every byte is below 128.
inline bool IsAscii(std::string_view bytes)
{
    // No early exit: the loop stays simple enough to be vectorised.
    unsigned char high = 0;
    for (const char c : bytes)
        high |= static_cast<unsigned char>(c);
    return high < 0x80;
}

/// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
/// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

/// Appends `cp` (at most 0x10FFFF) in UTF-8's byte pattern, without
/// refusing surrogates. The bytes of a list of values compare, as unsigned
/// bytes, as the values do one by one.
void AppendUtf8(std::string& out, char32_t cp);

/// Windows-1252 bytes as UTF-8. The five bytes Windows-1252 leaves undefined
/// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the same value.
std::string Windows1252ToUtf8(std::string_view bytes);

/// UTF-8 as Windows-1252; every character it cannot represent becomes "?".
/// Malformed input bytes are taken as Windows-1252 bytes already.
std::string Utf8ToWindows1252(std::string_view utf8);

/// The text to show people for node bytes: the bytes themselves when they are
/// valid UTF-8, otherwise their Windows-1252 reading. Every front end decodes
/// node texts with this one function.
std::string DisplayText(std::string_view bytes);

} // namespace velmora::texts
