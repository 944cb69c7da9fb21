// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/QtLocale.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::platform {
namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

std::vector<std::string> Sorted(const QtLocale& locale, std::vector<std::string> texts)
{
    std::sort(texts.begin(), texts.end(), [&](const std::string& a, const std::string& b) {
        return locale.compareIgnoreCase(a, b) < 0;
    });
    return texts;
}

TEST(PlatformQtLocaleLower, GermanLowersUmlautsFromUtf8AndWindows1252)
{
    const QtLocale german(QLocale("de_DE"));
    EXPECT_EQ(german.toLower("\xC3\x84\xC3\x96\xC3\x9C"), "\xC3\xA4\xC3\xB6\xC3\xBC");
    EXPECT_EQ(german.toLower("\xC4\xD6\xDC"), "\xC3\xA4\xC3\xB6\xC3\xBC");
    EXPECT_EQ(german.toLower("\xC4PFEL UND BIRNEN"), "\xC3\xA4pfel und birnen");
    EXPECT_EQ(german.toLower("\x8A\x8C\x9F"), "\xC5\xA1\xC5\x93\xC3\xBF"); // ŠŒŸ
    EXPECT_EQ(german.toLower(""), "");
}

TEST(PlatformQtLocaleLower, TurkishDottedAndDotlessI)
{
    const QtLocale turkish(QLocale("tr_TR"));
    EXPECT_EQ(turkish.toLower("I"), "\xC4\xB1"); // ı
    EXPECT_EQ(turkish.toLower("\xC4\xB0"), "i"); // İ
    EXPECT_EQ(turkish.toLower("D\xC4\xB0YARBAKIR"), "diyarbak\xC4\xB1r");
    EXPECT_EQ(turkish.toLower("I\xDD"), "\xC4\xB1\xC3\xBD"); // Windows-1252 "IÝ"
}

TEST(PlatformQtLocaleLower, EnglishAndCKeepTheDotOfI)
{
    const QtLocale english(QLocale("en_US"));
    const QtLocale c(QLocale::c());
    EXPECT_EQ(english.toLower("DIYARBAKIR"), "diyarbakir");
    EXPECT_EQ(english.toLower("\xC3\x80\xC3\x89\xC3\x8E"), "\xC3\xA0\xC3\xA9\xC3\xAE");
    EXPECT_EQ(c.toLower("I"), "i");
    EXPECT_EQ(c.toLower("\xC4\xD6\xDC"), "\xC3\xA4\xC3\xB6\xC3\xBC");
}

TEST(PlatformQtLocaleCompare, IgnoresCase)
{
    for (const char* name : {"en_US", "de_DE", "tr_TR", "C"}) {
        const QtLocale locale{QLocale(QString::fromLatin1(name))};
        SCOPED_TRACE(name);
        EXPECT_EQ(locale.compareIgnoreCase("ROCK", "rock"), 0);
        EXPECT_EQ(locale.compareIgnoreCase("Jazz \xC3\x84ra", "JAZZ \xC3\xA4RA"), 0);
        EXPECT_EQ(locale.compareIgnoreCase("", ""), 0);
        EXPECT_LT(locale.compareIgnoreCase("", "a"), 0);
        EXPECT_GT(locale.compareIgnoreCase("a", ""), 0);
        EXPECT_LT(locale.compareIgnoreCase("apple", "Banana"), 0);
        EXPECT_LT(locale.compareIgnoreCase("Banana", "cherry"), 0);
        EXPECT_GT(locale.compareIgnoreCase("cherry", "apple"), 0);
    }
}

TEST(PlatformQtLocaleCompare, TurkishCaseOfIAndDotlessI)
{
    const QtLocale turkish(QLocale("tr_TR"));
    const QtLocale english(QLocale("en_US"));
    const std::string musicDottedCapital = "MUS\xC4\xB0"
                                           "C";
    const std::string musicDotlessSmall = "mus\xC4\xB1"
                                          "c";
    EXPECT_EQ(turkish.compareIgnoreCase(musicDottedCapital, "music"), 0);
    EXPECT_EQ(turkish.compareIgnoreCase("MUSIC", musicDotlessSmall), 0);
    EXPECT_NE(turkish.compareIgnoreCase("MUSIC", "music"), 0);
    EXPECT_EQ(english.compareIgnoreCase("MUSIC", "music"), 0);
}

TEST(PlatformQtLocaleCompare, SortsMixedCaseAlphabetically)
{
    const QtLocale english(QLocale("en_US"));
    const std::vector<std::string> expected = {"apple", "Banana", "banana split", "cherry",
                                               "Zebra"};
    EXPECT_EQ(Sorted(english, {"Zebra", "cherry", "banana split", "apple", "Banana"}), expected);
}

TEST(PlatformQtLocaleCompare, GermanSortsUmlautsWithTheirBaseLetter)
{
    const QtLocale german(QLocale("de_DE"));
    const std::string applesUtf8 = "\xC3\x84pfel";
    const std::string applesWindows1252 = "\xC4pfel";
    const std::vector<std::string> expected = {"Apfel", applesUtf8, "Azur", "Banane", "Zebra"};
    EXPECT_EQ(Sorted(german, {"Zebra", "Banane", applesUtf8, "Azur", "Apfel"}), expected);

    EXPECT_EQ(german.compareIgnoreCase(applesWindows1252, applesUtf8), 0);
    EXPECT_EQ(german.compareIgnoreCase("\xE4PFEL", applesUtf8), 0); // äPFEL in Windows-1252
    EXPECT_LT(german.compareIgnoreCase(applesWindows1252, "Azur"), 0);
}

TEST(PlatformQtLocaleCompare, CaseSensitiveOrderKeepsCasesApart)
{
    const QtLocale english(QLocale("en_US"));
    EXPECT_NE(english.compare("rock", "Rock"), 0);
    EXPECT_EQ(english.compare("Rock", "Rock"), 0);
    // Letters first, case only between otherwise equal texts: not the byte
    // order, which puts every capital first.
    EXPECT_LT(english.compare("apple", "Banana"), 0);
    EXPECT_LT(english.compare("Banana", "cherry"), 0);
    EXPECT_EQ(english.compare("\xC4pfel", "\xC3\x84pfel"), 0); // Windows-1252 and UTF-8
    EXPECT_LT(english.compare("\xC3\x84pfel", "Azur"), 0);
}

TEST(PlatformQtLocaleCompare, CLocaleComparesCodePoints)
{
    const QtLocale c(QLocale::c());
    EXPECT_GT(c.compareIgnoreCase("\xC3\x84pfel", "Zebra"), 0);
}

TEST(PlatformQtLocaleCompare, LongTextsCompareToTheirLastCharacter)
{
    const QtLocale german(QLocale("de_DE"));
    const std::string head(1000, 'x');
    EXPECT_LT(german.compareIgnoreCase(head + "a", head + "B"), 0);
    EXPECT_EQ(german.compareIgnoreCase(head + "\xC4", head + "\xC3\xA4"), 0);
    EXPECT_EQ(Sign(german.compareIgnoreCase(head + "c", head)), 1);
}

// Texts of every length around the sixteen bytes widened at a time: a
// greater letter anywhere, ASCII or not, before a plain tail or within it,
// makes the text greater.
TEST(PlatformQtLocaleCompare, EveryPlaceOfEveryLengthCounts)
{
    const QtLocale c(QLocale::c());
    for (std::size_t n = 1; n <= 40; ++n) {
        const std::string plain(n, 'x');
        for (std::size_t at = 0; at < n; ++at) {
            std::string ascii = plain;
            ascii[at] = 'y';
            std::string windows1252 = plain;
            windows1252[at] = '\xE4'; // a-umlaut, above every ASCII letter
            EXPECT_GT(c.compareIgnoreCase(ascii, plain), 0) << n << ' ' << at;
            ascii[at] = 'z';
            EXPECT_GT(c.compareIgnoreCase(windows1252, ascii), 0) << n << ' ' << at;
        }
    }
}

TEST(PlatformQtLocaleSeparators, FromTheShortDateFormatAndNumbers)
{
    struct Case {
        const char* locale;
        const char* date;
        const char* decimal;
    };
    const Case cases[] = {
        {"de_DE", ".", ","},
        {"en_US", "/", "."},
        {"tr_TR", ".", ","},
        {"nl_NL", "-", ","},
        {"hu_HU", ".", ","},        // "yyyy. MM. dd."
        {"bg_BG", ".", ","},        // "d.MM.yy 'г'."
        {"ar_EG", "/", "\xD9\xAB"}, // right-to-left marks around "/"
        {"C", "/", "."},            // "d MMM yyyy" has no separator
    };
    for (const Case& c : cases) {
        const QtLocale locale{QLocale(QString::fromLatin1(c.locale))};
        SCOPED_TRACE(c.locale);
        EXPECT_EQ(locale.dateSeparator(), c.date);
        EXPECT_EQ(locale.decimalSeparator(), c.decimal);
    }
}

TEST(PlatformQtLocaleLanguage, EnglishNames)
{
    EXPECT_EQ(QtLocale(QLocale("de_DE")).languageName(), "German");
    EXPECT_EQ(QtLocale(QLocale("de_AT")).languageName(), "German");
    EXPECT_EQ(QtLocale(QLocale("tr_TR")).languageName(), "Turkish");
    EXPECT_EQ(QtLocale(QLocale("en_US")).languageName(), "English");
    EXPECT_EQ(QtLocale(QLocale("fr_FR")).languageName(), "French");
    EXPECT_EQ(QtLocale(QLocale::c()).languageName(), "English");
}

} // namespace
} // namespace velmora::platform
