// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/NodeText.h"
#include "search/SearchWalk.h"
#include "search/Searches.h"
#include "system/Locale.h"

#include <algorithm>
#include <string>
#include <vector>

namespace velmora::search {

using collection::NodeId;

std::vector<std::string> SplitWords(std::string_view text)
{
    std::vector<std::string> words;
    const auto keep = [&words](std::string_view word) {
        if (words.size() < kMaxNameWords)
            words.emplace_back(word);
        else
            words.back() = std::string(word);
    };
    std::string_view rest = TrimBlanks(text);
    while (!rest.empty()) {
        const std::size_t blank = rest.find(' ');
        if (blank == std::string_view::npos) {
            keep(rest);
            break;
        }
        keep(rest.substr(0, blank));
        rest = TrimBlanks(rest.substr(blank + 1));
    }
    return words;
}

SearchOutcome NameSearch(const SearchScope& scope, const NameCriteria& criteria, std::int64_t start,
                         ResultList& results)
{
    std::vector<std::string> words = SplitWords(criteria.text);
    const bool matchCase = criteria.matchCase;
    if (!matchCase) {
        for (std::string& word : words)
            word = scope.services.locale.toLower(word);
    }
    const SearchArea area = criteria.area;
    WordFinder finder(scope.services.locale, words);
    return Walk(scope, start, results, [&](NodeId node) {
        if (!AreaTests(area, scope.tree.hasChildren(node)))
            return false;
        const std::string_view text = scope.tree.text(node);
        const std::string_view name = collection::NodeName(text);
        if (!matchCase)
            return finder.containsAll(name, text);
        return std::all_of(words.begin(), words.end(), [name](const std::string& word) {
            return name.find(word) != std::string_view::npos;
        });
    });
}

} // namespace velmora::search
