// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/Id3v2Writer.h"

#include "audio/MPGTools.h"

#include <string>

namespace velmora::tags {

namespace {

// The text as the reader of scans keeps it: bytes below 32 blank, no blanks
// at either end.
std::string_view Trimmed(std::string& text)
{
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
    std::string_view view = text;
    const std::size_t first = view.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    view = view.substr(first, view.find_last_not_of(' ') + 1 - first);
    return view;
}

// `text` cut to `characters` characters without blanks at the end.
std::string_view CutView(std::string_view text, std::size_t characters)
{
    text = text.substr(0, audio::CutLength(text, characters));
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string_view LeadingDigits(std::string_view text, std::size_t most)
{
    std::size_t n = 0;
    while (n < text.size() && n < most && text[n] >= '0' && text[n] <= '9')
        ++n;
    return text.substr(0, n);
}

std::string_view WithoutLeadingZeros(std::string_view digits)
{
    while (digits.size() > 1 && digits.front() == '0')
        digits.remove_prefix(1);
    return digits;
}

} // namespace

bool KeepsId3v2Text(TagField field, std::string_view current, std::string_view wanted)
{
    if (current == wanted)
        return true;
    std::string copy(current);
    const std::string_view shown = Trimmed(copy);
    switch (field) {
    case TagField::Track: {
        // 0 is no track, as in the ID3v1 tag.
        const std::string_view number = LeadingDigits(shown, 9);
        const bool wantedNone = wanted.empty() || WithoutLeadingZeros(wanted) == "0";
        if (number.empty() || wantedNone)
            return number.empty() && wantedNone;
        return LeadingDigits(wanted, 9).size() == wanted.size() &&
               WithoutLeadingZeros(number) == WithoutLeadingZeros(wanted);
    }
    case TagField::Year:
        return LeadingDigits(shown, 4) == wanted;
    case TagField::Comment:
        if (CutView(shown, 29) == wanted)
            return true;
        break;
    case TagField::Title:
    case TagField::Artist:
    case TagField::Album:
        break;
    }
    return CutView(shown, 30) == wanted;
}

} // namespace velmora::tags
