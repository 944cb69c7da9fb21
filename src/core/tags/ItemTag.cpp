// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/ItemTag.h"

#include "collection/NodeText.h"

#include <algorithm>
#include <iterator>

namespace velmora::tags {

std::string WithoutControlBytes(std::string_view text)
{
    std::string kept;
    kept.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept),
                 [](char c) { return static_cast<unsigned char>(c) >= 32; });
    return kept;
}

std::optional<std::string> ItemTagText(std::string_view nodeText, const ItemTagFields& fields)
{
    const std::size_t numbersEnd = nodeText.find('\x07');
    if (numbersEnd == std::string_view::npos)
        return std::nullopt;
    std::string text(nodeText.substr(0, numbersEnd + 1));
    char mark = collection::kTagMark;
    for (const std::string& field : fields) {
        text += mark++;
        text += WithoutControlBytes(field);
    }
    text += mark;
    return text;
}

} // namespace velmora::tags
