// SPDX-License-Identifier: GPL-3.0-or-later
#include "texts/Encoding.h"

#include <array>
#include <cstdint>

namespace velmora::texts {

namespace {

// Code points of Windows-1252 bytes 0x80 to 0x9F; the rest equal Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Decodes one UTF-8 sequence at bytes[i]. Returns its length, 0 when it is
// malformed.
std::size_t DecodeUtf8(std::string_view bytes, std::size_t i, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t length = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() - i < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Plain ASCII runs are the common case; skip them quickly.
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = DecodeUtf8(bytes, i, cp);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if (b < 0xA0)
            AppendUtf8(out, kHighControls[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

std::string Utf8ToWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        std::size_t length = DecodeUtf8(utf8, i, cp);
        if (length == 0) {
            out += utf8[i];
            ++i;
            continue;
        }
        i += length;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char mapped = '?';
        for (std::size_t k = 0; k < kHighControls.size(); ++k) {
            if (kHighControls[k] == cp) {
                mapped = static_cast<char>(0x80 + k);
                break;
            }
        }
        out += mapped;
    }
    return out;
}

std::string DisplayText(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return Windows1252ToUtf8(bytes);
}

} // namespace velmora::texts
