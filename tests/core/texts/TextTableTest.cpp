// SPDX-License-Identifier: GPL-3.0-or-later
#include "texts/TextTable.h"

#include <gtest/gtest.h>

namespace velmora::texts {
namespace {

TEST(TextTable, DefaultTableHoldsAllTextsAndCredits)
{
    const TextTable table;
    EXPECT_EQ(table.lineCount(), 211u);
    EXPECT_EQ(table.Text(TextId::LanguageName), "English");
    EXPECT_EQ(table.Text(TextId::CannotOpenFile), "Can not open the file");
    EXPECT_EQ(table.TextAt(40), "");
    EXPECT_EQ(table.TextAt(121), "");
    EXPECT_EQ(table.TextAt(129), "");
    EXPECT_EQ(table.Text(TextId::AskSaveChanges),
              "The collection has changed. Would you like to save the changes?");
    EXPECT_EQ(table.Text(TextId::CdLabelLabel), "CD label");
    EXPECT_EQ(table.Step(TextId::ReadDataStep), "Read data...");
    EXPECT_EQ(table.line(209).substr(0, 3), ">>>");
    EXPECT_EQ(table.line(210).substr(0, 3), ">>>");
    EXPECT_EQ(table.Text(TextId::CannotStartPlayer), "Can not start the player");
    EXPECT_EQ(table.TextAt(229), "Reverse order");
    EXPECT_EQ(table.TextAt(233).substr(0, 14), "The ID3v2 tag ");
    EXPECT_EQ(table.TextAt(234), "?");
    // The number prefix of every default text matches its position.
    for (std::size_t n = 0; n < kTextCount; ++n) {
        const std::string_view line = table.line(n);
        ASSERT_GE(line.size(), 3u);
        EXPECT_EQ(std::stoi(std::string(line.substr(0, 3))), static_cast<int>(n));
    }
}

TEST(TextTable, PackLookupGoesByLinePositionNotDigits)
{
    const TextTable table = TextTable::FromPackBytes("000Deutsch\r\n999Sammlung\r\n002\r\n00\n");
    EXPECT_EQ(table.lineCount(), 4u);
    EXPECT_EQ(table.TextAt(0), "Deutsch");
    EXPECT_EQ(table.TextAt(1), "Sammlung");
    EXPECT_EQ(table.TextAt(2), "");
    EXPECT_EQ(table.TextAt(3), "");
    EXPECT_EQ(table.TextAt(4), "?");
    EXPECT_EQ(table.TextAt(100), "?");
}

TEST(TextTable, PackLineEndsAndNul)
{
    const TextTable crOnly = TextTable::FromPackBytes("000A\r001B\r002C");
    EXPECT_EQ(crOnly.TextAt(2), "C");
    const TextTable lfOnly = TextTable::FromPackBytes("000A\n001B\n");
    EXPECT_EQ(lfOnly.lineCount(), 2u);
    const TextTable mixed = TextTable::FromPackBytes("000A\n\r001B\r\n\n003D");
    EXPECT_EQ(mixed.TextAt(1), "");
    EXPECT_EQ(mixed.TextAt(2), "B");
    EXPECT_EQ(mixed.TextAt(4), "D");
    const TextTable nul = TextTable::FromPackBytes(std::string_view("000A\r\n001B\0\r\n002C", 17));
    EXPECT_EQ(nul.lineCount(), 2u);
    EXPECT_EQ(nul.TextAt(1), "B");
    EXPECT_EQ(nul.TextAt(2), "?");
}

TEST(TextTable, HundredLinePackAnswersQuestionMarkBeyond)
{
    std::string pack;
    for (int n = 0; n < 100; ++n)
        pack += "000text" + std::to_string(n) + "\r\n";
    const TextTable table = TextTable::FromPackBytes(pack);
    EXPECT_EQ(table.TextAt(99), "text99");
    for (std::size_t n = 100; n < kTextCount; ++n)
        EXPECT_EQ(table.TextAt(n), "?");
}

TEST(TextTable, TextsPastTheTableAreEnglishUnlessAPackTranslatesThem)
{
    constexpr std::size_t kChanged = kTextCount;
    const std::string_view english = "The file was changed by another program";
    EXPECT_EQ(TextTable().Text(TextId::ChangedOnDisk), english);

    std::string pack;
    for (std::size_t n = 0; n < kTextCount; ++n)
        pack += "000t\r\n";
    const std::string credits = pack + ">>> credits\r\n>>> more\r\n";
    EXPECT_EQ(TextTable::FromPackBytes(credits).TextAt(kChanged), english);
    EXPECT_EQ(TextTable::FromPackBytes(credits).TextAt(kChanged + 1),
              "Would you like to overwrite it?");
    EXPECT_EQ(TextTable::FromPackBytes(pack + "209Datei geaendert\r\n").TextAt(kChanged),
              "Datei geaendert");
}

TEST(TextTable, EmptyPackHasNoLines)
{
    const TextTable table = TextTable::FromPackBytes("");
    EXPECT_EQ(table.lineCount(), 0u);
    EXPECT_EQ(table.TextAt(0), "?");
}

} // namespace
} // namespace velmora::texts
