// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/BulkTagEdit.h"

#include "audio/ID3Tags.h"
#include "audio/MpegFrameHdr.h"
#include "system/FileSystem.h"

#include <charconv>

namespace velmora::tags {

using texts::TextId;

namespace {

// The message of a tag write or removal that failed; none when it was done.
std::optional<TextId> FailureText(audio::TagWriteStatus status, TextId failed)
{
    switch (status) {
    case audio::TagWriteStatus::Done:
        return std::nullopt;
    case audio::TagWriteStatus::FileMissing:
        return TextId::FileDoesNotExist;
    case audio::TagWriteStatus::CannotOpen:
    case audio::TagWriteStatus::WriteFailed:
        break;
    }
    return failed;
}

std::optional<TextId> FailureText(Id3v2Outcome outcome, TextId failed)
{
    switch (outcome) {
    case Id3v2Outcome::Done:
    case Id3v2Outcome::NoTag:
        return std::nullopt;
    case Id3v2Outcome::FileMissing:
        return TextId::FileDoesNotExist;
    case Id3v2Outcome::WouldLoseFrames:
        return TextId::Id3v2FramesWouldBeLost;
    case Id3v2Outcome::CannotOpen:
    case Id3v2Outcome::WriteFailed:
        break;
    }
    return failed;
}

} // namespace

std::string TagKindsText(bool id3v1, int id3v2Version)
{
    std::string text = id3v1 ? "ID3v1" : "";
    if (id3v2Version > 0) {
        if (!text.empty())
            text += ' ';
        text += "ID3v2." + std::to_string(id3v2Version);
    }
    return text;
}

std::vector<std::string> ShownFields(const audio::TMPEGAudio& mpeg)
{
    if (!mpeg.hasTag()) {
        const audio::Id3v2Text& v2 = mpeg.id3v2();
        if (!v2.present)
            return std::vector<std::string>(6);
        const std::string track =
            v2.track >= 1 && v2.track <= 255 ? std::to_string(v2.track) : std::string();
        return {v2.title, v2.artist, v2.album,
                track,    v2.year,   audio::CutCharacters(v2.comment, 29)};
    }
    const audio::MpegRecord& r = mpeg.record();
    const std::string year = r.Year.substr(0, r.Year.find('\0'));
    const std::string track = r.Track == kNoTrack ? std::string() : std::to_string(r.Track);
    return {mpeg.title(), mpeg.artist(), r.Album, track, year, audio::CutCharacters(r.Comment, 29)};
}

std::uint8_t TrackByte(std::string_view field)
{
    long value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        return kNoTrack;
    return static_cast<std::uint8_t>(value & 0xFF);
}

bool TrackInRange(std::string_view field)
{
    long value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (end != field.data() + field.size() || field.empty())
        return true; // not a number
    return error == std::errc() && value >= 0 && value <= 255;
}

std::optional<TextId> NoFileText(const FileSystem& files, const std::string& path)
{
    if (files.fileExists(path))
        return std::nullopt;
    return files.folderExists(path) ? TextId::PathIsFolder : TextId::FileDoesNotExist;
}

void ApplyChanges(const TagChanges& changes, audio::TMPEGAudio& mpeg)
{
    if (changes.title)
        mpeg.setTitle(*changes.title);
    if (changes.artist)
        mpeg.setArtist(*changes.artist);
    if (changes.album)
        mpeg.setAlbum(*changes.album);
    if (changes.comment)
        mpeg.setComment(*changes.comment);
    if (changes.year)
        mpeg.setYear(*changes.year);
    if (changes.track)
        mpeg.setTrack(TrackByte(*changes.track));
}

namespace {

// Whether three frames follow one another from `offset` of `file`.
bool HoldsFrameRun(ByteSource& file, std::int64_t offset)
{
    constexpr int kFrames = 3;
    if (offset < 0)
        return false;
    std::array<unsigned char, (kFrames - 1) * audio::kLongestFrame + 4> bytes;
    const std::int64_t got =
        file.readAt(offset, reinterpret_cast<char*>(bytes.data()), bytes.size());
    return got > 0 && audio::ConsecutiveFrames(bytes.data(), static_cast<std::size_t>(got),
                                               kFrames) == kFrames;
}

} // namespace

BulkTagEditor::BulkTagEditor(FileSystem& files, Id3v2Writer* id3v2)
    : files_(files), id3v2_(id3v2), mpeg_(files), info_(files)
{
}

int BulkTagEditor::Id3v2VersionOf(const std::string& path)
{
    int error = 0;
    const std::unique_ptr<RandomAccessFile> file = files_.openFile(path, false, error);
    return file ? audio::Id3v2Version(*file) : 0;
}

bool BulkTagEditor::ReadableButNotAudio(const std::string& path)
{
    // A file that cannot be read is left to the writing, which reports it:
    // the opening below tells.
    static_cast<void>(mpeg_.AnalyseFile(path));
    int error = 0;
    const std::unique_ptr<RandomAccessFile> file = files_.openFile(path, false, error);
    if (!file)
        return false;
    const bool mpegValid = mpeg_.valid();
    if (!mpegValid) {
        info_.AnalyseFile(path);
        if (!info_.Header.Valid())
            return true;
    }
    if (mpeg_.hasTag() || audio::SkipId3v2Tags(*file) > 0)
        return false;
    if (const std::optional<std::int64_t> first = mpeg_.firstFrameOffset();
        first && HoldsFrameRun(*file, *first))
        return false;
    if (mpegValid)
        info_.AnalyseFile(path);
    // Without ID3v2 tags in front the offset counts from the file's start.
    return !info_.Header.Valid() || !HoldsFrameRun(*file, info_.FirstFrameOffset);
}

BulkTagEditor::Shown BulkTagEditor::Show(const std::string& path)
{
    Shown shown;
    if (!files_.fileExists(path))
        return shown;
    shown.exists = true;
    shown.valid = !ReadableButNotAudio(path);
    shown.fields = ShownFields(mpeg_);
    shown.id3v1 = mpeg_.hasTag();
    shown.id3v2Version = Id3v2VersionOf(path);
    return shown;
}

std::array<bool, 6> BulkTagEditor::DifferingFields(const std::vector<std::string>& paths,
                                                   const std::array<bool, 6>& among)
{
    std::array<bool, 6> differing{};
    std::optional<std::vector<std::string>> first;
    for (const std::string& path : paths) {
        Shown shown = Show(path);
        if (!shown.exists || !shown.valid)
            continue;
        if (!first) {
            first = std::move(shown.fields);
            continue;
        }
        for (std::size_t i = 0; i < differing.size(); ++i)
            differing[i] = differing[i] || (among[i] && shown.fields[i] != (*first)[i]);
    }
    return differing;
}

std::optional<TextId> BulkTagEditor::Write(const std::string& path, const TagChanges& changes)
{
    if (files_.folderExists(path))
        return TextId::PathIsFolder;
    if (ReadableButNotAudio(path))
        return TextId::FileNotValid;
    if (!mpeg_.hasTag() && mpeg_.id3v2().present) {
        // The fields not given keep what the editor shows: the ID3v2 texts.
        const std::vector<std::string> shown = ShownFields(mpeg_);
        ApplyChanges({shown[0], shown[1], shown[2], shown[3], shown[4], shown[5]}, mpeg_);
    }
    ApplyChanges(changes, mpeg_);
    if (id3v2_) {
        // Both tags in one go, when there is an ID3v2 tag.
        const auto block = mpeg_.TagBlock();
        const Id3v2Outcome outcome =
            id3v2_->Write(path, changes, std::string_view(block.data(), block.size()));
        if (outcome != Id3v2Outcome::NoTag)
            return FailureText(outcome, TextId::CannotWriteTag);
    }
    return FailureText(mpeg_.WriteTag(), TextId::CannotWriteTag);
}

std::optional<TextId> BulkTagEditor::Remove(const std::string& path, TagParts parts)
{
    if (files_.folderExists(path))
        return TextId::PathIsFolder;
    if (ReadableButNotAudio(path))
        return TextId::FileNotValid;
    // A file without an ID3v2 tag has nothing to remove there, writable or not.
    if (parts != TagParts::Id3v1 && id3v2_ && Id3v2VersionOf(path) > 0) {
        const Id3v2Outcome outcome = id3v2_->Remove(path, parts == TagParts::Both);
        if (outcome != Id3v2Outcome::NoTag)
            return FailureText(outcome, TextId::CannotRemoveTag);
    }
    if (parts == TagParts::Id3v2)
        return std::nullopt;
    return FailureText(mpeg_.RemoveTag(), TextId::CannotRemoveTag);
}

} // namespace velmora::tags
