#include "cli/SearchCommand.h"

#include "cli/ScanCommand.h"
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "search/DriveSearch.h"
#include "search/ResultFiles.h"
#include "search/ResultRows.h"
#include "search/Searches.h"
#include "settings/Settings.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "system/Progress.h"
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

using collection::CollectionStore;

using texts::TextId;

constexpr std::string_view kUsageText =
    "usage: velmora-cli search COLLECTION --name \"WORDS\" [--case] [--in all|dirs|files]\n"
    "       velmora-cli search COLLECTION --tag FIELD=TEXT...\n"
    "       velmora-cli search COLLECTION --property TERM...\n"
    "       each with [--on SOURCE] [--save FILE]\n"
    "FIELD: title, artist, album, track, year, comment\n"
    "TERM:  bitrate<|=|>128|160|192, samplerate<|=|>22050|32000|44100,\n"
    "       mode=mono|stereo, version<|=|>1|2|2.5, layer<|=|>1|2|3,\n"
    "       tag=present|absent\n";

int Usage(std::ostream& err, std::string_view problem = {})
{
    if (!problem.empty())
        err << "velmora-cli search: " << problem << '\n';
    err << kUsageText;
    return kUsage;
}

enum class Kind { None, Name, Tag, Property };

constexpr std::array<std::string_view, 6> kTagFields = {"title", "artist", "album",
                                                        "track", "year",   "comment"};

// A property term of the command line: the key, the byte that switches it
// on, and the texts of its values in the order of their value bytes.
struct PropertyKey {
    std::string_view name;
    std::size_t onByte;
    bool hasComparison;
    std::array<std::string_view, 3> values;
};

constexpr std::array<PropertyKey, 6> kPropertyKeys = {{
    {"bitrate", 0, true, {"128", "160", "192"}},
    {"samplerate", 3, true, {"22050", "32000", "44100"}},
    {"mode", 6, false, {"mono", "stereo", ""}},
    {"version", 9, true, {"1", "2", "2.5"}},
    {"layer", 12, true, {"1", "2", "3"}},
    {"tag", 15, false, {"present", "absent", ""}},
}};

// Sets the bytes of one term such as "bitrate<128"; false when the term is
// not one of those allowed or its key was given before.
bool SetPropertyTerm(std::string_view term, search::PropertyCriteria& criteria)
{
    const std::size_t op = term.find_first_of("<=>");
    if (op == std::string_view::npos)
        return false;
    const std::string_view key = term.substr(0, op);
    const std::string_view value = term.substr(op + 1);
    constexpr std::string_view kComparisons = "<=>";
    const auto comparison = static_cast<std::int32_t>(kComparisons.find(term[op]));
    for (const PropertyKey& entry : kPropertyKeys) {
        if (entry.name != key)
            continue;
        if (criteria[entry.onByte] == 1 || (!entry.hasComparison && term[op] != '='))
            return false;
        for (std::size_t v = 0; v < entry.values.size(); ++v) {
            if (entry.values[v].empty() || entry.values[v] != value)
                continue;
            criteria[entry.onByte] = 1;
            if (entry.hasComparison) {
                criteria[entry.onByte + 1] = comparison;
                criteria[entry.onByte + 2] = static_cast<std::int32_t>(v);
            } else {
                criteria[entry.onByte + 1] = static_cast<std::int32_t>(v);
            }
            return true;
        }
        return false;
    }
    return false;
}

struct Request {
    std::string collection;
    std::string save;
    std::string on;
    Kind kind = Kind::None;
    settings::Settings settings;
};

// The words after --tag or --property: up to the next word that starts with
// "--".
bool Parse(const std::vector<std::string>& operands, Request& request, std::string& problem)
{
    settings::Settings& s = request.settings;
    s.tagText = {};
    s.property = {};
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
    for (std::size_t i = 0; i < operands.size(); ++i) {
        const std::string& word = operands[i];
        if (word == "--name") {
            if (!setKind(Kind::Name) || ++i == operands.size())
                return false;
            s.nameText = operands[i];
        } else if (word == "--save") {
            if (++i == operands.size() || !request.save.empty() || operands[i].empty())
                return false;
            request.save = operands[i];
        } else if (word == "--on") {
            if (++i == operands.size() || !request.on.empty() || operands[i].empty())
                return false;
            request.on = operands[i];
        } else if (word == "--case") {
            caseGiven = true;
            s.nameCase = true;
        } else if (word == "--in") {
            if (++i == operands.size())
                return false;
            constexpr std::array<std::string_view, 3> kAreas = {"all", "dirs", "files"};
            const auto area = std::find(kAreas.begin(), kAreas.end(), operands[i]);
            if (area == kAreas.end()) {
                problem = "--in takes all, dirs or files";
                return false;
            }
            areaGiven = true;
            s.nameArea = static_cast<std::int32_t>(area - kAreas.begin()) + 1;
        } else if (word == "--tag" || word == "--property") {
            const bool tag = word == "--tag";
            if (!setKind(tag ? Kind::Tag : Kind::Property))
                return false;
            std::size_t taken = 0;
            for (; i + 1 < operands.size() && operands[i + 1].rfind("--", 0) != 0; ++i, ++taken) {
                const std::string& term = operands[i + 1];
                if (!tag) {
                    if (!SetPropertyTerm(term, s.property)) {
                        problem = "unknown or repeated property term \"" + term + "\"";
                        return false;
                    }
                    continue;
                }
                const std::size_t equals = term.find('=');
                const auto field = std::find(kTagFields.begin(), kTagFields.end(),
                                             std::string_view(term).substr(0, equals));
                if (equals == std::string::npos || field == kTagFields.end() ||
                    !s.tagText[static_cast<std::size_t>(field - kTagFields.begin())].empty()) {
                    problem = "unknown or repeated tag field in \"" + term + "\"";
                    return false;
                }
                s.tagText[static_cast<std::size_t>(field - kTagFields.begin())] =
                    term.substr(equals + 1);
            }
            if (taken == 0)
                return false;
        } else if (word.size() > 1 && word[0] == '-') {
            problem = "unknown option \"" + word + "\"";
            return false;
        } else if (request.collection.empty()) {
            request.collection = word;
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
    if (request.kind == Kind::Name && search::SplitWords(s.nameText).empty()) {
        problem = "--name needs at least one word";
        return false;
    }
    if (request.kind == Kind::Tag) {
        const std::array<bool, 6> used = search::UsedTagColumns(s);
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
int Prepare(CollectionStore& store, const std::string& path, const std::string& on,
            Searched& searched, std::ostream& err, CliContext& context)
{
    const texts::TextTable& table = context.texts;
    NoProgress progress;
    if (!on.empty() && !context.files.fileExists(path)) {
        store.NewCollection();
    } else {
        const collection::LoadResult loaded = store.LoadCollection(path, progress);
        if (loaded.status != collection::LoadStatus::Loaded) {
            err << table.Text(*collection::MessageTextOf(loaded.status)) << ": " << path << '\n';
            return kFailed;
        }
    }
    if (on.empty())
        return kSuccess;

    scan::ScanRequest request;
    request.sourcePath = AbsoluteFolder(on);
    request.updateTotals = false;
    std::string label;
    std::uint32_t serial = 0;
    if (!context.files.folderExists(request.sourcePath) ||
        !DriveInfo(context.volumes, request.sourcePath, label, serial)) {
        err << table.Text(TextId::CannotReadDrive) << ": " << request.sourcePath << '\n';
        return kFailed;
    }
    collection::CollectionTree& tree = store.tree();
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
    searched.driveRoot = context.volumes.rootOf(request.sourcePath);
    return kSuccess;
}

void PrintRowStart(std::ostream& out, const collection::CollectionTree& tree,
                   collection::NodeId node, std::string_view driveRoot)
{
    out << texts::DisplayText(search::RowPath(tree, node, driveRoot))
        << texts::DisplayText(collection::NodeName(tree.text(node)));
}

constexpr std::string_view kDuplicatesUsage =
    "usage: velmora-cli duplicates COLLECTION [--by name|property|both] [--in all|dirs|files]\n"
    "                              [--on SOURCE] [--save FILE]\n";

// Writes the whole file through a replacement, so a failure leaves an
// existing file as it was; reports text 077 on failure.
int Save(FileSystem& files, const std::string& path, std::string_view bytes, std::ostream& err,
         const texts::TextTable& table)
{
    const std::unique_ptr<OutputFile> file = files.createReplacement(path);
    if (file && file->write(bytes) && file->flush() && file->commit())
        return kSuccess;
    err << table.Text(TextId::CannotSaveFile) << ": " << path << '\n';
    return kFailed;
}

} // namespace

int DuplicatesCommand(const std::vector<std::string>& operands, std::ostream& out,
                      std::ostream& err, CliContext& context)
{
    settings::Settings s;
    s.compareName = true;
    s.compareProperty = false;
    s.duplicateArea = 1;
    std::string path;
    std::string save;
    std::string on;
    for (std::size_t i = 0; i < operands.size(); ++i) {
        const std::string& word = operands[i];
        if (word == "--save" && i + 1 < operands.size() && save.empty() &&
            !operands[i + 1].empty()) {
            save = operands[++i];
        } else if (word == "--on" && i + 1 < operands.size() && on.empty() &&
                   !operands[i + 1].empty()) {
            on = operands[++i];
        } else if (word == "--by" && i + 1 < operands.size()) {
            const std::string& by = operands[++i];
            if (by != "name" && by != "property" && by != "both") {
                err << kDuplicatesUsage;
                return kUsage;
            }
            s.compareName = by != "property";
            s.compareProperty = by != "name";
        } else if (word == "--in" && i + 1 < operands.size()) {
            constexpr std::array<std::string_view, 3> kAreas = {"all", "dirs", "files"};
            const auto area = std::find(kAreas.begin(), kAreas.end(), operands[++i]);
            if (area == kAreas.end()) {
                err << kDuplicatesUsage;
                return kUsage;
            }
            s.duplicateArea = static_cast<std::int32_t>(area - kAreas.begin()) + 1;
        } else if ((word.size() > 1 && word[0] == '-') || !path.empty()) {
            err << kDuplicatesUsage;
            return kUsage;
        } else {
            path = word;
        }
    }
    if (path.empty()) {
        err << kDuplicatesUsage;
        return kUsage;
    }
    CollectionStore store(context.files, context.clock, context.texts);
    Searched searched;
    if (const int failed = Prepare(store, path, on, searched, err, context); failed != kSuccess)
        return failed;
    const collection::CollectionTree& tree = store.tree();
    NoProgress progress;
    const search::SearchScope scope{tree, context.locale, progress, {}, {}, {}};
    search::ResultList results;
    if (!search::DuplicateSearch(scope, s, searched.start, results)) {
        err << context.texts.Text(TextId::NoMatches) << '\n';
        return kFailed;
    }
    const std::string separator = context.locale.decimalSeparator();
    if (!save.empty())
        return Save(context.files, save,
                    search::DuplicateResultsFile(tree, results, s, context.texts, separator,
                                                 searched.driveRoot),
                    err, context.texts);
    for (std::size_t i = 0; i < results.size(); ++i) {
        const bool groupStart =
            i == 0 || search::CompareFoldedAZ(results[i - 1].text, results[i].text) != 0;
        if (groupStart) {
            if (i > 0)
                out << '\n';
            out << texts::DisplayText(search::DuplicateGroupLabel(tree.text(results[i].node),
                                                                  s.compareName, s.compareProperty,
                                                                  context.texts, separator))
                << '\n';
        }
        PrintRowStart(out, tree, results[i].node, searched.driveRoot);
        out << '\n';
    }
    return out ? kSuccess : kFailed;
}

int SearchCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                  CliContext& context)
{
    Request request;
    std::string problem;
    if (!Parse(operands, request, problem))
        return Usage(err, problem);

    CollectionStore store(context.files, context.clock, context.texts);
    Searched searched;
    if (const int failed = Prepare(store, request.collection, request.on, searched, err, context);
        failed != kSuccess)
        return failed;
    NoProgress progress;
    const collection::CollectionTree& tree = store.tree();
    const search::SearchScope scope{tree, context.locale, progress, {}, {}, {}};
    const settings::Settings& s = request.settings;
    search::ResultList results;
    bool found = false;
    switch (request.kind) {
    case Kind::Name:
        found = search::NameSearch(scope, s, searched.start, results);
        break;
    case Kind::Tag:
        found = search::TagSearch(scope, s, searched.start, results);
        break;
    default:
        found = search::PropertySearch(scope, s, searched.start, results);
        break;
    }
    if (!found) {
        err << context.texts.Text(TextId::NoMatches) << '\n';
        return kFailed;
    }
    if (!request.save.empty()) {
        std::string bytes;
        if (request.kind == Kind::Name)
            bytes = search::NameResultsFile(tree, results, s, context.texts, searched.driveRoot);
        else if (request.kind == Kind::Tag)
            bytes = search::TagResultsFile(tree, results, s, context.texts, searched.driveRoot);
        else
            bytes =
                search::PropertyResultsFile(tree, results, s, context.texts, searched.driveRoot);
        return Save(context.files, request.save, bytes, err, context.texts);
    }
    const std::array<bool, 6> usedTags = search::UsedTagColumns(s);
    for (const search::ResultEntry& entry : results.entries()) {
        const std::string_view text = tree.text(entry.node);
        PrintRowStart(out, tree, entry.node, searched.driveRoot);
        std::vector<std::string> cells;
        if (request.kind == Kind::Tag)
            cells = search::TagCells(text, usedTags);
        else if (request.kind == Kind::Property)
            cells = search::PropertyCells(text, s.property, context.texts);
        for (const std::string& cell : cells)
            out << '\t' << texts::DisplayText(cell);
        out << '\n';
    }
    return out ? kSuccess : kFailed;
}

} // namespace velmora::cli
