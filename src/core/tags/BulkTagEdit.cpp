#include "tags/BulkTagEdit.h"

#include "system/FileSystem.h"

#include <charconv>

namespace velmora::tags {

using texts::TextId;

std::vector<std::string> ShownFields(const audio::TMPEGAudio& mpeg)
{
    if (!mpeg.HasTag()) {
        const audio::Id3v2Text& v2 = mpeg.Id3v2();
        if (!v2.present)
            return std::vector<std::string>(6);
        const std::string track =
            v2.track >= 1 && v2.track <= 255 ? std::to_string(v2.track) : std::string();
        return {v2.title, v2.artist, v2.album,
                track,    v2.year,   audio::CutCharacters(v2.comment, 29)};
    }
    const audio::MpegRecord& r = mpeg.Record();
    const std::string year = r.Year.substr(0, r.Year.find('\0'));
    return {mpeg.GetTitle(),
            mpeg.GetArtist(),
            r.Album,
            r.Track == kNoTrack ? std::string() : std::to_string(r.Track),
            year,
            audio::CutCharacters(r.Comment, 29)};
}

std::uint8_t TrackByte(std::string_view field)
{
    long value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        return kNoTrack;
    return static_cast<std::uint8_t>(value & 0xFF);
}

void ApplyChanges(const TagChanges& changes, audio::TMPEGAudio& mpeg)
{
    if (changes.title)
        mpeg.SetTitle(*changes.title);
    if (changes.artist)
        mpeg.SetArtist(*changes.artist);
    if (changes.album)
        mpeg.SetAlbum(*changes.album);
    if (changes.comment)
        mpeg.SetComment(*changes.comment);
    if (changes.year)
        mpeg.SetYear(*changes.year);
    if (changes.track)
        mpeg.SetTrack(TrackByte(*changes.track));
}

BulkTagEditor::BulkTagEditor(FileSystem& files) : files_(files), mpeg_(files), info_(files) {}

bool BulkTagEditor::ReadableButNotAudio(const std::string& path)
{
    mpeg_.SetFileName(path);
    if (mpeg_.IsValid())
        return false;
    info_.AnalyseFile(path);
    if (info_.Header.Valid())
        return false;
    int error = 0;
    return files_.openFile(path, false, error) != nullptr;
}

BulkTagEditor::Shown BulkTagEditor::Show(const std::string& path)
{
    Shown shown;
    if (!files_.fileExists(path))
        return shown;
    shown.exists = true;
    shown.valid = !ReadableButNotAudio(path);
    shown.fields = ShownFields(mpeg_);
    return shown;
}

std::optional<TextId> BulkTagEditor::Write(const std::string& path, const TagChanges& changes)
{
    if (ReadableButNotAudio(path))
        return TextId::FileNotValid;
    ApplyChanges(changes, mpeg_);
    const int written = mpeg_.WriteTag();
    if (written != 0)
        return written == -1 ? TextId::FileDoesNotExist : TextId::CannotWriteTag;
    return std::nullopt;
}

std::optional<TextId> BulkTagEditor::Remove(const std::string& path)
{
    if (ReadableButNotAudio(path))
        return TextId::FileNotValid;
    const int removed = mpeg_.RemoveTag();
    if (removed != 0)
        return removed == -1 ? TextId::FileDoesNotExist : TextId::CannotRemoveTag;
    return std::nullopt;
}

} // namespace velmora::tags
