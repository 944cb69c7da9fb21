// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::tags {

/// The fields a tag edit changes; the others keep their values.
struct TagChanges {
    std::optional<std::string> title, artist, album, track, year, comment;
};

/// How a change of the ID3v2 tag of a file went. Anything but Done and
/// NoTag left the file as it was.
enum class Id3v2Outcome {
    Done,
    NoTag,           ///< the file does not begin with an ID3v2 tag: nothing was done
    FileMissing,     ///< nothing is there to open
    CannotOpen,      ///< the file or its folder does not let it be written
    WouldLoseFrames, ///< the tag, written again, would not keep all its other frames
    WriteFailed,     ///< reading or writing failed on the way
};

/// Writes into and removes the ID3v2 tag at the start of audio files. The
/// MPEG data after the tag is never changed; a file whose tag changes size
/// is written as a copy beside it that then takes its place, so a failure
/// or an interruption leaves the old file. A file without an ID3v2 tag
/// never gets one.
class Id3v2Writer {
public:
    virtual ~Id3v2Writer() = default;

    /// Writes the given fields into the tag, keeping its version and every
    /// other frame: title TIT2, artist TPE1, album TALB, track TRCK (a
    /// "/total" after the old number stays), year TDRC in 2.4 and TYER in 2.3,
    /// comment the first COMM without a description (a new one without one).
    /// An empty text removes its frame. A field whose new text KeepsId3v2Text
    /// says stands for the old one keeps its frame as it is.
    ///
    /// A non-empty `id3v1Block` (128 bytes) is written in the same go over
    /// the ID3v1 tag at the end, or after the last byte without one, so that
    /// an interrupted write leaves the file with both tags old or both new.
    /// NoTag writes nothing, not the block either.
    [[nodiscard]] virtual Id3v2Outcome Write(const std::string& path, const TagChanges& changes,
                                             std::string_view id3v1Block) = 0;

    /// Removes every ID3v2 tag at the start of the file and, with
    /// `alsoId3v1`, the ID3v1 tag at its end in the same go. NoTag removes
    /// nothing.
    [[nodiscard]] virtual Id3v2Outcome Remove(const std::string& path, bool alsoId3v1) = 0;
};

/// The fields of TagChanges, in their order.
enum class TagField { Title, Artist, Album, Track, Year, Comment };

/// Whether `wanted` for `field` stands for the ID3v2 text `current` as the
/// record and the tag editor show it, so that writing it must keep
/// `current`: the same text; `current` cut as an ID3v1 field (blanks for
/// bytes below 32, trimmed, 30 characters, the comment also 29); for the
/// track the same number before any "/"; for the year the same leading
/// digits. Writing the shown fields back then never cuts a longer text.
[[nodiscard]] bool KeepsId3v2Text(TagField field, std::string_view current,
                                  std::string_view wanted);

} // namespace velmora::tags
