// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/NodeText.h"
#include "search/SearchWalk.h"
#include "search/Searches.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace velmora::search {

using collection::CollectionTree;
using collection::NodeId;

namespace {

std::size_t NotFound()
{
    return std::string_view::npos;
}

// A term acts only through 10 x comparison + value: 0 to 2 are "<", 10 to 12
// "=", 20 to 22 ">" with the first to third value. So a stored comparison 0
// with a stored value 11 means "=" with the second value.
template <typename Value>
bool Compare(std::int64_t actual, const ComparedTerm<Value>& term,
             const std::array<std::int64_t, 3>& values)
{
    const std::int64_t code =
        10 * static_cast<std::int64_t>(term.comparison) + static_cast<std::int64_t>(term.value);
    if (code < 0 || code > 22 || code % 10 > 2)
        return false;
    const std::int64_t value = values[static_cast<std::size_t>(code % 10)];
    switch (code / 10) {
    case 0:
        return actual < value;
    case 1:
        return actual == value;
    default:
        return actual > value;
    }
}

constexpr std::array<std::int64_t, 3> kCodeValues = {1, 2, 3};

bool HasBlankOrControlEnd(std::string_view text)
{
    return !text.empty() && (IsBlankOrControl(text.front()) || IsBlankOrControl(text.back()));
}

bool BalancedParentheses(std::string_view text)
{
    return (text.find('(') != NotFound()) == (text.find(')') != NotFound());
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The first "[" and "]" of a name: present, in order, with a text between
// them that is not empty once trimmed, and no blank just inside either one.
// `open` and `close` receive their positions.
bool BracketsHold(std::string_view name, std::size_t& open, std::size_t& close)
{
    open = name.find('[');
    close = name.find(']');
    if (open == NotFound() || close == NotFound() || open > close)
        return false;
    if (TrimBlanks(name.substr(open + 1, close - open - 1)).empty())
        return false;
    return name[open + 1] != ' ' && name[close - 1] != ' ';
}

} // namespace

bool PassesNamingRule(std::string_view parentName, std::string_view fileName)
{
    const std::string_view p = parentName;
    const std::string_view f = fileName;
    std::size_t pOpen = 0;
    std::size_t pClose = 0;
    if (p.size() < 3 || !BracketsHold(p, pOpen, pClose))
        return false;
    if (pClose != p.size() - 1 || HasBlankOrControlEnd(p))
        return false;
    if (!BalancedParentheses(p) || (pOpen > 0 && p[pOpen - 1] != ' '))
        return false;
    if (p.find('_') != NotFound())
        return false;

    if (f.size() < 11 || !IsDigit(f[0]) || !IsDigit(f[1]) || !IsDigit(f[2]) || f[3] != ' ')
        return false;
    std::size_t fOpen = 0;
    std::size_t fClose = 0;
    if (!BracketsHold(f, fOpen, fClose))
        return false;
    // The name ends with "]" followed by a dot and a three-character extension.
    if (f.find("].") != f.size() - 5)
        return false;
    if (!BalancedParentheses(f) || f[fOpen - 1] != ' ' || f.find('_') != NotFound())
        return false;

    if (pOpen == 0)
        return true;
    // Both hold "Artist [": the parts before the blank ahead of "[" must agree.
    if (fOpen < 5)
        return false;
    return p.substr(0, pOpen - 1) == f.substr(4, fOpen - 1 - 4);
}

namespace {

// The numbers the used terms read, as bits of ReadSomeNumbers.
unsigned FieldsRead(const PropertyCriteria& c)
{
    using collection::NumberBit;
    unsigned fields = 0;
    if (c.bitRate.used) {
        fields |= NumberBit(collection::kSizeKB) | NumberBit(collection::kDuration) |
                  NumberBit(collection::kVersionCode) | NumberBit(collection::kLayerCode);
    }
    if (c.sampleRate.used)
        fields |= NumberBit(collection::kSampleRate10);
    if (c.channelMode.used)
        fields |= NumberBit(collection::kChannelCode);
    if (c.version.used)
        fields |= NumberBit(collection::kVersionCode);
    if (c.layer.used)
        fields |= NumberBit(collection::kLayerCode);
    return fields;
}

// PropertyMatch with the numbers `fields` (FieldsRead of `c`) read.
bool Matches(std::string_view fileText, const PropertyCriteria& c, unsigned fields)
{
    collection::Numbers numbers{};
    collection::ReadSomeNumbers(fileText, fields, numbers);
    const std::int64_t sizeKB = numbers[collection::kSizeKB];
    const std::int64_t duration = numbers[collection::kDuration];
    const std::int64_t version = numbers[collection::kVersionCode];
    const std::int64_t layer = numbers[collection::kLayerCode];

    if (c.bitRate.used) {
        std::int64_t rate = collection::AverageBitRate(sizeKB, duration);
        if (duration > 0)
            rate = collection::StandardBitRate(rate, version, layer);
        if (Compare(rate, c.bitRate, kBitRateValues))
            return true;
    }
    if (c.sampleRate.used &&
        Compare(collection::MultiplyClamped(numbers[collection::kSampleRate10], 10), c.sampleRate,
                kSampleRateValues))
        return true;
    if (c.channelMode.used) {
        // Channel codes: 1 stereo, 2 joint stereo, 3 dual channel, 4 mono; 0
        // (unknown) counts as mono.
        const std::int64_t channel = numbers[collection::kChannelCode];
        const bool mono = channel == 0 || channel == 3 || channel == 4;
        const bool stereo = channel == 1 || channel == 2;
        const ChannelMode mode = c.channelMode.value;
        if ((mode == ChannelMode::Mono && mono) || (mode == ChannelMode::Stereo && stereo))
            return true;
    }
    if (c.version.used && Compare(version, c.version, kCodeValues))
        return true;
    if (c.layer.used && Compare(layer, c.layer, kCodeValues))
        return true;
    if (c.validTag.used) {
        const bool present = collection::HasTagText(fileText);
        const TagPresence wanted = c.validTag.value;
        if ((wanted == TagPresence::Present && present) ||
            (wanted == TagPresence::NotPresent && !present))
            return true;
    }
    return false;
}

} // namespace

bool PropertyMatch(std::string_view fileText, const PropertyCriteria& c)
{
    return Matches(fileText, c, FieldsRead(c));
}

SearchOutcome PropertySearch(const SearchScope& scope, const PropertyCriteria& criteria,
                             std::int64_t start, ResultList& results)
{
    const bool author = criteria.authorMode;
    const unsigned fields = FieldsRead(criteria);
    const CollectionTree& tree = scope.tree;
    return Walk(scope, start, results, [&](NodeId node) {
        if (tree.hasChildren(node))
            return false;
        const std::string_view text = tree.text(node);
        if (author) {
            const NodeId parent = tree.parent(node);
            const std::string_view parentName = parent == collection::kNoNode
                                                    ? std::string_view{}
                                                    : collection::NodeName(tree.text(parent));
            if (!PassesNamingRule(parentName, collection::NodeName(text)))
                return true;
        }
        return Matches(text, criteria, fields);
    });
}

} // namespace velmora::search
