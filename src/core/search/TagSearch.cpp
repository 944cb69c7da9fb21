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
    std::vector<std::pair<std::size_t, WordFinder>> finders;
    finders.reserve(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (TrimBlanks(criteria.texts[i]).empty())
            continue;
        texts[i].push_back(scope.services.locale.toLower(criteria.texts[i]));
        finders.emplace_back(i, WordFinder(scope.services.locale, texts[i]));
    }
    return Walk(scope, start, results, [&](NodeId node) {
        if (scope.tree.hasChildren(node))
            return false;
        const std::string_view text = scope.tree.text(node);
        collection::Tags tags;
        collection::ReadTags(text, tags);
        for (auto& [field, finder] : finders) {
            if (!finder.containsAll(tags[field], text))
                return false;
        }
        return true;
    });
}

} // namespace velmora::search
