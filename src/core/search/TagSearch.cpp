// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/NodeText.h"
#include "search/SearchWalk.h"
#include "search/Searches.h"
#include "system/Locale.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace velmora::search {

using collection::NodeId;

SearchOutcome TagSearch(const SearchScope& scope, const TagCriteria& criteria, std::int64_t start,
                        ResultList& results)
{
    // One finder per used field, each looking for that field's whole text.
    std::array<std::vector<std::string>, 6> texts;
    std::vector<std::pair<collection::TagField, WordFinder>> finders;
    finders.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (TrimBlanks(criteria.texts[i]).empty())
            continue;
        texts[i].push_back(scope.services.locale.toLower(criteria.texts[i]));
        finders.emplace_back(static_cast<collection::TagField>(i),
                             WordFinder(scope.services.locale, texts[i]));
    }
    // Only the used fields are read, one at a time, and a node is left at
    // its first field that fails.
    return Walk(scope, start, results, [&](NodeId node) {
        if (scope.tree.hasChildren(node))
            return false;
        const std::string_view text = scope.tree.text(node);
        for (auto& [field, finder] : finders) {
            if (!finder.containsAll(collection::ReadTag(text, field), text))
                return false;
        }
        return true;
    });
}

} // namespace velmora::search
