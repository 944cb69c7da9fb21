// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::search {

/// One row of the result list: a text and, optionally, the collection node
/// it stands for (kNoNode when none).
struct ResultEntry {
    std::string text;
    collection::NodeId node = collection::kNoNode;
};

/// The list the searches fill and the result windows read. It keeps either
/// insertion order or itself sorted by its texts, compared byte by byte
/// with only the letters a to z folded to upper case; among equal texts the
/// earlier added entry comes first. Switching to sorted re-sorts the current
/// entries, each keeping its node reference.
class ResultList {
public:
    /// Empties the list; the order mode stays as it is.
    void clear() { entries_.clear(); }
    /// Empties the list and switches it to insertion order, as before and
    /// after every search.
    void reset()
    {
        entries_.clear();
        sorted_ = false;
    }

    void add(std::string text, collection::NodeId node = collection::kNoNode);
    /// Makes room for `count` entries in all.
    void reserve(std::size_t count) { entries_.reserve(count); }

    bool sorted() const { return sorted_; }
    void setSorted(bool sorted);

    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }
    const ResultEntry& operator[](std::size_t index) const { return entries_[index]; }
    const std::vector<ResultEntry>& entries() const { return entries_; }

private:
    std::vector<ResultEntry> entries_;
    bool sorted_ = false;
};

/// Negative, zero or positive: `a` against `b` with a to z folded to A to Z,
/// other bytes compared as unsigned values.
int CompareFoldedAZ(std::string_view a, std::string_view b);

} // namespace velmora::search
