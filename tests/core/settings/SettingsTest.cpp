// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Settings.h"

#include "platform/fakes/MemorySettingsStore.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>

namespace velmora::settings {

void PrintTo(const StoredValue& value, std::ostream* out)
{
    static constexpr const char* kTypes[] = {"text", "number", "flag", "other"};
    *out << value.name << " " << kTypes[static_cast<int>(value.type)] << " ";
    if (value.type == ValueType::Text)
        *out << '"' << value.text << '"';
    else
        *out << value.number;
}

namespace {

using fakes::MemorySettingsStore;

// The values as the program's documentation lists them: name, type, default,
// in the order of reading and writing. Written out here independently of the
// code's own table.
std::vector<StoredValue> DocumentedDefaults()
{
    std::vector<StoredValue> all;
    const auto text = [&](const std::string& name, const std::string& value = "") {
        all.push_back({name, ValueType::Text, value, 0});
    };
    const auto number = [&](const std::string& name, std::int32_t value) {
        all.push_back({name, ValueType::Number, "", value});
    };
    const auto flag = [&](const std::string& name, bool value) {
        all.push_back({name, ValueType::Flag, "", value ? 1 : 0});
    };
    text("LangName");
    text("CurrentCollection");
    number("FindArea", 0);
    text("NameText");
    number("NameArea", 1);
    flag("NameCase", false);
    const std::int32_t property[] = {1, 0, 0, 1, 0, 2, 1, 0, 0, 1, 2, 0, 1, 0, 2, 0, 0, 0};
    for (int i = 0; i <= 17; ++i)
        number("Property" + std::to_string(i), property[i]);
    for (int i = 1; i <= 6; ++i)
        text("TagText" + std::to_string(i));
    flag("AutoOpen", false);
    flag("UseWindowSettings", true);
    const int reportItems[] = {0, 0, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    for (int i = 1; i <= 20; ++i)
        flag("ReportItems" + std::to_string(i), reportItems[i - 1] != 0);
    const std::int32_t index[] = {1, 2, 3, 13, 14, 15, 16, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (int i = 1; i <= 16; ++i)
        number("ReportItemsIndex" + std::to_string(i), index[i - 1]);
    number("ReportFormat", 1);
    number("ReportScanning", 1);
    text("LastReportFile");
    text("LastOpenDir");
    text("LastSaveDir");
    flag("CompareName", true);
    flag("CompareProperty", false);
    for (int i = 1; i <= 5; ++i)
        text("LastCol" + std::to_string(i));
    text("LastDrive");
    number("LastZoom", 6);
    text("FontName", "Arial");
    number("FontSize", 36);
    number("FontColor", 0);
    number("FontCharSet", 0);
    for (int i = 1; i <= 4; ++i)
        flag("FontStyle" + std::to_string(i), false);
    number("Stretch1", 100);
    number("Stretch2", 100);
    flag("Author", false);
    const std::int32_t column[] = {300, 100, 100, 100, 70, 70, 100};
    for (int i = 0; i <= 6; ++i)
        number("Column" + std::to_string(i), column[i]);
    flag("GridLines", false);
    flag("HotTrack", false);
    flag("TagInfo", true);
    flag("Toolbar", true);
    flag("Statusbar", true);
    number("PanelWidth", kUnsetNumber);
    number("Top", kUnsetNumber);
    number("Left", kUnsetNumber);
    number("Height", kUnsetNumber);
    number("Width", kUnsetNumber);
    flag("ReportSorting", true);
    number("DuplicateArea", 1);
    number("ColumnToSort", 0);
    for (int i = 1; i <= 6; ++i)
        flag("TagField" + std::to_string(i), true);
    flag("AutoBackup", false);
    flag("Numeration", false);
    flag("AddDate", true);
    flag("CustomLabel", false);
    text("LabelText");
    text("PlayerCommand");
    flag("ReadID3v2", true);
    const std::int32_t detailColumn[] = {80, 70, 110, 90, 90};
    for (int i = 7; i <= 11; ++i)
        number("Column" + std::to_string(i), detailColumn[i - 7]);
    number("ShownColumns", 0);
    number("DetailSort", 0);
    flag("SortDescending", false);
    return all;
}

// Every stored value changed from its default: texts get a suffix, numbers
// grow by 7 (an unset number becomes 500), flags flip. "UseWindowSettings"
// stays true so that the bounds are read.
std::vector<StoredValue> EveryValueChanged()
{
    std::vector<StoredValue> all = StoredValues(Settings{});
    for (StoredValue& value : all) {
        switch (value.type) {
        case ValueType::Text:
            value.text += value.name + "-changed";
            break;
        case ValueType::Number:
            value.number = value.number == kUnsetNumber ? 500 : value.number + 7;
            break;
        case ValueType::Flag:
            if (value.name != "UseWindowSettings")
                value.number = 1 - value.number;
            break;
        case ValueType::Other:
            break;
        }
    }
    return all;
}

StoredValue* Find(std::vector<StoredValue>& values, const std::string& name)
{
    const auto found = std::find_if(values.begin(), values.end(),
                                    [&](const StoredValue& value) { return value.name == name; });
    return found == values.end() ? nullptr : &*found;
}

void Remove(std::vector<StoredValue>& values, const std::string& name)
{
    std::erase_if(values, [&](const StoredValue& value) { return value.name == name; });
}

std::size_t PositionOf(const std::string& name)
{
    const std::vector<StoredValue> all = StoredValues(Settings{});
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].name == name)
            return i;
    }
    ADD_FAILURE() << "no value " << name;
    return all.size();
}

// Checks that the values before `name` come from `stored` and the rest keep
// their defaults.
void ExpectReadUpTo(const Settings& settings, const std::vector<StoredValue>& stored,
                    const std::string& name)
{
    const std::vector<StoredValue> actual = StoredValues(settings);
    const std::vector<StoredValue> defaults = StoredValues(Settings{});
    const std::size_t stop = PositionOf(name);
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (i < stop) {
            const auto same = std::find(stored.begin(), stored.end(), actual[i]);
            EXPECT_NE(same, stored.end()) << actual[i].name << " was not read";
        } else {
            EXPECT_EQ(actual[i], defaults[i]) << actual[i].name << " lost its default";
        }
    }
}

TEST(Settings, DefaultsNamesTypesAndOrderFollowTheDocumentedTable)
{
    const std::vector<StoredValue> expected = DocumentedDefaults();
    const std::vector<StoredValue> actual = StoredValues(Settings{});
    ASSERT_EQ(actual.size(), 134u);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "value " << i;
}

TEST(Settings, MachineDependentDefaultsAreUnset)
{
    const Settings settings;
    EXPECT_FALSE(settings.panelWidth.has_value());
    EXPECT_FALSE(settings.top.has_value());
    EXPECT_FALSE(settings.left.has_value());
    EXPECT_FALSE(settings.height.has_value());
    EXPECT_FALSE(settings.width.has_value());
    EXPECT_EQ(settings.lastOpenDir, "");
    EXPECT_EQ(settings.lastSaveDir, "");
}

TEST(Settings, EveryValueChangedIsReadAndWrittenBackUnchanged)
{
    const std::vector<StoredValue> stored = EveryValueChanged();
    Settings settings;
    const ReadResult result = ReadSettings(stored, settings);
    EXPECT_EQ(result.stoppedAt, "");
    EXPECT_EQ(result.names.size(), 134u);
    EXPECT_EQ(StoredValues(settings), stored);

    EXPECT_EQ(settings.langName, "LangName-changed");
    EXPECT_EQ(settings.fontName, "ArialFontName-changed");
    EXPECT_EQ(settings.property[5], 9);
    EXPECT_EQ(settings.tagText[5], "TagText6-changed");
    EXPECT_FALSE(settings.reportItems[2]);
    EXPECT_TRUE(settings.reportItems[0]);
    EXPECT_EQ(settings.reportItemsIndex[3], 20);
    EXPECT_EQ(settings.lastCol[4], "LastCol5-changed");
    EXPECT_EQ(settings.stretch[1], 107);
    EXPECT_EQ(settings.column[0], 307);
    EXPECT_EQ(settings.panelWidth, 500);
    EXPECT_EQ(settings.top, 500);
    EXPECT_EQ(settings.width, 500);
    EXPECT_FALSE(settings.tagField[0]);
    EXPECT_EQ(settings.labelText, "LabelText-changed");
}

TEST(Settings, RecordWrittenToAStoreReadsBackTheSame)
{
    Settings written;
    written.langName = "Fran\xC3\xA7"
                       "ais";
    written.currentCollection = "/home/u/Music/all.col";
    written.findArea = 3;
    written.nameCase = true;
    written.property = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 255};
    written.tagText = {"a\tb", "c\nd", "e\\f", "", "1999", "\xE2\x82\xAC"};
    written.useWindowSettings = true;
    written.reportItems.fill(true);
    written.lastCol = {"/a.col", "/b.col", "", "", "/e.col"};
    written.fontStyle = {true, false, true, false};
    written.stretch = {50, 250};
    written.author = true;
    written.column = {1, 2, 3, 4, 5, 6, 7};
    written.panelWidth = 0;
    written.top = -1200;
    written.left = -5;
    written.height = 480;
    written.width = 640;
    written.customLabel = true;
    written.labelText = "My CDs";

    MemorySettingsStore store;
    ASSERT_TRUE(WriteSettings(store, written));
    EXPECT_EQ(store.writes, 1);
    Settings read;
    const ReadResult result = ReadSettings(store, read);
    EXPECT_EQ(result.stoppedAt, "");
    EXPECT_EQ(read, written);
}

TEST(Settings, UnsetValuesAreWrittenAsTheLowestNumberAndReadBackUnset)
{
    MemorySettingsStore store;
    ASSERT_TRUE(WriteSettings(store, Settings{}));
    EXPECT_EQ(Find(store.values, "PanelWidth")->number, kUnsetNumber);
    EXPECT_EQ(Find(store.values, "Top")->number, -2147483647 - 1);

    Settings read;
    read.panelWidth = 100;
    read.top = 10;
    EXPECT_TRUE(ReadSettings(store, read).stoppedAt.empty());
    EXPECT_EQ(read, Settings{});
}

TEST(Settings, WithoutAStoreEverythingKeepsItsDefault)
{
    MemorySettingsStore store;
    Settings settings;
    const ReadResult result = ReadSettings(store, settings);
    EXPECT_EQ(settings, Settings{});
    EXPECT_TRUE(result.names.empty());
    EXPECT_EQ(result.stoppedAt, "");
    EXPECT_FALSE(result.wasRead("LangName"));
}

TEST(Settings, AnEmptyStoreReadsTheLeadingTextsAsEmptyAndStopsAtTheFirstNumber)
{
    Settings settings;
    settings.langName = "kept?";
    const ReadResult result = ReadSettings(std::vector<StoredValue>{}, settings);
    EXPECT_EQ(settings.langName, "");
    EXPECT_EQ(result.names, (std::vector<std::string>{"LangName", "CurrentCollection"}));
    EXPECT_EQ(result.stoppedAt, "FindArea");
}

TEST(Settings, NumberStoredAsTextStopsTheReadingThere)
{
    std::vector<StoredValue> stored = EveryValueChanged();
    *Find(stored, "FontSize") = {"FontSize", ValueType::Text, "43", 0};
    Settings settings;
    const ReadResult result = ReadSettings(stored, settings);
    EXPECT_EQ(result.stoppedAt, "FontSize");
    EXPECT_EQ(result.names.size(), PositionOf("FontSize"));
    EXPECT_EQ(settings.fontName, "ArialFontName-changed");
    EXPECT_EQ(settings.fontSize, 36);
    EXPECT_EQ(settings.labelText, "");
    ExpectReadUpTo(settings, stored, "FontSize");
    EXPECT_TRUE(result.wasRead("FontName"));
    EXPECT_FALSE(result.wasRead("FontSize"));
    EXPECT_FALSE(result.wasRead("Column0"));
}

TEST(Settings, MissingFlagKeepsTheDefaultsFromThereOn)
{
    // A store written by an older program that did not know "ReportSorting".
    std::vector<StoredValue> stored = EveryValueChanged();
    Remove(stored, "ReportSorting");
    Settings settings;
    const ReadResult result = ReadSettings(stored, settings);
    EXPECT_EQ(result.stoppedAt, "ReportSorting");
    EXPECT_EQ(settings.width, 500);
    EXPECT_TRUE(settings.reportSorting);
    EXPECT_EQ(settings.duplicateArea, 1);
    EXPECT_TRUE(settings.tagField[5]);
    ExpectReadUpTo(settings, stored, "ReportSorting");
}

TEST(Settings, MissingElementOfARangeStopsTheReadingThere)
{
    std::vector<StoredValue> stored = EveryValueChanged();
    Remove(stored, "Property9");
    Settings settings;
    EXPECT_EQ(ReadSettings(stored, settings).stoppedAt, "Property9");
    EXPECT_EQ(settings.property[8], 7);
    EXPECT_EQ(settings.property[9], 1);
    ExpectReadUpTo(settings, stored, "Property9");
}

TEST(Settings, MissingTextReadsAsEmptyAndTheReadingGoesOn)
{
    std::vector<StoredValue> stored = EveryValueChanged();
    Remove(stored, "FontName");
    Remove(stored, "TagText3");
    Settings settings;
    const ReadResult result = ReadSettings(stored, settings);
    EXPECT_EQ(result.stoppedAt, "");
    EXPECT_EQ(settings.fontName, "");
    EXPECT_EQ(settings.tagText[2], "");
    EXPECT_EQ(settings.fontSize, 43);
    EXPECT_EQ(settings.labelText, "LabelText-changed");
    EXPECT_TRUE(result.wasRead("FontName"));
}

TEST(Settings, TextStoredAsNumberStopsTheReading)
{
    std::vector<StoredValue> stored = EveryValueChanged();
    *Find(stored, "LastDrive") = {"LastDrive", ValueType::Number, "", 4};
    Settings settings;
    EXPECT_EQ(ReadSettings(stored, settings).stoppedAt, "LastDrive");
    EXPECT_EQ(settings.lastDrive, "");
    ExpectReadUpTo(settings, stored, "LastDrive");
}

TEST(Settings, ValueOfAnotherTypeStopsTheReading)
{
    std::vector<StoredValue> stored = EveryValueChanged();
    Find(stored, "NameText")->type = ValueType::Other;
    Settings settings;
    EXPECT_EQ(ReadSettings(stored, settings).stoppedAt, "NameText");
    EXPECT_EQ(settings.currentCollection, "CurrentCollection-changed");
    ExpectReadUpTo(settings, stored, "NameText");
}

TEST(Settings, FlagsReadTrueWhenNotZeroAndNumbersAndFlagsShareTheirStorage)
{
    std::vector<StoredValue> stored = StoredValues(Settings{});
    *Find(stored, "NameCase") = {"NameCase", ValueType::Number, "", 7};
    *Find(stored, "TagInfo") = {"TagInfo", ValueType::Flag, "", -1};
    *Find(stored, "AddDate") = {"AddDate", ValueType::Number, "", 0};
    *Find(stored, "LastZoom") = {"LastZoom", ValueType::Flag, "", 3};
    Settings settings;
    EXPECT_EQ(ReadSettings(stored, settings).stoppedAt, "");
    EXPECT_TRUE(settings.nameCase);
    EXPECT_TRUE(settings.tagInfo);
    EXPECT_FALSE(settings.addDate);
    EXPECT_EQ(settings.lastZoom, 3);
}

TEST(Settings, WithoutWindowSettingsTheBoundsAreNotReadButEverythingElseIs)
{
    std::vector<StoredValue> stored = EveryValueChanged();
    Find(stored, "UseWindowSettings")->number = 0;
    Settings settings;
    ReadResult result = ReadSettings(stored, settings);
    EXPECT_EQ(result.stoppedAt, "");
    EXPECT_EQ(result.names.size(), 130u);
    EXPECT_FALSE(settings.useWindowSettings);
    EXPECT_FALSE(settings.top.has_value());
    EXPECT_FALSE(settings.left.has_value());
    EXPECT_FALSE(settings.height.has_value());
    EXPECT_FALSE(settings.width.has_value());
    EXPECT_EQ(settings.panelWidth, 500);
    EXPECT_EQ(settings.column[6], 107);
    EXPECT_FALSE(settings.reportSorting);
    EXPECT_EQ(settings.labelText, "LabelText-changed");
    EXPECT_FALSE(result.wasRead("Top"));
    EXPECT_TRUE(result.wasRead("Column3"));
    EXPECT_TRUE(result.wasRead("PanelWidth"));

    // Not read at all: bounds missing or of another type change nothing.
    Remove(stored, "Top");
    Find(stored, "Left")->type = ValueType::Text;
    Settings again;
    result = ReadSettings(stored, again);
    EXPECT_EQ(result.stoppedAt, "");
    EXPECT_EQ(again, settings);
}

TEST(Settings, WithWindowSettingsAMissingBoundStopsTheReading)
{
    std::vector<StoredValue> stored = EveryValueChanged();
    Remove(stored, "Height");
    Settings settings;
    EXPECT_EQ(ReadSettings(stored, settings).stoppedAt, "Height");
    EXPECT_EQ(settings.top, 500);
    EXPECT_EQ(settings.left, 500);
    EXPECT_FALSE(settings.height.has_value());
    ExpectReadUpTo(settings, stored, "Height");
}

TEST(Settings, StoreOrderDoesNotMatterTheLaterOfTwoEqualNamesCountsAndUnknownNamesAreIgnored)
{
    std::vector<StoredValue> stored = EveryValueChanged();
    std::reverse(stored.begin(), stored.end());
    stored.push_back({"LastZoom", ValueType::Number, "", 2});
    stored.push_back({"lastzoom", ValueType::Text, "x", 0});
    stored.push_back({"Unknown", ValueType::Other, "", 0});
    Settings settings;
    EXPECT_EQ(ReadSettings(stored, settings).stoppedAt, "");
    EXPECT_EQ(settings.lastZoom, 2);
    EXPECT_EQ(settings.labelText, "LabelText-changed");
}

TEST(Settings, ARefusedWriteLeavesTheStoreAsItWas)
{
    MemorySettingsStore store;
    Settings settings;
    settings.langName = "Deutsch";
    ASSERT_TRUE(WriteSettings(store, settings));
    store.failWrite = true;
    settings.langName = "Italiano";
    EXPECT_FALSE(WriteSettings(store, settings));
    Settings read;
    EXPECT_TRUE(ReadSettings(store, read).stoppedAt.empty());
    EXPECT_EQ(read.langName, "Deutsch");
}

TEST(Settings, StartFoldersFillOnlyEmptyFolders)
{
    Settings settings;
    ResolveStartFolders(settings, "/home/u");
    EXPECT_EQ(settings.lastOpenDir, "/home/u");
    EXPECT_EQ(settings.lastSaveDir, "/home/u");
    settings.lastSaveDir = "/media/cd";
    settings.lastOpenDir = "";
    ResolveStartFolders(settings, "/home/v");
    EXPECT_EQ(settings.lastOpenDir, "/home/v");
    EXPECT_EQ(settings.lastSaveDir, "/media/cd");
}

} // namespace
} // namespace velmora::settings
