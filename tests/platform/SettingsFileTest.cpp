// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SettingsFile.h"

#include "TestDir.h"
#include "platform/PosixFileSystem.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "settings/Settings.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sys/stat.h>

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

} // namespace velmora::settings

namespace velmora::platform {
namespace {

using settings::ReadResult;
using settings::Settings;
using settings::StoredValue;
using settings::ValueType;
using testing::ReadBytes;
using testing::TestDir;
using testing::WriteBytes;

StoredValue Text(const std::string& name, const std::string& text)
{
    return {name, ValueType::Text, text, 0};
}
StoredValue Number(const std::string& name, std::int32_t number)
{
    return {name, ValueType::Number, "", number};
}
StoredValue Flag(const std::string& name, bool on)
{
    return {name, ValueType::Flag, "", on ? 1 : 0};
}
StoredValue Other(const std::string& name)
{
    return {name, ValueType::Other, "", 0};
}

// A record far from the defaults, with texts that need escaping.
Settings Sample()
{
    Settings s;
    s.langName = "Deutsch";
    s.currentCollection = "/home/u/Musik/Sammlung \xC3\xBC"
                          "ber alles.col";
    s.findArea = 2;
    s.nameText = "tab\there";
    s.nameArea = 3;
    s.nameCase = true;
    s.property = {0, 1, 1, 0, 1, 0, 0, 1, 2, 0, 1, 0, 0, 1, 0, 1, 1, 1};
    s.tagText = {"line\none",     "back\\slash",    "cr\rhere",
                 "\\t not a tab", "\xE2\x82\xAC 5", "\xFF\xFE raw"};
    s.autoOpen = true;
    s.reportItems.fill(true);
    s.reportItemsIndex = {16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    s.reportFormat = 3;
    s.lastReportFile = "/tmp/report.html";
    s.lastOpenDir = "/home/u";
    s.lastSaveDir = "/home/u/out";
    s.lastCol = {"/a.col", "", "/c\t.col", "", "/e.col"};
    s.fontName = "DejaVu Sans";
    s.fontColor = 0x00FF8040;
    s.fontStyle = {true, true, false, true};
    s.stretch = {80, 120};
    s.author = true;
    s.column = {250, 90, 91, 92, 60, 61, 99};
    s.gridLines = true;
    s.statusbar = false;
    s.panelWidth = 333;
    s.top = -20;
    s.left = 1920;
    s.height = 700;
    s.width = 1000;
    s.reportSorting = false;
    s.duplicateArea = 2;
    s.columnToSort = 4;
    s.tagField = {true, false, true, false, true, false};
    s.autoBackup = true;
    s.customLabel = true;
    s.labelText = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
    s.playerCommand = "\"my player\" -e %f";
    return s;
}

class SettingsFileTest : public ::testing::Test {
protected:
    TestDir dir;
    PosixFileSystem files;
    std::string path = dir.file("config/velmora/settings");
};

TEST(SettingsFilePath, FollowsXdgConfigHomeElseTheHomeFolder)
{
    EXPECT_EQ(SettingsPathFrom("/x/cfg", "/home/u"), "/x/cfg/velmora/settings");
    EXPECT_EQ(SettingsPathFrom(nullptr, "/home/u"), "/home/u/.config/velmora/settings");
    EXPECT_EQ(SettingsPathFrom("", "/home/u"), "/home/u/.config/velmora/settings");
    // A relative XDG_CONFIG_HOME is not valid and is ignored.
    EXPECT_EQ(SettingsPathFrom("cfg", "/home/u/"), "/home/u/.config/velmora/settings");
    EXPECT_EQ(SettingsPathFrom(nullptr, ""), "");
}

TEST(SettingsFilePath, ReadsTheEnvironment)
{
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("XDG_CONFIG_HOME", "/srv/conf", 1);
    EXPECT_EQ(SettingsPath(), "/srv/conf/velmora/settings");
    ::unsetenv("XDG_CONFIG_HOME");
    const std::string fallback = SettingsPath();
    EXPECT_TRUE(fallback.ends_with("/.config/velmora/settings")) << fallback;
    if (const char* home = std::getenv("HOME")) {
        EXPECT_EQ(fallback, std::string(home) + "/.config/velmora/settings");
    }
    if (saved)
        ::setenv("XDG_CONFIG_HOME", saved->c_str(), 1);
}

TEST(SettingsFileFormat, OneTypedLinePerValue)
{
    EXPECT_EQ(
        EncodeSettings({Text("LangName", "Deutsch"), Number("FindArea", -12),
                        Flag("NameCase", true), Flag("AutoOpen", false), Text("NameText", "")}),
        "# Velmora settings\n"
        "LangName\ttext\tDeutsch\n"
        "FindArea\tnumber\t-12\n"
        "NameCase\tflag\t1\n"
        "AutoOpen\tflag\t0\n"
        "NameText\ttext\t\n");
}

TEST(SettingsFileFormat, EscapesBackslashTabLineFeedAndCarriageReturnOnly)
{
    const std::string text = "a\\b\tc\nd\re \\t \xC3\xA9\x01";
    EXPECT_EQ(EncodeSettings({Text("T", text)}),
              "# Velmora settings\nT\ttext\ta\\\\b\\tc\\nd\\re \\\\t \xC3\xA9\x01\n");
    const std::vector<StoredValue> values = {
        Text("Tabs", "\t\t"),
        Text("Lines", "\n\r\n"),
        Text("Slashes", "\\\\\\"),
        Text("Trailing", "end\\"),
        Text("Unicode", "\xF0\x9F\x8E\xB5 \xD0\x9C\xD1\x83\xD0\xB7\xD1\x8B\xD0\xBA\xD0\xB0"),
        Text("Bytes", std::string("\x00\xFF\x80 #", 5)),
        Text("", "empty name"),
        Text("Name\twith tab", "x"),
        Number("Lowest", -2147483647 - 1),
        Number("Highest", 2147483647),
        Flag("On", true),
    };
    EXPECT_EQ(DecodeSettings(EncodeSettings(values)), values);
}

TEST(SettingsFileFormat, DamagedLinesReadAsValuesOfAnotherType)
{
    const std::string bytes = "# comment\n"
                              "\n"
                              "Good\ttext\tyes\r\n"
                              "Kind\tstring\tx\n"
                              "Big\tnumber\t2147483648\n"
                              "Plus\tnumber\t+1\n"
                              "Blank\tnumber\t\n"
                              "Spaced\tnumber\t 1\n"
                              "Word\tflag\ttrue\n"
                              "Escape\ttext\tbad \\q\n"
                              "Dangling\ttext\tend\\\n"
                              "NoValue\tnumber\n"
                              "NoTab\n"
                              "Bad\\xname\ttext\tdropped\n"
                              "Fine\tnumber\t-7\n"
                              "Cut\tnumber\t12";
    const std::vector<StoredValue> expected = {
        Text("Good", "yes"), Other("Kind"),    Other("Big"),   Other("Plus"),
        Other("Blank"),      Other("Spaced"),  Other("Word"),  Other("Escape"),
        Other("Dangling"),   Other("NoValue"), Other("NoTab"), Number("Fine", -7),
        Other("Cut"),
    };
    EXPECT_EQ(DecodeSettings(bytes), expected);
}

TEST_F(SettingsFileTest, WritesTheWholeRecordAndReadsItBack)
{
    SettingsFile file(files, path);
    ASSERT_TRUE(WriteSettings(file, Sample()));
    Settings read;
    const ReadResult result = ReadSettings(file, read);
    EXPECT_EQ(result.stoppedAt, "");
    EXPECT_EQ(result.names.size(), 134u);
    EXPECT_EQ(read, Sample());

    // A second run writes the same bytes.
    const std::string first = ReadBytes(path);
    ASSERT_TRUE(WriteSettings(file, read));
    EXPECT_EQ(ReadBytes(path), first);
    EXPECT_TRUE(first.starts_with("# Velmora settings\nLangName\ttext\tDeutsch\n"));
    EXPECT_NE(first.find("\nTagText1\ttext\tline\\none\n"), std::string::npos);
    EXPECT_NE(first.find("\nTop\tnumber\t-20\nLeft\tnumber\t1920\n"), std::string::npos);
    EXPECT_NE(first.find("\nLabelText\ttext\t\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n"),
              std::string::npos);
    EXPECT_NE(first.find("\nPlayerCommand\ttext\t\"my player\" -e %f\nReadID3v2\tflag\t1\n"),
              std::string::npos);
    EXPECT_TRUE(first.ends_with("\nSortDescending\tflag\t0\n"));
}

TEST_F(SettingsFileTest, CreatesMissingFoldersPrivateToTheUser)
{
    SettingsFile file(files, path);
    ASSERT_TRUE(WriteSettings(file, Settings{}));
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("config/velmora").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(dir.file("config").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    Settings read;
    read.fontSize = 1;
    EXPECT_TRUE(ReadSettings(file, read).stoppedAt.empty());
    EXPECT_EQ(read, Settings{});
}

TEST_F(SettingsFileTest, AMissingFileReadsNothing)
{
    SettingsFile file(files, path);
    std::vector<StoredValue> values = {Text("x", "y")};
    EXPECT_FALSE(file.read(values));
    EXPECT_TRUE(values.empty());
    Settings read;
    const ReadResult result = ReadSettings(file, read);
    EXPECT_TRUE(result.names.empty());
    EXPECT_EQ(read, Settings{});
}

TEST_F(SettingsFileTest, ADamagedNumberStopsTheReadingThere)
{
    SettingsFile file(files, path);
    ASSERT_TRUE(WriteSettings(file, Sample()));
    std::string bytes = ReadBytes(path);
    const std::string line = "\nFontColor\tnumber\t16744512\n";
    const std::size_t at = bytes.find(line);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, line.size(), "\nFontColor\tnumber\t0xFF8040\n");
    WriteBytes(path, bytes);

    Settings read;
    EXPECT_EQ(ReadSettings(file, read).stoppedAt, "FontColor");
    EXPECT_EQ(read.fontName, "DejaVu Sans");
    EXPECT_EQ(read.fontColor, 0);
    EXPECT_EQ(read.column, Settings{}.column);
    EXPECT_FALSE(read.top.has_value());
}

TEST_F(SettingsFileTest, EveryTruncationReadsAPrefixAndKeepsTheRestAsDefaults)
{
    SettingsFile file(files, path);
    ASSERT_TRUE(WriteSettings(file, Sample()));
    const std::string whole = ReadBytes(path);
    const std::vector<StoredValue> sample = settings::StoredValues(Sample());
    const std::vector<StoredValue> defaults = settings::StoredValues(Settings{});
    for (std::size_t size = 0; size <= whole.size(); ++size) {
        WriteBytes(path, std::string_view(whole).substr(0, size));
        Settings read;
        const ReadResult result = ReadSettings(file, read);
        const std::vector<StoredValue> actual = settings::StoredValues(read);
        ASSERT_EQ(actual.size(), sample.size());
        std::size_t taken = 0;
        for (std::size_t i = 0; i < actual.size(); ++i) {
            if (!result.wasRead(actual[i].name)) {
                ASSERT_EQ(actual[i], defaults[i]) << "size " << size;
                continue;
            }
            ++taken;
            // A value read is the written one, or a text missing from the
            // cut file and so read as empty.
            if (actual[i] != sample[i]) {
                ASSERT_EQ(actual[i], Text(sample[i].name, "")) << "size " << size;
            }
        }
        ASSERT_EQ(taken, result.names.size());
        if (size == whole.size()) {
            ASSERT_EQ(read, Sample());
        }
        if (result.stoppedAt.empty()) {
            ASSERT_EQ(result.names.size(), 134u) << "size " << size;
        }
    }
}

TEST_F(SettingsFileTest, GarbageNeverCrashesTheReading)
{
    SettingsFile file(files, path);
    ASSERT_TRUE(WriteSettings(file, Sample()));
    const std::string whole = ReadBytes(path);
    std::mt19937 random(20240601);
    constexpr char kBytes[] = {'\t', '\n', '\r', '\\', '#', '-', '0', '9', 'x', '\0', '\xFF'};
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = whole;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int c = 0; c < changes; ++c)
            bytes[random() % bytes.size()] = kBytes[random() % sizeof(kBytes)];
        WriteBytes(path, bytes);
        Settings read;
        const ReadResult result = ReadSettings(file, read);
        ASSERT_LE(result.names.size(), 134u);
    }
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 4096, '\0');
        for (char& b : bytes)
            b = static_cast<char>(random() % 4 == 0 ? kBytes[random() % sizeof(kBytes)]
                                                    : static_cast<char>(random()));
        WriteBytes(path, bytes);
        Settings read;
        ASSERT_LE(ReadSettings(file, read).names.size(), 134u);
    }
}

TEST_F(SettingsFileTest, AFailedWriteLeavesThePreviousFile)
{
    fakes::FaultyFileSystem faulty;
    SettingsFile file(faulty, path);
    ASSERT_TRUE(WriteSettings(file, Sample()));
    const std::string before = ReadBytes(path);
    Settings changed = Sample();
    changed.langName = "Italiano";

    const auto expectUnchanged = [&](const char* fault) {
        EXPECT_FALSE(WriteSettings(file, changed)) << fault;
        EXPECT_EQ(ReadBytes(path), before) << fault;
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& entry :
             std::filesystem::directory_iterator(dir.file("config/velmora")))
            ++entries;
        EXPECT_EQ(entries, 1u) << fault << ": a temporary file was left";
    };
    faulty.failCreate = true;
    expectUnchanged("create");
    faulty.failCreate = false;
    faulty.failWriteAfter = 100;
    expectUnchanged("write");
    faulty.failWriteAfter = static_cast<std::size_t>(-1);
    faulty.failFlush = true;
    expectUnchanged("flush");
    faulty.failFlush = false;
    faulty.failCommit = true;
    expectUnchanged("commit");
    faulty.failCommit = false;

    ASSERT_TRUE(WriteSettings(file, changed));
    Settings read;
    EXPECT_TRUE(ReadSettings(file, read).stoppedAt.empty());
    EXPECT_EQ(read.langName, "Italiano");
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadReadsNothing)
{
    fakes::FaultyFileSystem faulty;
    SettingsFile file(faulty, path);
    ASSERT_TRUE(WriteSettings(file, Sample()));
    faulty.failRead = true;
    Settings read;
    EXPECT_TRUE(ReadSettings(file, read).names.empty());
    EXPECT_EQ(read, Settings{});
}

TEST_F(SettingsFileTest, AFolderInTheWayFailsTheWrite)
{
    WriteBytes(dir.file("config"), "a file, not a folder");
    SettingsFile file(files, path);
    EXPECT_FALSE(WriteSettings(file, Settings{}));
    EXPECT_EQ(ReadBytes(dir.file("config")), "a file, not a folder");
}

} // namespace
} // namespace velmora::platform
