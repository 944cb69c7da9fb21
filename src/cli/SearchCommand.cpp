// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SearchCommand.h"

#include "cli/OutputTarget.h"
#include "cli/ScanCommand.h"
#include "collection/NodeText.h"
#include "search/DriveSearch.h"
#include "search/ResultFiles.h"
#include "search/ResultRows.h"
#include "search/Searches.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "system/Volumes.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <array>
#include <memory>
#include <ostream>
#include <string_view>

namespace velmora::cli {

namespace {

using texts::TextId;

// The options that search and duplicates share.
constexpr Option kOnOption{"--on", "", "SOURCE",
                           "search a folder or volume outside the collection"};
constexpr Option kSaveOption{"--save", "", "FILE",
                             "write the saved list to FILE instead (- for stdout)"};

enum class Kind { None, Name, Tag, Property };

constexpr std::array<std::string_view, 6> kTagFields = {"title", "artist", "album",
                                                        "track", "year",   "comment"};

// A property term of the command line: the key and the texts of its values
// in the order of their values, in the order of the terms.
struct PropertyKey {
    std::string_view name;
    std::array<std::string_view, 3> values;
};

constexpr std::array<PropertyKey, 6> kPropertyKeys = {{
    {"bitrate", {"128", "160", "192"}},
    {"samplerate", {"22050", "32000", "44100"}},
    {"mode", {"mono", "stereo", ""}},
    {"version", {"1", "2", "2.5"}},
    {"layer", {"1", "2", "3"}},
    {"tag", {"present", "absent", ""}},
}};

// Sets one term such as "bitrate<128"; false when the term is not one of
// those allowed or its key was given before.
[[nodiscard]] bool SetPropertyTerm(std::string_view term, search::PropertyCriteria& criteria)
{
    const std::size_t op = term.find_first_of("<=>");
    if (op == std::string_view::npos)
        return false;
    const std::string_view key = term.substr(0, op);
    const std::string_view value = term.substr(op + 1);
    const auto entry = std::find_if(kPropertyKeys.begin(), kPropertyKeys.end(),
                                    [key](const PropertyKey& k) { return k.name == key; });
    if (entry == kPropertyKeys.end() || value.empty())
        return false;
    const auto found = std::find(entry->values.begin(), entry->values.end(), value);
    if (found == entry->values.end())
        return false;
    const auto v = static_cast<std::int32_t>(found - entry->values.begin());
    constexpr std::string_view kComparisons = "<=>";
    const auto comparison = static_cast<search::Comparison>(kComparisons.find(term[op]));
    const auto compared = [&](auto& t) {
        if (t.used)
            return false;
        t = {true, comparison, static_cast<decltype(t.value)>(v)};
        return true;
    };
    const auto choice = [&](auto& t) {
        if (t.used || term[op] != '=')
            return false;
        t = {true, static_cast<decltype(t.value)>(v)};
        return true;
    };
    switch (entry - kPropertyKeys.begin()) {
    case 0:
        return compared(criteria.bitRate);
    case 1:
        return compared(criteria.sampleRate);
    case 2:
        return choice(criteria.channelMode);
    case 3:
        return compared(criteria.version);
    case 4:
        return compared(criteria.layer);
    default:
        return choice(criteria.validTag);
    }
}

struct Request {
    std::string collection;
    std::string save;
    std::string on;
    Kind kind = Kind::None;
    search::NameCriteria name;
    search::TagCriteria tag;
    search::PropertyCriteria property;
};

// The terms of --tag and --property: up to the next word that starts with
// "--".
[[nodiscard]] bool Parse(const std::vector<Argument>& args, Request& request, std::string& problem)
{
    const auto setKind = [&](Kind kind) {
        if (request.kind != Kind::None && request.kind != kind) {
            problem = "give one of --name, --tag and --property";
            return false;
        }
        request.kind = kind;
        return true;
    };
    bool caseGiven = false;
    bool areaGiven = false;
    for (const Argument& arg : args) {
        const bool missing = arg.kind == Argument::Kind::MissingValue;
        if (arg.Is("--name")) {
            if (!setKind(Kind::Name) || missing)
                return false;
            request.name.text = arg.value();
        } else if (arg.Is(kSaveOption.name)) {
            if (missing || !request.save.empty() || arg.value().empty())
                return false;
            request.save = arg.value();
        } else if (arg.Is(kOnOption.name)) {
            if (missing || !request.on.empty() || arg.value().empty())
                return false;
            request.on = arg.value();
        } else if (arg.Is("--case")) {
            caseGiven = true;
            request.name.matchCase = true;
        } else if (arg.Is("--in")) {
            if (missing)
                return false;
            constexpr std::array<std::string_view, 3> kAreas = {"all", "dirs", "files"};
            const auto area = std::find(kAreas.begin(), kAreas.end(), arg.value());
            if (area == kAreas.end()) {
                problem = "--in takes all, dirs or files";
                return false;
            }
            areaGiven = true;
            request.name.area = static_cast<search::SearchArea>(area - kAreas.begin() + 1);
        } else if (arg.Is("--tag") || arg.Is("--property")) {
            const bool tag = arg.Is("--tag");
            if (!setKind(tag ? Kind::Tag : Kind::Property) || missing)
                return false;
            for (const std::string& term : arg.values) {
                if (!tag) {
                    if (!SetPropertyTerm(term, request.property)) {
                        problem = "unknown or repeated property term \"" + term + "\"";
                        return false;
                    }
                    continue;
                }
                const std::size_t equals = term.find('=');
                const auto field = std::find(kTagFields.begin(), kTagFields.end(),
                                             std::string_view(term).substr(0, equals));
                if (equals == std::string::npos || field == kTagFields.end() ||
                    !request.tag.texts[static_cast<std::size_t>(field - kTagFields.begin())]
                         .empty()) {
                    problem = "unknown or repeated tag field in \"" + term + "\"";
                    return false;
                }
                request.tag.texts[static_cast<std::size_t>(field - kTagFields.begin())] =
                    term.substr(equals + 1);
            }
        } else if (arg.kind != Argument::Kind::Operand) {
            problem = "unknown option \"" + arg.word + "\"";
            return false;
        } else if (request.collection.empty()) {
            request.collection = arg.word;
        } else {
            return false;
        }
    }
    if (request.collection.empty() || request.kind == Kind::None)
        return false;
    if ((caseGiven || areaGiven) && request.kind != Kind::Name) {
        problem = "--case and --in belong to --name";
        return false;
    }
    if (request.kind == Kind::Name && search::SplitWords(request.name.text).empty()) {
        problem = "--name needs at least one word";
        return false;
    }
    if (request.kind == Kind::Tag) {
        const std::array<bool, 6> used = search::UsedTagColumns(request.tag);
        if (std::none_of(used.begin(), used.end(), [](bool u) { return u; })) {
            problem = "--tag needs a text that is not blank";
            return false;
        }
    }
    return true;
}

// What a search walks: the loaded collection from its first node, or, with
// --on, a temporary volume scanned from the source at the collection's end.
struct Searched {
    std::unique_ptr<search::TemporaryVolume> temporary;
    std::int64_t start = -1;
    std::string driveRoot; ///< the source's mount point after --on
};

// Loads the collection (with --on, a missing file stands for an empty
// collection: nothing is saved) and scans the source of --on. Returns
// kSuccess or the exit code of the failure it has reported.
[[nodiscard]] int Prepare(CliCollection& opened, const std::string& on, Searched& searched,
                          std::ostream& err, CliContext& context)
{
    const texts::TextTable& table = context.texts;
    if (!opened.Load(!on.empty()))
        return kFailed;
    if (on.empty())
        return kSuccess;

    scan::ScanRequest request;
    request.sourcePath = AbsoluteFolder(on);
    request.updateTotals = false;
    std::string label;
    std::uint32_t serial = 0;
    if (!context.services.files.folderExists(request.sourcePath) ||
        !DriveInfo(context.services.volumes, request.sourcePath, label, serial)) {
        err << table.Text(TextId::CannotReadDrive) << ": " << request.sourcePath << '\n';
        return kFailed;
    }
    collection::CollectionTree& tree = opened.tree();
    searched.temporary = std::make_unique<search::TemporaryVolume>(tree);
    const scan::ScanOutcome outcome = RunScan(tree, request, err, context);
    if (outcome.cancelled)
        return kFailed;
    if (outcome.noVolumeInformation) {
        err << table.Text(TextId::CannotReadDrive) << ": " << request.sourcePath << '\n';
        return kFailed;
    }
    if (outcome.warning)
        err << table.Text(TextId::NotAllFoldersReadable) << '\n';
    if (!searched.temporary->grown()) {
        err << table.Text(TextId::NoAudioInSource) << '\n';
        return kFailed;
    }
    searched.start = searched.temporary->start();
    searched.driveRoot = context.services.volumes.rootOf(request.sourcePath);
    return kSuccess;
}

void PrintRowStart(std::ostream& out, const collection::CollectionTree& tree,
                   collection::NodeId node, std::string_view driveRoot)
{
    out << texts::DisplayText(search::RowPath(tree, node, driveRoot))
        << texts::DisplayText(collection::NodeName(tree.text(node)));
}

} // namespace

DuplicatesCommand::DuplicatesCommand()
    : Command({.name = "duplicates",
               .summary = "find files and folders with equal names or sizes",
               .forms = {{"COLLECTION [--by name|property|both] [--in all|dirs|files]",
                          "[--on SOURCE] [--save FILE]"}},
               .options = {{"--by", "", "name|property|both",
                            "compare names, sizes and durations, or both"},
                           {"--in", "", "all|dirs|files", "look at folders, files or both"},
                           kOnOption,
                           kSaveOption},
               .details = {
                   "Prints each group's label, then one line per file or folder of the group."}})
{
}

int DuplicatesCommand::Execute(const std::vector<Argument>& args, std::ostream& out,
                               std::ostream& err, CliContext& context) const
{
    search::DuplicateCriteria criteria;
    std::string path;
    std::string save;
    std::string on;
    for (const Argument& arg : args) {
        const bool given = arg.kind == Argument::Kind::Option;
        if (given && arg.Is(kSaveOption.name) && save.empty() && !arg.value().empty()) {
            save = arg.value();
        } else if (given && arg.Is(kOnOption.name) && on.empty() && !arg.value().empty()) {
            on = arg.value();
        } else if (given && arg.Is("--by")) {
            const std::string& by = arg.value();
            if (by != "name" && by != "property" && by != "both")
                return Usage(err);
            criteria.compareName = by != "property";
            criteria.compareProperty = by != "name";
        } else if (given && arg.Is("--in")) {
            constexpr std::array<std::string_view, 3> kAreas = {"all", "dirs", "files"};
            const auto area = std::find(kAreas.begin(), kAreas.end(), arg.value());
            if (area == kAreas.end())
                return Usage(err);
            criteria.area = static_cast<search::SearchArea>(area - kAreas.begin() + 1);
        } else if (arg.kind != Argument::Kind::Operand || !path.empty()) {
            return Usage(err);
        } else {
            path = arg.word;
        }
    }
    if (path.empty())
        return Usage(err);
    if (!save.empty() && RefuseCollectionAsOutput(save, path, err, context))
        return kFailed;
    CliCollection opened(path, err, context);
    Searched searched;
    if (const int failed = Prepare(opened, on, searched, err, context); failed != kSuccess)
        return failed;
    const collection::CollectionTree& tree = opened.tree();
    NoProgress progress;
    const search::SearchScope scope{tree, context.services, progress, {}, {}, {}};
    search::ResultList results;
    if (!search::DuplicateSearch(scope, criteria, searched.start, results).found) {
        err << context.texts.Text(TextId::NoMatches) << '\n';
        return kFailed;
    }
    const std::string separator = context.services.locale.decimalSeparator();
    if (!save.empty())
        return WriteWholeOutput(context.services.files, save,
                                search::DuplicateResultsFile(tree, results, criteria, context.texts,
                                                             separator, searched.driveRoot),
                                out, err, context.texts);
    for (std::size_t i = 0; i < results.size(); ++i) {
        const bool groupStart =
            i == 0 || search::CompareFoldedAZ(results[i - 1].text, results[i].text) != 0;
        if (groupStart) {
            if (i > 0)
                out << '\n';
            out << texts::DisplayText(search::DuplicateGroupLabel(
                       tree.text(results[i].node), criteria.compareName, criteria.compareProperty,
                       context.texts, separator))
                << '\n';
        }
        PrintRowStart(out, tree, results[i].node, searched.driveRoot);
        out << '\n';
    }
    return out ? kSuccess : kFailed;
}

SearchCommand::SearchCommand()
    : Command(
          {.name = "search",
           .summary = "search names, tag fields or audio properties",
           .forms = {{"COLLECTION --name \"WORDS\" [--case] [--in all|dirs|files]"},
                     {"COLLECTION --tag FIELD=TEXT..."},
                     {"COLLECTION --property TERM..."}},
           .options = {{"--name", "", "WORDS", "find names with these words"},
                       {"--case", "", "", "--name: tell upper from lower case"},
                       {"--in", "", "all|dirs|files", "--name: look at folders, files or both"},
                       {"--tag", "", "FIELD=TEXT...", "find files by the texts of tag fields"},
                       {"--property", "", "TERM...", "find files by their audio properties"},
                       kOnOption,
                       kSaveOption},
           .notes = {"       each with [--on SOURCE] [--save FILE]",
                     "FIELD: title, artist, album, track, year, comment",
                     "TERM:  bitrate<|=|>128|160|192, samplerate<|=|>22050|32000|44100,",
                     "       mode=mono|stereo, version<|=|>1|2|2.5, layer<|=|>1|2|3,",
                     "       tag=present|absent"},
           .details = {"Prints path and name, then the tag fields or properties, tab-separated;",
                       "exit 1 when nothing is found."}})
{
}

int SearchCommand::Execute(const std::vector<Argument>& args, std::ostream& out, std::ostream& err,
                           CliContext& context) const
{
    Request request;
    std::string problem;
    if (!Parse(args, request, problem)) {
        if (!problem.empty())
            err << "velmora-cli search: " << problem << '\n';
        return Usage(err);
    }
    if (!request.save.empty() &&
        RefuseCollectionAsOutput(request.save, request.collection, err, context))
        return kFailed;

    CliCollection opened(request.collection, err, context);
    Searched searched;
    if (const int failed = Prepare(opened, request.on, searched, err, context); failed != kSuccess)
        return failed;
    NoProgress progress;
    const collection::CollectionTree& tree = opened.tree();
    const search::SearchScope scope{tree, context.services, progress, {}, {}, {}};
    search::ResultList results;
    bool found = false;
    switch (request.kind) {
    case Kind::Name:
        found = search::NameSearch(scope, request.name, searched.start, results).found;
        break;
    case Kind::Tag:
        found = search::TagSearch(scope, request.tag, searched.start, results).found;
        break;
    default:
        found = search::PropertySearch(scope, request.property, searched.start, results).found;
        break;
    }
    if (!found) {
        err << context.texts.Text(TextId::NoMatches) << '\n';
        return kFailed;
    }
    if (!request.save.empty()) {
        std::string bytes;
        if (request.kind == Kind::Name)
            bytes = search::NameResultsFile(tree, results, request.name, context.texts,
                                            searched.driveRoot);
        else if (request.kind == Kind::Tag)
            bytes = search::TagResultsFile(tree, results, request.tag, context.texts,
                                           searched.driveRoot);
        else
            bytes = search::PropertyResultsFile(tree, results, request.property, context.texts,
                                                searched.driveRoot);
        return WriteWholeOutput(context.services.files, request.save, bytes, out, err,
                                context.texts);
    }
    const std::array<bool, 6> usedTags = search::UsedTagColumns(request.tag);
    for (const search::ResultEntry& entry : results.entries()) {
        const std::string_view text = tree.text(entry.node);
        PrintRowStart(out, tree, entry.node, searched.driveRoot);
        std::vector<std::string> cells;
        if (request.kind == Kind::Tag)
            cells = search::TagCells(text, usedTags);
        else if (request.kind == Kind::Property)
            cells = search::PropertyCells(text, request.property, context.texts);
        for (const std::string& cell : cells)
            out << '\t' << texts::DisplayText(cell);
        out << '\n';
    }
    return out ? kSuccess : kFailed;
}

} // namespace velmora::cli
