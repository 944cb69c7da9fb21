#include "cli/AudioCommands.h"

#include "audio/AudioInfo.h"
#include "audio/FileRecord.h"
#include "audio/MPGTools.h"
#include "system/FileSystem.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <charconv>
#include <optional>
#include <ostream>

namespace velmora::cli {

namespace {

using texts::TextId;
constexpr std::uint8_t kNoTrack = 32;

constexpr std::string_view kTagUsage =
    "usage: velmora-cli tag show FILE...\n"
    "       velmora-cli tag write [--title T] [--artist A] [--album A] [--track N] [--year Y] "
    "[--comment C] FILE...\n"
    "       velmora-cli tag remove FILE...\n";

std::string_view AnalyserName(audio::Analyser analyser)
{
    switch (analyser) {
    case audio::Analyser::Mpeg:
        return "mpeg";
    case audio::Analyser::Info:
        return "info";
    default:
        return "none";
    }
}

void Message(std::ostream& err, const texts::TextTable& table, TextId text, const std::string& path)
{
    err << table.Text(text) << ": " << path << '\n';
}

// The fields the tag editor shows for the analysed file, empty without tag.
std::vector<std::string> ShownFields(const audio::TMPEGAudio& mpeg)
{
    if (!mpeg.HasTag())
        return std::vector<std::string>(6);
    const audio::MpegRecord& r = mpeg.Record();
    const std::string year = r.Year.substr(0, r.Year.find('\0'));
    return {mpeg.GetTitle(),
            mpeg.GetArtist(),
            r.Album,
            r.Track == kNoTrack ? std::string() : std::to_string(r.Track),
            year,
            audio::CutCharacters(r.Comment, 29)};
}

struct TagChanges {
    std::optional<std::string> title, artist, album, track, year, comment;
};

// The track byte for a Track field: its number's lowest 8 bits, or 32 (no
// track) when the field is empty or not a number.
std::uint8_t TrackByte(const std::string& field)
{
    long value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        return kNoTrack;
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Tags go into MPEG audio only, as one of the two analysers accepts it: 128
// bytes appended to or cut off anything else (a collection, a text) would
// damage it. True for a file that was read and is not audio; a file that
// cannot be read is left to the writing, which reports it. `mpeg` has just
// analysed `path`.
bool ReadableButNotAudio(const audio::TMPEGAudio& mpeg, audio::TAudioInfo& info,
                         const std::string& path, FileSystem& files)
{
    if (mpeg.IsValid())
        return false;
    info.AnalyseFile(path);
    if (info.Header.Valid())
        return false;
    int error = 0;
    return files.openFile(path, false, error) != nullptr;
}

int TagShow(const std::vector<std::string>& files, std::ostream& out, std::ostream& err,
            CliContext& context)
{
    audio::TMPEGAudio mpeg(context.files);
    int result = kSuccess;
    for (const std::string& path : files) {
        if (!context.files.fileExists(path)) {
            Message(err, context.texts, TextId::FileDoesNotExist, path);
            result = kFailed;
            continue;
        }
        mpeg.SetFileName(path);
        if (!mpeg.IsValid())
            Message(err, context.texts, TextId::FileNotValid, path);
        out << path;
        for (const std::string& field : ShownFields(mpeg))
            out << '\t' << field;
        out << '\n';
    }
    return result;
}

int TagWrite(const TagChanges& changes, const std::vector<std::string>& files, std::ostream& err,
             CliContext& context)
{
    audio::TMPEGAudio mpeg(context.files);
    audio::TAudioInfo info(context.files);
    int result = kSuccess;
    for (const std::string& path : files) {
        mpeg.SetFileName(path);
        if (ReadableButNotAudio(mpeg, info, path, context.files)) {
            Message(err, context.texts, TextId::FileNotValid, path);
            result = kFailed;
            continue;
        }
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
        const int written = mpeg.WriteTag();
        if (written != 0) {
            Message(err, context.texts,
                    written == -1 ? TextId::FileDoesNotExist : TextId::CannotWriteTag, path);
            result = kFailed;
        }
    }
    return result;
}

int TagRemove(const std::vector<std::string>& files, std::ostream& err, CliContext& context)
{
    audio::TMPEGAudio mpeg(context.files);
    audio::TAudioInfo info(context.files);
    int result = kSuccess;
    for (const std::string& path : files) {
        mpeg.SetFileName(path);
        if (ReadableButNotAudio(mpeg, info, path, context.files)) {
            Message(err, context.texts, TextId::FileNotValid, path);
            result = kFailed;
            continue;
        }
        const int removed = mpeg.RemoveTag();
        if (removed != 0) {
            Message(err, context.texts,
                    removed == -1 ? TextId::FileDoesNotExist : TextId::CannotRemoveTag, path);
            result = kFailed;
        }
    }
    return result;
}

// Reads "--name value" and "--name=value" options up to the first operand
// that is not an option; false on an unknown or incomplete option.
bool ParseChanges(const std::vector<std::string>& args, std::size_t& next, TagChanges& changes,
                  std::ostream& err)
{
    const std::pair<std::string_view, std::optional<std::string> TagChanges::*> options[] = {
        {"--title", &TagChanges::title}, {"--artist", &TagChanges::artist},
        {"--album", &TagChanges::album}, {"--track", &TagChanges::track},
        {"--year", &TagChanges::year},   {"--comment", &TagChanges::comment},
    };
    while (next < args.size() && args[next].rfind("--", 0) == 0) {
        const std::string& arg = args[next];
        if (arg == "--") {
            ++next;
            break;
        }
        const std::size_t equals = arg.find('=');
        const std::string_view name = std::string_view(arg).substr(0, equals);
        bool known = false;
        for (const auto& [optionName, member] : options) {
            if (name != optionName)
                continue;
            known = true;
            if (equals != std::string::npos) {
                changes.*member = arg.substr(equals + 1);
            } else if (next + 1 < args.size()) {
                changes.*member = args[++next];
            } else {
                err << "velmora-cli: " << name << " needs a value\n";
                return false;
            }
        }
        if (!known) {
            err << "velmora-cli: unknown option " << name << "\n";
            return false;
        }
        ++next;
    }
    return true;
}

} // namespace

int AnalyseCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                   CliContext& context)
{
    if (operands.empty()) {
        err << "usage: velmora-cli analyse FILE...\n";
        return kUsage;
    }
    audio::FileAnalyser analyser(context.files);
    std::string line;
    for (const std::string& path : operands) {
        const audio::FileRecord record = analyser.Analyse(path);
        line = path;
        line += '\t';
        line += AnalyserName(record.analyser);
        for (const std::int64_t number : record.numbers) {
            line += '\t';
            line += std::to_string(number);
        }
        for (const std::string& text : record.tags) {
            line += '\t';
            line += text;
        }
        line += '\n';
        out << line;
    }
    return out ? kSuccess : kFailed;
}

int TagCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
               CliContext& context)
{
    if (operands.empty()) {
        err << kTagUsage;
        return kUsage;
    }
    const std::string& action = operands[0];
    std::size_t next = 1;
    TagChanges changes;
    if (action == "write" && !ParseChanges(operands, next, changes, err)) {
        err << kTagUsage;
        return kUsage;
    }
    const std::vector<std::string> files(operands.begin() + static_cast<std::ptrdiff_t>(next),
                                         operands.end());
    if (files.empty() || (action != "show" && action != "write" && action != "remove")) {
        err << kTagUsage;
        return kUsage;
    }
    if (action == "show")
        return TagShow(files, out, err, context);
    if (action == "write")
        return TagWrite(changes, files, err, context);
    return TagRemove(files, err, context);
}

} // namespace velmora::cli
