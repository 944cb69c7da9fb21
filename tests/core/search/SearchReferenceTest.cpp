// SPDX-License-Identifier: GPL-3.0-or-later
// The tag, property and duplicate searches against plain forms of their rules
// (every node text read whole with ReadTags and ReadNumbers, every key built
// and sorted) over one generated tree of well-formed and damaged node texts.

#include "SearchTestTree.h"
#include "collection/NodeText.h"
#include "search/Searches.h"
#include "system/Progress.h"
#include "texts/AsciiCase.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::search {
namespace {

using collection::CollectionTree;
using collection::NodeId;

using Rows = std::vector<std::pair<std::string, NodeId>>;

Rows RowsOf(const ResultList& results)
{
    Rows rows;
    for (const ResultEntry& entry : results.entries())
        rows.emplace_back(entry.text, entry.node);
    return rows;
}

std::size_t FirstOf(std::int64_t start)
{
    return start < 0 ? 1 : static_cast<std::size_t>(start);
}

bool Blank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

// The plain tag search: all six fields read, each used one lowered whole.
Rows PlainTagSearch(const CollectionTree& tree, const Locale& locale, const TagCriteria& c,
                    std::int64_t start)
{
    Rows rows;
    for (std::size_t p = FirstOf(start); p < tree.size(); ++p) {
        const NodeId node = tree.atPosition(p);
        if (tree.hasChildren(node))
            continue;
        collection::Tags tags;
        collection::ReadTags(tree.text(node), tags);
        bool all = true;
        for (std::size_t i = 0; i < tags.size() && all; ++i) {
            if (!Blank(c.texts[i]))
                all = locale.toLower(tags[i]).find(locale.toLower(c.texts[i])) != std::string::npos;
        }
        if (all)
            rows.emplace_back(std::to_string(p), node);
    }
    return rows;
}

template <typename Value>
bool PlainCompare(std::int64_t actual, const ComparedTerm<Value>& term,
                  const std::array<std::int64_t, 3>& values)
{
    const std::int64_t code =
        10 * static_cast<std::int64_t>(term.comparison) + static_cast<std::int64_t>(term.value);
    if (code < 0 || code > 22 || code % 10 > 2)
        return false;
    const std::int64_t value = values[static_cast<std::size_t>(code % 10)];
    return code / 10 == 0 ? actual < value : code / 10 == 1 ? actual == value : actual > value;
}

// The plain property test: all six numbers and all six tags read.
bool PlainPropertyMatch(std::string_view text, const PropertyCriteria& c)
{
    collection::Numbers n{};
    collection::ReadNumbers(text, n);
    constexpr std::array<std::int64_t, 3> kCodes = {1, 2, 3};
    if (c.bitRate.used) {
        std::int64_t rate = collection::AverageBitRate(n[0], n[1]);
        if (n[1] > 0)
            rate = collection::StandardBitRate(rate, n[4], n[5]);
        if (PlainCompare(rate, c.bitRate, kBitRateValues))
            return true;
    }
    if (c.sampleRate.used &&
        PlainCompare(collection::MultiplyClamped(n[2], 10), c.sampleRate, kSampleRateValues))
        return true;
    if (c.channelMode.used) {
        const bool mono = n[3] == 0 || n[3] == 3 || n[3] == 4;
        const bool stereo = n[3] == 1 || n[3] == 2;
        if ((c.channelMode.value == ChannelMode::Mono && mono) ||
            (c.channelMode.value == ChannelMode::Stereo && stereo))
            return true;
    }
    if (c.version.used && PlainCompare(n[4], c.version, kCodes))
        return true;
    if (c.layer.used && PlainCompare(n[5], c.layer, kCodes))
        return true;
    if (c.validTag.used) {
        collection::Tags tags;
        collection::ReadTags(text, tags);
        const bool present =
            std::any_of(tags.begin(), tags.end(), [](std::string_view t) { return !t.empty(); });
        if ((c.validTag.value == TagPresence::Present) == present)
            return true;
    }
    return false;
}

Rows PlainPropertySearch(const CollectionTree& tree, const PropertyCriteria& c, std::int64_t start)
{
    Rows rows;
    for (std::size_t p = FirstOf(start); p < tree.size(); ++p) {
        const NodeId node = tree.atPosition(p);
        if (tree.hasChildren(node))
            continue;
        const NodeId parent = tree.parent(node);
        const bool breaksRule =
            c.authorMode && !PassesNamingRule(collection::NodeName(tree.text(parent)),
                                              collection::NodeName(tree.text(node)));
        if (breaksRule || PlainPropertyMatch(tree.text(node), c))
            rows.emplace_back(std::to_string(p), node);
    }
    return rows;
}

// The plain duplicate search: every key built, all sorted stably, equal
// keys grouped, nodes inside a kept node's subtree left out.
Rows PlainDuplicateSearch(const CollectionTree& tree, const DuplicateCriteria& c,
                          std::int64_t start)
{
    std::vector<std::pair<std::string, NodeId>> items;
    for (std::size_t p = FirstOf(start); p < tree.size(); ++p) {
        const NodeId node = tree.atPosition(p);
        const bool folder = tree.hasChildren(node);
        if (!(c.area == SearchArea::FoldersAndFiles || (c.area == SearchArea::Folders && folder) ||
              (c.area == SearchArea::Files && !folder)))
            continue;
        const std::string_view text = tree.text(node);
        std::string key;
        if (c.compareName)
            key = std::string(collection::NodeName(text)) + '\x01';
        if (c.compareProperty) {
            collection::Numbers n{};
            collection::ReadNumbers(text, n);
            key += std::to_string(n[0]) + '\x01' + std::to_string(n[1]) + '\x01';
        }
        items.emplace_back(key, node);
    }
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
        return CompareFoldedAZ(a.first, b.first) < 0;
    });
    Rows rows;
    for (std::size_t i = 0; i < items.size();) {
        std::size_t end = i + 1;
        while (end < items.size() && CompareFoldedAZ(items[i].first, items[end].first) == 0)
            ++end;
        Rows kept;
        std::size_t keptEnd = 0;
        for (std::size_t k = i; k < end; ++k) {
            if (!kept.empty() && tree.position(items[k].second) < keptEnd)
                continue;
            kept.push_back(items[k]);
            const NodeId after = tree.nextAfterSubtree(items[k].second);
            keptEnd = after == collection::kNoNode ? tree.size() : tree.position(after);
        }
        if (end - i >= 2 && kept.size() >= 2)
            rows.insert(rows.end(), kept.begin(), kept.end());
        i = end;
    }
    return rows;
}

// Node texts from small pools, a quarter of them damaged: marks removed,
// repeated, moved or added, numbers that are no numbers, texts cut short.
class TextMaker {
public:
    std::string name() { return std::string(Pick(kNames)); }

    std::string text(std::string_view name, int numbers, bool tags)
    {
        std::string text(name);
        for (int j = 0; j < numbers; ++j) {
            text += static_cast<char>(collection::kNumberMark + j);
            text += Below(8) == 0 ? std::string(Pick(kNotNumbers)) : std::string(Pick(kNumbers));
        }
        text += static_cast<char>(collection::kNumberMark + numbers);
        if (tags) {
            // Now and then all fields empty, or all but one.
            const std::size_t only = Below(10);
            for (int j = 0; j < 6; ++j) {
                text += static_cast<char>(collection::kTagMark + j);
                if (only > 6 || static_cast<std::size_t>(j) == only)
                    text += Pick(kTags);
            }
            text += static_cast<char>(collection::kTagMark + 6);
        }
        if (Below(4) == 0)
            Damage(text);
        return text;
    }

    std::size_t Below(std::size_t n) { return rng_() % n; }

private:
    template <std::size_t N> std::string_view Pick(const std::array<std::string_view, N>& items)
    {
        return items[Below(N)];
    }

    char Mark()
    {
        const char first = Below(2) == 0 ? collection::kNumberMark : collection::kTagMark;
        return static_cast<char>(first + static_cast<char>(Below(7)));
    }

    void Damage(std::string& text)
    {
        for (std::size_t n = 1 + Below(3); n > 0 && !text.empty(); --n) {
            const std::size_t at = Below(text.size());
            switch (Below(5)) {
            case 0:
                text.erase(at, 1);
                break;
            case 1:
                text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), Mark());
                break;
            case 2:
                std::swap(text[at], text[Below(text.size())]);
                break;
            case 3:
                text.resize(at);
                break;
            default:
                text.insert(text.begin() + static_cast<std::ptrdiff_t>(at),
                            text[Below(text.size())]);
                break;
            }
        }
    }

    // Case variants, UTF-8 and Windows-1252 letters, empty names, marks in
    // names, names longer than a word of eight bytes.
    static constexpr std::array<std::string_view, 22> kNames = {
        "Love.mp3",
        "LOVE.MP3",
        "love.mp3",
        "Bj\xC3\xB6rk.mp3",
        "BJ\xC3\x96RK.mp3",
        "bj\xC3\x96rk.MP3",
        "Caf\xE9.mp3",
        "CAF\xC9.mp3",
        "caf\xE9.MP3",
        "",
        "a",
        "A",
        "_",
        "x\x16y",
        "Album [Live]",
        "001 Artist [Title].mp3",
        "A long name well past eight bytes.mp3",
        "a LONG name well past eight bytes.MP3",
        "A long name well past eight bytes.mp",
        "Zz",
        "zZ\x7F",
        "[Best]",
    };
    static constexpr std::array<std::string_view, 16> kNumbers = {
        "0",    "1",    "2",    "3",   "4",    "-1",  "128",  "4000",
        "4410", "2205", "3200", "240", "-240", "931", "1055", "60",
    };
    // Most are no numbers; the rest are numbers in unusual forms, or longer
    // than most.
    static constexpr std::array<std::string_view, 16> kNotNumbers = {
        "",
        "+",
        "+5",
        "+-5",
        "-",
        "12a",
        " 7",
        "0x10",
        "99999999999999999999",
        "-9223372036854775809",
        "-9223372036854775808",
        "1234567890123456789",
        "123456789012345678",
        "-12345678901234567",
        "007",
        "-0",
    };
    static constexpr std::array<std::string_view, 12> kTags = {
        "",        " ",        "Love",  "love me", "LOVE", "Bj\xC3\xB6rk", "BJ\xC3\x96RK",
        "Caf\xE9", "  Love  ", "glove", "1999",    "3",
    };

    std::mt19937 rng_{20240607};
};

class SearchReferenceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const NodeId root = tree.addRoot(maker.text("", 5, false));
        for (int v = 0; v < 3; ++v) {
            const NodeId volume = tree.appendChild(root, maker.text(maker.name(), 6, false));
            for (int f = 0; f < 40; ++f)
                AddFolder(volume, 1 + static_cast<int>(maker.Below(3)));
        }
        // Names whose hashes collide: two keys in one run of equal hashes.
        const NodeId other = tree.appendChild(root, maker.text("Other", 6, false));
        for (const std::string_view name :
             {"song 75840.mp3", "Song 39551.mp3", "song 57349.mp3", "SONG 75840.MP3",
              "song 39551.mp3", "song 122036.mp3", "song 122036.mp3"})
            tree.appendChild(other, maker.text(name, 6, true));
    }

    // A folder with files and, down to `depth`, subfolders; now and then a
    // chain of one child holding the same text.
    void AddFolder(NodeId parent, int depth)
    {
        const std::string text = maker.text(maker.name(), 4, false);
        const NodeId folder = tree.appendChild(parent, text);
        if (maker.Below(8) == 0) {
            const NodeId inner = tree.appendChild(folder, text);
            tree.appendChild(inner, text + maker.text("", 0, true).substr(1));
            return;
        }
        for (std::size_t n = maker.Below(9); n > 0; --n)
            tree.appendChild(folder, maker.text(maker.name(), 6, true));
        if (depth > 1) {
            for (std::size_t n = maker.Below(3); n > 0; --n)
                AddFolder(folder, depth - 1);
        }
    }

    std::vector<std::int64_t> Starts() const
    {
        return {-1,
                0,
                2,
                static_cast<std::int64_t>(tree.size() / 2),
                static_cast<std::int64_t>(tree.size() - 1),
                static_cast<std::int64_t>(tree.size() + 3)};
    }

    TextMaker maker;
    CollectionTree tree;
    testing::UmlautLocale locale;
    const testing::LocaleServices services{locale};
    NoProgress none;
    SearchScope scope{tree, services, none, "Searching", "Please wait...", "Sorting..."};
};

TEST_F(SearchReferenceTest, SearchesAgreeWithThePlainRules)
{
    // Rows found by the tag, property and duplicate searches.
    std::array<std::size_t, 3> rows{};

    const std::array<std::string_view, 9> words = {
        "love", "LOVE", " love", "bj\xC3\xB6rk", "BJ\xC3\x96RK", "caf\xE9", "1999", "e", " "};
    std::vector<TagCriteria> tagCriteria{TagCriteria{}};
    for (std::size_t field = 0; field < 6; ++field) {
        for (const std::string_view word : words) {
            TagCriteria c;
            c.texts[field] = std::string(word);
            tagCriteria.push_back(c);
        }
    }
    TagCriteria two;
    two.texts = {"love", "", "", "", "", "e"};
    tagCriteria.push_back(two);
    for (const TagCriteria& c : tagCriteria) {
        for (const std::int64_t start : Starts()) {
            SCOPED_TRACE(c.texts[0] + "|" + c.texts[1] + "|" + c.texts[5] + " from " +
                         std::to_string(start));
            ResultList results;
            const SearchOutcome outcome = TagSearch(scope, c, start, results);
            EXPECT_EQ(RowsOf(results), PlainTagSearch(tree, locale, c, start));
            EXPECT_EQ(outcome.found, !results.empty());
            rows[0] += results.size();
        }
    }

    // Every term alone with each comparison and value (3 and 5 name none),
    // both choices, and the terms of the benchmark together, each with and
    // without author mode.
    std::vector<PropertyCriteria> propertyCriteria;
    for (int comparison = 0; comparison < 3; ++comparison) {
        for (const int value : {0, 1, 2, 3, 5}) {
            PropertyCriteria rate;
            rate.bitRate = {true, Comparison{comparison}, BitRateValue{value}};
            PropertyCriteria sample;
            sample.sampleRate = {true, Comparison{comparison}, SampleRateValue{value}};
            PropertyCriteria version;
            version.version = {true, Comparison{comparison}, VersionValue{value}};
            PropertyCriteria layer;
            layer.layer = {true, Comparison{comparison}, LayerValue{value}};
            propertyCriteria.insert(propertyCriteria.end(), {rate, sample, version, layer});
        }
    }
    for (int value = 0; value < 2; ++value) {
        PropertyCriteria channel;
        channel.channelMode = {true, ChannelMode{value}};
        PropertyCriteria tag;
        tag.validTag = {true, TagPresence{value}};
        propertyCriteria.insert(propertyCriteria.end(), {channel, tag});
    }
    PropertyCriteria both;
    both.bitRate = {true, Comparison::Less, BitRateValue::Kbps128};
    both.channelMode = {true, ChannelMode::Mono};
    propertyCriteria.push_back(both);
    propertyCriteria.push_back(PropertyCriteria{});
    for (PropertyCriteria c : propertyCriteria) {
        for (const bool author : {false, true}) {
            c.authorMode = author;
            for (const std::int64_t start : Starts()) {
                SCOPED_TRACE(::testing::PrintToString(PropertyBytesOf(c, {})) +
                             (author ? " author" : "") + " from " + std::to_string(start));
                ResultList results;
                const SearchOutcome outcome = PropertySearch(scope, c, start, results);
                EXPECT_EQ(RowsOf(results), PlainPropertySearch(tree, c, start));
                EXPECT_EQ(outcome.found, !results.empty());
                rows[1] += results.size();
            }
        }
    }

    for (const bool byName : {false, true}) {
        for (const bool byProperty : {false, true}) {
            for (const int area : {0, 1, 2, 3}) {
                const DuplicateCriteria c{byName, byProperty, SearchArea{area}};
                for (const std::int64_t start : Starts()) {
                    SCOPED_TRACE(std::to_string(byName) + std::to_string(byProperty) +
                                 std::to_string(area) + " from " + std::to_string(start));
                    ResultList results;
                    const SearchOutcome outcome = DuplicateSearch(scope, c, start, results);
                    EXPECT_EQ(RowsOf(results), PlainDuplicateSearch(tree, c, start));
                    EXPECT_EQ(outcome.found, results.size() >= 2);
                    rows[2] += results.size();
                }
            }
        }
    }
    // The tree gives every search something to find.
    EXPECT_GT(rows[0], 0U);
    EXPECT_GT(rows[1], 0U);
    EXPECT_GT(rows[2], 0U);
}

// The readers of single fields against ReadNumbers and ReadTags, on the
// tree's texts and on marks out of order behind names of every length
// around the 16 bytes the readers take at a time, with values set
// beforehand that a field left unread keeps.
TEST_F(SearchReferenceTest, FieldReadersAgreeWithTheWholeReaders)
{
    std::vector<std::string> texts;
    for (std::size_t p = 0; p < tree.size(); ++p)
        texts.emplace_back(tree.text(tree.atPosition(p)));
    for (std::size_t length = 0; length < 40; ++length) {
        const std::string name(length, 'n');
        for (const std::string_view rest :
             {"\x07\x01\x31\x02\x32\x03\x33\x04\x34\x05\x35\x06\x36\x07", "\x1A\x15t\x16\x17",
              "\x02\x39\x01\x35\x02\x36\x03", "\x01\x31\x32\x03\x34\x02\x1B\x15t\x16",
              "\x01-\x02\x35\x03",
              "\x01\x31\x02\x32\x03\x33\x04\x34\x05\x35\x06\x36\x07\x15\x16\x17\x18\x19\x1A\x1B",
              "\x01\x31\x02", ""})
            texts.push_back(name + std::string(rest));
    }
    constexpr std::int64_t kUnread = 424242;
    for (const std::string& text : texts) {
        SCOPED_TRACE(::testing::PrintToString(text));
        collection::Numbers all;
        all.fill(kUnread);
        collection::ReadNumbers(text, all);
        for (unsigned fields = 0; fields < 64; ++fields) {
            collection::Numbers some;
            some.fill(kUnread);
            collection::ReadSomeNumbers(text, fields, some);
            for (int j = 0; j < 6; ++j)
                EXPECT_EQ(some[j], (fields & collection::NumberBit(j)) != 0 ? all[j] : kUnread);
        }
        collection::Tags tags;
        collection::ReadTags(text, tags);
        for (int j = 0; j < 6; ++j)
            EXPECT_EQ(collection::ReadTag(text, collection::TagField(j)), tags[j]);
        EXPECT_EQ(
            collection::HasTagText(text),
            std::any_of(tags.begin(), tags.end(), [](std::string_view t) { return !t.empty(); }));
    }
}

} // namespace
} // namespace velmora::search
