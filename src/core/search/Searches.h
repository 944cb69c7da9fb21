// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "search/ResultList.h"
#include "search/SearchCriteria.h"
#include "system/Services.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {
class Progress;
}

namespace velmora::search {

/// What every search works on. The references must outlive the call.
///
/// Progress: a search calls `progress.setTitle(waitTitle)`, then
/// `progress.step(done, total, waitLine)` at its start, every few thousand
/// nodes and at its end, with `total` the number of positions it visits.
/// After each step between the start and the end it asks
/// `progress.cancelled()`; when that is true it stops (see SearchOutcome).
struct SearchScope {
    const collection::CollectionTree& tree;
    /// A search reads only the locale, which lower-cases names and words.
    const Services& services;
    Progress& progress;
    std::string_view waitTitle; ///< the wait window's title, "Searching"
    std::string_view waitLine;  ///< the wait window's line, "Please wait..."
    std::string_view sortLine;  ///< DuplicateSearch's line while it sorts, "Sorting..."
};

/// How a search ended. `found` tells whether the results hold what the
/// search promises (see each search); `stopped` that it was cancelled
/// through its progress before the end: the name, tag and property searches
/// then hold the positions found so far, the duplicate search none.
struct SearchOutcome {
    bool found = false;
    bool stopped = false;
};

/// The most words a name search uses.
inline constexpr std::size_t kMaxNameWords = 99;

/// The words of a name search text: blanks and control characters (bytes 0
/// to 32) removed at both ends, then split at every blank (byte 32), runs of
/// blanks and the control characters around them counting as one separator.
/// Words are never empty. From the 99th word on, each further word replaces
/// the 99th, so the result holds the first 98 words and the last one.
std::vector<std::string> SplitWords(std::string_view text);

/// The name search: walks the positions from `start` (negative: 1) to the
/// tree's last and appends, for each node whose name holds every word of
/// `criteria.text` as a substring, its position in decimal with its node
/// reference. `criteria.area` chooses the nodes tested: nodes with and
/// without children, nodes with children, nodes without; any other value
/// tests none. With `criteria.matchCase` the bytes compare exactly; without
/// it both name and words are lower-cased by `scope.services.locale` first. A text
/// without words matches every tested node. Found: `results` holds at least
/// one entry afterwards.
[[nodiscard]] SearchOutcome NameSearch(const SearchScope& scope, const NameCriteria& criteria,
                                       std::int64_t start, ResultList& results);

/// The tag search: walks like NameSearch and tests only nodes without
/// children. Each of the six texts of `criteria.texts` (Title, Artist,
/// Album, Track, Year, Comment) that is not empty once blanks and control
/// characters are removed at both ends must occur, as stored (blanks at its
/// ends included), in the node's matching tag field, both lower-cased by
/// `scope.services.locale`. Without any such text every node without children
/// matches.
[[nodiscard]] SearchOutcome TagSearch(const SearchScope& scope, const TagCriteria& criteria,
                                      std::int64_t start, ResultList& results);

inline constexpr std::array<std::int64_t, 3> kBitRateValues = {128, 160, 192};          ///< kbit/s
inline constexpr std::array<std::int64_t, 3> kSampleRateValues = {22050, 32000, 44100}; ///< Hz

/// Whether a file node's text matches the criteria: true when at least one
/// used term holds (terms combine with a logical or); author mode plays no
/// part here. The bit rate is AverageBitRate(SizeKB, Duration), replaced by
/// StandardBitRate for a positive Duration (constant bit rate) and left as
/// it is for a negative one. A comparison term holds by 10 x comparison +
/// value: 0 to 2 "<", 10 to 12 "=", 20 to 22 ">" with the first to third
/// value; any other number (only stored values outside the named ones give
/// one) never holds. Numbers missing from the text count as 0.
bool PropertyMatch(std::string_view fileText, const PropertyCriteria& criteria);

/// The naming rule of author mode for a file named `fileName` in a parent
/// named `parentName`: "NNN Artist [Title].ext" in "Artist [Album]" (or in a
/// parent whose name begins with "["). True when every check passes.
bool PassesNamingRule(std::string_view parentName, std::string_view fileName);

/// The property search: walks like NameSearch and tests only nodes without
/// children with PropertyMatch. While `criteria.authorMode` is on, a file
/// that fails PassesNamingRule against its parent matches whatever the terms
/// say.
[[nodiscard]] SearchOutcome PropertySearch(const SearchScope& scope,
                                           const PropertyCriteria& criteria, std::int64_t start,
                                           ResultList& results);

/// The comparison key of a node for the duplicate search: with
/// `compareName` its name and the byte 0x01; then with `compareProperty` its
/// SizeKB, 0x01, its Duration (signed), 0x01, the numbers in decimal.
std::string DuplicateKey(std::string_view nodeText, bool compareName, bool compareProperty);

/// The duplicate search: the key of every node from `start` (negative: 1)
/// that `criteria.area` admits (as in NameSearch), sorted
/// by CompareFoldedAZ, with every key that equals no other key removed, is
/// appended to `results` (key text, node reference): equal keys stand next
/// to each other and form groups of two or more, each in walking order. A
/// node and its own ancestor are never duplicates of each other: of the
/// nodes of one key that hold one another (a folder holding nothing but one
/// subfolder), only the outermost is kept, and a group left with fewer than
/// two nodes goes. Keys come from `criteria.compareName` and `criteria.compareProperty`.
/// Progress: like NameSearch, then one step with `scope.sortLine` before
/// sorting. Found: `results` holds two or more entries afterwards.
[[nodiscard]] SearchOutcome DuplicateSearch(const SearchScope& scope,
                                            const DuplicateCriteria& criteria, std::int64_t start,
                                            ResultList& results);

} // namespace velmora::search
