// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/Id3v2.h"

#include "Frames.h"
#include "TestDir.h"
#include "audio/FileRecord.h"
#include "audio/MPGTools.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "system/MemoryFile.h"

#include <gtest/gtest.h>

namespace velmora::audio {
namespace {

using namespace velmora::testing;
using namespace std::string_literals;

// ID3v2 tags built byte by byte: a 10-byte tag header, frames with 6-byte
// (version 2.2) or 10-byte headers.

std::string Syncsafe(std::uint32_t n)
{
    return {static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
            static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
}

std::string Plain32(std::uint32_t n)
{
    return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8),
            static_cast<char>(n)};
}

std::string Tag(int version, const std::string& body, unsigned char flags = 0)
{
    return std::string("ID3") + static_cast<char>(version) + '\0' + static_cast<char>(flags) +
           Syncsafe(static_cast<std::uint32_t>(body.size())) + body;
}

std::string Frame(int version, const std::string& id, const std::string& data,
                  unsigned char flags = 0)
{
    const auto n = static_cast<std::uint32_t>(data.size());
    if (version == 2)
        return id + static_cast<char>(n >> 16) + static_cast<char>(n >> 8) + static_cast<char>(n) +
               data;
    return id + (version == 4 ? Syncsafe(n) : Plain32(n)) + '\0' + static_cast<char>(flags) + data;
}

// UTF-8 letters of the Basic Multilingual Plane as UTF-16 code units.
std::string Utf16(std::u16string_view text, bool bigEndian)
{
    std::string out;
    for (const char16_t c : text) {
        const char hi = static_cast<char>(c >> 8);
        const char lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

// A text in `encoding`: 0 Latin-1 bytes, 1 UTF-16 with a BOM, 2 UTF-16BE,
// 3 UTF-8; the encoding byte first.
std::string Text(int encoding, std::u16string_view text, std::string_view latin1,
                 std::string_view utf8)
{
    std::string out(1, static_cast<char>(encoding));
    switch (encoding) {
    case 0:
        return out + std::string(latin1);
    case 1:
        return out + "\xFF\xFE" + Utf16(text, false);
    case 2:
        return out + Utf16(text, true);
    default:
        return out + std::string(utf8);
    }
}

const std::string kAudio = Stream(kMp3Header, kMp3FrameLength, 30);

class Id3v2Test : public ::testing::Test {
protected:
    const Id3v2Text& Read(const std::string& bytes)
    {
        MemoryFile file(bytes);
        ReadId3v2Text(file, text);
        return text;
    }
    Id3v2Text text;
};

TEST_F(Id3v2Test, EveryVersionAndEncoding)
{
    for (const int version : {2, 3, 4}) {
        for (const int encoding : {0, 1, 2, 3}) {
            SCOPED_TRACE(::testing::Message() << "version " << version << " encoding " << encoding);
            const bool shortIds = version == 2;
            const auto id = [&](const char* v22, const char* v23) {
                return std::string(shortIds ? v22 : v23);
            };
            const std::string nul = encoding == 1 || encoding == 2 ? std::string(2, '\0') : "\0"s;
            // The comment: language, a description, then the text.
            const std::string comment =
                Text(encoding, u"desc", "desc", "desc").insert(1, "eng") + nul +
                Text(encoding, u"Caf\u00E9 \u00BD", "Caf\xE9 \xBD", "Caf\xC3\xA9 \xC2\xBD")
                    .substr(1);
            const std::string body =
                Frame(version, id("TT2", "TIT2"),
                      Text(encoding, u"M\u00FCde",
                           "M\xFC"
                           "de",
                           "M\xC3\xBC"
                           "de")) +
                Frame(version, id("TP1", "TPE1"), Text(encoding, u"Art", "Art", "Art")) +
                Frame(version, id("TAL", "TALB"),
                      Text(encoding, u"A\u20AC", "A\x80", "A\xE2\x82\xAC")) +
                Frame(version, id("TRK", "TRCK"), Text(encoding, u"07/12", "07/12", "07/12")) +
                Frame(version, id("TYE", version == 4 ? "TDRC" : "TYER"),
                      Text(encoding, u"2004-05-06", "2004-05-06", "2004-05-06")) +
                Frame(version, id("COM", "COMM"), comment) + std::string(64, '\0');
            const Id3v2Text& t = Read(Tag(version, body) + kAudio);
            EXPECT_TRUE(t.present);
            EXPECT_EQ(t.title, "M\xC3\xBC"
                               "de");
            EXPECT_EQ(t.artist, "Art");
            // Latin-1 is read as Windows-1252: 0x80 is the euro sign.
            EXPECT_EQ(t.album, "A\xE2\x82\xAC");
            EXPECT_EQ(t.track, 7);
            EXPECT_EQ(t.year, "2004");
            EXPECT_EQ(t.comment, "Caf\xC3\xA9 \xC2\xBD");
        }
    }
}

TEST_F(Id3v2Test, LongTextIsCutAndControlBytesBecomeBlanks)
{
    const std::string body = Frame(3, "TIT2", "\x03  Line\none\x01" + std::string(40, 'x')) +
                             Frame(3, "TPE1", "\x03" + std::string(29, 'a') + "\xC3\xA9\xC3\xA9") +
                             Frame(3, "TALB", "\x00  "s);
    const Id3v2Text& t = Read(Tag(3, body));
    EXPECT_EQ(t.title, "Line one xxxxxxxxxxxxxxxxxxxxx");
    EXPECT_EQ(t.artist, std::string(29, 'a') + "\xC3\xA9"); // 30 characters, whole letters
    EXPECT_EQ(t.album, "");
}

TEST_F(Id3v2Test, FrameThatOverrunsTheTagEndsTheReading)
{
    std::string overrun = Frame(4, "TPE1",
                                "\x00"
                                "Artist"s);
    overrun.replace(4, 4, Syncsafe(5000));
    const std::string tag = Tag(4, Frame(4, "TIT2", "\x00Title"s) + overrun);
    const Id3v2Text& t = Read(tag + kAudio);
    EXPECT_EQ(t.title, "Title");
    EXPECT_EQ(t.artist, "");
    // The same frame as the last bytes of a file shorter than the tag says.
    EXPECT_EQ(Read(tag.substr(0, tag.size() - 3)).title, "Title");
}

TEST_F(Id3v2Test, PlainSizesOfBrokenWritersInVersion4)
{
    // A 256-byte frame whose size is written plain (00 00 01 00): read as
    // syncsafe it would be 128 bytes and end inside the text. And one of
    // 200 bytes (00 00 00 C8), which no syncsafe size can be.
    std::string album = Frame(4, "TALB", "\x00"s + std::string(255, 'b'));
    album.replace(4, 4, Plain32(256));
    std::string artist = Frame(4, "TPE1", "\x00"s + std::string(199, 'c'));
    artist.replace(4, 4, Plain32(200));
    const Id3v2Text& t = Read(Tag(4, album + artist + Frame(4, "TIT2", "\x00Title"s)) + kAudio);
    EXPECT_EQ(t.album, std::string(30, 'b'));
    EXPECT_EQ(t.artist, std::string(30, 'c'));
    EXPECT_EQ(t.title, "Title");
}

TEST_F(Id3v2Test, UnsynchronisedText)
{
    // Version 2.3, the whole tag: "\xFF\xFE" (the BOM) becomes FF 00 FE,
    // and the extended header is unsynchronised too.
    const std::string frame =
        Frame(3, "TIT2", "\x01" + std::string("\xFF\xFE") + Utf16(u"\u00FFx", false));
    std::string synced = "\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00"s + frame;
    std::string unsynced;
    for (std::size_t i = 0; i < synced.size(); ++i) {
        unsynced += synced[i];
        if (static_cast<unsigned char>(synced[i]) == 0xFF)
            unsynced += '\0';
    }
    EXPECT_EQ(Read(Tag(3, unsynced, 0x80 | 0x40) + kAudio).title, "\xC3\xBFx");

    // Version 2.4, one frame by its flag: UTF-16BE "\u00FF\u00FF".
    const std::string data = "\x02\x00\xFF\x00\x00\xFF"s;
    const std::string frame4 = Frame(4, "TPE1", data, 0x02);
    EXPECT_EQ(Read(Tag(4, frame4) + kAudio).artist, "\xC3\xBF\xC3\xBF");
}

class CountingFile final : public MemoryFile {
public:
    using MemoryFile::MemoryFile;
    std::int64_t readAt(std::int64_t offset, char* out, std::size_t count) override
    {
        ++reads;
        bytesRead += static_cast<std::int64_t>(count);
        return MemoryFile::readAt(offset, out, count);
    }
    int reads = 0;
    std::int64_t bytesRead = 0;
};

TEST(Id3v2Reads, PictureOfOneMegabyteIsSteppedOver)
{
    const std::string picture = "\x00image/jpeg\x00\x03\x00"s + std::string(1 << 20, '\xFF');
    const std::string tag = Tag(3, Frame(3, "TPE1",
                                         "\x00"
                                         "Before"s) +
                                       Frame(3, "APIC", picture) +
                                       Frame(3, "TIT2",
                                             "\x00"
                                             "After"s) +
                                       std::string(2048, '\0'));
    CountingFile file(tag + kAudio);
    fakes::FaultyFileSystem files;
    TMPEGAudio mpeg(files);
    FileStatus status;
    status.modified = 1'000'000'000;
    EXPECT_EQ(mpeg.AnalyseSource(file, status), AnalysisStatus::Complete);
    EXPECT_TRUE(mpeg.valid());
    EXPECT_EQ(mpeg.id3v2().artist, "Before");
    EXPECT_EQ(mpeg.id3v2().title, "After");
    // The tag skip, the frames, the first and second header, the Xing
    // look, the ID3v1 look and the frame headers around the picture.
    EXPECT_LE(file.reads, 8);
    EXPECT_LT(file.bytesRead, 64 * 1024);
}

class Id3v2RecordTest : public ::testing::Test {
protected:
    FileRecord Analyse(const std::string& bytes, bool readId3v2 = true)
    {
        const std::string path = dir.file("song.mp3");
        WriteBytes(path, bytes);
        FileAnalyser analyser(files, readId3v2);
        return analyser.Analyse(path);
    }
    TestDir dir;
    fakes::FaultyFileSystem files;
    const std::string tag = Tag(3, Frame(3, "TIT2", "\x00V2 title"s) + Frame(3, "TRCK",
                                                                             "\x00"
                                                                             "3"s));
};

TEST_F(Id3v2RecordTest, AnId3v1TagWins)
{
    const FileRecord both = Analyse(tag + kAudio + Id3v1("V1 title", "", "", "1999", ""));
    EXPECT_EQ(both.tags, (std::array<std::string, 6>{"V1 title", "", "", "", "1999", ""}));
    const FileRecord v2 = Analyse(tag + kAudio);
    EXPECT_EQ(v2.tags, (std::array<std::string, 6>{"V2 title", "", "", "3", "", ""}));
    // The bounded analyser's file (a single frame): the ID3v2 text as well.
    const FileRecord info = Analyse(tag + testing::Frame(kMp3Header, kMp3FrameLength));
    EXPECT_EQ(info.analyser, Analyser::Info);
    EXPECT_EQ(info.tags[0], "V2 title");
}

TEST_F(Id3v2RecordTest, SwitchedOff)
{
    const FileRecord record = Analyse(tag + kAudio, false);
    EXPECT_EQ(record.analyser, Analyser::Mpeg);
    EXPECT_EQ(record.tags, (std::array<std::string, 6>{}));
}

} // namespace
} // namespace velmora::audio
