// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace velmora::testing {

/// Bytes written readably: "[01]" stands for the byte 0x01 (two hexadecimal
/// digits in brackets), everything else for itself. "[01]3921[02]" is the
/// byte 1, the digits 3921 and the byte 2.
inline std::string Bytes(std::string_view readable)
{
    const auto hex = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c - 'a' + 10;
    };
    std::string out;
    for (std::size_t i = 0; i < readable.size(); ++i) {
        if (readable[i] == '[' && i + 3 < readable.size() && readable[i + 3] == ']') {
            out += static_cast<char>(hex(readable[i + 1]) * 16 + hex(readable[i + 2]));
            i += 3;
        } else {
            out += readable[i];
        }
    }
    return out;
}

} // namespace velmora::testing
