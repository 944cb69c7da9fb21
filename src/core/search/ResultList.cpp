// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/ResultList.h"

#include "texts/AsciiCase.h"

#include <algorithm>
#include <utility>

namespace velmora::search {

int CompareFoldedAZ(std::string_view a, std::string_view b)
{
    return texts::CompareUpperFolded(a, b);
}

void ResultList::add(std::string text, collection::NodeId node)
{
    if (!sorted_) {
        entries_.push_back({std::move(text), node});
        return;
    }
    // After every equal text, so equal texts keep the order they came in.
    const auto at = std::upper_bound(entries_.begin(), entries_.end(), text,
                                     [](const std::string& value, const ResultEntry& entry) {
                                         return CompareFoldedAZ(value, entry.text) < 0;
                                     });
    entries_.insert(at, {std::move(text), node});
}

void ResultList::setSorted(bool sorted)
{
    sorted_ = sorted;
    if (!sorted)
        return;
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const ResultEntry& a, const ResultEntry& b) {
                         return CompareFoldedAZ(a.text, b.text) < 0;
                     });
}

} // namespace velmora::search
