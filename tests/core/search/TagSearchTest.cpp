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

std::vector<std::string> Texts(const ResultList& list)
{
    std::vector<std::string> texts;
    for (const ResultEntry& entry : list.entries())
        texts.push_back(entry.text);
    return texts;
}

class TagSearchTest : public ::testing::Test {
protected:
    // Appends a file with the given title, artist and track; returns its
    // position.
    std::string Add(std::string title, std::string artist = "", std::string track = "")
    {
        tree.appendChild(folder, File("f", {}, {title, artist, "", track, "", ""}));
        return std::to_string(tree.size() - 1);
    }

    std::vector<std::string> Find(std::array<std::string, 6> texts)
    {
        settings.tagText = std::move(texts);
        ResultList results;
        const bool found = TagSearch(scope, TagCriteriaFrom(settings), -1, results).found;
        EXPECT_EQ(found, !results.empty());
        return Texts(results);
    }

    CollectionTree tree;
    NodeId root = tree.addRoot(Root());
    NodeId volume = tree.appendChild(root, Volume("love"));
    NodeId folder = tree.appendChild(volume, Folder("love"));
    testing::UmlautLocale locale;
    const testing::LocaleServices services{locale};
    NoProgress none;
    SearchScope scope{tree, services, none, "", "", ""};
    settings::Settings settings;
};

TEST_F(TagSearchTest, TitleMatchesAnywhereWithoutCase)
{
    const std::string lovesong = Add("Lovesong");
    const std::string gloves = Add("GLOVES");
    Add("Lose");
    Add("");
    EXPECT_EQ(Find({"love"}), (std::vector<std::string>{lovesong, gloves}));
    // Match case of the name search plays no part.
    settings.nameCase = true;
    EXPECT_EQ(Find({"love"}), (std::vector<std::string>{lovesong, gloves}));
}

TEST_F(TagSearchTest, TrackOneMatchesEveryTrackHoldingTheDigit)
{
    std::vector<std::string> expected;
    for (int track = 1; track <= 31; ++track) {
        const std::string position = Add("", "", std::to_string(track));
        if (std::to_string(track).find('1') != std::string::npos)
            expected.push_back(position);
    }
    ASSERT_EQ(expected.size(), 13u); // 1, 10 to 19, 21, 31
    EXPECT_EQ(Find({"", "", "", "1"}), expected);
}

TEST_F(TagSearchTest, BlanksAtTheEndsOfATextAreKept)
{
    Add("Love me");
    const std::string inside = Add("I love you");
    EXPECT_EQ(Find({" love"}), (std::vector<std::string>{inside}));
}

TEST_F(TagSearchTest, EveryUsedTextMustOccurAndBlankTextsAreIgnored)
{
    const std::string both = Add("Lovesong", "The Band");
    Add("Lovesong", "Solo");
    Add("Song", "The Band");
    EXPECT_EQ(Find({"love", "band", " \t ", "", "  ", ""}), (std::vector<std::string>{both}));
}

TEST_F(TagSearchTest, LocaleLowerCasesLettersBeyondAToZ)
{
    const std::string umlaut = Add("\xC3\x96L");
    Add("OL");
    EXPECT_EQ(Find({"\xC3\xB6l"}), (std::vector<std::string>{umlaut}));
}

TEST_F(TagSearchTest, OnlyNodesWithoutChildrenAreTested)
{
    // Folders and volumes hold no tags; an empty folder counts as a file.
    const std::string file = Add("x");
    tree.appendChild(volume, Folder("empty"));
    EXPECT_EQ(Find({"", "", "", "", "", " "}), (std::vector<std::string>{file, "4"}));
    EXPECT_TRUE(Find({"love"}).empty());
}

} // namespace
} // namespace velmora::search
