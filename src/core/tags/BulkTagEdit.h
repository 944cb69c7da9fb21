#pragma once

#include "audio/AudioInfo.h"
#include "audio/MPGTools.h"
#include "texts/TextIds.h"

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

/// The fields a bulk edit changes; the others keep their values.
struct TagChanges {
    std::optional<std::string> title, artist, album, track, year, comment;
};

/// Puts the changes into the record of `mpeg` (nothing is written yet); the
/// track through TrackByte.
void ApplyChanges(const TagChanges& changes, audio::TMPEGAudio& mpeg);

/// Writes or removes the tags of one file after another. Tags go into MPEG
/// audio only, as one of the two analysers accepts it: 128 bytes appended to
/// or cut off anything else (a collection, a text) would damage it. Each
/// call answers nothing when the file was changed, else the text of its
/// error: FileNotValid for a file that was read and is not audio,
/// FileDoesNotExist for one that cannot be opened, CannotWriteTag or
/// CannotRemoveTag when the change itself failed.
class BulkTagEditor {
public:
    /// `files` must outlive the editor.
    explicit BulkTagEditor(FileSystem& files);

    /// A file as the editor shows it.
    struct Shown {
        bool exists = false; ///< false: the file is gone, nothing else was read
        bool valid = false;  ///< audio that Write and Remove accept
        std::vector<std::string> fields = std::vector<std::string>(6); ///< ShownFields
    };
    /// Analyses `path` and answers what the editor shows of it. The fields
    /// come from ShownFields of the analysis, for audio and for anything else
    /// that happens to end in a tag.
    Shown Show(const std::string& path);

    /// Whether a file without an ID3v1 tag shows the texts of its ID3v2 tag
    /// (on unless switched off).
    void SetReadId3v2(bool on) { mpeg_.SetReadId3v2(on); }

    std::optional<texts::TextId> Write(const std::string& path, const TagChanges& changes);
    std::optional<texts::TextId> Remove(const std::string& path);

private:
    /// Analyses `path`; true for a file that was read and is not audio. A
    /// file that cannot be read is left to the writing, which reports it.
    bool ReadableButNotAudio(const std::string& path);

    FileSystem& files_;
    audio::TMPEGAudio mpeg_;
    audio::TAudioInfo info_;
};

} // namespace velmora::tags
