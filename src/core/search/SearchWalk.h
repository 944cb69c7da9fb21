// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "search/ResultList.h"
#include "search/Searches.h"
#include "system/Locale.h"
#include "system/Progress.h"
#include "texts/AsciiCase.h"
#include "texts/Encoding.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// What the searches share: the walk over the positions with its progress
// steps, the word finder of the name and tag searches, and the tests of the
// search area. For the search units only.

namespace velmora::search {

inline constexpr std::size_t kStepEvery = 4096;

inline bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

inline std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}

inline std::size_t FirstPosition(std::int64_t start)
{
    return start < 0 ? 1 : static_cast<std::size_t>(start);
}

// Every kStepEvery positions: one step, then whether to stop. `done` counts
// the positions visited so far.
inline bool StepAndAsk(const SearchScope& scope, std::uint64_t done, std::uint64_t total)
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
    const collection::CollectionTree& tree = scope.tree;
    const std::size_t first = FirstPosition(start);
    const std::size_t end = tree.size();
    const std::uint64_t total = end > first ? end - first : 0;
    scope.progress.setTitle(scope.waitTitle);
    scope.progress.step(0, total, scope.waitLine);
    // Positions first, entries afterwards in one allocation: growing the
    // list entry by entry costs more than the walk on large results.
    std::vector<std::size_t> found;
    const std::vector<collection::NodeId>& order = tree.preOrder();
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
inline bool ContainsLowered(std::string_view text, std::string_view word)
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

inline bool AreaTests(SearchArea area, bool hasChildren)
{
    if (hasChildren)
        return area == SearchArea::FoldersAndFiles || area == SearchArea::Folders;
    return area == SearchArea::FoldersAndFiles || area == SearchArea::Files;
}

} // namespace velmora::search
