// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <string_view>

namespace velmora::texts {

// Case rules that fold only the letters A to Z and compare everything else
// byte by byte (as unsigned bytes): for the list's order, result lists,
// duplicate keys, recent files and file masks, where no locale applies.

inline char LowerAsciiLetter(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline char UpperAsciiLetter(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

/// -1, 0 or 1 for the texts compared byte by byte after `fold`; a text that
/// is a prefix of the other comes first.
template <typename Fold> int CompareFolded(std::string_view a, std::string_view b, Fold fold)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(fold(a[i]));
        const auto y = static_cast<unsigned char>(fold(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

/// Letters folded to lower case ("_" sorts before letters).
inline int CompareLowerFolded(std::string_view a, std::string_view b)
{
    return CompareFolded(a, b, LowerAsciiLetter);
}

/// Letters folded to upper case ("_" sorts after letters).
inline int CompareUpperFolded(std::string_view a, std::string_view b)
{
    return CompareFolded(a, b, UpperAsciiLetter);
}

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareLowerFolded(a, b) == 0;
}

} // namespace velmora::texts
