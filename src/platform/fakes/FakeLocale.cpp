#include "platform/fakes/FakeLocale.h"

#include <algorithm>

namespace velmora::fakes {

namespace {

unsigned char FoldAscii(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

} // namespace

std::string FakeLocale::toLower(std::string_view text) const
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(FoldAscii(c)); });
    return lower;
}

int FakeLocale::compareIgnoreCase(std::string_view a, std::string_view b) const
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = FoldAscii(a[i]);
        const unsigned char y = FoldAscii(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace velmora::fakes
