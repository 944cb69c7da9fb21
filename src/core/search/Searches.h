#pragma once

#include "collection/CollectionTree.h"
#include "search/ResultList.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {
class Locale;
class Progress;
} // namespace velmora
namespace velmora::settings {
struct Settings;
}

namespace velmora::search {

/// What every search works on. The references must outlive the call.
///
/// Progress: a search calls `progress.setTitle(waitTitle)`, then
/// `progress.step(done, total, waitLine)` at its start, every few thousand
/// nodes and at its end, with `total` the number of positions it visits.
/// It never stops early: cancelled() is not asked.
struct SearchScope {
    const collection::CollectionTree& tree;
    const Locale& locale;
    Progress& progress;
    std::string_view waitTitle; ///< the wait window's title, "Searching"
    std::string_view waitLine;  ///< the wait window's line, "Please wait..."
    std::string_view sortLine;  ///< DuplicateSearch's line while it sorts, "Sorting..."
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
/// `settings.nameText` as a substring, its position in decimal with its node
/// reference. `settings.nameArea` chooses the nodes tested: 1 nodes with and
/// without children, 2 nodes with children, 3 nodes without; any other value
/// tests none. With `settings.nameCase` the bytes compare exactly; without
/// it both name and words are lower-cased by `scope.locale` first. A text
/// without words matches every tested node. Returns whether `results` holds
/// at least one entry afterwards.
bool NameSearch(const SearchScope& scope, const settings::Settings& settings, std::int64_t start,
                ResultList& results);

/// The tag search: walks like NameSearch and tests only nodes without
/// children. Each of the six texts of `settings.tagText` (Title, Artist,
/// Album, Track, Year, Comment) that is not empty once blanks and control
/// characters are removed at both ends must occur, as stored (blanks at its
/// ends included), in the node's matching tag field, both lower-cased by
/// `scope.locale`. `settings.nameCase` plays no part. Without any such text
/// every node without children matches.
bool TagSearch(const SearchScope& scope, const settings::Settings& settings, std::int64_t start,
               ResultList& results);

/// The 18 bytes of the property criteria, as `settings.property` holds them.
/// Byte 0/3/6/9/12/15 switches the bit rate, sample rate, channel mode,
/// version, layer and valid tag term on (only the value 1 does); bytes 1 and
/// 2, 4 and 5, 10 and 11, 13 and 14 are a comparison (0 "<", 1 "=", 2 ">")
/// and a value index (see kBitRateValues and the others); byte 7 is 0 "Mono"
/// or 1 "Stereo", byte 16 0 "Present" or 1 "Not present".
using PropertyCriteria = std::array<std::int32_t, 18>;

inline constexpr std::array<std::int64_t, 3> kBitRateValues = {128, 160, 192};          ///< kbit/s
inline constexpr std::array<std::int64_t, 3> kSampleRateValues = {22050, 32000, 44100}; ///< Hz

/// Whether a file node's text matches the criteria: true when at least one
/// switched-on term holds (terms combine with a logical or). The bit rate is
/// AverageBitRate(SizeKB, Duration), replaced by StandardBitRate for a
/// positive Duration (constant bit rate) and left as it is for a negative
/// one. A comparison term holds by 10 x comparison + value index: 0 to 2
/// "<", 10 to 12 "=", 20 to 22 ">" with the first to third value; any other
/// number never holds. Numbers missing from the text count as 0.
bool PropertyMatch(std::string_view fileText, const PropertyCriteria& criteria);

/// The naming rule of author mode for a file named `fileName` in a parent
/// named `parentName`: "NNN Artist [Title].ext" in "Artist [Album]" (or in a
/// parent whose name begins with "["). True when every check passes.
bool PassesNamingRule(std::string_view parentName, std::string_view fileName);

/// The property search: walks like NameSearch and tests only nodes without
/// children with PropertyMatch over `settings.property`. While
/// `settings.author` is on, a file that fails PassesNamingRule against its
/// parent matches whatever the terms say.
bool PropertySearch(const SearchScope& scope, const settings::Settings& settings,
                    std::int64_t start, ResultList& results);

/// The comparison key of a node for the duplicate search: with
/// `compareName` its name and the byte 0x01; then with `compareProperty` its
/// SizeKB, 0x01, its Duration (signed), 0x01, the numbers in decimal.
std::string DuplicateKey(std::string_view nodeText, bool compareName, bool compareProperty);

/// The duplicate search: the key of every node from `start` (negative: 1)
/// that `settings.duplicateArea` admits (as nameArea in NameSearch), sorted
/// by CompareFoldedAZ, with every key that equals no other key removed, is
/// appended to `results` (key text, node reference): equal keys stand next
/// to each other and form groups of two or more, each in walking order.
/// Keys come from `settings.compareName` and `settings.compareProperty`.
/// Progress: like NameSearch, then one step with `scope.sortLine` before
/// sorting. Returns whether `results` holds two or more entries afterwards.
bool DuplicateSearch(const SearchScope& scope, const settings::Settings& settings,
                     std::int64_t start, ResultList& results);

} // namespace velmora::search
