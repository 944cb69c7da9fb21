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

bool FakeLocale::appendSortKey(std::string_view text, CaseOrder order, std::string& key) const
{
    const std::size_t start = key.size();
    key += text;
    if (order == CaseOrder::IgnoreCase)
        std::transform(key.begin() + static_cast<std::ptrdiff_t>(start), key.end(),
                       key.begin() + static_cast<std::ptrdiff_t>(start), texts::LowerAsciiLetter);
    return true;
}

} // namespace velmora::fakes
