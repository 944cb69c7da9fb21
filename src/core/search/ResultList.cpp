#include "search/ResultList.h"

#include <algorithm>
#include <utility>

namespace velmora::search {

namespace {

unsigned char FoldAZ(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - ('a' - 'A')) : byte;
}

} // namespace

int CompareFoldedAZ(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = FoldAZ(a[i]);
        const unsigned char y = FoldAZ(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
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
