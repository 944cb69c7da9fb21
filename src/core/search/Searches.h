#pragma once

#include "collection/CollectionTree.h"
#include "search/ResultList.h"

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

} // namespace velmora::search
