// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/NodeText.h"
#include "search/SearchWalk.h"
#include "search/Searches.h"
#include "texts/AsciiCase.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora::search {

using collection::CollectionTree;
using collection::NodeId;

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
