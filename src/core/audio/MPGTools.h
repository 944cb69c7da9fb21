// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/ID3Tags.h"
#include "audio/Id3v2.h"
#include "system/FileSystem.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {
class Volumes;
}

namespace velmora::audio {

/// What TMPEGAudio knows about one file. Texts are UTF-8.
struct MpegRecord {
    std::string TagId = "BAD"; ///< "TAG" when an ID3v1 tag was read
    std::string Title;         ///< the file's name when it has no tag
    std::string Artist;
    std::string Album;
    std::string Year = "    "; ///< the tag's 4 bytes as they stand
    std::string Comment;
    std::uint8_t Genre = 255;
    std::uint8_t Track = 0;    ///< tag byte 126, whatever byte 125 holds
    std::int64_t Duration = 0; ///< seconds
    std::int64_t Length = 0;   ///< file length in bytes
    int Version = 0;           ///< 0 reserved, 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
    int Layer = 0;             ///< 1..3, 0 reserved
    int SampleRate = 0;        ///< Hz; 0 for the reserved index
    int BitRate = 0;           ///< kbit/s; 0 free/forbidden; -1 variable (Xing)
    int Mode = 0;              ///< 0 stereo, 1 joint, 2 dual channel, 3 single channel
    bool ErrorProt = false;    ///< the raw protection bit (1: no checksum follows)
    bool Padding = false;
    std::int64_t FrameLength = 0; ///< bytes; the average for a Xing stream
    std::int64_t FileDate = 0;    ///< packed date and time (PackedFileDate), 0 unknown
    std::uint32_t FileAttributes = 0;

    bool operator==(const MpegRecord&) const = default;
};

/// How an analysis ended. Whether the file is accepted is valid()'s answer
/// alone: a file may be read to its end and hold no audio.
enum class AnalysisStatus {
    Complete,   ///< a pair of frames was found, or the file has 5 bytes or fewer
    NotFound,   ///< no file at the name; Title says "[not found: NAME]"
    CannotOpen, ///< the file is there but could not be opened for reading
    ReadFailed, ///< a read failed during the frame search
    NoFrames,   ///< no pair of frames in the stretches searched
};

/// How WriteTag and RemoveTag went. Anything but Done left the file as it
/// was.
enum class TagWriteStatus {
    Done,
    FileMissing, ///< no file at the name
    CannotOpen,  ///< it could not be opened for writing (read-only, locked, ...)
    WriteFailed, ///< writing or cutting it failed
};

/// The main analyser of one audio file. It finds the first pair of frame
/// headers one frame apart, searching offsets 0 to 6 and then, for audio
/// longer than 20,000 bytes, 10,000 bytes from the middle (shorter audio to
/// its end); all of it counted from the end of ID3v2 tags in front. Then it
/// reads a Xing block and the ID3v1 tag, and the text of the leading ID3v2
/// tag when there is no ID3v1 tag. It writes and removes ID3v1 tags.
///
/// Accepted (valid()): Length > 5, version and layer not reserved, a known
/// file date, a bit rate above 0 or variable, a sample rate above 0.
///
/// One object serves many files: every Analyse starts from a reset record.
class TMPEGAudio {
public:
    /// `volumes` answers VolumeLabel(); without it the label is empty.
    explicit TMPEGAudio(FileSystem& files, const Volumes* volumes = nullptr)
        : files_(files), volumes_(volumes)
    {
    }

    /// Called every 300 bytes of the frame search (once per jump of the
    /// sync scan that passes such a mark), so that a user
    /// interface thread running the analysis can stay responsive.
    void setSearchStepHandler(std::function<void()> handler) { onSearchStep_ = std::move(handler); }

    /// False: the frame search steps through every byte instead of scanning
    /// for the sync bits with memchr. Both find the same frames; the byte
    /// steps are the reference the tests compare the scan with.
    void setSyncScan(bool on) { syncScan_ = on; }

    /// False: the text of ID3v2 tags is not read (id3v2() stays empty).
    void setReadId3v2(bool on) { readId3v2_ = on; }

    /// Stores the name (at most 255 bytes) and analyses the file (Analyse).
    [[nodiscard]] AnalysisStatus AnalyseFile(const std::string& name);
    /// The absolute name of the file last analysed.
    const std::string& FileName() const { return fileName_; }

    /// Analyses the file of FileName() again; the name is made absolute
    /// first. Judge the file by valid(), not by the status.
    [[nodiscard]] AnalysisStatus Analyse();

    /// Analyses bytes already open, as Analyse does for a file (never
    /// NotFound or CannotOpen).
    [[nodiscard]] AnalysisStatus AnalyseSource(ByteSource& source, const FileStatus& status);

    bool valid() const;
    bool hasTag() const { return record_.TagId == "TAG"; }
    /// Title if hasTag(), else "Unknown Title"; artist() likewise.
    std::string title() const;
    std::string artist() const;
    const MpegRecord& record() const { return record_; }
    /// Offset in the file of the first header of the pair that was found;
    /// none when the file was not accepted.
    std::optional<std::int64_t> firstFrameOffset() const
    {
        return valid() ? std::optional<std::int64_t>(firstHeader_) : std::nullopt;
    }
    /// The text of the ID3v2 tag at the start of the file (see
    /// ReadId3v2Text), kept only when the file has no ID3v1 tag; the
    /// record's tag fields stay as they are without one.
    const Id3v2Text& id3v2() const { return id3v2_; }
    /// Label of the file's volume (at most 20 bytes), "NO DISC" when it
    /// cannot be read; asked of the platform on first use per file.
    const std::string& VolumeLabel() const;

    /// Change the record only; WriteTag writes them. Texts are cut to 30
    /// characters (the year to 4).
    void setTitle(const std::string& text);
    void setArtist(const std::string& text);
    void setAlbum(const std::string& text);
    void setComment(const std::string& text);
    void setYear(const std::string& text);
    void setTrack(std::uint8_t track) { record_.Track = track; }

    /// The tag block WriteTag writes (BuildId3v1Block of the record).
    std::array<char, kId3v1Size> TagBlock() const;

    /// Writes the record's tag: over the last 128 bytes when they hold a
    /// tag, appended otherwise. The file is analysed again before returning.
    [[nodiscard]] TagWriteStatus WriteTag();
    /// Cuts a tag off the end of the file, if there is one (Done also when
    /// there is none); the file is analysed again before returning.
    [[nodiscard]] TagWriteStatus RemoveTag();

private:
    void BeginAnalysis();
    bool ParseHeader(std::uint32_t header);
    void ResetRecord();
    void ResetKeepingFile();
    /// Reads the ID3v1 tag from `file`, the ID3v2 text (without one) through
    /// `buffered`, which holds the start of the file already.
    void ReadTag(ByteSource& file, ByteSource& buffered);
    std::string_view BaseName() const;
    /// The analysis after a write or a removal, whose own result counts.
    void Reanalyse();

    FileSystem& files_;
    const Volumes* volumes_;
    std::function<void()> onSearchStep_;
    bool syncScan_ = true;
    bool readId3v2_ = true;
    Id3v2Text id3v2_;
    std::string fileName_;
    MpegRecord record_;
    std::int64_t audioStart_ = 0;   // end of the ID3v2 tags
    std::int64_t searchLimit_ = 0;  // file position, 0 = none
    std::int64_t firstHeader_ = -1; // position of the first header found
    mutable bool labelKnown_ = false;
    mutable std::string volumeLabel_;
};

/// The text cut to at most `characters` UTF-8 characters.
std::string CutCharacters(const std::string& text, std::size_t characters);
/// The bytes CutCharacters keeps.
std::size_t CutLength(std::string_view text, std::size_t characters);

} // namespace velmora::audio
