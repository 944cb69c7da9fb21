// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/Id3v2Writer.h"

#include "audio/Id3v2.h"

#include <algorithm>
#include <string>

namespace velmora::tags {

namespace {

std::string WithoutLeadingZeros(std::string digits)
{
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
    return digits;
}

} // namespace

bool KeepsId3v2Text(TagField field, std::string_view current, std::string_view wanted)
{
    using audio::Cut;
    using audio::LeadingDigits;
    if (current == wanted)
        return true;
    const std::string shown = audio::Cleaned(std::string(current));
    switch (field) {
    case TagField::Track: {
        // 0 is no track, as in the ID3v1 tag.
        const std::string number = LeadingDigits(shown, 9);
        const bool wantedNone = wanted.empty() || WithoutLeadingZeros(std::string(wanted)) == "0";
        if (number.empty() || wantedNone)
            return number.empty() && wantedNone;
        return LeadingDigits(wanted, 9).size() == wanted.size() &&
               WithoutLeadingZeros(number) == WithoutLeadingZeros(std::string(wanted));
    }
    case TagField::Year:
        return LeadingDigits(shown, 4) == wanted;
    case TagField::Comment:
        if (Cut(shown, 29) == wanted)
            return true;
        break;
    case TagField::Title:
    case TagField::Artist:
    case TagField::Album:
        break;
    }
    return Cut(shown, 30) == wanted;
}

} // namespace velmora::tags
