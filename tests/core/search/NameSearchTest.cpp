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
        const bool found = NameSearch(scope, settings, start, results);
        EXPECT_EQ(found, !results.empty());
        return Texts(results);
    }

    CollectionTree tree;
    testing::UmlautLocale locale;
    NoProgress none;
    SearchScope scope{tree, locale, none, "Searching", "Please wait...", "Sorting..."};
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
        text += "w" + std::to_string(i) + " ";
    const std::vector<std::string> words = SplitWords(text);
    ASSERT_EQ(words.size(), 99u);
    EXPECT_EQ(words[0], "w1");
    EXPECT_EQ(words[97], "w98");
    EXPECT_EQ(words[98], "w120");

    std::string exactly99;
    for (int i = 1; i <= 99; ++i)
        exactly99 += "w" + std::to_string(i) + " ";
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
    ASSERT_TRUE(NameSearch(scope, settings, -1, results));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].node, tree.atPosition(5));
}

TEST_F(NameSearchTest, ReportsTheWaitWindowAndNeverStopsEarly)
{
    RecordingProgress progress;
    SearchScope recording{tree, locale, progress, "Searching", "Please wait...", "Sorting..."};
    settings.nameText = "live";
    ResultList results;
    // The progress answers "cancelled", yet every node is visited.
    ASSERT_TRUE(NameSearch(recording, settings, -1, results));
    EXPECT_EQ(results.size(), 4u);
    EXPECT_EQ(progress.title_, "Searching");
    EXPECT_EQ(progress.line, "Please wait...");
    ASSERT_FALSE(progress.steps.empty());
    EXPECT_EQ(progress.steps.front(), (std::pair<std::uint64_t, std::uint64_t>{0, 7}));
    EXPECT_EQ(progress.steps.back(), (std::pair<std::uint64_t, std::uint64_t>{7, 7}));
}

} // namespace
} // namespace velmora::search
