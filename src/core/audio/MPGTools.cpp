// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/MPGTools.h"

#include "audio/AudioInfo.h"
#include "audio/BufferedReader.h"
#include "audio/ID3Tags.h"
#include "audio/MpegTables.h"
#include "system/Volumes.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

namespace velmora::audio {

namespace {

constexpr std::size_t kMaxFileName = 255;
constexpr std::int64_t kMiddleJumpAbove = 20000;
constexpr std::int64_t kMiddleStretch = 10000;
constexpr std::int64_t kStepEvery = 300;

std::string_view WithoutTrailingZerosAndSpaces(std::string_view text)
{
    while (!text.empty() && (text.back() == '\0' || text.back() == ' '))
        text.remove_suffix(1);
    return text;
}

std::string TagField(std::string_view raw)
{
    return TagTextToUtf8(WithoutTrailingZerosAndSpaces(BeforeZero(raw)));
}

bool IsUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

std::size_t CutLength(std::string_view text, std::size_t characters)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsUtf8Continuation(text[i]))
            continue;
        if (count == characters)
            return i;
        ++count;
    }
    return text.size();
}

std::string CutCharacters(const std::string& text, std::size_t characters)
{
    return text.substr(0, CutLength(text, characters));
}

void TMPEGAudio::ResetRecord()
{
    // Copied from a fresh record, so that the texts keep their storage.
    static const MpegRecord kFresh;
    record_ = kFresh;
}

void TMPEGAudio::ResetKeepingFile()
{
    const std::int64_t fileDate = record_.FileDate;
    const std::uint32_t fileAttributes = record_.FileAttributes;
    const std::int64_t length = record_.Length;
    ResetRecord();
    record_.FileDate = fileDate;
    record_.FileAttributes = fileAttributes;
    record_.Length = length;
}

std::string_view TMPEGAudio::BaseName() const
{
    const std::string_view name = fileName_;
    const std::size_t slash = name.rfind('/');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

bool TMPEGAudio::valid() const
{
    const MpegRecord& r = record_;
    return r.Length > 5 && r.Version != 0 && r.Layer != 0 && r.FileDate != 0 &&
           (r.BitRate == -1 || r.BitRate > 0) && r.SampleRate > 0;
}

std::string TMPEGAudio::title() const
{
    return hasTag() ? record_.Title : "Unknown Title";
}

std::string TMPEGAudio::artist() const
{
    return hasTag() ? record_.Artist : "Unknown Artist";
}

const std::string& TMPEGAudio::VolumeLabel() const
{
    if (!labelKnown_) {
        volumeLabel_ = volumes_ && record_.Length > 0
                           ? CutCharacters(DriveLabel(*volumes_, fileName_), 20)
                           : std::string();
        labelKnown_ = true;
    }
    return volumeLabel_;
}

void TMPEGAudio::setTitle(const std::string& text)
{
    record_.Title = CutCharacters(text, 30);
}

void TMPEGAudio::setArtist(const std::string& text)
{
    record_.Artist = CutCharacters(text, 30);
}

void TMPEGAudio::setAlbum(const std::string& text)
{
    record_.Album = CutCharacters(text, 30);
}

void TMPEGAudio::setComment(const std::string& text)
{
    record_.Comment = CutCharacters(text, 30);
}

void TMPEGAudio::setYear(const std::string& text)
{
    record_.Year = CutCharacters(text, 4);
}

AnalysisStatus TMPEGAudio::AnalyseFile(const std::string& name)
{
    fileName_.assign(name, 0, kMaxFileName);
    return Analyse();
}

// Header bits (big-endian 32 bits): 31-21 sync, 20-19 version, 18-17 layer,
// 16 protection, 15-12 bit rate, 11-10 sample rate, 9 padding, 7-6 mode.
bool TMPEGAudio::ParseHeader(std::uint32_t header)
{
    MpegRecord& r = record_;
    r.Version = r.Layer = r.SampleRate = r.Mode = r.BitRate = 0;
    r.ErrorProt = r.Padding = false;
    r.FrameLength = 0;
    if ((header & 0xFFE00000u) != 0xFFE00000u)
        return false;
    constexpr int kVersions[4] = {3, 0, 2, 1};
    r.Version = kVersions[(header >> 19) & 3];
    if (r.Version == 0)
        return valid();
    const int layerBits = (header >> 17) & 3;
    r.Layer = layerBits == 0 ? 0 : 4 - layerBits;
    r.SampleRate = std::max(0, SampleRateHz(r.Version, (header >> 10) & 3));
    r.ErrorProt = ((header >> 16) & 1) != 0;
    r.Mode = (header >> 6) & 3;
    r.Padding = ((header >> 9) & 1) != 0;
    r.BitRate =
        r.Layer == 0 ? 0 : std::max(0, BitRateKbps(r.Version, r.Layer, (header >> 12) & 15));
    // The constant-bit-rate time: every byte after the ID3v2 tags at the
    // header's bit rate.
    const std::int64_t audio = r.Length - audioStart_;
    r.Duration = r.BitRate == 0 ? 0 : audio * 8 / (std::int64_t(r.BitRate) * 1000);
    r.FrameLength = FrameLengthBytes(r.Version, r.Layer, std::int64_t(r.BitRate) * 1000,
                                     r.SampleRate, r.Padding);
    return valid();
}

void TMPEGAudio::BeginAnalysis()
{
    ResetRecord();
    // Copied from an empty one, so that the texts keep their storage.
    static const Id3v2Text kEmpty;
    id3v2_ = kEmpty;
    labelKnown_ = false;
    searchLimit_ = 0;
    firstHeader_ = -1;
    audioStart_ = 0;
}

AnalysisStatus TMPEGAudio::Analyse()
{
    BeginAnalysis();
    if (!fileName_.empty() && fileName_.front() != '/') {
        std::error_code ignored;
        const std::filesystem::path absolute = std::filesystem::absolute(fileName_, ignored);
        if (!ignored)
            fileName_ = absolute.lexically_normal().string().substr(0, kMaxFileName);
    }
    int error = 0;
    const std::unique_ptr<RandomAccessFile> file = files_.openFile(fileName_, false, error);
    if (!file) {
        if (error == ENOENT || error == ENOTDIR || error == EISDIR) {
            record_.Title = CutCharacters("[not found: " + std::string(BaseName()) + "]", 30);
            return AnalysisStatus::NotFound;
        }
        return AnalysisStatus::CannotOpen;
    }
    const FileStatus status = file->status();
    return AnalyseSource(*file, status);
}

AnalysisStatus TMPEGAudio::AnalyseSource(ByteSource& source, const FileStatus& status)
{
    BeginAnalysis();
    const std::int64_t length = source.size();
    if (length <= 5)
        return AnalysisStatus::Complete;
    record_.FileDate = PackedFileDate(status.modified);
    record_.FileAttributes = FileAttributeBits(status);
    record_.Length = length;
    BufferedReader in(source);
    audioStart_ = SkipId3v2Tags(in);
    const std::int64_t audioLength = length - audioStart_;

    unsigned char bytes[4];
    std::int64_t position = audioStart_;
    bool accepted = false;
    bool readFailed = false;

    // A candidate is the 4 bytes before `position`.
    const auto loadCandidate = [&](std::int64_t at, std::uint32_t& candidate) {
        if (!in.read(at, bytes, 4))
            return false;
        candidate = BigEndian32(bytes);
        position = at + 4;
        return true;
    };

    // The candidate is the 4 bytes before `position` from `wholeFrom` on;
    // just after the jump to the middle it still holds bytes from before.
    std::int64_t wholeFrom = 0;
    std::uint32_t candidate = 0;
    bool searching = loadCandidate(position, candidate);
    while (searching) {
        bool found = true;
        wholeFrom = position;
        while (!ParseHeader(candidate)) {
            if (position >= length || (searchLimit_ != 0 && position > searchLimit_)) {
                found = false;
                break;
            }
            const bool jumpAhead = audioLength > kMiddleJumpAbove && searchLimit_ == 0;
            // The candidates at offsets 0 to 6 failed: go on from the middle,
            // once (also when a candidate at offset 6 was not confirmed, so
            // that the search stays bounded for any file size).
            if (jumpAhead && position >= audioStart_ + 10) {
                position = audioStart_ + audioLength / 2;
                searchLimit_ = position + kMiddleStretch;
                wholeFrom = position + 4;
            }
            if (syncScan_ && !jumpAhead && position >= wholeFrom) {
                // Only a candidate beginning with the eleven sync bits can be
                // a header: find the next one at once. The last candidate the
                // byte steps would look at ends at `stop`.
                const std::int64_t stop =
                    searchLimit_ != 0 ? std::min(length, searchLimit_ + 1) : length;
                std::optional<std::int64_t> sync;
                if (in.findSync(position - 3, stop - 4, sync)) {
                    const std::int64_t next = sync ? *sync + 4 : stop;
                    if (onSearchStep_ && next / kStepEvery != position / kStepEvery)
                        onSearchStep_();
                    if (!sync) {
                        found = false;
                        break;
                    }
                    if (!loadCandidate(*sync, candidate)) {
                        readFailed = true;
                        found = false;
                        break;
                    }
                    continue;
                }
                // A read error: the byte steps below meet it too.
            }
            const std::optional<unsigned char> next = in.byteAt(position);
            if (!next) {
                readFailed = true;
                found = false;
                break;
            }
            candidate = (candidate << 8) | static_cast<std::uint32_t>(*next);
            ++position;
            if (onSearchStep_ && position % kStepEvery == 0)
                onSearchStep_();
        }
        if (!found)
            break;

        firstHeader_ = position - 4;
        const std::int64_t rest =
            length - firstHeader_ - record_.FrameLength + (record_.ErrorProt ? 2 : 0);
        if (rest > 0) {
            // Accept only when the header one frame later is valid too; the
            // record then holds the second header's values.
            unsigned char second[4];
            if (in.read(firstHeader_ + record_.FrameLength, second, 4) &&
                ParseHeader(BigEndian32(second))) {
                accepted = true;
                break;
            }
        }
        ResetKeepingFile();
        if (position >= length || (searchLimit_ != 0 && position > searchLimit_))
            break;
        searching = loadCandidate(firstHeader_ + 1, candidate);
    }

    if (!accepted) {
        ResetKeepingFile();
        // The tag is read all the same, so that the tag of a file that holds
        // no audio can be shown and kept when another field is written.
        ReadTag(source, in);
        return readFailed ? AnalysisStatus::ReadFailed : AnalysisStatus::NoFrames;
    }

    const int xingAt = XingOffset(record_.Version, record_.Mode);
    unsigned char xing[120];
    const std::int64_t got =
        in.readAt(firstHeader_ + xingAt, reinterpret_cast<char*>(xing), sizeof xing);
    if (got >= 4 && std::memcmp(xing, "Xing", 4) == 0) {
        record_.BitRate = -1;
        // Big-endian flags, then the fields whose flag is set: frames (1),
        // bytes (2), a 100-byte table (4), quality (8).
        const std::uint32_t flags = got >= 8 ? BigEndian32(xing + 4) : 0;
        const std::uint32_t frames = (flags & 1) != 0 && got >= 12 ? BigEndian32(xing + 8) : 0;
        if (frames > 0) {
            record_.Duration = DivideRoundHalfEven(
                std::int64_t(frames) * XingSamplesPerFrame(record_.Version), record_.SampleRate);
            record_.FrameLength = record_.Length / frames;
        } else {
            record_.Duration = 0;
        }
    }

    ReadTag(source, in);
    return AnalysisStatus::Complete;
}

void TMPEGAudio::ReadTag(ByteSource& file, ByteSource& buffered)
{
    std::array<unsigned char, kId3v1Size> block;
    Id3v1Fields tag;
    // A file of exactly 128 bytes may be a tag and nothing else. The tag is
    // read straight from the file: a buffer would read more than it.
    if (ReadId3v1Block(file, 0, record_.Length, block) == Id3v1Read::Read &&
        SplitId3v1Block(block.data(), tag)) {
        record_.TagId = "TAG";
        record_.Title = TagField(tag.title);
        record_.Artist = TagField(tag.artist);
        record_.Album = TagField(tag.album);
        record_.Year = TagTextToUtf8(tag.year);
        record_.Comment = TagField(tag.comment);
        record_.Genre = tag.genre;
        record_.Track = tag.trackByte;
        return;
    }
    const std::string_view base = BaseName();
    record_.Title.assign(base.substr(0, CutLength(base, 30)));
    // The ID3v1 tag wins over the ID3v2 text: this is read only without one.
    if (readId3v2_)
        ReadId3v2Text(buffered, id3v2_);
}

std::array<char, kId3v1Size> TMPEGAudio::TagBlock() const
{
    const MpegRecord& r = record_;
    return BuildId3v1Block(r.Title, r.Artist, r.Album, r.Year, r.Comment, r.Track, r.Genre);
}

TagWriteStatus TMPEGAudio::WriteTag()
{
    if (!files_.fileExists(fileName_))
        return TagWriteStatus::FileMissing;
    const auto block = TagBlock();
    TagWriteStatus result = TagWriteStatus::Done;
    {
        int error = 0;
        const std::unique_ptr<RandomAccessFile> file = files_.openFile(fileName_, true, error);
        if (!file) {
            result = TagWriteStatus::CannotOpen;
        } else {
            const std::int64_t size = file->size();
            char old[kId3v1Size];
            const bool hasTag = size >= static_cast<std::int64_t>(kId3v1Size) &&
                                file->readAt(size - static_cast<std::int64_t>(kId3v1Size), old,
                                             kId3v1Size) == static_cast<std::int64_t>(kId3v1Size) &&
                                std::memcmp(old, "TAG", 3) == 0;
            const std::int64_t at = hasTag ? size - static_cast<std::int64_t>(kId3v1Size) : size;
            if (!file->writeAt(at, std::string_view(block.data(), block.size()))) {
                // Put back what was there: the old tag, or the old length.
                // Whether that works too, the write has failed; the
                // analysis below shows the file as it is.
                const bool restored = hasTag ? file->writeAt(at, std::string_view(old, kId3v1Size))
                                             : file->truncate(size);
                static_cast<void>(restored);
                result = TagWriteStatus::WriteFailed;
            }
        }
    }
    Reanalyse();
    return result;
}

TagWriteStatus TMPEGAudio::RemoveTag()
{
    if (!files_.fileExists(fileName_))
        return TagWriteStatus::FileMissing;
    TagWriteStatus result = TagWriteStatus::Done;
    {
        int error = 0;
        const std::unique_ptr<RandomAccessFile> file = files_.openFile(fileName_, true, error);
        if (!file) {
            result = TagWriteStatus::CannotOpen;
        } else {
            const std::int64_t size = file->size();
            char old[3];
            if (size > static_cast<std::int64_t>(kId3v1Size) &&
                file->readAt(size - static_cast<std::int64_t>(kId3v1Size), old, 3) == 3 &&
                std::memcmp(old, "TAG", 3) == 0 &&
                !file->truncate(size - static_cast<std::int64_t>(kId3v1Size)))
                result = TagWriteStatus::WriteFailed;
        }
    }
    Reanalyse();
    return result;
}

void TMPEGAudio::Reanalyse()
{
    // The record is to show the file as it now is; how the reading went
    // is in valid(), as after any analysis.
    static_cast<void>(Analyse());
}

} // namespace velmora::audio
