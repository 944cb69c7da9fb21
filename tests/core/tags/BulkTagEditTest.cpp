// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/BulkTagEdit.h"

#include "TestDir.h"
#include "audio/FileRecord.h"
#include "core/audio/Frames.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "texts/TextIds.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace velmora::tags {
namespace {

using namespace velmora::testing;
using texts::TextId;

// An ID3v2.3 frame: id, plain 32-bit size, two flag bytes, data.
std::string V2Frame(const std::string& id, const std::string& data)
{
    const auto n = static_cast<std::uint32_t>(data.size());
    return id + static_cast<char>(n >> 24) + static_cast<char>(n >> 16) +
           static_cast<char>(n >> 8) + static_cast<char>(n) + std::string(2, '\0') + data;
}

// A Latin-1 text frame.
std::string V2Text(const std::string& id, const std::string& text)
{
    return V2Frame(id, '\0' + text);
}

class BulkTagEditTest : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.file(name);
        WriteBytes(path, bytes);
        return path;
    }

    TestDir dir;
    fakes::FaultyFileSystem files;
    BulkTagEditor editor{files};
    const std::string audio = Stream(kMp3Header, kMp3FrameLength, 5);
};

// The ID3v1 tag written into a file that has only an ID3v2 tag wins over
// that tag from then on: the fields not given must come from its texts, as
// the editor shows them, or the next scan loses them.
TEST_F(BulkTagEditTest, WritingIntoAFileWithOnlyAnId3v2TagKeepsItsTexts)
{
    const std::string v2 =
        Id3v2(V2Text("TIT2", "\xDC"
                             "berall") +
              V2Text("TPE1", "Band") + V2Text("TRCK", "4/12") + V2Text("TYER", "1987") +
              V2Frame("COMM", std::string("\0eng\0Liner notes", 16)));
    const std::string path = Make("song.mp3", v2 + audio);
    TagChanges changes;
    changes.album = "Best of";
    ASSERT_EQ(editor.Write(path, changes), std::nullopt);

    const std::string bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), v2.size() + audio.size() + 128);
    EXPECT_EQ(bytes.substr(0, v2.size() + audio.size()), v2 + audio);
    const std::vector<std::string> expected = {"Überall", "Band", "Best of",
                                               "4",       "1987", "Liner notes"};
    EXPECT_EQ(editor.Show(path).fields, expected);
    audio::FileAnalyser scan(files);
    const audio::FileRecord record = scan.Analyse(path);
    EXPECT_EQ(std::vector<std::string>(record.tags.begin(), record.tags.end()), expected);

    // A text the ID3v2 tag lacks stays as empty as the editor shows it; an
    // empty track is written as no track.
    const std::string titleOnly = Make("title_only.mp3", Id3v2(V2Text("TIT2", "Only")) + audio);
    ASSERT_EQ(editor.Write(titleOnly, changes), std::nullopt);
    EXPECT_EQ(editor.Show(titleOnly).fields,
              (std::vector<std::string>{"Only", "", "Best of", "", "", ""}));
    EXPECT_EQ(static_cast<unsigned char>(ReadBytes(titleOnly)[ReadBytes(titleOnly).size() - 2]),
              kNoTrack);

    // With ID3v2 texts switched off the editor shows none and keeps none.
    const std::string unread = Make("unread.mp3", v2 + audio);
    editor.SetReadId3v2(false);
    ASSERT_EQ(editor.Write(unread, changes), std::nullopt);
    EXPECT_EQ(editor.Show(unread).fields[0], "unread.mp3");
}

// Both analysers accept a file on one or two plausible frame headers, which
// many programs and fonts hold by chance. A tag goes only into a file with
// an ID3v1 tag, an ID3v2 tag in front or three frames one after another.
TEST_F(BulkTagEditTest, TagsGoOnlyIntoFilesThatShowMoreThanAPairOfHeaders)
{
    const std::string pair = Stream(kMp3Header, kMp3FrameLength, 2);
    // A jump table of machine code: entries of 16 bytes (jmp *disp(%rip),
    // push index, jmp back), whose last two bytes and the next entry's
    // first two read as MPEG-1 Layer I, 64 kbit/s, 48 kHz: 64 bytes a frame,
    // four entries.
    std::string table(64, '\0');
    for (std::uint32_t k = 0; k < 24; ++k) {
        const std::uint32_t disp = 0x2002 - 8 * k;
        const std::uint32_t back = 0u - 16 * (k + 2);
        const auto le = [](std::uint32_t v) {
            return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                               static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
        };
        table += "\xFF\x25" + le(disp) + "\x68" + le(k) + "\xE9" + le(back);
    }
    table += std::string(64, '\0');

    const struct {
        const char* name;
        std::string bytes;
        bool takesTag;
    } cases[] = {
        {"pair.mp3", pair, false},
        {"machine_code.mp3", table, false},
        {"pair_id3v1.mp3", pair + Id3v1("Title", "", "", "", ""), true},
        {"id3v2_pair.mp3", Id3v2(V2Text("TIT2", "Title")) + pair, true},
        {"three_frames.mp3", Stream(kMp3Header, kMp3FrameLength, 3), true},
    };
    audio::FileAnalyser scan(files);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Make(c.name, c.bytes);
        ASSERT_NE(scan.Analyse(path).analyser, audio::Analyser::None);
        EXPECT_EQ(editor.Show(path).valid, c.takesTag);
        TagChanges changes;
        changes.title = "New";
        if (c.takesTag) {
            EXPECT_EQ(editor.Write(path, changes), std::nullopt);
            EXPECT_EQ(editor.Show(path).fields[0], "New");
            EXPECT_EQ(editor.Remove(path), std::nullopt);
            EXPECT_NE(editor.Show(path).fields[0], "New");
        } else {
            EXPECT_EQ(editor.Write(path, changes), TextId::FileNotValid);
            EXPECT_EQ(editor.Remove(path), TextId::FileNotValid);
            EXPECT_EQ(ReadBytes(path), c.bytes);
        }
    }
}

// The real files of every kind take a tag; those that do not are no audio
// by the analysers either, or (a lone header of 5 bytes) not even a frame.
TEST_F(BulkTagEditTest, EveryRealAudioFixtureTakesATag)
{
    const std::set<std::string> refused = {"empty.mp3", "frame_header_only_5_bytes.mp3",
                                           "junk_30000_before_frame.mp3",
                                           "tag_start_only_127_bytes.mp3", "text_named_mp3.mp3"};
    int fixtures = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(VELMORA_TEST_DATA_DIR) + "/audio")) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(".md"))
            continue;
        SCOPED_TRACE(name);
        ++fixtures;
        EXPECT_EQ(editor.Show(entry.path().string()).valid, !refused.contains(name));
    }
    EXPECT_EQ(fixtures, 21);
}

// Among the selected files, only the fields asked about and only files that
// take a tag count.
TEST_F(BulkTagEditTest, DifferingFieldsComparesWhatTheEditorShows)
{
    const std::vector<std::string> paths = {
        Make("1.mp3", audio + Id3v1("One", "Band", "Album", "2001", "c", 1)),
        Make("2.mp3", audio + Id3v1("Two", "Band", "Album", "2001", "c", 2)),
        dir.file("missing.mp3"),
        Make("notes.mp3", "not audio" + Id3v1("Three", "Other", "", "", "")),
    };
    EXPECT_EQ(editor.DifferingFields(paths, {true, true, true, true, true, true}),
              (std::array<bool, 6>{true, false, false, true, false, false}));
    EXPECT_EQ(editor.DifferingFields(paths, {false, true, true, true, true, true}),
              (std::array<bool, 6>{false, false, false, true, false, false}));
    EXPECT_EQ(editor.DifferingFields({paths[0], paths[2], paths[3]},
                                     {true, true, true, true, true, true}),
              (std::array<bool, 6>{}));
}

TEST_F(BulkTagEditTest, AFolderIsToldAsAFolder)
{
    const std::string folder = dir.file("dir.mp3");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(NoFileText(files, folder), TextId::PathIsFolder);
    EXPECT_EQ(NoFileText(files, dir.file("gone.mp3")), TextId::FileDoesNotExist);
    EXPECT_EQ(NoFileText(files, Make("a.mp3", audio)), std::nullopt);
    TagChanges changes;
    changes.title = "New";
    EXPECT_EQ(editor.Write(folder, changes), TextId::PathIsFolder);
    EXPECT_EQ(editor.Remove(folder), TextId::PathIsFolder);
    EXPECT_EQ(editor.Write(dir.file("gone.mp3"), changes), TextId::FileDoesNotExist);
}

TEST(TrackInRange, NumbersAbove255OrBelow0LoseTheirHighBits)
{
    for (const char* fits : {"", "x7", "7x", "0", "1", "255", "07"})
        EXPECT_TRUE(TrackInRange(fits)) << fits;
    for (const char* lost : {"256", "300", "-1", "99999999999999999999999"})
        EXPECT_FALSE(TrackInRange(lost)) << lost;
}

} // namespace
} // namespace velmora::tags

namespace velmora::tags {
namespace {

// What the editor shows of an ID3v2 text (cut, trimmed, the track's number,
// the year's digits) written back must keep the text in the tag; anything
// else is a change.
TEST(KeepsId3v2TextTest, ShownTextKeepsTheFullTextAndAChangeIsWritten)
{
    const std::string longTitle = "  A title of well over thirty characters \xE2\x98\xBA";
    EXPECT_TRUE(KeepsId3v2Text(TagField::Title, longTitle, "A title of well over thirty ch"));
    EXPECT_FALSE(KeepsId3v2Text(TagField::Title, longTitle, "A title of well over thirty"));
    EXPECT_FALSE(KeepsId3v2Text(TagField::Title, "Old", "New"));
    // Thirty characters, the 30th of two bytes, tabs read as blanks.
    const std::string wide = std::string(29, 'x') + "\xC3\xA9" + "tail";
    EXPECT_TRUE(KeepsId3v2Text(TagField::Artist, wide, std::string(29, 'x') + "\xC3\xA9"));
    EXPECT_TRUE(KeepsId3v2Text(TagField::Album, "Two\twords", "Two words"));
    // The comment shows 29 characters.
    const std::string comment(40, 'c');
    EXPECT_TRUE(KeepsId3v2Text(TagField::Comment, comment, std::string(29, 'c')));
    EXPECT_TRUE(KeepsId3v2Text(TagField::Comment, comment, std::string(30, 'c')));
    EXPECT_FALSE(KeepsId3v2Text(TagField::Comment, comment, ""));

    EXPECT_TRUE(KeepsId3v2Text(TagField::Track, "07/12", "7"));
    EXPECT_FALSE(KeepsId3v2Text(TagField::Track, "07/12", "8"));
    EXPECT_FALSE(KeepsId3v2Text(TagField::Track, "07/12", ""));
    EXPECT_TRUE(KeepsId3v2Text(TagField::Track, "", "0"));
    EXPECT_FALSE(KeepsId3v2Text(TagField::Track, "", "3"));
    EXPECT_TRUE(KeepsId3v2Text(TagField::Year, "1999-05-12", "1999"));
    EXPECT_FALSE(KeepsId3v2Text(TagField::Year, "1999-05-12", "2001"));
    EXPECT_FALSE(KeepsId3v2Text(TagField::Year, "1999", ""));
}

} // namespace
} // namespace velmora::tags
