// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/AudioInfo.h"
#include "audio/MPGTools.h"
#include "tags/Id3v2Writer.h"
#include "texts/TextIds.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {
class FileSystem;
}

namespace velmora::tags {

/// The track byte of a tag without track number.
inline constexpr std::uint8_t kNoTrack = 32;

/// The fields of the ID3v1 tag as the tag editor shows them for an analysed
/// file: title, artist, album, track, year and comment; without an ID3v1
/// tag, the text of the file's ID3v2 tag (a track of 1 to 255), and six
/// empty fields when it has neither. The track is empty for kNoTrack, the year ends
/// at its first zero byte, the comment is cut to 29 characters.
std::vector<std::string> ShownFields(const audio::TMPEGAudio& mpeg);

/// The track byte for a Track field: its number's lowest 8 bits, or kNoTrack
/// when the field is empty or not a number.
std::uint8_t TrackByte(std::string_view field);

/// False for a Track field that is a number outside 0 to 255, which would
/// lose its high bits in the track byte; true for any other field (empty or
/// not a number: no track).
[[nodiscard]] bool TrackInRange(std::string_view field);

/// Why there is no file at `path` to read or tag: PathIsFolder for a
/// folder, FileDoesNotExist when nothing (or nothing but a device or FIFO)
/// is there; nothing for a regular file.
[[nodiscard]] std::optional<texts::TextId> NoFileText(const FileSystem& files,
                                                      const std::string& path);

/// Puts the changes into the record of `mpeg` (nothing is written yet); the
/// track through TrackByte.
void ApplyChanges(const TagChanges& changes, audio::TMPEGAudio& mpeg);

/// The tags a file holds, as the tag editor and tag show name them:
/// "ID3v1", "ID3v2.3" and so on, separated by a blank; empty for none.
std::string TagKindsText(bool id3v1, int id3v2Version);

/// Which tags Remove takes away.
enum class TagParts { Id3v1, Id3v2, Both };

/// Writes or removes the tags of one file after another. Tags go into MPEG
/// audio only: 128 bytes appended to or cut off anything else (a program, a
/// font, a collection) would damage it. The analysers accept many such
/// files, one plausible frame header or two being enough for them, so a
/// file must also show one of these before its tag is changed:
/// - an ID3v1 tag at its end;
/// - an ID3v2 tag at its start;
/// - three frames one after another from the first frame an analyser
///   found, of one version, layer and sample rate (ConsecutiveFrames).
/// Each call answers nothing when the file was changed, else the text of
/// its error: FileNotValid for a file that was read and is not audio,
/// PathIsFolder for a folder, FileDoesNotExist for one that cannot be
/// opened, CannotWriteTag or CannotRemoveTag when the change itself failed.
///
/// Writing into a file without an ID3v1 tag that begins with an ID3v2 tag
/// (and SetReadId3v2 on) starts from the texts of that tag, as ShownFields
/// gives them, instead of the analyser's defaults (the file's name as
/// title, no artist): the ID3v1 tag wins over the ID3v2 tag when both are
/// there, so the fields not written keep what the file said.
///
/// With an Id3v2Writer, a file that begins with an ID3v2 tag has the same
/// changes written into that tag first (the full texts, not cut to the
/// ID3v1 fields); when that fails the file is left as it was and the ID3v1
/// tag is not written either. Without one only the ID3v1 tag is changed.
class BulkTagEditor {
public:
    /// `files` and `id3v2` (may be null) must outlive the editor.
    explicit BulkTagEditor(FileSystem& files, Id3v2Writer* id3v2 = nullptr);

    /// A file as the editor shows it.
    struct Shown {
        bool exists = false; ///< false: the file is gone, nothing else was read
        bool valid = false;  ///< audio that Write and Remove accept
        std::vector<std::string> fields = std::vector<std::string>(6); ///< ShownFields
        bool id3v1 = false;   ///< the file ends in an ID3v1 tag
        int id3v2Version = 0; ///< the major version of the ID3v2 tag it begins with; 0 none
    };
    /// Analyses `path` and answers what the editor shows of it. The fields
    /// come from ShownFields of the analysis, for audio and for anything else
    /// that happens to end in a tag.
    Shown Show(const std::string& path);

    /// The shown fields (ShownFields) of `paths` that differ from one file to
    /// another: for each field i (title, artist, album, track, year,
    /// comment) with `among[i]` set, whether two of the files that exist and
    /// are valid (as Show tells) hold different values in it.
    std::array<bool, 6> DifferingFields(const std::vector<std::string>& paths,
                                        const std::array<bool, 6>& among);

    /// Whether a file without an ID3v1 tag shows the texts of its ID3v2 tag
    /// (on unless switched off).
    void SetReadId3v2(bool on) { mpeg_.setReadId3v2(on); }

    [[nodiscard]] std::optional<texts::TextId> Write(const std::string& path,
                                                     const TagChanges& changes);
    /// Removes the ID3v1 tag, the ID3v2 tags at the start, or both (ID3v2
    /// only with an Id3v2Writer). A file without the tag is done.
    [[nodiscard]] std::optional<texts::TextId> Remove(const std::string& path,
                                                      TagParts parts = TagParts::Id3v1);

    /// The major version of the ID3v2 tag `path` begins with (0 without one
    /// or when it cannot be read).
    int Id3v2VersionOf(const std::string& path);

private:
    /// Analyses `path`; true for a file that was read and that its tag may
    /// not be changed in (see the class). A file that cannot be read is left
    /// to the writing, which reports it.
    bool ReadableButNotAudio(const std::string& path);

    FileSystem& files_;
    Id3v2Writer* id3v2_;
    audio::TMPEGAudio mpeg_;
    audio::TAudioInfo info_;
};

} // namespace velmora::tags
