#include "search/Searches.h"

#include "collection/NodeText.h"
#include "settings/Settings.h"
#include "system/Locale.h"
#include "system/Progress.h"

#include <algorithm>
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

namespace velmora::search {

namespace {

std::size_t NotFound()
{
    return std::string_view::npos;
}

// The bytes act only through 10 x comparison + value index: 0 to 2 are "<",
// 10 to 12 "=", 20 to 22 ">" with the first to third value. So comparison 0
// with value index 11 means "=" with the second value.
bool Compare(std::int64_t actual, std::int32_t comparison, std::int32_t valueIndex,
             const std::array<std::int64_t, 3>& values)
{
    const std::int64_t code = 10 * static_cast<std::int64_t>(comparison) + valueIndex;
    if (code < 0 || code > 22 || code % 10 > 2)
        return false;
    const std::int64_t value = values[static_cast<std::size_t>(code % 10)];
    switch (code / 10) {
    case 0:
        return actual < value;
    case 1:
        return actual == value;
    default:
        return actual > value;
    }
}

constexpr std::array<std::int64_t, 3> kCodeValues = {1, 2, 3};

bool HasBlankOrControlEnd(std::string_view text)
{
    return !text.empty() && (IsBlankOrControl(text.front()) || IsBlankOrControl(text.back()));
}

bool BalancedParentheses(std::string_view text)
{
    return (text.find('(') != NotFound()) == (text.find(')') != NotFound());
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The first "[" and "]" of a name: present, in order, with a text between
// them that is not empty once trimmed, and no blank just inside either one.
// `open` and `close` receive their positions.
bool BracketsHold(std::string_view name, std::size_t& open, std::size_t& close)
{
    open = name.find('[');
    close = name.find(']');
    if (open == NotFound() || close == NotFound() || open > close)
        return false;
    if (TrimBlanks(name.substr(open + 1, close - open - 1)).empty())
        return false;
    return name[open + 1] != ' ' && name[close - 1] != ' ';
}

} // namespace

bool PassesNamingRule(std::string_view parentName, std::string_view fileName)
{
    const std::string_view p = parentName;
    const std::string_view f = fileName;
    std::size_t pOpen = 0;
    std::size_t pClose = 0;
    if (p.size() < 3 || !BracketsHold(p, pOpen, pClose))
        return false;
    if (pClose != p.size() - 1 || HasBlankOrControlEnd(p))
        return false;
    if (!BalancedParentheses(p) || (pOpen > 0 && p[pOpen - 1] != ' '))
        return false;
    if (p.find('_') != NotFound())
        return false;

    if (f.size() < 11 || !IsDigit(f[0]) || !IsDigit(f[1]) || !IsDigit(f[2]) || f[3] != ' ')
        return false;
    std::size_t fOpen = 0;
    std::size_t fClose = 0;
    if (!BracketsHold(f, fOpen, fClose))
        return false;
    // The name ends with "]" followed by a dot and a three-character extension.
    if (f.find("].") != f.size() - 5)
        return false;
    if (!BalancedParentheses(f) || f[fOpen - 1] != ' ' || f.find('_') != NotFound())
        return false;

    if (pOpen == 0)
        return true;
    // Both hold "Artist [": the parts before the blank ahead of "[" must agree.
    if (fOpen < 5)
        return false;
    return p.substr(0, pOpen - 1) == f.substr(4, fOpen - 1 - 4);
}

bool PropertyMatch(std::string_view fileText, const PropertyCriteria& c)
{
    collection::Numbers numbers{};
    collection::ReadNumbers(fileText, numbers);
    const std::int64_t sizeKB = numbers[collection::kSizeKB];
    const std::int64_t duration = numbers[collection::kDuration];
    const std::int64_t version = numbers[collection::kVersionCode];
    const std::int64_t layer = numbers[collection::kLayerCode];

    if (c[0] == 1) {
        std::int64_t rate = collection::AverageBitRate(sizeKB, duration);
        if (duration > 0)
            rate = collection::StandardBitRate(rate, version, layer);
        if (Compare(rate, c[1], c[2], kBitRateValues))
            return true;
    }
    if (c[3] == 1 &&
        Compare(numbers[collection::kSampleRate10] * 10, c[4], c[5], kSampleRateValues))
        return true;
    if (c[6] == 1) {
        // Channel codes: 1 stereo, 2 joint stereo, 3 dual channel, 4 mono; 0
        // (unknown) counts as mono.
        const std::int64_t channel = numbers[collection::kChannelCode];
        const bool mono = channel == 0 || channel == 3 || channel == 4;
        const bool stereo = channel == 1 || channel == 2;
        if ((c[7] == 0 && mono) || (c[7] == 1 && stereo))
            return true;
    }
    if (c[9] == 1 && Compare(version, c[10], c[11], kCodeValues))
        return true;
    if (c[12] == 1 && Compare(layer, c[13], c[14], kCodeValues))
        return true;
    if (c[15] == 1) {
        collection::Tags tags;
        collection::ReadTags(fileText, tags);
        bool present = false;
        for (const std::string_view tag : tags)
            present = present || !tag.empty();
        if ((c[16] == 0 && present) || (c[16] == 1 && !present))
            return true;
    }
    return false;
}

bool TagSearch(const SearchScope& scope, const settings::Settings& settings, std::int64_t start,
               ResultList& results)
{
    std::array<std::string, 6> texts;
    std::array<bool, 6> used{};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        used[i] = !TrimBlanks(settings.tagText[i]).empty();
        if (used[i])
            texts[i] = scope.locale.toLower(settings.tagText[i]);
    }
    return Walk(scope, start, results, [&](NodeId node) {
        if (scope.tree.hasChildren(node))
            return false;
        collection::Tags tags;
        collection::ReadTags(scope.tree.text(node), tags);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (used[i] && scope.locale.toLower(tags[i]).find(texts[i]) == NotFound())
                return false;
        }
        return true;
    });
}

bool PropertySearch(const SearchScope& scope, const settings::Settings& settings,
                    std::int64_t start, ResultList& results)
{
    const PropertyCriteria& criteria = settings.property;
    const bool author = settings.author;
    const CollectionTree& tree = scope.tree;
    return Walk(scope, start, results, [&](NodeId node) {
        if (tree.hasChildren(node))
            return false;
        const std::string_view text = tree.text(node);
        if (author) {
            const NodeId parent = tree.parent(node);
            const std::string_view parentName = parent == collection::kNoNode
                                                    ? std::string_view{}
                                                    : collection::NodeName(tree.text(parent));
            if (!PassesNamingRule(parentName, collection::NodeName(text)))
                return true;
        }
        return PropertyMatch(text, criteria);
    });
}

} // namespace velmora::search

namespace velmora::search {

std::string DuplicateKey(std::string_view nodeText, bool compareName, bool compareProperty)
{
    std::string key;
    if (compareName) {
        key += collection::NodeName(nodeText);
        key += collection::kNumberMark;
    }
    if (compareProperty) {
        collection::Numbers numbers{};
        collection::ReadNumbers(nodeText, numbers);
        key += std::to_string(numbers[collection::kSizeKB]);
        key += collection::kNumberMark;
        key += std::to_string(numbers[collection::kDuration]);
        key += collection::kNumberMark;
    }
    return key;
}

bool DuplicateSearch(const SearchScope& scope, const settings::Settings& settings,
                     std::int64_t start, ResultList& results)
{
    const CollectionTree& tree = scope.tree;
    const std::size_t first = FirstPosition(start);
    const std::size_t end = tree.size();
    const std::uint64_t total = end > first ? end - first : 0;
    scope.progress.setTitle(scope.waitTitle);
    scope.progress.step(0, total, scope.waitLine);

    std::vector<ResultEntry> candidates;
    for (std::size_t p = first; p < end; ++p) {
        const NodeId node = tree.atPosition(p);
        if (AreaTests(settings.duplicateArea, tree.hasChildren(node)))
            candidates.push_back(
                {DuplicateKey(tree.text(node), settings.compareName, settings.compareProperty),
                 node});
        if ((p - first + 1) % kStepEvery == 0)
            scope.progress.step(p - first + 1, total, scope.waitLine);
    }
    scope.progress.step(total, total, scope.sortLine);

    // Stable, so each group keeps walking order.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const ResultEntry& a, const ResultEntry& b) {
                         return CompareFoldedAZ(a.text, b.text) < 0;
                     });
    for (std::size_t i = 0; i < candidates.size();) {
        std::size_t groupEnd = i + 1;
        while (groupEnd < candidates.size() &&
               CompareFoldedAZ(candidates[i].text, candidates[groupEnd].text) == 0)
            ++groupEnd;
        if (groupEnd - i >= 2) {
            for (std::size_t k = i; k < groupEnd; ++k)
                results.add(std::move(candidates[k].text), candidates[k].node);
        }
        i = groupEnd;
    }
    return results.size() >= 2;
}

} // namespace velmora::search
