// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/LocaleSort.h"

#include "platform/IcuSortKeys.h"
#include "platform/QtLocale.h"
#include "platform/fakes/FakeLocale.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace velmora::platform {
namespace {

// Names as collections hold them: words in UTF-8 and in Windows-1252, case
// variants, letters some locales treat apart (Turkish i, German sharp s,
// Danish aa), combining accents, characters beyond the first 65,536,
// digits, punctuation, blanks and controls, joined at random with a fixed
// seed; with repeats, empty and blank names.
std::vector<std::string> Names(std::size_t count)
{
    static const std::array<const char*, 40> words = {
        "angel",
        "Angel",
        "ANGEL",
        "\xC3\xA4ngel",
        "\xE4ngel",
        "\xC3\x84NGEL",
        "Stra\xC3\x9F"
        "e",
        "STRASSE",
        "strasse",
        "Stra\xDF"
        "e",
        "I\xC4\x9F"
        "d\xC4\xB1r",
        "\xC4\xB1sparta",
        "\xC4\xB0stanbul",
        "istanbul",
        "Istanbul",
        "ISTANBUL",
        "caf\xC3\xA9",
        "cafe\xCC\x81",
        "Cafe",
        "caf\xE9",
        "aa",
        "Aa",
        "AA",
        "ab",
        "\xC3\xA6"
        "ble",
        "\x8Cuvre",
        "\xC5\x92uvre",
        "na\xC3\xAFve",
        "\xF0\x90\x90\x80x",
        "\xF0\x90\x90\xA8x",
        "\xEF\xBC\xA1",
        "\xC7\x85",
        "zebra",
        "Zebra",
        "\xC3\x98resund",
        "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0",
        "\xE6\x9D\xB1\xE4\xBA\xAC",
        "\xCE\xA9mega",
        "love",
        "LOVE"};
    static const std::array<const char*, 10> numbers = {"1",   "01",  "2", "10", "9",
                                                        "007", "100", "0", "3",  "12"};
    static const std::array<const char*, 18> separators = {" ", " - ", "-",  "_", ".",  ",",
                                                           "'", "(",   ")",  "[", "]",  "&",
                                                           "!", "~",   "\t", "",  "  ", "\x02"};
    static const std::array<const char*, 4> endings = {".mp3", ".MP3", "", " "};
    std::uint64_t state = 7;
    const auto below = [&state](std::size_t n) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>((state >> 33) % n);
    };
    std::vector<std::string> names = {"", " ", "\x02", "a\x02", "\x7F", "a", "A", "b"};
    while (names.size() < count) {
        if (below(10) == 0) {
            names.push_back(names[below(names.size())]);
            continue;
        }
        std::string name;
        const std::size_t parts = 1 + below(4);
        for (std::size_t p = 0; p < parts; ++p) {
            if (p > 0)
                name += separators[below(separators.size())];
            name += below(3) == 0 ? numbers[below(numbers.size())] : words[below(words.size())];
        }
        name += endings[below(endings.size())];
        names.push_back(name);
    }
    return names;
}

// The order the locale's comparisons give, ranks first, equal names in
// their first order: what the sorts computed before sort keys.
std::vector<std::uint32_t> ComparedOrder(const Locale& locale, CaseOrder order,
                                         const std::vector<std::string>& names,
                                         const std::vector<std::uint8_t>& ranks)
{
    std::vector<std::uint32_t> positions(names.size());
    std::iota(positions.begin(), positions.end(), 0U);
    std::stable_sort(positions.begin(), positions.end(), [&](std::uint32_t a, std::uint32_t b) {
        if (ranks[a] != ranks[b])
            return ranks[a] < ranks[b];
        const int c = order == CaseOrder::IgnoreCase ? locale.compareIgnoreCase(names[a], names[b])
                                                     : locale.compare(names[a], names[b]);
        return c < 0;
    });
    return positions;
}

std::vector<std::uint32_t> KeyOrder(const Locale& locale, CaseOrder order,
                                    const std::vector<std::string>& names,
                                    const std::vector<std::uint8_t>& ranks)
{
    LocaleSort sorter(locale, order);
    for (std::size_t i = 0; i < names.size(); ++i)
        sorter.add(names[i], ranks[i]);
    return sorter.order();
}

TEST(PlatformLocaleSort, KeysGiveTheOrderOfTheComparisonsInEveryLocale)
{
    const std::vector<std::string> names = Names(6000);
    std::vector<std::uint8_t> noRanks(names.size(), 0);
    std::vector<std::uint8_t> folderRanks(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        folderRanks[i] = static_cast<std::uint8_t>(i % 3 == 0 ? 0 : 1);

    const fakes::FakeLocale fake;
    std::vector<const Locale*> locales = {&fake};
    std::vector<std::string> localeNames = {"fake"};
    std::vector<std::unique_ptr<QtLocale>> owned;
    for (const char* name : {"en_US", "de_DE", "tr_TR", "da_DK", "C"}) {
        owned.push_back(std::make_unique<QtLocale>(QLocale(QString::fromLatin1(name))));
        locales.push_back(owned.back().get());
        localeNames.emplace_back(name);
    }
    for (std::size_t l = 0; l < locales.size(); ++l) {
        const Locale* locale = locales[l];
        for (const CaseOrder order : {CaseOrder::IgnoreCase, CaseOrder::RespectCase}) {
            for (const auto* ranks : {&noRanks, &folderRanks}) {
                const std::vector<std::uint32_t> expected =
                    ComparedOrder(*locale, order, names, *ranks);
                const std::vector<std::uint32_t> actual = KeyOrder(*locale, order, names, *ranks);
                ASSERT_EQ(actual, expected)
                    << "locale " << localeNames[l]
                    << (order == CaseOrder::IgnoreCase ? ", ignoring case" : ", with case");
            }
        }
    }
}

TEST(PlatformLocaleSort, AsciiTableServesLocalesWithoutAsciiContractions)
{
    for (const char* name : {"en", "de", "tr", "fr", "ja"})
        EXPECT_TRUE(IcuSortKeys(name).asciiTableUsable()) << name;
    // Danish sorts "aa" as one letter after z; Hungarian has "cs", "dzs".
    for (const char* name : {"da", "hu"})
        EXPECT_FALSE(IcuSortKeys(name).asciiTableUsable()) << name;

    // Where the table serves, its bytes are ICU's.
    const IcuSortKeys english("en");
    const std::u16string text = u"01 - Angel (Live) [Remix], it's 100% ~ok!.mp3";
    std::string fromTable;
    ASSERT_TRUE(english.appendAscii(std::string(text.begin(), text.end()), fromTable));
    std::string fromIcu;
    english.append(text.data(), text.size(), fromIcu);
    EXPECT_EQ(fromTable, fromIcu);
    std::string none;
    EXPECT_FALSE(english.appendAscii("tab\there", none));
    EXPECT_TRUE(none.empty());
}

} // namespace
} // namespace velmora::platform
