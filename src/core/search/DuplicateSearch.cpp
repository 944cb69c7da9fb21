// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/NodeText.h"
#include "search/SearchWalk.h"
#include "search/Searches.h"
#include "texts/AsciiCase.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::search {

using collection::CollectionTree;
using collection::NodeId;

namespace {

constexpr unsigned kSizeAndDuration =
    collection::NumberBit(collection::kSizeKB) | collection::NumberBit(collection::kDuration);

void AppendNumber(std::string& key, std::int64_t value)
{
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error; // 24 bytes hold every 64-bit value
    key.append(digits, end);
    key += collection::kNumberMark;
}

void AppendDuplicateKey(std::string& key, std::string_view nodeText, bool compareName,
                        bool compareProperty)
{
    if (compareName) {
        key += collection::NodeName(nodeText);
        key += collection::kNumberMark;
    }
    if (compareProperty) {
        collection::Numbers numbers{};
        collection::ReadSomeNumbers(nodeText, kSizeAndDuration, numbers);
        AppendNumber(key, numbers[collection::kSizeKB]);
        AppendNumber(key, numbers[collection::kDuration]);
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

// Keys are grouped by a hash first: a key whose hash no other candidate
// shares equals no other key and can be dropped unseen, so only the
// candidates of shared hashes get their keys built, compared and sorted.
// Equal keys must give equal hashes: the name is hashed folded to upper case
// (a to z only), as the keys compare, and the numbers by their values, whose
// decimal texts are equal exactly when the values are.

constexpr std::uint64_t kHashFactor = 0x9E3779B97F4A7C15ULL;

std::uint64_t MixIn(std::uint64_t hash, std::uint64_t value)
{
    hash = (hash ^ value) * kHashFactor;
    return hash ^ (hash >> 32);
}

// The final scramble of SplitMix64, so that the high half, which the
// grouping uses, depends on every input bit.
std::uint64_t Finish(std::uint64_t hash)
{
    hash = (hash ^ (hash >> 30)) * 0xBF58476D1CE4E5B9ULL;
    hash = (hash ^ (hash >> 27)) * 0x94D049BB133111EBULL;
    return hash ^ (hash >> 31);
}

// Eight bytes with a to z folded to A to Z. In each byte, the low seven bits
// plus 0x80 - 'a' reach bit 7 from 'a' on, plus 0x80 - 'z' - 1 from past 'z'
// on, and neither sum carries into the next byte; bytes from 0x80 up are no
// letters. The letters lose 0x20.
std::uint64_t FoldedAZ(std::uint64_t bytes)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    const std::uint64_t low = bytes & ~kHigh;
    const std::uint64_t fromA = low + (0x80 - 'a') * kOnes;
    const std::uint64_t pastZ = low + (0x80 - 'z' - 1) * kOnes;
    const std::uint64_t letters = fromA & ~pastZ & ~bytes & kHigh;
    return bytes - (letters >> 2);
}

std::uint64_t KeyHash(std::string_view nodeText, bool compareName, bool compareProperty)
{
    std::uint64_t hash = 0;
    if (compareName) {
        const std::string_view name = collection::NodeName(nodeText);
        std::size_t i = 0;
        for (; i + 8 <= name.size(); i += 8) {
            std::uint64_t bytes = 0;
            std::memcpy(&bytes, name.data() + i, 8);
            hash = MixIn(hash, FoldedAZ(bytes));
        }
        std::uint64_t rest = 0;
        if (i < name.size())
            std::memcpy(&rest, name.data() + i, name.size() - i);
        hash = MixIn(MixIn(hash, FoldedAZ(rest)), name.size());
    }
    if (compareProperty) {
        collection::Numbers numbers{};
        collection::ReadSomeNumbers(nodeText, kSizeAndDuration, numbers);
        hash = MixIn(hash, static_cast<std::uint64_t>(numbers[collection::kSizeKB]));
        hash = MixIn(hash, static_cast<std::uint64_t>(numbers[collection::kDuration]));
    }
    return Finish(hash);
}

// Sorts by the high 32 bits only, keeping the order of equal ones: three
// counting passes of 11, 11 and 10 bits.
void SortByHighHalf(std::vector<std::uint64_t>& items)
{
    constexpr std::array<int, 3> kShifts = {32, 43, 54};
    constexpr std::size_t kBuckets = 2048;
    std::array<std::array<std::size_t, kBuckets>, 3> counts{};
    for (const std::uint64_t item : items) {
        for (std::size_t pass = 0; pass < kShifts.size(); ++pass)
            ++counts[pass][(item >> kShifts[pass]) & (kBuckets - 1)];
    }
    std::vector<std::uint64_t> other(items.size());
    for (std::size_t pass = 0; pass < kShifts.size(); ++pass) {
        std::size_t next = 0;
        for (std::size_t& count : counts[pass])
            next += std::exchange(count, next);
        for (const std::uint64_t item : items)
            other[counts[pass][(item >> kShifts[pass]) & (kBuckets - 1)]++] = item;
        items.swap(other);
    }
}

// A candidate that shares its hash with another: its key (as DuplicateKey
// gives it) at `offset` in a shared buffer, its node, its position and the
// position after its subtree.
struct Member {
    std::size_t offset;
    std::uint32_t length;
    NodeId node;
    std::uint32_t position;
    std::uint32_t subtreeEnd;
};

// Two or more members with one key: `count` members from `first`, in
// walking order. Comparing keys with a to z folded to A to Z byte by byte
// (unsigned) orders them as CompareFoldedAZ does; the first sixteen folded
// bytes, big-endian and padded with zeros, decide most comparisons without
// touching the buffer.
struct Group {
    std::array<std::uint64_t, 2> prefix;
    std::uint32_t first;
    std::uint32_t count;
};

std::array<std::uint64_t, 2> FoldedPrefix(std::string_view key)
{
    std::array<std::uint64_t, 2> prefix{};
    for (std::size_t i = 0; i < 16; ++i) {
        const unsigned byte =
            i < key.size() ? static_cast<unsigned char>(texts::UpperAsciiLetter(key[i])) : 0U;
        prefix[i / 8] = (prefix[i / 8] << 8) | byte;
    }
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

    // The candidates' positions in walking order; each hash item holds the
    // hash in its high half and the candidate's index in its low half.
    std::vector<std::uint32_t> positions;
    std::vector<std::uint64_t> hashes;
    positions.reserve(total);
    hashes.reserve(total);
    const std::vector<NodeId>& order = tree.preOrder();
    for (std::size_t p = first; p < end; ++p) {
        const NodeId node = order[p];
        if (AreaTests(criteria.area, tree.hasChildren(node))) {
            const std::uint64_t hash =
                KeyHash(tree.text(node), criteria.compareName, criteria.compareProperty);
            hashes.push_back((hash & 0xFFFFFFFF00000000ULL) | positions.size());
            positions.push_back(static_cast<std::uint32_t>(p));
        }
        if (StepAndAsk(scope, p - first + 1, total))
            return {results.size() >= 2, true};
    }
    scope.progress.step(total, total, scope.sortLine);

    // The candidates of runs of one hash become members, numbered run after
    // run; within a run they keep walking order.
    SortByHighHalf(hashes);
    constexpr std::uint32_t kNoSlot = 0xFFFFFFFFU;
    std::vector<std::uint32_t> slots(positions.size(), kNoSlot);
    std::vector<std::uint32_t> runStarts; // and the end of the last run
    std::uint32_t memberCount = 0;
    for (std::size_t i = 0; i < hashes.size();) {
        std::size_t runEnd = i + 1;
        while (runEnd < hashes.size() && (hashes[runEnd] >> 32) == (hashes[i] >> 32))
            ++runEnd;
        if (runEnd - i >= 2) {
            runStarts.push_back(memberCount);
            for (std::size_t k = i; k < runEnd; ++k)
                slots[static_cast<std::uint32_t>(hashes[k])] = memberCount++;
        }
        i = runEnd;
    }
    runStarts.push_back(memberCount);
    hashes = {};

    // The members' keys are built in walking order, which reads the node
    // texts one after another rather than all over the tree.
    std::vector<Member> members(memberCount);
    std::string keys;
    for (std::size_t index = 0; index < positions.size(); ++index) {
        if (slots[index] == kNoSlot)
            continue;
        const NodeId node = order[positions[index]];
        const std::size_t offset = keys.size();
        AppendDuplicateKey(keys, tree.text(node), criteria.compareName, criteria.compareProperty);
        // A node without children ends its own subtree.
        std::uint32_t subtreeEnd = positions[index] + 1;
        if (tree.hasChildren(node)) {
            const NodeId after = tree.nextAfterSubtree(node);
            subtreeEnd = after == collection::kNoNode ? static_cast<std::uint32_t>(tree.size())
                                                      : tree.position(after);
        }
        members[slots[index]] = {offset, static_cast<std::uint32_t>(keys.size() - offset), node,
                                 positions[index], subtreeEnd};
    }
    slots = {};
    positions = {};

    // Each run split into groups of equal keys. A run almost always holds
    // one key; one that holds more (hashes that collide) is sorted by key,
    // in walking order among equal keys.
    const auto keyOf = [&keys](const Member& m) {
        return std::string_view(keys).substr(m.offset, m.length);
    };
    const auto compareKeys = [&](const Member& a, const Member& b) {
        return texts::CompareUpperFolded(keyOf(a), keyOf(b));
    };
    // Most members of a group hold the very bytes of the first.
    const auto sameKey = [&](const Member& a, const Member& b) {
        return a.length == b.length &&
               (keyOf(a) == keyOf(b) || texts::CompareUpperFolded(keyOf(a), keyOf(b)) == 0);
    };
    std::vector<Group> groups;
    const auto addGroup = [&](std::uint32_t from, std::uint32_t to) {
        if (to - from >= 2)
            groups.push_back({FoldedPrefix(keyOf(members[from])), from, to - from});
    };
    for (std::size_t r = 0; r + 1 < runStarts.size(); ++r) {
        const std::uint32_t runBegin = runStarts[r];
        const std::uint32_t runEnd = runStarts[r + 1];
        const auto firstMember = members.begin() + runBegin;
        const auto lastMember = members.begin() + runEnd;
        if (std::all_of(firstMember + 1, lastMember,
                        [&](const Member& m) { return sameKey(m, *firstMember); })) {
            addGroup(runBegin, runEnd);
            continue;
        }
        std::stable_sort(firstMember, lastMember,
                         [&](const Member& a, const Member& b) { return compareKeys(a, b) < 0; });
        for (std::uint32_t k = runBegin; k < runEnd;) {
            std::uint32_t keyEnd = k + 1;
            while (keyEnd < runEnd && sameKey(members[keyEnd], members[k]))
                ++keyEnd;
            addGroup(k, keyEnd);
            k = keyEnd;
        }
    }
    std::sort(groups.begin(), groups.end(), [&](const Group& a, const Group& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return compareKeys(members[a.first], members[b.first]) < 0;
    });

    // A node is never a duplicate of its own ancestor: a folder that holds
    // nothing but one subfolder or file has its size and duration. In a
    // group, which is in pre-order, a node inside the subtree of a node kept
    // before it stands for nothing new and is left out; the outermost node
    // of such a chain stays for it.
    results.reserve(results.size() + members.size());
    std::vector<const Member*> kept;
    for (const Group& group : groups) {
        kept.clear();
        // The position after the subtree of the node kept last.
        std::uint32_t keptEnd = 0;
        for (std::uint32_t k = group.first; k < group.first + group.count; ++k) {
            const Member& member = members[k];
            if (!kept.empty() && member.position < keptEnd)
                continue;
            kept.push_back(&member);
            keptEnd = member.subtreeEnd;
        }
        if (kept.size() >= 2) {
            for (const Member* member : kept)
                results.add(std::string(keyOf(*member)), member->node);
        }
    }
    return {results.size() >= 2, false};
}

} // namespace velmora::search
