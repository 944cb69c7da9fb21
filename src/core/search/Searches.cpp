#include "search/Searches.h"

#include "collection/NodeText.h"
#include "settings/Settings.h"
#include "system/Locale.h"
#include "system/Progress.h"

#include <string>

namespace velmora::search {

namespace {

using collection::CollectionTree;
using collection::NodeId;

constexpr std::size_t kStepEvery = 4096;

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

std::size_t FirstPosition(std::int64_t start)
{
    return start < 0 ? 1 : static_cast<std::size_t>(start);
}

// Calls `test(node)` for every position from `start` to the last, in
// increasing order, and appends the positions it accepts.
template <typename Test>
bool Walk(const SearchScope& scope, std::int64_t start, ResultList& results, Test test)
{
    const CollectionTree& tree = scope.tree;
    const std::size_t first = FirstPosition(start);
    const std::size_t end = tree.size();
    const std::uint64_t total = end > first ? end - first : 0;
    scope.progress.setTitle(scope.waitTitle);
    scope.progress.step(0, total, scope.waitLine);
    for (std::size_t p = first; p < end; ++p) {
        const NodeId node = tree.atPosition(p);
        if (test(node))
            results.add(std::to_string(p), node);
        if ((p - first + 1) % kStepEvery == 0)
            scope.progress.step(p - first + 1, total, scope.waitLine);
    }
    scope.progress.step(total, total, scope.waitLine);
    return !results.empty();
}

bool AreaTests(std::int32_t area, bool hasChildren)
{
    if (hasChildren)
        return area == 1 || area == 2;
    return area == 1 || area == 3;
}

} // namespace

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

bool NameSearch(const SearchScope& scope, const settings::Settings& settings, std::int64_t start,
                ResultList& results)
{
    std::vector<std::string> words = SplitWords(settings.nameText);
    const bool matchCase = settings.nameCase;
    if (!matchCase) {
        for (std::string& word : words)
            word = scope.locale.toLower(word);
    }
    const std::int32_t area = settings.nameArea;
    return Walk(scope, start, results, [&](NodeId node) {
        if (!AreaTests(area, scope.tree.hasChildren(node)))
            return false;
        const std::string_view raw = collection::NodeName(scope.tree.text(node));
        std::string lowered;
        std::string_view name = raw;
        if (!matchCase) {
            lowered = scope.locale.toLower(raw);
            name = lowered;
        }
        for (const std::string& word : words) {
            if (name.find(word) == std::string_view::npos)
                return false;
        }
        return true;
    });
}

} // namespace velmora::search
