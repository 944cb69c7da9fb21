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
using testing::FileProps;
using testing::Folder;
using testing::Root;
using testing::Volume;

// Criteria with every term off.
PropertyBytes NoTerms()
{
    return {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

PropertyBytes BitRate(std::int32_t comparison, std::int32_t value)
{
    PropertyBytes c = NoTerms();
    c[0] = 1;
    c[1] = comparison;
    c[2] = value;
    return c;
}

// PropertyMatch over criteria in their stored form.
bool Matches(std::string_view fileText, const PropertyBytes& bytes)
{
    return PropertyMatch(fileText, PropertyCriteriaFrom(bytes));
}

constexpr std::int32_t kLess = 0;
constexpr std::int32_t kEqual = 1;
constexpr std::int32_t kGreater = 2;

// 931 KB in 60 s: 931 * 8 * 1.024 / 60 = 127.1, so an average of 127.
const FileProps kAverage127{931, 60, 4410, 1, 1, 3};

TEST(PropertyMatch, ConstantRateIsRoundedToTheStandardTable)
{
    const std::string file = File("a", kAverage127);
    EXPECT_TRUE(Matches(file, BitRate(kEqual, 0)));
    EXPECT_FALSE(Matches(file, BitRate(kLess, 0)));
}

TEST(PropertyMatch, RateAtATieTakesTheLowerEntry)
{
    // 1055 KB in 60 s averages 144, halfway between 128 and 160.
    const std::string tie = File("a", {1055, 60, 4410, 1, 1, 3});
    EXPECT_TRUE(Matches(tie, BitRate(kEqual, 0)));
    EXPECT_FALSE(Matches(tie, BitRate(kEqual, 1)));
    // 1063 KB averages 145, nearer to 160.
    const std::string above = File("a", {1063, 60, 4410, 1, 1, 3});
    EXPECT_TRUE(Matches(above, BitRate(kEqual, 1)));
}

TEST(PropertyMatch, VariableRateIsNotRounded)
{
    // 4000 * 8 * 1.024 / 240 = 136.53: 136, which rounding would make 128.
    const std::string vbr = File("a", {4000, -240, 4410, 1, 1, 3});
    EXPECT_FALSE(Matches(vbr, BitRate(kEqual, 0)));
    EXPECT_TRUE(Matches(vbr, BitRate(kGreater, 0)));
    EXPECT_TRUE(Matches(vbr, BitRate(kLess, 1)));
    // A zero duration gives the rate 0.
    EXPECT_TRUE(Matches(File("a", {4000, 0, 4410, 1, 1, 3}), BitRate(kLess, 0)));
}

TEST(PropertyMatch, ComparisonAndValueActThroughTheirEncodedSum)
{
    const std::string file128 = File("a", kAverage127);
    // Comparison 0 with value index 10 is 10: "=" with the first value.
    EXPECT_TRUE(Matches(file128, BitRate(0, 10)));
    // 3 and 23: no comparison at all.
    EXPECT_FALSE(Matches(file128, BitRate(0, 3)));
    EXPECT_FALSE(Matches(file128, BitRate(2, 3)));
    EXPECT_FALSE(Matches(file128, BitRate(3, 0)));
    EXPECT_FALSE(Matches(file128, BitRate(255, 255)));
    EXPECT_FALSE(Matches(file128, BitRate(-1, 10)));
    // 2 and 2 is 22: ">" 192.
    EXPECT_FALSE(Matches(file128, BitRate(2, 2)));
    EXPECT_TRUE(Matches(File("a", {2000, 60, 4410, 1, 1, 3}), BitRate(2, 2)));
}

TEST(PropertyMatch, OnlyTheValueOneSwitchesATermOn)
{
    PropertyBytes c = BitRate(kEqual, 0);
    c[0] = 2;
    EXPECT_FALSE(Matches(File("a", kAverage127), c));
    EXPECT_FALSE(Matches(File("a", kAverage127), NoTerms()));
}

TEST(PropertyMatch, SampleRate)
{
    PropertyBytes c = NoTerms();
    c[3] = 1;
    c[4] = kEqual;
    c[5] = 2;
    EXPECT_TRUE(Matches(File("a", {1000, 60, 4410, 1, 1, 3}), c));
    EXPECT_FALSE(Matches(File("a", {1000, 60, 4800, 1, 1, 3}), c));
    c[4] = kLess;
    c[5] = 1;
    EXPECT_TRUE(Matches(File("a", {1000, 60, 2205, 1, 2, 3}), c));
    EXPECT_FALSE(Matches(File("a", {1000, 60, 3200, 1, 1, 3}), c));
}

TEST(PropertyMatch, ChannelCodes)
{
    PropertyBytes mono = NoTerms();
    mono[6] = 1;
    PropertyBytes stereo = mono;
    stereo[7] = 1;
    PropertyBytes neither = mono;
    neither[7] = 2;
    const auto withChannel = [](std::int64_t code) {
        return File("a", {1000, 60, 4410, code, 1, 3});
    };
    for (const std::int64_t code : {0, 3, 4}) {
        EXPECT_TRUE(Matches(withChannel(code), mono)) << code;
        EXPECT_FALSE(Matches(withChannel(code), stereo)) << code;
    }
    for (const std::int64_t code : {1, 2}) {
        EXPECT_FALSE(Matches(withChannel(code), mono)) << code;
        EXPECT_TRUE(Matches(withChannel(code), stereo)) << code;
    }
    for (const std::int64_t code : {0, 1, 2, 3, 4})
        EXPECT_FALSE(Matches(withChannel(code), neither)) << code;
    EXPECT_FALSE(Matches(withChannel(5), mono));
    EXPECT_FALSE(Matches(withChannel(5), stereo));
}

TEST(PropertyMatch, VersionAndLayerCompareTheirCodes)
{
    PropertyBytes version = NoTerms();
    version[9] = 1;
    version[10] = kGreater;
    version[11] = 0; // above version 1
    const auto withCodes = [](std::int64_t v, std::int64_t l) {
        return File("a", {1000, 60, 4410, 1, v, l});
    };
    EXPECT_FALSE(Matches(withCodes(1, 3), version));
    EXPECT_TRUE(Matches(withCodes(2, 3), version));
    EXPECT_TRUE(Matches(withCodes(3, 3), version));
    version[10] = kEqual;
    version[11] = 2; // 2.5
    EXPECT_TRUE(Matches(withCodes(3, 3), version));
    EXPECT_FALSE(Matches(withCodes(2, 3), version));

    PropertyBytes layer = NoTerms();
    layer[12] = 1;
    layer[13] = kLess;
    layer[14] = 2; // below layer 3
    EXPECT_TRUE(Matches(withCodes(1, 1), layer));
    EXPECT_TRUE(Matches(withCodes(1, 2), layer));
    EXPECT_FALSE(Matches(withCodes(1, 3), layer));
}

TEST(PropertyMatch, ValidTag)
{
    PropertyBytes present = NoTerms();
    present[15] = 1;
    PropertyBytes absent = present;
    absent[16] = 1;
    PropertyBytes neither = present;
    neither[16] = 2;
    const std::string untagged = File("a");
    const std::string tagged = File("a", {}, {"", "", "", "", "", "c"});
    EXPECT_FALSE(Matches(untagged, present));
    EXPECT_TRUE(Matches(untagged, absent));
    EXPECT_TRUE(Matches(tagged, present));
    EXPECT_FALSE(Matches(tagged, absent));
    EXPECT_FALSE(Matches(tagged, neither));
    EXPECT_FALSE(Matches(untagged, neither));
}

TEST(PropertyMatch, DefaultCriteria)
{
    // Bit rate < 128, sample rate < 44100, mono, version > 1, layer < 3.
    const PropertyBytes defaults = settings::Settings{}.property;
    EXPECT_FALSE(Matches(File("a", {1500, 60, 4410, 2, 1, 3}), defaults));
    EXPECT_TRUE(Matches(File("a", {1500, 60, 4410, 4, 1, 3}), defaults));
    EXPECT_TRUE(Matches(File("a", {1500, 60, 3200, 2, 1, 3}), defaults));
    EXPECT_TRUE(Matches(File("a", {1500, 60, 4410, 2, 2, 3}), defaults));
    EXPECT_TRUE(Matches(File("a", {1500, 60, 4410, 2, 1, 2}), defaults));
    EXPECT_TRUE(Matches(File("a", {500, 60, 4410, 2, 1, 3}), defaults));
}

class PropertySearchTest : public ::testing::Test {
protected:
    std::vector<std::string> Find()
    {
        ResultList results;
        const bool found = PropertySearch(scope, PropertyCriteriaFrom(settings), -1, results).found;
        EXPECT_EQ(found, !results.empty());
        std::vector<std::string> texts;
        for (const ResultEntry& entry : results.entries())
            texts.push_back(entry.text);
        return texts;
    }

    CollectionTree tree;
    NodeId root = tree.addRoot(Root());
    NodeId volume = tree.appendChild(root, Volume("v"));
    testing::UmlautLocale locale;
    const testing::LocaleServices services{locale};
    NoProgress none;
    SearchScope scope{tree, services, none, "", "", ""};
    settings::Settings settings;
};

TEST_F(PropertySearchTest, TermsCombineWithOr)
{
    const NodeId folder = tree.appendChild(volume, Folder("f"));
    tree.appendChild(folder, File("slow 48k", {500, 60, 4800, 1, 1, 3}));  // 3: rate 64
    tree.appendChild(folder, File("fast 44k", {1500, 60, 4410, 1, 1, 3})); // 4: 192 at 44100
    tree.appendChild(folder, File("fast 48k", {1500, 60, 4800, 1, 1, 3})); // 5: neither
    settings.property = BitRate(kLess, 0);
    settings.property[3] = 1;
    settings.property[4] = kEqual;
    settings.property[5] = 2;
    EXPECT_EQ(Find(), (std::vector<std::string>{"3", "4"}));
}

TEST_F(PropertySearchTest, FoldersAreNeverTested)
{
    // A folder's numbers would read as a mono file with rate 0.
    const NodeId folder = tree.appendChild(volume, Folder("f"));
    tree.appendChild(folder, File("x", {1500, 60, 4410, 1, 1, 3}));
    settings.property = NoTerms();
    settings.property[6] = 1;
    EXPECT_TRUE(Find().empty());
}

TEST_F(PropertySearchTest, AuthorModeListsFilesThatBreakTheNamingRule)
{
    const NodeId good = tree.appendChild(volume, Folder("Some Band [First Album]"));
    tree.appendChild(good, File("001 Some Band [Opening].mp3", {1500, 60, 4410, 1, 1, 3}));
    tree.appendChild(good, File("01 Opening.mp3", {1500, 60, 4410, 1, 1, 3}));
    const NodeId bad = tree.appendChild(volume, Folder("Some Band - First Album"));
    tree.appendChild(bad, File("001 Some Band [Opening].mp3", {1500, 60, 4410, 1, 1, 3}));
    settings.property = BitRate(kLess, 0); // none of the files
    EXPECT_TRUE(Find().empty());
    settings.author = true;
    // Positions: 3 passes, 4 has a short name, 6 lies in a folder without
    // "[Album]".
    EXPECT_EQ(Find(), (std::vector<std::string>{"4", "6"}));
}

TEST(NamingRule, ThePartsOfParentAndFileNames)
{
    const std::string_view file = "001 Some Band [Opening].mp3";
    EXPECT_TRUE(PassesNamingRule("Some Band [First Album]", file));
    EXPECT_TRUE(PassesNamingRule("[Various]", file));
    // Parent checks.
    EXPECT_FALSE(PassesNamingRule("[]", file));
    EXPECT_FALSE(PassesNamingRule("Some Band ]First Album[", file));
    EXPECT_FALSE(PassesNamingRule("Some Band [  ]", file));
    EXPECT_FALSE(PassesNamingRule("Some Band [First Album] ", file));
    EXPECT_FALSE(PassesNamingRule(" [First Album]", file));
    EXPECT_FALSE(PassesNamingRule("Some Band [First] Album", file));
    EXPECT_FALSE(PassesNamingRule("Some Band [First Album (live]", file));
    EXPECT_FALSE(PassesNamingRule("Some Band[First Album]", file));
    EXPECT_FALSE(PassesNamingRule("Some Band [ First Album]", file));
    EXPECT_FALSE(PassesNamingRule("Some Band [First Album ]", file));
    EXPECT_FALSE(PassesNamingRule("Some_Band [First Album]", file));
    EXPECT_FALSE(PassesNamingRule("Other Band [First Album]", file));
    EXPECT_FALSE(PassesNamingRule("some band [First Album]", file));
    EXPECT_TRUE(PassesNamingRule("Some Band [First Album (live)]", file));
    // File checks.
    const std::string_view parent = "Some Band [First Album]";
    EXPECT_FALSE(PassesNamingRule(parent, "01 Opening.mp3"));
    EXPECT_FALSE(PassesNamingRule(parent, "0a1 Some Band [Opening].mp3"));
    EXPECT_FALSE(PassesNamingRule(parent, "001_Some Band [Opening].mp3"));
    EXPECT_FALSE(PassesNamingRule(parent, "001 Some Band Opening.mp3 "));
    EXPECT_FALSE(PassesNamingRule(parent, "001 Some Band [ ].mp3"));
    EXPECT_FALSE(PassesNamingRule(parent, "001 Some Band [Opening].mpeg"));
    EXPECT_FALSE(PassesNamingRule(parent, "001 Some Band [Opening].mp"));
    EXPECT_TRUE(PassesNamingRule(parent, "001 Some Band [Opening].abc"));
    EXPECT_FALSE(PassesNamingRule(parent, "001 Some Band [Opening (a].mp3"));
    EXPECT_FALSE(PassesNamingRule(parent, "001 Some Band[Opening].mp3"));
    EXPECT_FALSE(PassesNamingRule(parent, "001 Some Band [ Opening].mp3"));
    EXPECT_FALSE(PassesNamingRule(parent, "001 Some Band [Opening ].mp3"));
    EXPECT_FALSE(PassesNamingRule(parent, "001 Some_Band [Opening].mp3"));
    EXPECT_FALSE(PassesNamingRule(parent, "001 Some band [Opening].mp3"));
    EXPECT_FALSE(PassesNamingRule(parent, "001 [Opening].mp3"));
    EXPECT_TRUE(PassesNamingRule("[Various]", "001 [Opening].mp3"));
}

} // namespace
} // namespace velmora::search
