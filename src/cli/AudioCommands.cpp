// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/AudioCommands.h"

#include "audio/AudioInfo.h"
#include "audio/FileRecord.h"
#include "system/FileSystem.h"
#include "system/Services.h"
#include "tags/BulkTagEdit.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <memory>
#include <optional>
#include <ostream>

namespace velmora::cli {

namespace {

using tags::TagChanges;
using texts::TextId;

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

// The files after the options, which may stand first, each option handed
// to `option`; false, with the reason on `err`, for an unknown option.
template <typename OnOption>
[[nodiscard]] bool FilesAfterOptions(const std::vector<Argument>& args,
                                     std::vector<std::string>& files, OnOption option,
                                     std::ostream& err)
{
    for (const Argument& arg : args) {
        switch (arg.kind) {
        case Argument::Kind::Option:
            option(arg);
            break;
        case Argument::Kind::Operand:
            files.push_back(arg.word);
            break;
        case Argument::Kind::EndOfOptions:
            break;
        case Argument::Kind::MissingValue:
        case Argument::Kind::Unknown:
            err << "velmora-cli: unknown option " << arg.word << "\n";
            return false;
        }
    }
    return true;
}

// The files after the switch --no-id3v2, which may stand first.
[[nodiscard]] bool FilesAndSwitch(const std::vector<Argument>& args,
                                  std::vector<std::string>& files, bool& readId3v2,
                                  std::ostream& err)
{
    return FilesAfterOptions(
        args, files, [&](const Argument&) { readId3v2 = false; }, err);
}

[[nodiscard]] int TagShow(const std::vector<std::string>& files, bool readId3v2, std::ostream& out,
                          std::ostream& err, CliContext& context)
{
    tags::BulkTagEditor editor(context.services.files, context.services.id3v2);
    editor.SetReadId3v2(readId3v2);
    int result = kSuccess;
    for (const std::string& path : files) {
        if (const auto noFile = tags::NoFileText(context.services.files, path)) {
            TellAboutFile(err, context.texts, *noFile, path);
            result = kFailed;
            continue;
        }
        // What the tag editor shows, and whether it would change the tag.
        const tags::BulkTagEditor::Shown shown = editor.Show(path);
        if (!shown.valid) {
            TellAboutFile(err, context.texts, TextId::FileNotValid, path);
            result = kFailed;
        }
        out << path;
        for (const std::string& field : shown.fields)
            out << '\t' << field;
        out << '\t' << tags::TagKindsText(shown.id3v1, shown.id3v2Version) << '\n';
    }
    return result;
}

[[nodiscard]] int TagWrite(const TagChanges& changes, const std::vector<std::string>& files,
                           std::ostream& err, CliContext& context)
{
    tags::BulkTagEditor editor(context.services.files, context.services.id3v2);
    int result = kSuccess;
    for (const std::string& path : files) {
        if (const auto error = editor.Write(path, changes)) {
            TellAboutFile(err, context.texts, *error, path);
            result = kFailed;
        }
    }
    return result;
}

[[nodiscard]] int TagRemove(const std::vector<std::string>& files, tags::TagParts parts,
                            std::ostream& err, CliContext& context)
{
    tags::BulkTagEditor editor(context.services.files, context.services.id3v2);
    int result = kSuccess;
    for (const std::string& path : files) {
        if (const auto error = editor.Remove(path, parts)) {
            TellAboutFile(err, context.texts, *error, path);
            result = kFailed;
        }
    }
    return result;
}

// The changes the options give and the files after them; false, with the
// reason on `err`, on an unknown option or one without its value.
[[nodiscard]] bool ParseChanges(const std::vector<Argument>& args, TagChanges& changes,
                                std::vector<std::string>& files, std::ostream& err)
{
    const std::pair<std::string_view, std::optional<std::string> TagChanges::*> fields[] = {
        {"--title", &TagChanges::title}, {"--artist", &TagChanges::artist},
        {"--album", &TagChanges::album}, {"--track", &TagChanges::track},
        {"--year", &TagChanges::year},   {"--comment", &TagChanges::comment},
    };
    for (const Argument& arg : args) {
        switch (arg.kind) {
        case Argument::Kind::Option:
            for (const auto& [name, member] : fields) {
                if (arg.Is(name))
                    changes.*member = arg.value();
            }
            break;
        case Argument::Kind::MissingValue:
            err << "velmora-cli: " << arg.word << " needs a value\n";
            return false;
        case Argument::Kind::Unknown:
            err << "velmora-cli: unknown option " << arg.word.substr(0, arg.word.find('=')) << "\n";
            return false;
        case Argument::Kind::EndOfOptions:
            break;
        case Argument::Kind::Operand:
            files.push_back(arg.word);
            break;
        }
    }
    return true;
}

// The files of tag show and tag remove may start with "-" (but not "--":
// that is an option or ends the options).
class TagShowCommand final : public Command {
public:
    TagShowCommand()
        : Command({.name = "show",
                   .summary = "print the ID3v1 tag of each file and the tags it holds",
                   .forms = {{"[--no-id3v2] FILE..."}},
                   .options = {{"--no-id3v2", "", "", kNoId3v2Help}},
                   .details = {"One line per file: the path, then title, artist, album, track, "
                               "year,",
                               "comment and the tags the file holds (such as \"ID3v1 ID3v2.3\"; "
                               "empty for",
                               "none), tab-separated. A file without an ID3v1 tag shows the "
                               "texts of its",
                               "ID3v2 tag, if it starts with one. A file that tags are not "
                               "written into (it",
                               "does not look like MPEG audio) is told as not valid, and the exit "
                               "code is 1."},
                   .optionsFirst = true})
    {
    }

    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream& out,
                              std::ostream& err, CliContext& context) const override
    {
        std::vector<std::string> files;
        bool readId3v2 = true;
        if (!FilesAndSwitch(args, files, readId3v2, err) || files.empty())
            return Usage(err);
        return TagShow(files, readId3v2, out, err, context);
    }
};

class TagWriteCommand final : public Command {
public:
    TagWriteCommand()
        : Command(
              {.name = "write",
               .summary = "write the given tag fields, keeping the others",
               .forms = {{"[--title T] [--artist A] [--album A] [--track N] [--year Y] "
                          "[--comment C] FILE..."}},
               .options = {{"--title", "", "T", "the title"},
                           {"--artist", "", "A", "the artist"},
                           {"--album", "", "A", "the album"},
                           {"--track", "", "N", "the track number, 1 to 255; none when 0 or empty"},
                           {"--year", "", "Y", "the year"},
                           {"--comment", "", "C", "the comment"}},
               .details = {"A file that begins with an ID3v2 tag gets the same fields in that "
                           "tag as well,",
                           "in full, its version and other frames kept; a file without one "
                           "gets none."},
               .optionsFirst = true})
    {
    }

    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream&, std::ostream& err,
                              CliContext& context) const override
    {
        TagChanges changes;
        std::vector<std::string> files;
        if (!ParseChanges(args, changes, files, err) || files.empty())
            return Usage(err);
        if (changes.track && !tags::TrackInRange(*changes.track)) {
            err << "velmora-cli: --track takes a number from 1 to 255, or 0 or nothing for no "
                   "track, not "
                << *changes.track << "\n";
            return Usage(err);
        }
        return TagWrite(changes, files, err, context);
    }
};

class TagRemoveCommand final : public Command {
public:
    TagRemoveCommand()
        : Command({.name = "remove",
                   .summary = "remove the ID3v1 tag of each file",
                   .forms = {{"[--id3v2 | --all] FILE..."}},
                   .options = {{"--id3v2", "", "", "remove the ID3v2 tag instead"},
                               {"--all", "", "", "remove both tags"}},
                   .details = {"Without an option only the ID3v1 tag at the end goes; the ID3v2 "
                               "tag at the",
                               "start may hold pictures and is removed only when asked."},
                   .optionsFirst = true})
    {
    }

    [[nodiscard]] int Execute(const std::vector<Argument>& args, std::ostream&, std::ostream& err,
                              CliContext& context) const override
    {
        std::vector<std::string> files;
        tags::TagParts parts = tags::TagParts::Id3v1;
        const auto option = [&](const Argument& arg) {
            parts = arg.Is("--all") || parts == tags::TagParts::Both ? tags::TagParts::Both
                                                                     : tags::TagParts::Id3v2;
        };
        if (!FilesAfterOptions(args, files, option, err))
            return Usage(err);
        if (files.empty())
            return Usage(err);
        return TagRemove(files, parts, err, context);
    }
};

} // namespace

AnalyseCommand::AnalyseCommand()
    : Command({.name = "analyse",
               .summary = "print what a scan stores about each audio file",
               .forms = {{"[--no-id3v2] FILE..."}},
               .options = {{"--no-id3v2", "", "", kNoId3v2Help}},
               .details = {"One line per file: the path, the analyser (mpeg, info or none), then "
                           "the six",
                           "numbers and six texts a scan stores, tab-separated.",
                           "The texts come from the ID3v1 tag; without one, from the ID3v2 tag "
                           "at the",
                           "file's start. A path that names no file (nothing, or a folder) "
                           "is told",
                           "instead of a line, and the exit code is 1."},
               .optionsFirst = true})
{
}

int AnalyseCommand::Execute(const std::vector<Argument>& args, std::ostream& out, std::ostream& err,
                            CliContext& context) const
{
    std::vector<std::string> operands;
    bool readId3v2 = true;
    if (!FilesAndSwitch(args, operands, readId3v2, err) || operands.empty())
        return Usage(err);
    audio::FileAnalyser analyser(context.services.files, readId3v2);
    std::string line;
    int result = kSuccess;
    for (const std::string& path : operands) {
        if (const auto noFile = tags::NoFileText(context.services.files, path)) {
            TellAboutFile(err, context.texts, *noFile, path);
            result = kFailed;
            continue;
        }
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
    return out ? result : kFailed;
}

TagCommand::TagCommand()
    : Command({.name = "tag",
               .summary = "read, write or remove the ID3v1 and ID3v2 tags of audio files"})
{
    AddSubCommand(std::make_unique<TagShowCommand>());
    AddSubCommand(std::make_unique<TagWriteCommand>());
    AddSubCommand(std::make_unique<TagRemoveCommand>());
}

} // namespace velmora::cli
