// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/FileSystem.h"

#include <string>
#include <string_view>

namespace velmora::audio {

/// The six texts a file node keeps, as read from the ID3v2 tag at the start
/// of a file. Texts are UTF-8 without bytes below 32 (each became a blank),
/// without leading or trailing blanks, and cut to the lengths of an ID3v1
/// field: 30 characters, the year 4.
struct Id3v2Text {
    bool present = false; ///< a tag with at least one of the frames below
    std::string title;    ///< TIT2 (TT2 in version 2.2)
    std::string artist;   ///< TPE1 (TP1)
    std::string album;    ///< TALB (TAL)
    int track = 0;        ///< the number before any "/" of TRCK (TRK); 0 without one
    std::string year;     ///< the leading digits (at most 4) of TYER, TDRC (TYE)
    std::string comment;  ///< the text of the first COMM (COM) without a description, else
                          ///< of the first COMM; whatever its language

    bool operator==(const Id3v2Text&) const = default;
};

/// The reader's rules for the texts it keeps: bytes below 32 become blanks
/// and blanks at both ends go (Cleaned); at most `characters` UTF-8
/// characters without blanks at the end (Cut); the leading digits, at most
/// `most` (LeadingDigits).
std::string Cleaned(std::string text);
std::string Cut(std::string text, std::size_t characters);
std::string LeadingDigits(std::string_view text, std::size_t most);

/// Reads the texts of the ID3v2 tag (version 2.2, 2.3 or 2.4) that begins at
/// offset 0 of `source`; `text` is reset first, and stays so when there is
/// no tag or it holds none of the frames.
///
/// Only frame headers and the wanted text frames are read: every other
/// frame (pictures above all) is stepped over by its size, so the cost does
/// not grow with the tag. A text frame is read up to 16 KiB.
///
/// - Encodings: 0 (ISO-8859-1, read like ID3v1 text: UTF-8 when it is valid
///   UTF-8, else Windows-1252), 1 (UTF-16 with a byte order mark; little
///   endian without one), 2 (UTF-16BE) and 3 (UTF-8). The first of several
///   strings counts.
/// - Unsynchronisation: of the whole tag in 2.2 and 2.3 (the tag, at most
///   4 MiB, is then read whole and resynchronised), of every frame by the
///   tag flag or of one frame by its flag in 2.4. Extended headers are
///   skipped. Compressed or encrypted frames are skipped, and so is a 2.2
///   tag with its compression flag.
/// - Sizes in 2.4 are syncsafe. Some writers put plain sizes there: a size
///   with a byte of 0x80 or more is read as plain, and a size that differs
///   between the two readings is read as plain when the syncsafe reading
///   does not end on a frame, padding or the tag's end and the plain one
///   does.
/// - A frame that claims more bytes than the tag holds ends the reading and
///   is not taken; the frames before it are kept.
void ReadId3v2Text(ByteSource& source, Id3v2Text& text);

} // namespace velmora::audio
