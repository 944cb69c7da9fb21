// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/ID3Tags.h"

#include "Frames.h"
#include "system/MemoryFile.h"

#include <gtest/gtest.h>

namespace velmora::audio {
namespace {

using testing::Id3v1;
using testing::Id3v2;

TID3v1Tag Read(const std::string& block)
{
    TID3v1Tag tag;
    tag.ReadFromBuffer(reinterpret_cast<const unsigned char*>(block.data()), block.size());
    return tag;
}

TEST(ID3v1Reader, FieldsAreCutAtZeroAndTrimmed)
{
    std::string block = Id3v1("Abcd", "Artist", "Album", "1999", "comment", 7, 17);
    block.replace(3, 30, "Abcd" + std::string(26, ' '));
    TID3v1Tag tag = Read(block);
    ASSERT_TRUE(tag.Present);
    EXPECT_EQ(tag.Title, "Abcd");
    EXPECT_EQ(tag.Artist, "Artist");
    EXPECT_EQ(tag.Year, "1999");
    EXPECT_EQ(tag.Comment, "comment");
    EXPECT_EQ(tag.Track, 7);
    EXPECT_EQ(tag.GenreCode, 17);

    block.replace(3, 30, std::string("Abcd\0xyz", 8) + std::string(22, 'q'));
    EXPECT_EQ(Read(block).Title, "Abcd");
    block.replace(3, 30, std::string(29, 'T') + "U");
    EXPECT_EQ(Read(block).Title, std::string(29, 'T') + "U");
    block.replace(93, 4, std::string("98\0\0", 4));
    EXPECT_EQ(Read(block).Year, "98");
}

TEST(ID3v1Reader, TrackOnlyInVersionOnePointOne)
{
    std::string block = Id3v1("t", "a", "b", "2000", "abc", 7);
    EXPECT_EQ(Read(block).Track, 7);
    EXPECT_EQ(Read(block).Comment, "abc");
    block[125] = 'x';
    block[126] = 'y';
    EXPECT_EQ(Read(block).Track, 0);
    EXPECT_EQ(Read(Id3v1("t", "a", "b", "2000", std::string(30, 'c'))).Track, 0);
}

TEST(ID3v1Reader, TextIsUtf8)
{
    EXPECT_EQ(Read(Id3v1("Mot\xF6rhead", "", "", "", "")).Title, "Motörhead");
    EXPECT_EQ(Read(Id3v1("Motörhead", "", "", "", "")).Title, "Motörhead");
}

TEST(ID3v1Reader, NoTagWithoutIdentifierOrBytes)
{
    TID3v1Tag tag = Read(Id3v1("Keep", "", "", "", ""));
    std::string notTag = Id3v1("Other", "", "", "", "");
    notTag[0] = 't';
    EXPECT_FALSE(
        tag.ReadFromBuffer(reinterpret_cast<const unsigned char*>(notTag.data()), notTag.size()));
    EXPECT_FALSE(tag.Present);
    EXPECT_EQ(tag.Title, "Keep"); // members stay as they were

    MemoryFile short127(std::string(127, 'x'));
    EXPECT_TRUE(tag.ReadFromStream(short127, 0, short127.size()));
    EXPECT_FALSE(tag.Present);

    MemoryFile tagged("audio" + Id3v1("T", "A", "B", "1", "C"));
    EXPECT_TRUE(tag.ReadFromStream(tagged, 0, tagged.size()));
    EXPECT_TRUE(tag.Present);
    EXPECT_EQ(tag.Title, "T");
    // The range is what counts: "TAG" 128 bytes before its end.
    EXPECT_TRUE(tag.ReadFromStream(tagged, 0, tagged.size() - 1));
    EXPECT_FALSE(tag.Present);
}

TEST(ID3v1Writer, BlockLayoutAndEncoding)
{
    const auto block =
        BuildId3v1Block("Motörhead", "Ω", "Album", "19999", std::string(30, 'c'), 9, 255);
    const std::string bytes(block.data(), block.size());
    EXPECT_EQ(bytes.substr(0, 3), "TAG");
    EXPECT_EQ(bytes.substr(3, 10), std::string("Mot\xF6rhead\0", 10));
    EXPECT_EQ(bytes.substr(33, 2), std::string("?\0", 2));
    EXPECT_EQ(bytes.substr(93, 4), "1999");
    EXPECT_EQ(bytes.substr(97, 29), std::string(29, 'c'));
    EXPECT_EQ(bytes[126], 9); // the track replaces the 30th comment byte
    EXPECT_EQ(static_cast<unsigned char>(bytes[127]), 255);
}

TEST(ID3v2Skip, SkipsConsecutiveTagsAndFooters)
{
    MemoryFile none("\xFF\xFB\x90\x64");
    EXPECT_EQ(SkipId3v2Tags(none), 0);

    MemoryFile one(Id3v2(std::string(3000, 'x')) + "audio");
    EXPECT_EQ(SkipId3v2Tags(one), 3010);

    MemoryFile two(Id3v2("abc") + Id3v2("defg", 4, true) + "audio");
    EXPECT_EQ(SkipId3v2Tags(two), 13 + 24);

    // A size beyond the end, or a size byte with its top bit set, is no tag.
    std::string truncated = Id3v2(std::string(3000, 'x')).substr(0, 2000);
    MemoryFile cut(truncated);
    EXPECT_EQ(SkipId3v2Tags(cut), 0);
    std::string bad = Id3v2("abc") + "audio";
    bad[9] = static_cast<char>(0x83);
    MemoryFile badSize(bad);
    EXPECT_EQ(SkipId3v2Tags(badSize), 0);
}

} // namespace
} // namespace velmora::audio
