// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fakes/FakeLocale.h"

#include "texts/AsciiCase.h"

#include <algorithm>

namespace velmora::fakes {

std::string FakeLocale::toLower(std::string_view text) const
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), texts::LowerAsciiLetter);
    return lower;
}

int FakeLocale::compareIgnoreCase(std::string_view a, std::string_view b) const
{
    return texts::CompareLowerFolded(a, b);
}

} // namespace velmora::fakes
