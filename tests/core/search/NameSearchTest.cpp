// SPDX-License-Identifier: GPL-3.0-or-later
#include "SearchTestTree.h"
#include "search/Searches.h"
#include "settings/Settings.h"
#include "system/Progress.h"

#include <gtest/gtest.h>

namespace velmora::search {
namespace {

using collection::CollectionTree;
using collection::NodeId;
using testing::File;
using testing::Folder;
using testing::Root;
using testing::Volume;

class RecordingProgress : public Progress {
public:
    void setTitle(std::string_view title) override { title_ = title; }
    void step(std::uint64_t done, std::uint64_t total, std::string_view text) override
    {
        steps.push_back({done, total});
        line = text;
    }
    bool cancelled() const override { return true; }

    std::string title_;
    std::string line;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> steps;
};

std::vector<std::string> Texts(const ResultList& list)
{
    std::vector<std::string> texts;
    for (const ResultEntry& entry : list.entries())
        texts.push_back(entry.text);
    return texts;
}

// Positions: 0 collection, 1 volume "Live Rock", 2 folder "Rock", 3 file
// "Live Rock 1999", 4 file "Rock", 5 file "a rock live set", 6 volume
// "Ölberg", 7 file "ÖL live".
class NameSearchTest : public ::testing::Test {
protected:
    NameSearchTest()
    {
        const NodeId root = tree.addRoot(Root());
        const NodeId volume = tree.appendChild(root, Volume("Live Rock"));
        const NodeId folder = tree.appendChild(volume, Folder("Rock"));
        tree.appendChild(folder, File("Live Rock 1999"));
        tree.appendChild(folder, File("Rock"));
        tree.appendChild(volume, File("a rock live set"));
        const NodeId second = tree.appendChild(root, Volume("\xC3\x96lberg"));
        tree.appendChild(second, File("\xC3\x96L live"));
    }

    std::vector<std::string> Find(std::string words, bool matchCase = false, int area = 1,
                                  std::int64_t start = -1)
    {
        settings.nameText = std::move(words);
        settings.nameCase = matchCase;
        settings.nameArea = area;
        ResultList results;
        const bool found = NameSearch(scope, NameCriteriaFrom(settings), start, results).found;
        EXPECT_EQ(found, !results.empty());
        return Texts(results);
    }

    CollectionTree tree;
    testing::UmlautLocale locale;
    const testing::LocaleServices services{locale};
    NoProgress none;
    SearchScope scope{tree, services, none, "Searching", "Please wait...", "Sorting..."};
    settings::Settings settings;
};

TEST(SplitWords, BlanksAndControlCharactersSeparateAndAreTrimmed)
{
    EXPECT_EQ(SplitWords("  rock \t live  "), (std::vector<std::string>{"rock", "live"}));
    EXPECT_EQ(SplitWords("a   b"), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(SplitWords(" \t\r\n ").empty());
    EXPECT_TRUE(SplitWords("").empty());
    // Only the blank splits: a tab inside a word stays in it.
    EXPECT_EQ(SplitWords("a\tb c"), (std::vector<std::string>{"a\tb", "c"}));
}

TEST(SplitWords, KeepsTheFirst98WordsAndTheLast)
{
    std::string text;
    for (int i = 1; i <= 120; ++i)
        text.append("w").append(std::to_string(i)).append(" ");
    const std::vector<std::string> words = SplitWords(text);
    ASSERT_EQ(words.size(), 99u);
    EXPECT_EQ(words[0], "w1");
    EXPECT_EQ(words[97], "w98");
    EXPECT_EQ(words[98], "w120");

    std::string exactly99;
    for (int i = 1; i <= 99; ++i)
        exactly99.append("w").append(std::to_string(i)).append(" ");
    EXPECT_EQ(SplitWords(exactly99).back(), "w99");
}

TEST_F(NameSearchTest, AllWordsInAnyOrderWithoutCase)
{
    EXPECT_EQ(Find("rock live"), (std::vector<std::string>{"1", "3", "5"}));
    EXPECT_EQ(Find("rock live", false, 3), (std::vector<std::string>{"3", "5"}));
}

TEST_F(NameSearchTest, MatchCaseComparesExactly)
{
    EXPECT_EQ(Find("rock live", true), (std::vector<std::string>{"5"}));
    EXPECT_EQ(Find("Rock", true), (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST_F(NameSearchTest, AreaChoosesDirectoriesOrFiles)
{
    EXPECT_EQ(Find("rock", false, 2), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(Find("rock", false, 3), (std::vector<std::string>{"3", "4", "5"}));
    EXPECT_EQ(Find("rock", false, 1), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    EXPECT_TRUE(Find("rock", false, 0).empty());
    EXPECT_TRUE(Find("rock", false, 5).empty());
}

TEST_F(NameSearchTest, LocaleLowerCasesLettersBeyondAToZ)
{
    EXPECT_EQ(Find("\xC3\xB6l"), (std::vector<std::string>{"6", "7"}));
    EXPECT_TRUE(Find("\xC3\xB6l", true).empty());
    EXPECT_EQ(Find("\xC3\x96L", true), (std::vector<std::string>{"7"}));
}

// Turkish rules: I lowers to a dotless i (UTF-8 C4 B1), not to i.
class TurkishLocale : public testing::UmlautLocale {
public:
    std::string toLower(std::string_view text) const override
    {
        std::string out;
        for (const char c : text) {
            if (c == 'I')
                out += "\xC4\xB1";
            else
                out += UmlautLocale::toLower(std::string_view(&c, 1));
        }
        return out;
    }
};

TEST_F(NameSearchTest, PlainAsciiNamesStillFollowTheLocale)
{
    tree.setText(tree.atPosition(4), File("IRMAK"));
    EXPECT_EQ(Find("irmak"), (std::vector<std::string>{"4"}));
    const TurkishLocale turkish;
    const testing::LocaleServices turkishServices{turkish};
    const SearchScope inTurkish{tree, turkishServices, none, {}, {}, {}};
    settings.nameText = "irmak";
    ResultList results;
    EXPECT_FALSE(NameSearch(inTurkish, NameCriteriaFrom(settings), -1, results).found);
    settings.nameText = "\xC4\xB1rmak";
    EXPECT_TRUE(NameSearch(inTurkish, NameCriteriaFrom(settings), -1, results).found);
    EXPECT_EQ(Texts(results), (std::vector<std::string>{"4"}));
}

// Lowers the Kelvin sign (UTF-8 E2 84 AA) to k, as Unicode does.
class KelvinLocale : public testing::UmlautLocale {
public:
    std::string toLower(std::string_view text) const override
    {
        std::string out = UmlautLocale::toLower(text);
        for (std::size_t at = out.find("\xE2\x84\xAA"); at != std::string::npos;
             at = out.find("\xE2\x84\xAA"))
            out.replace(at, 3, "k");
        return out;
    }
};

TEST_F(NameSearchTest, ASCIIWordsInNamesWithOtherLetters)
{
    const KelvinLocale kelvin;
    const testing::LocaleServices kelvinServices{kelvin};
    const SearchScope scope{tree, kelvinServices, none, {}, {}, {}};
    tree.setText(tree.atPosition(4), File("\xC3\x96L \xE2\x84\xAAnight"));
    tree.setText(tree.atPosition(5), File("\xD6L KNIGHT")); // Windows-1252
    // A word beyond ASCII goes through the locale (this fake reads UTF-8
    // only, so the Windows-1252 name stays unmatched).
    settings.nameText = "\xC3\xB6l knight";
    ResultList results;
    EXPECT_TRUE(NameSearch(scope, NameCriteriaFrom(settings), -1, results).found);
    EXPECT_EQ(Texts(results), (std::vector<std::string>{"4"}));
    results.clear();
    settings.nameText = "l knight";
    EXPECT_TRUE(NameSearch(scope, NameCriteriaFrom(settings), -1, results).found);
    EXPECT_EQ(Texts(results), (std::vector<std::string>{"4", "5"}));
    results.clear();
    settings.nameText = "lk";
    EXPECT_FALSE(NameSearch(scope, NameCriteriaFrom(settings), -1, results).found);
}

TEST(NameSearchAgainstPlainLowering, RandomNamesAndWords)
{
    // Names up to 70 bytes (so matches fall on both sides of 16-byte
    // blocks) from letters whose codes differ only in bit 5 from others.
    constexpr std::string_view kAlphabet = "aAbBzZ@`[{^~ 01\xC3\xA4";
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1664525U + 1013904223U;
        return (seed >> 8) % bound;
    };
    const auto randomText = [&](std::size_t maxLength) {
        std::string text(next(static_cast<std::uint32_t>(maxLength) + 1), ' ');
        for (char& c : text)
            c = kAlphabet[next(static_cast<std::uint32_t>(kAlphabet.size()))];
        return text;
    };
    CollectionTree tree;
    const NodeId volume = tree.appendChild(tree.addRoot(Root()), Volume("V"));
    std::vector<std::string> names;
    for (int i = 0; i < 400; ++i) {
        names.push_back(randomText(70));
        tree.appendChild(volume, File(names.back()));
    }
    const fakes::FakeLocale locale;
    const testing::LocaleServices services{locale};
    NoProgress none;
    const SearchScope scope{tree, services, none, {}, {}, {}};
    for (int round = 0; round < 200; ++round) {
        settings::Settings settings;
        settings.nameArea = 3;
        std::string word = randomText(4);
        if (word.find(' ') != std::string::npos || word.empty())
            word = "a";
        settings.nameText = word;
        const std::string lowered = locale.toLower(word);
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (locale.toLower(names[i]).find(lowered) != std::string::npos)
                expected.push_back(std::to_string(i + 2));
        }
        ResultList results;
        ASSERT_FALSE(NameSearch(scope, NameCriteriaFrom(settings), -1, results).stopped);
        ASSERT_EQ(Texts(results), expected) << "word \"" << word << "\"";
    }
}

TEST_F(NameSearchTest, StartPositionLimitsTheWalk)
{
    EXPECT_EQ(Find("live", false, 1, 6), (std::vector<std::string>{"7"}));
    EXPECT_EQ(Find("live", false, 1, -5), (std::vector<std::string>{"1", "3", "5", "7"}));
    EXPECT_TRUE(Find("live", false, 1, 8).empty());
}

TEST_F(NameSearchTest, RepeatedAndOverlappingWords)
{
    EXPECT_EQ(Find("rock rock", false, 3), (std::vector<std::string>{"3", "4", "5"}));
    EXPECT_EQ(Find("roc ock", false, 3), (std::vector<std::string>{"3", "4", "5"}));
    EXPECT_TRUE(Find("rock rockrock").empty());
}

TEST_F(NameSearchTest, ResultsReferToTheirNodes)
{
    settings.nameText = "set";
    ResultList results;
    ASSERT_TRUE(NameSearch(scope, NameCriteriaFrom(settings), -1, results).found);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].node, tree.atPosition(5));
}

TEST_F(NameSearchTest, ReportsTheWaitWindowAndNeverStopsEarly)
{
    RecordingProgress progress;
    SearchScope recording{tree, services, progress, "Searching", "Please wait...", "Sorting..."};
    settings.nameText = "live";
    ResultList results;
    // The progress answers "cancelled", yet every node is visited.
    ASSERT_TRUE(NameSearch(recording, NameCriteriaFrom(settings), -1, results).found);
    EXPECT_EQ(results.size(), 4u);
    EXPECT_EQ(progress.title_, "Searching");
    EXPECT_EQ(progress.line, "Please wait...");
    ASSERT_FALSE(progress.steps.empty());
    EXPECT_EQ(progress.steps.front(), (std::pair<std::uint64_t, std::uint64_t>{0, 7}));
    EXPECT_EQ(progress.steps.back(), (std::pair<std::uint64_t, std::uint64_t>{7, 7}));
}

} // namespace
} // namespace velmora::search

namespace velmora::search {
namespace {

// Answers "cancelled" once the walk has passed `after` positions.
class StopAfter : public Progress {
public:
    explicit StopAfter(std::uint64_t after) : after_(after) {}
    void step(std::uint64_t done, std::uint64_t, std::string_view) override { done_ = done; }
    bool cancelled() const override { return done_ >= after_; }

private:
    std::uint64_t after_;
    std::uint64_t done_ = 0;
};

TEST(StoppedSearch, ReturnsWhatItFoundSoFarAndSaysSo)
{
    CollectionTree tree;
    const NodeId volume = tree.appendChild(tree.addRoot(testing::Root()), testing::Volume("v"));
    for (int i = 0; i < 20000; ++i)
        tree.appendChild(volume, testing::File(i % 2 == 0 ? "live" : "studio"));
    testing::UmlautLocale locale;
    const testing::LocaleServices services{locale};
    StopAfter progress(1);
    const SearchScope scope{tree, services, progress, {}, {}, {}};
    NameCriteria criteria;
    criteria.text = "live";

    ResultList results;
    const SearchOutcome outcome = NameSearch(scope, criteria, -1, results);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_TRUE(outcome.found);
    // The first step comes after 4096 positions (1 to 4096): the volume and
    // 4095 files, of which 2048 are "live".
    EXPECT_EQ(results.size(), 2048u);

    NoProgress none;
    const SearchScope whole{tree, services, none, {}, {}, {}};
    ResultList all;
    EXPECT_FALSE(NameSearch(whole, criteria, -1, all).stopped);
    EXPECT_EQ(all.size(), 10000u);
}

} // namespace
} // namespace velmora::search
