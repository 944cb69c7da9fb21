// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/FileRecord.h"

#include "audio/MpegTables.h"

namespace velmora::audio {

namespace {

using namespace collection;

void SetTexts(FileRecord& record, const std::string& title, const std::string& artist,
              const std::string& album, int track, const std::string& year,
              const std::string& comment)
{
    record.tags = {CleanText(title), CleanText(artist), CleanText(album),
                   TrackText(track), CleanText(year),   CleanText(comment)};
}

void SetTexts(FileRecord& record, const Id3v2Text& text)
{
    if (text.present)
        SetTexts(record, text.title, text.artist, text.album, text.track, text.year, text.comment);
}

} // namespace

std::string TrackText(int track)
{
    return track >= 1 && track <= 31 ? std::to_string(track) : std::string();
}

FileRecord FileAnalyser::Analyse(const std::string& path)
{
    FileRecord record;
    // A file that cannot be read is simply not valid: the fallback below
    // tries it, and without it the record keeps the zeros.
    static_cast<void>(mpeg_.AnalyseFile(path));
    const MpegRecord& m = mpeg_.record();
    record.numbers[kSizeKB] = m.Length / 1024;
    if (mpeg_.valid()) {
        record.analyser = Analyser::Mpeg;
        record.numbers[kDuration] = m.BitRate == -1 ? -m.Duration : m.Duration;
        record.numbers[kSampleRate10] = m.SampleRate / 10;
        record.numbers[kChannelCode] = m.Mode + 1;
        record.numbers[kVersionCode] = m.Version;
        record.numbers[kLayerCode] = m.Layer;
        if (mpeg_.hasTag())
            SetTexts(record, m.Title, m.Artist, m.Album, m.Track, m.Year, m.Comment);
        else
            SetTexts(record, mpeg_.id3v2());
        return record;
    }

    info_.AnalyseFile(path);
    if (!info_.Header.Valid())
        return record;
    record.analyser = Analyser::Info;
    const std::int64_t seconds = DivideRoundHalfEven(info_.DurationMs, 1000);
    record.numbers[kSizeKB] = info_.FileSize / 1024;
    record.numbers[kDuration] = info_.IsVBR ? -seconds : seconds;
    record.numbers[kSampleRate10] = info_.Header.SampleRate() / 10;
    record.numbers[kChannelCode] = info_.Header.ChannelMode() + 1;
    record.numbers[kVersionCode] = info_.Header.VersionIndex();
    record.numbers[kLayerCode] = info_.Header.Layer();
    const TID3v1Tag& tag = info_.Tag;
    if (tag.Present)
        SetTexts(record, tag.Title, tag.Artist, tag.Album, tag.Track, tag.Year, tag.Comment);
    else
        SetTexts(record, mpeg_.id3v2());
    return record;
}

std::string FileNodeText(std::string_view name, const FileRecord& record)
{
    // The name heads the trimmed part; an audio file's name ends with its
    // extension, so in effect only its leading blanks go. Bytes below 32
    // inside it would read back as marks.
    return FileText(CleanText(name), record.numbers, record.tags);
}

} // namespace velmora::audio
