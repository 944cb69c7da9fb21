// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/LocaleSort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace velmora {

namespace {

constexpr std::size_t kPrefixBytes = 8;

} // namespace

void LocaleSort::clear()
{
    exact_ = true;
    keys_.clear();
    keyStarts_.clear();
    entries_.clear();
    texts_.clear();
    order_.clear();
}

void LocaleSort::add(std::string_view text, std::uint8_t rank)
{
    keyStarts_.push_back(keys_.size());
    keys_ += static_cast<char>(rank);
    if (!locale_.appendSortKey(text, caseOrder_, keys_))
        exact_ = false;
    entries_.push_back({0, static_cast<std::uint32_t>(entries_.size()), 0});
    texts_.push_back(text);
}

const std::vector<std::uint32_t>& LocaleSort::order()
{
    keyStarts_.push_back(keys_.size());
    // Room to read eight bytes from any place of a key.
    keys_.append(kPrefixBytes, '\0');
    sortByKeys(0, entries_.size(), 0);
    keyStarts_.pop_back();
    order_.clear();
    order_.reserve(entries_.size());
    for (const Entry& entry : entries_)
        order_.push_back(entry.index);
    return order_;
}

bool LocaleSort::inAddedOrder() const
{
    for (std::size_t i = 0; i < order_.size(); ++i) {
        if (order_[i] != i)
            return false;
    }
    return true;
}

// Sorts entries [first, last), whose keys agree in their first `depth`
// bytes and are all at least that long, and which are in the order they
// were added in, by eight key bytes at a time: by the eight from `depth`
// (zeros past a key's end) and how many of them the key has, then each run
// that agrees in all eight by the next eight. A shorter key thus comes
// before a longer one it begins, and every sort is stable, so entries whose
// keys are equal stay in the order they were added in.
void LocaleSort::sortByKeys(std::size_t first, std::size_t last, std::size_t depth)
{
    if (last - first < 2)
        return;
    for (std::size_t i = first; i < last; ++i) {
        Entry& entry = entries_[i];
        const std::size_t start = keyStarts_[entry.index] + depth;
        const std::size_t have =
            std::min<std::size_t>(keyStarts_[entry.index + 1] - start, kPrefixBytes);
        std::uint64_t bytes = 0;
        std::memcpy(&bytes, keys_.data() + start, kPrefixBytes);
        if constexpr (std::endian::native == std::endian::little)
            bytes = __builtin_bswap64(bytes);
        entry.prefix = have == 0 ? 0 : bytes & (~std::uint64_t{0} << (8 * (kPrefixBytes - have)));
        entry.tail = static_cast<std::uint32_t>(have);
    }
    sortStable(first, last);
    for (std::size_t i = first; i < last;) {
        std::size_t runEnd = i + 1;
        while (runEnd < last && entries_[runEnd].prefix == entries_[i].prefix &&
               entries_[runEnd].tail == entries_[i].tail)
            ++runEnd;
        if (runEnd - i >= 2) {
            if (entries_[i].tail == kPrefixBytes)
                sortByKeys(i, runEnd, depth + kPrefixBytes);
            else if (!exact_)
                sortEqualKeys(i, runEnd);
        }
        i = runEnd;
    }
}

// A stable sort of entries [first, last) by prefix and tail: a radix sort
// of their nine bytes (the tail the least significant) for long ranges,
// skipping bytes every entry shares; a merge sort for short ones.
void LocaleSort::sortStable(std::size_t first, std::size_t last)
{
    const auto begin = entries_.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = entries_.begin() + static_cast<std::ptrdiff_t>(last);
    const std::size_t count = last - first;
    const auto before = [](const Entry& a, const Entry& b) {
        return a.prefix != b.prefix ? a.prefix < b.prefix : a.tail < b.tail;
    };
    if (count <= 16) {
        // Insertion sort: stable, and free of the allocation of
        // std::stable_sort, for the short lists of a folder's files.
        for (auto it = begin + 1; it != end; ++it) {
            const Entry entry = *it;
            auto at = it;
            for (; at != begin && before(entry, *(at - 1)); --at)
                *at = *(at - 1);
            *at = entry;
        }
        return;
    }
    if (count < 256) {
        std::stable_sort(begin, end, before);
        return;
    }
    // Byte 0 is the tail, bytes 1 to 8 the prefix from its last byte on.
    constexpr std::size_t kDigits = kPrefixBytes + 1;
    const auto digit = [](const Entry& entry, std::size_t d) {
        return d == 0 ? entry.tail
                      : static_cast<std::uint32_t>((entry.prefix >> (8 * (d - 1))) & 0xFF);
    };
    std::vector<std::array<std::size_t, 256>> counts(kDigits);
    for (auto& c : counts)
        c.fill(0);
    for (auto it = begin; it != end; ++it) {
        for (std::size_t d = 0; d < kDigits; ++d)
            ++counts[d][digit(*it, d)];
    }
    spare_.resize(std::max(spare_.size(), count));
    Entry* from = &*begin;
    Entry* to = spare_.data();
    for (std::size_t d = 0; d < kDigits; ++d) {
        std::array<std::size_t, 256>& c = counts[d];
        if (c[digit(*from, d)] == count)
            continue;
        std::size_t at = 0;
        for (std::size_t& n : c) {
            const std::size_t here = n;
            n = at;
            at += here;
        }
        for (std::size_t i = 0; i < count; ++i)
            to[c[digit(from[i], d)]++] = from[i];
        std::swap(from, to);
    }
    if (from != &*begin)
        std::copy(from, from + count, begin);
}

// Entries [first, last) have equal keys and are in the order they were
// added in: the locale's comparison orders them, keeping that order where
// it finds them equal. Most such runs are of one name repeated, which a
// look at the bytes settles.
void LocaleSort::sortEqualKeys(std::size_t first, std::size_t last)
{
    for (std::size_t i = first; i < last; ++i)
        __builtin_prefetch(texts_[entries_[i].index].data());
    const std::string_view head = texts_[entries_[first].index];
    bool allSame = true;
    for (std::size_t i = first + 1; i < last && allSame; ++i)
        allSame = texts_[entries_[i].index] == head;
    if (allSame)
        return;
    const auto begin = entries_.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = entries_.begin() + static_cast<std::ptrdiff_t>(last);
    std::stable_sort(begin, end, [this](const Entry& a, const Entry& b) {
        const std::string_view x = texts_[a.index];
        const std::string_view y = texts_[b.index];
        if (x == y)
            return false;
        const int order = caseOrder_ == CaseOrder::IgnoreCase ? locale_.compareIgnoreCase(x, y)
                                                              : locale_.compare(x, y);
        return order < 0;
    });
}

} // namespace velmora
