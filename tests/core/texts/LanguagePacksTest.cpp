// SPDX-License-Identifier: GPL-3.0-or-later
#include "texts/LanguagePacks.h"

#include "TestDir.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "texts/TextIds.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::texts {
namespace {

using velmora::testing::WriteBytes;

// The texts of the default table as pack bytes, with `change` applied to
// the lines.
std::string DefaultPack(const std::function<void(std::vector<std::string>&)>& change = {})
{
    std::vector<std::string> lines(kDefaultLines.begin(), kDefaultLines.end());
    if (change)
        change(lines);
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

class LanguagePacksTest : public ::testing::Test {
protected:
    void Pack(const std::string& name, const std::string& bytes)
    {
        WriteBytes(dir.file(name), bytes);
    }
    std::string folder() const { return dir.path().string() + "/"; }

    velmora::testing::TestDir dir;
    fakes::FaultyFileSystem files;
    fakes::FakeLocale locale;
};

TEST_F(LanguagePacksTest, TheAutomaticChoiceTakesTheLastPackWhoseNameBeginsTheUsersLanguage)
{
    locale.setLanguageName("German");
    Pack("a.lng", "000German\r\n001Sammlung\r\n");
    // Upper-case on disk, lower-case in the setting; "ger" begins "german".
    Pack("B.LNG", "000ger\n001Sammlung B\n");
    Pack("c.lng", "000Deutsch\n001Sammlung C\n");
    Pack("d.lng", "000\n001Sammlung D\n");
    Pack("notes.txt", "000German\n");
    Pack(".lng", "000German\n");

    std::vector<std::string> names;
    for (const PackFile& pack : ListPacks(files, folder(), locale))
        names.push_back(pack.name);
    EXPECT_EQ(names, (std::vector<std::string>{"a.lng", "b.lng", "c.lng", "d.lng"}));

    std::string langName;
    const LanguageChoice choice = ChooseLanguage(files, folder(), locale, langName);
    EXPECT_EQ(langName, "b.lng");
    EXPECT_EQ(choice.table.Text(TextId::CollectionMenu), "Sammlung B");
    EXPECT_TRUE(choice.error.empty());

    // "Deutsch" is no English name, and "000" alone names nothing.
    locale.setLanguageName("Dutch");
    langName.clear();
    EXPECT_EQ(ChooseLanguage(files, folder(), locale, langName).table.Text(TextId::CollectionMenu),
              "Collection");
    EXPECT_EQ(langName, "");
}

TEST_F(LanguagePacksTest, AnActivePackThatCannotBeReadRestoresTheDefaultAndClearsTheSetting)
{
    locale.setLanguageName("German");
    Pack("deutsch.lng", "000German\n001Sammlung\n");
    std::string langName = "gone.lng";
    const LanguageChoice choice = ChooseLanguage(files, folder(), locale, langName);
    EXPECT_EQ(choice.error,
              "Can not open the file: " + folder() + "gone.lng. The default language restored.");
    EXPECT_EQ(choice.table.Text(TextId::CollectionMenu), "Collection");
    // Cleared, so that the next start chooses automatically again.
    EXPECT_EQ(langName, "");

    // A pack is taken as it is: a short one answers "?" past its end.
    langName = "deutsch.lng";
    const LanguageChoice short_ = ChooseLanguage(files, folder(), locale, langName);
    EXPECT_TRUE(short_.error.empty());
    EXPECT_EQ(short_.table.Text(TextId::CollectionMenu), "Sammlung");
    EXPECT_EQ(short_.table.Text(TextId::NewCommand), "?");
}

TEST_F(LanguagePacksTest, CheckPackFindsWhatTheProgramWouldReadWithoutAWord)
{
    EXPECT_TRUE(CheckPack(DefaultPack()).empty());

    const std::vector<std::string> problems = CheckPack(DefaultPack([](auto& lines) {
        lines[5] = "Save as";                    // without its number
        lines[7] = "008Report";                  // where 007 belongs...
        lines[8] = "007Statistics";              // ...and the other way round
        lines[48] = "048Can not open the file "; // a trailing blank
        lines[208] = "207CD label";              // 208 nowhere
    }));
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "line 6: no number; expected 005",
                            "line 8: number 008 out of order; expected 007",
                            "line 9: number 007 out of order; expected 008",
                            "line 49: text 048: leading or trailing blanks differ",
                            "line 209: number 207 out of order; expected 208",
                            "text 005 is missing",
                            "text 208 is missing",
                        }));
}

TEST_F(LanguagePacksTest, CheckPackComparesPlaceHoldersAndTheEncoding)
{
    const auto withPlayerHint = [](std::string hint) {
        return DefaultPack([&hint](auto& lines) {
            std::vector<std::string> extra;
            for (std::size_t n = kTextCount; n < kTextCount + kExtraTextCount; ++n)
                extra.emplace_back(kExtraTexts[n - kTextCount]);
            extra[static_cast<std::size_t>(TextId::PlayerCommandHint) - kTextCount] = hint;
            lines.insert(lines.end() - 2, extra.begin(), extra.end());
        });
    };
    EXPECT_TRUE(CheckPack(withPlayerHint("223%f ist die Wiedergabeliste")).empty());
    EXPECT_EQ(CheckPack(withPlayerHint("223%s ist die Wiedergabeliste")),
              (std::vector<std::string>{
                  "line 224: text 223: place-holders differ from the default text"}));
    // Windows-1252 is fine; bytes it leaves undefined, outside UTF-8, are not.
    EXPECT_TRUE(CheckPack(withPlayerHint("223%f ist die Wiedergabeliste\xe4")).empty());
    EXPECT_EQ(CheckPack(withPlayerHint("223%f ist die Wiedergabeliste\x81")),
              (std::vector<std::string>{"neither UTF-8 nor Windows-1252 text"}));
}

} // namespace
} // namespace velmora::texts
