// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/FileSystem.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::audio {

// ID3v1 and ID3v1.1: a 128-byte block at the very end of a file.
//
//   0 "TAG" | 3 title 30 | 33 artist 30 | 63 album 30 | 93 year 4 |
//   97 comment 30 (v1.1: 28 bytes, byte 125 zero, byte 126 track) | 127 genre
//
// Tag text is Windows-1252 by long practice. Readers give UTF-8: text that is
// valid UTF-8 already is kept, anything else is converted from Windows-1252.

inline constexpr std::size_t kId3v1Size = 128;

/// Tag text bytes as UTF-8 (see above).
std::string TagTextToUtf8(std::string_view bytes);

/// A text field up to its first zero byte (all of it without one).
std::string_view BeforeZero(std::string_view field);

/// The parts of a 128-byte block that begins with "TAG", as its readers take
/// them: the text fields at their full width (views into the block), byte
/// 125 (zero in ID3v1.1, before the track), byte 126 (the track in ID3v1.1)
/// and the genre byte 127. Each reader trims and judges them by its rules.
struct Id3v1Fields {
    std::string_view title;
    std::string_view artist;
    std::string_view album;
    std::string_view year;
    std::string_view comment; ///< 30 bytes: the track bytes included
    std::uint8_t byte125 = 0;
    std::uint8_t trackByte = 0;
    std::uint8_t genre = 0;
};

/// The fields of `block` (kId3v1Size bytes); false, leaving `fields` alone,
/// unless it begins with "TAG".
[[nodiscard]] bool SplitId3v1Block(const unsigned char* block, Id3v1Fields& fields);

/// How reading the last kId3v1Size of `length` bytes from `offset` on went.
enum class Id3v1Read { TooShort, Failed, Read };
[[nodiscard]] Id3v1Read ReadId3v1Block(ByteSource& source, std::int64_t offset, std::int64_t length,
                                       std::array<unsigned char, kId3v1Size>& block);

/// The reader of the bounded analyser. Text fields are cut before their
/// first zero byte and lose trailing bytes of code 32 or less; the track is
/// byte 126 only when byte 125 is zero (ID3v1.1), else 0.
class TID3v1Tag {
public:
    /// Decodes a 128-byte block; false and Present() false unless it begins
    /// with "TAG". Text members keep their old values when there is no tag.
    bool ReadFromBuffer(const unsigned char* buffer, std::size_t length);

    /// Reads the last 128 of `length` bytes from `offset` on. With fewer than
    /// 128 bytes there is no tag. False on a read error.
    [[nodiscard]] bool ReadFromStream(ByteSource& source, std::int64_t offset, std::int64_t length);

    bool Present = false;
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
    int Track = 0;     ///< 1..255, 0 when the tag has no track number
    int GenreCode = 0; ///< byte 127
};

/// A tag block as written: "TAG", each text converted to Windows-1252 ("?"
/// for characters it lacks) and cut to its field's bytes, the rest of each
/// field zero, the genre in byte 127 and, last, the track in byte 126 (which
/// replaces the 30th comment byte).
std::array<char, kId3v1Size> BuildId3v1Block(std::string_view title, std::string_view artist,
                                             std::string_view album, std::string_view year,
                                             std::string_view comment, std::uint8_t track,
                                             std::uint8_t genre);

/// Offset of the first byte after the ID3v2 tags at the start of `source`
/// (0 when there are none). A tag is "ID3", version 2 to 4, a revision below
/// 0xFF, flags, and a syncsafe size; its length is 10 + size, plus 10 with
/// the footer flag. Consecutive tags are skipped (at most 64); a header that
/// is malformed or claims more bytes than the source holds ends the skipping.
std::int64_t SkipId3v2Tags(ByteSource& source);

/// The length of the ID3v2 tag at `offset` of `source`, by the rules of
/// SkipId3v2Tags; 0 when there is none.
std::int64_t Id3v2TagLength(ByteSource& source, std::int64_t offset);

/// The major version (2, 3 or 4) of the ID3v2 tag that begins `source`, by
/// the header rules of SkipId3v2Tags; 0 without one.
int Id3v2Version(ByteSource& source);

} // namespace velmora::audio
