#include "search/Searches.h"

#include "collection/NodeText.h"
#include "system/Locale.h"
#include "system/Progress.h"
#include "texts/AsciiCase.h"
#include "texts/Encoding.h"

#include <algorithm>
#include <functional>
#include <string>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Every kStepEvery positions: one step, then whether to stop. `done` counts
// the positions visited so far.
bool StepAndAsk(const SearchScope& scope, std::uint64_t done, std::uint64_t total)
{
    if (done % kStepEvery != 0)
        return false;
    scope.progress.step(done, total, scope.waitLine);
    return done < total && scope.progress.cancelled();
}

// Calls `test(node)` for every position from `start` to the last, in
// increasing order, and appends the positions it accepts; when cancelled,
// those accepted so far.
template <typename Test>
SearchOutcome Walk(const SearchScope& scope, std::int64_t start, ResultList& results, Test test)
{
    const CollectionTree& tree = scope.tree;
    const std::size_t first = FirstPosition(start);
    const std::size_t end = tree.size();
    const std::uint64_t total = end > first ? end - first : 0;
    scope.progress.setTitle(scope.waitTitle);
    scope.progress.step(0, total, scope.waitLine);
    // Positions first, entries afterwards in one allocation: growing the
    // list entry by entry costs more than the walk on large results.
    std::vector<std::size_t> found;
    const std::vector<NodeId>& order = tree.preOrder();
    SearchOutcome outcome;
    for (std::size_t p = first; p < end && !outcome.stopped; ++p) {
        if (test(order[p]))
            found.push_back(p);
        outcome.stopped = StepAndAsk(scope, p - first + 1, total);
    }
    results.reserve(results.size() + found.size());
    for (const std::size_t p : found)
        results.add(std::to_string(p), order[p]);
    if (!outcome.stopped)
        scope.progress.step(total, total, scope.waitLine);
    outcome.found = !results.empty();
    return outcome;
}

// Whether `text` holds `word` (not empty, no letters A to Z) with the letters
// A to Z of `text` taken as a to z. At least 16 readable bytes must follow
// the end of `text`.
bool ContainsLowered(std::string_view text, std::string_view word)
{
    const std::size_t m = word.size();
    if (m > text.size())
        return false;
    const auto matchesAt = [&](std::size_t i) {
        std::size_t k = 0;
        while (k < m && texts::LowerAsciiLetter(text[i + k]) == word[k])
            ++k;
        return k == m;
    };
    const std::size_t last = text.size() - m; // the last start that fits
#if defined(__SSE2__)
    // Candidates are starts whose first and last bytes equal the word's
    // first and last bytes once bit 5 is set in both, which folds A to Z onto
    // a to z (and a few other pairs, which the full check then refuses), 16
    // starts at a time.
    const __m128i caseBit = _mm_set1_epi8(0x20);
    const __m128i first = _mm_set1_epi8(static_cast<char>(word.front() | 0x20));
    const __m128i end = _mm_set1_epi8(static_cast<char>(word.back() | 0x20));
    for (std::size_t i = 0; i <= last; i += 16) {
        const __m128i a = _mm_or_si128(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i)), caseBit);
        const __m128i b = _mm_or_si128(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + m - 1)), caseBit);
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, end))));
        if (last - i < 15)
            mask &= (2U << (last - i)) - 1;
        while (mask != 0) {
            if (matchesAt(i + static_cast<std::size_t>(__builtin_ctz(mask))))
                return true;
            mask &= mask - 1;
        }
    }
    return false;
#else
    for (std::size_t i = 0; i <= last; ++i) {
        if (matchesAt(i))
            return true;
    }
    return false;
#endif
}

// Finds words in texts lower-cased by the locale's rules (the words are
// lower-cased already). The locale costs a decoding and an allocation per
// text, so it is skipped where its result is known: when it lowers A to Z to
// a to z and leaves the rest of ASCII alone (not so in Turkish, where I
// becomes a dotless i), and every word is pure ASCII, only the ASCII runs of
// a text can hold a match, and lowering keeps them in place and untouched by
// their neighbours, since no other character lowers to ASCII, except the
// Kelvin sign (to k) and the capital I with a dot (to i and a combining
// dot). So a text without those two is searched with A to Z lowered here.
class WordFinder {
public:
    WordFinder(const Locale& locale, const std::vector<std::string>& words)
        : locale_(locale), words_(words),
          quick_(locale.toLower(kAscii) == AsciiLowered() &&
                 std::all_of(words.begin(), words.end(), texts::IsAscii))
    {
    }

    /// Whether the lower-cased `text` holds every word. `text` is a part of
    /// `within`, whose bytes after it may be read.
    bool containsAll(std::string_view text, std::string_view within)
    {
        if (quick_) {
            // ContainsLowered reads up to 16 bytes past the text: the node
            // text behind a name usually has them, else a padded copy does.
            // std::less_equal orders pointers into different objects too.
            const std::less_equal<const char*> notAfter;
            const bool inside = !text.empty() && notAfter(within.data(), text.data()) &&
                                notAfter(text.data() + text.size(), within.data() + within.size());
            const std::size_t behind =
                inside ? static_cast<std::size_t>(within.data() + within.size() -
                                                  (text.data() + text.size()))
                       : 0;
            std::string_view copy = text;
            if (behind < kPadding) {
                if (padded_.size() < text.size() + kPadding)
                    padded_.resize(2 * (text.size() + kPadding));
                std::copy(text.begin(), text.end(), padded_.begin());
                copy = std::string_view(padded_.data(), text.size());
            }
            // A match in the ASCII runs is a match whatever else the text
            // holds; only a miss needs a second look.
            if (std::all_of(words_.begin(), words_.end(), [copy](const std::string& word) {
                    return word.empty() || ContainsLowered(copy, word);
                }))
                return true;
            if (texts::IsAscii(text) || (text.find(kKelvinSign) == std::string_view::npos &&
                                         text.find(kCapitalIWithDot) == std::string_view::npos))
                return false;
        }
        const std::string lowered = locale_.toLower(text);
        return std::all_of(words_.begin(), words_.end(), [&lowered](const std::string& word) {
            return lowered.find(word) != std::string::npos;
        });
    }

private:
    static constexpr std::string_view kAscii =
        " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
        "abcdefghijklmnopqrstuvwxyz{|}~";
    static constexpr std::string_view kKelvinSign = "\xE2\x84\xAA";
    static constexpr std::string_view kCapitalIWithDot = "\xC4\xB0";

    static std::string AsciiLowered()
    {
        std::string lowered(kAscii);
        for (char& c : lowered)
            c = texts::LowerAsciiLetter(c);
        return lowered;
    }

    static constexpr std::size_t kPadding = 16;

    const Locale& locale_;
    const std::vector<std::string>& words_;
    const bool quick_;
    std::string padded_;
};

bool AreaTests(SearchArea area, bool hasChildren)
{
    if (hasChildren)
        return area == SearchArea::FoldersAndFiles || area == SearchArea::Folders;
    return area == SearchArea::FoldersAndFiles || area == SearchArea::Files;
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

namespace velmora::search {

namespace {

std::size_t NotFound()
{
    return std::string_view::npos;
}

// A term acts only through 10 x comparison + value: 0 to 2 are "<", 10 to 12
// "=", 20 to 22 ">" with the first to third value. So a stored comparison 0
// with a stored value 11 means "=" with the second value.
template <typename Value>
bool Compare(std::int64_t actual, const ComparedTerm<Value>& term,
             const std::array<std::int64_t, 3>& values)
{
    const std::int64_t code =
        10 * static_cast<std::int64_t>(term.comparison) + static_cast<std::int64_t>(term.value);
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

    if (c.bitRate.used) {
        std::int64_t rate = collection::AverageBitRate(sizeKB, duration);
        if (duration > 0)
            rate = collection::StandardBitRate(rate, version, layer);
        if (Compare(rate, c.bitRate, kBitRateValues))
            return true;
    }
    if (c.sampleRate.used &&
        Compare(collection::MultiplyClamped(numbers[collection::kSampleRate10], 10), c.sampleRate,
                kSampleRateValues))
        return true;
    if (c.channelMode.used) {
        // Channel codes: 1 stereo, 2 joint stereo, 3 dual channel, 4 mono; 0
        // (unknown) counts as mono.
        const std::int64_t channel = numbers[collection::kChannelCode];
        const bool mono = channel == 0 || channel == 3 || channel == 4;
        const bool stereo = channel == 1 || channel == 2;
        const ChannelMode mode = c.channelMode.value;
        if ((mode == ChannelMode::Mono && mono) || (mode == ChannelMode::Stereo && stereo))
            return true;
    }
    if (c.version.used && Compare(version, c.version, kCodeValues))
        return true;
    if (c.layer.used && Compare(layer, c.layer, kCodeValues))
        return true;
    if (c.validTag.used) {
        collection::Tags tags;
        collection::ReadTags(fileText, tags);
        bool present = false;
        for (const std::string_view tag : tags)
            present = present || !tag.empty();
        const TagPresence wanted = c.validTag.value;
        if ((wanted == TagPresence::Present && present) ||
            (wanted == TagPresence::NotPresent && !present))
            return true;
    }
    return false;
}

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

SearchOutcome PropertySearch(const SearchScope& scope, const PropertyCriteria& criteria,
                             std::int64_t start, ResultList& results)
{
    const bool author = criteria.authorMode;
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

namespace {

void AppendDuplicateKey(std::string& key, std::string_view nodeText, bool compareName,
                        bool compareProperty)
{
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
}

} // namespace

std::string DuplicateKey(std::string_view nodeText, bool compareName, bool compareProperty)
{
    std::string key;
    AppendDuplicateKey(key, nodeText, compareName, compareProperty);
    return key;
}

namespace {

// A node of the duplicate search with its key folded to upper case (a to z
// only) in a shared buffer. Comparing folded keys byte by byte (unsigned)
// orders them as CompareFoldedAZ orders the keys; the first eight folded
// bytes, big-endian and padded with zeros, decide most comparisons without
// touching the buffer.
struct Candidate {
    std::uint64_t prefix;
    std::size_t offset;
    std::uint32_t length;
    std::uint32_t order; ///< walking order, which equal keys keep
    NodeId node;
};

std::uint64_t Prefix(std::string_view key)
{
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i)
        prefix = (prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0U);
    return prefix;
}

} // namespace

SearchOutcome DuplicateSearch(const SearchScope& scope, const DuplicateCriteria& criteria,
                              std::int64_t start, ResultList& results)
{
    const CollectionTree& tree = scope.tree;
    const std::size_t first = FirstPosition(start);
    const std::size_t end = tree.size();
    const std::uint64_t total = end > first ? end - first : 0;
    scope.progress.setTitle(scope.waitTitle);
    scope.progress.step(0, total, scope.waitLine);

    std::string keys;
    std::vector<Candidate> candidates;
    candidates.reserve(total);
    for (std::size_t p = first; p < end; ++p) {
        const NodeId node = tree.atPosition(p);
        if (AreaTests(criteria.area, tree.hasChildren(node))) {
            const std::size_t offset = keys.size();
            AppendDuplicateKey(keys, tree.text(node), criteria.compareName,
                               criteria.compareProperty);
            std::transform(keys.begin() + static_cast<std::ptrdiff_t>(offset), keys.end(),
                           keys.begin() + static_cast<std::ptrdiff_t>(offset),
                           texts::UpperAsciiLetter);
            const std::string_view key = std::string_view(keys).substr(offset);
            candidates.push_back({Prefix(key), offset, static_cast<std::uint32_t>(key.size()),
                                  static_cast<std::uint32_t>(candidates.size()), node});
        }
        if (StepAndAsk(scope, p - first + 1, total))
            return {results.size() >= 2, true};
    }
    scope.progress.step(total, total, scope.sortLine);

    const auto keyOf = [&keys](const Candidate& c) {
        return std::string_view(keys).substr(c.offset, c.length);
    };
    const auto sameKey = [&](const Candidate& a, const Candidate& b) {
        return a.prefix == b.prefix && keyOf(a) == keyOf(b);
    };
    std::sort(candidates.begin(), candidates.end(), [&](const Candidate& a, const Candidate& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        if (const int order = keyOf(a).compare(keyOf(b)); order != 0)
            return order < 0;
        return a.order < b.order;
    });
    // A node is never a duplicate of its own ancestor: a folder that holds
    // nothing but one subfolder or file has its size and duration. In a
    // group, which is in pre-order, a node inside the subtree of a node kept
    // before it stands for nothing new and is left out; the outermost node
    // of such a chain stays for it.
    std::vector<NodeId> kept;
    for (std::size_t i = 0; i < candidates.size();) {
        std::size_t groupEnd = i + 1;
        while (groupEnd < candidates.size() && sameKey(candidates[i], candidates[groupEnd]))
            ++groupEnd;
        kept.clear();
        // The position after the subtree of the node kept last.
        std::size_t keptEnd = 0;
        for (std::size_t k = i; groupEnd - i >= 2 && k < groupEnd; ++k) {
            const NodeId node = candidates[k].node;
            if (!kept.empty() && tree.position(node) < keptEnd)
                continue;
            kept.push_back(node);
            const NodeId after = tree.nextAfterSubtree(node);
            keptEnd = after == collection::kNoNode ? tree.size() : tree.position(after);
        }
        if (kept.size() >= 2) {
            for (const NodeId node : kept) {
                results.add(
                    DuplicateKey(tree.text(node), criteria.compareName, criteria.compareProperty),
                    node);
            }
        }
        i = groupEnd;
    }
    return {results.size() >= 2, false};
}

} // namespace velmora::search
