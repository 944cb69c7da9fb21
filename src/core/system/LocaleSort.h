// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/Locale.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

/// Sorts lists of texts in one of the locale's orders through sort keys: a
/// text's key is made once per sort, and the locale compares two texts only
/// where their keys are equal without settling the order. A sorter keeps
/// its buffers between lists, so one sorter serves many short lists.
class LocaleSort {
public:
    LocaleSort(const Locale& locale, CaseOrder order) : locale_(locale), caseOrder_(order) {}

    /// Starts a new list.
    void clear();

    /// Adds the next text of the list; its bytes must stay valid until
    /// order(). Texts of a smaller `rank` come before all texts of a larger
    /// one.
    void add(std::string_view text, std::uint8_t rank = 0);

    /// The positions of the added texts (0 for the first added) in sorted
    /// order; texts equal in rank and in the order keep the order they were
    /// added in.
    const std::vector<std::uint32_t>& order();

    /// Sorts `items` by `textOf(item)` and `rankOf(item)` as add() and
    /// order() do.
    template <typename T, typename TextOf, typename RankOf>
    void sort(std::vector<T>& items, TextOf textOf, RankOf rankOf)
    {
        clear();
        for (const T& item : items)
            add(textOf(item), rankOf(item));
        const std::vector<std::uint32_t>& sorted = order();
        if (inAddedOrder())
            return;
        std::vector<T> reordered;
        reordered.reserve(items.size());
        for (const std::uint32_t i : sorted)
            reordered.push_back(items[i]);
        items.swap(reordered);
    }

    template <typename T, typename TextOf> void sort(std::vector<T>& items, TextOf textOf)
    {
        sort(items, textOf, [](const T&) { return std::uint8_t{0}; });
    }

private:
    /// One text being sorted: eight bytes of its key from the depth being
    /// sorted, big-endian, and how many of them the key has, so that the
    /// sort itself never reaches the keys' buffer.
    struct Entry {
        std::uint64_t prefix;
        std::uint32_t index; ///< the text's position in the order of add()
        std::uint32_t tail;  ///< 0 to 8
    };

    /// Whether order() left every text where it was added.
    bool inAddedOrder() const;

    void sortByKeys(std::size_t first, std::size_t last, std::size_t depth);
    void sortStable(std::size_t first, std::size_t last);
    void sortEqualKeys(std::size_t first, std::size_t last);

    const Locale& locale_;
    const CaseOrder caseOrder_;
    bool exact_ = true;
    std::string keys_;
    std::vector<std::size_t> keyStarts_; ///< by text, then the end of the last key
    std::vector<Entry> entries_;
    std::vector<Entry> spare_; ///< the radix sort's second buffer
    std::vector<std::string_view> texts_;
    std::vector<std::uint32_t> order_;
};

} // namespace velmora
