// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportCommand.h"

#include "cli/OutputTarget.h"
#include "reports/ReportSettings.h"
#include "reports/ReportThread.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <ostream>
#include <string_view>

namespace velmora::cli {

namespace {

using reports::ReportFormat;
using reports::ReportSettings;

using texts::TextId;

// Column names by column id - 1.
constexpr std::array<std::string_view, reports::kColumnCount> kColumnNames = {
    "size",  "duration", "bitrate", "samplerate", "mode",    "version", "title", "artist",
    "album", "track",    "year",    "comment",    "folders", "files",   "date",  "volume"};
constexpr std::array<std::string_view, 4> kRowNames = {"collection", "volume", "folder", "file"};
constexpr std::array<std::string_view, 4> kFormatNames = {"text", "dif", "html", "csv"};

template <std::size_t N> std::string Allowed(const std::array<std::string_view, N>& names)
{
    std::string list;
    for (const std::string_view name : names) {
        if (!list.empty())
            list += ", ";
        list += name;
    }
    return list;
}

// The index of `word` in `names`, or -1.
template <std::size_t N>
[[nodiscard]] int IndexOf(const std::array<std::string_view, N>& names, std::string_view word)
{
    const auto found = std::find(names.begin(), names.end(), word);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

std::vector<std::string_view> SplitAtCommas(std::string_view list)
{
    std::vector<std::string_view> items;
    if (list.empty())
        return items;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        items.push_back(list.substr(start, comma - start));
        if (comma == std::string_view::npos)
            return items;
        start = comma + 1;
    }
}

[[nodiscard]] bool SetRows(std::string_view list, ReportSettings& s, std::string& problem)
{
    std::array<bool, kRowNames.size()> on{};
    const std::vector<std::string_view> items = SplitAtCommas(list);
    for (const std::string_view item : items) {
        const int row = IndexOf(kRowNames, item);
        if (row < 0 || on[static_cast<std::size_t>(row)]) {
            problem = "unknown or repeated row kind \"" + std::string(item) +
                      "\"; allowed: " + Allowed(kRowNames);
            return false;
        }
        on[static_cast<std::size_t>(row)] = true;
    }
    if (items.empty()) {
        problem = "--rows needs at least one of " + Allowed(kRowNames);
        return false;
    }
    s.collectionRow = on[0];
    s.volumeRows = on[1];
    s.folderRows = on[2];
    s.fileRows = on[3];
    return true;
}

// The named columns on, in the given order; the others off after them in
// their default order.
[[nodiscard]] bool SetColumns(std::string_view list, ReportSettings& s, std::string& problem)
{
    std::array<std::int32_t, reports::kColumnCount> order{};
    std::array<bool, reports::kColumnCount> on{};
    std::size_t count = 0;
    for (const std::string_view item : SplitAtCommas(list)) {
        const int index = IndexOf(kColumnNames, item);
        if (index < 0 || on[static_cast<std::size_t>(index)]) {
            problem = "unknown or repeated column \"" + std::string(item) +
                      "\"; allowed: " + Allowed(kColumnNames);
            return false;
        }
        on[static_cast<std::size_t>(index)] = true;
        order[count++] = index + 1;
    }
    for (const std::int32_t id : ReportSettings().columnOrder) {
        if (!on[static_cast<std::size_t>(id - 1)])
            order[count++] = id;
    }
    s.columnEnabled = on;
    s.columnOrder = order;
    return true;
}

struct Request {
    std::string collection;
    bool outputGiven = false;
    ReportSettings settings;
};

[[nodiscard]] bool Parse(const std::vector<Argument>& args, Request& request, std::string& problem)
{
    ReportSettings& s = request.settings;
    bool formatGiven = false;
    bool rowsGiven = false;
    bool columnsGiven = false;
    for (const Argument& arg : args) {
        if (arg.kind == Argument::Kind::MissingValue) {
            problem = arg.word + " needs a value";
            return false;
        }
        if (arg.Is("--output")) {
            if (request.outputGiven || arg.value().empty()) {
                problem = "give one output file";
                return false;
            }
            request.outputGiven = true;
            s.lastReportFile = arg.value();
        } else if (arg.Is("--format")) {
            const int format = IndexOf(kFormatNames, arg.value());
            if (formatGiven || format < 0) {
                problem = "--format takes one of " + Allowed(kFormatNames);
                return false;
            }
            formatGiven = true;
            s.format = static_cast<ReportFormat>(format + 1);
        } else if (arg.Is("--rows")) {
            if (rowsGiven) {
                problem = "--rows given twice";
                return false;
            }
            rowsGiven = true;
            if (!SetRows(arg.value(), s, problem))
                return false;
        } else if (arg.Is("--columns")) {
            if (columnsGiven) {
                problem = "--columns given twice";
                return false;
            }
            columnsGiven = true;
            if (!SetColumns(arg.value(), s, problem))
                return false;
        } else if (arg.Is("--no-sort")) {
            s.sorting = false;
        } else if (arg.kind != Argument::Kind::Operand) {
            problem = "unknown option \"" + arg.word + "\"";
            return false;
        } else if (request.collection.empty()) {
            request.collection = arg.word;
        } else {
            problem = "more than one collection: " + arg.word;
            return false;
        }
    }
    if (request.collection.empty()) {
        problem = "no collection given";
        return false;
    }
    if (!request.outputGiven) {
        problem = "no output file given (-o FILE)";
        return false;
    }
    return true;
}

// The phase and how far it has come, on one line that each change
// overwrites.
class TerminalProgress final : public Progress {
public:
    explicit TerminalProgress(std::ostream& err) : err_(err) {}

    void setPhase(std::string_view label) override
    {
        phase_ = label;
        percent_ = -1;
        err_ << "\r\x1b[K" << phase_ << std::flush;
    }
    void step(std::uint64_t position, std::uint64_t maximum, std::string_view) override
    {
        const int percent =
            maximum == 0 ? 100 : static_cast<int>(std::min(position, maximum) * 100 / maximum);
        if (percent == percent_)
            return;
        percent_ = percent;
        err_ << "\r\x1b[K" << phase_ << ' ' << percent << '%' << std::flush;
    }
    // The report reads the interrupt flag itself.
    bool cancelled() const override { return false; }
    void clear() { err_ << "\r\x1b[K" << std::flush; }

private:
    std::ostream& err_;
    std::string phase_;
    int percent_ = -1;
};

} // namespace

ReportCommand::ReportCommand()
    : Command(
          {.name = "report",
           .summary = "write a report of the collection into a file",
           .forms = {{"COLLECTION -o FILE [--format text|dif|html|csv]",
                      "[--rows collection,volume,folder,file] [--columns LIST]", "[--no-sort]"}},
           .options = {{"--output", "-o", "FILE",
                        "the report file, replaced once it is complete; - for stdout"},
                       {"--format", "", "text|dif|html|csv", "the file's format (default text)"},
                       {"--rows", "", "collection,volume,folder,file",
                        "the kinds of row, comma-separated (default folder)"},
                       {"--columns", "", "LIST", "the columns in this order; an empty LIST none"},
                       {"--no-sort", "", "", "keep the collection's order"}},
           .notes =
               {"LIST: size, duration, bitrate, samplerate, mode, version, title, artist, album,",
                "      track, year, comment, folders, files, date, volume (comma-separated)"},
           .details = {
               "Default: folder rows with size, duration, bitrate and volume as sorted text."}})
{
}

int ReportCommand::Execute(const std::vector<Argument>& args, std::ostream& out, std::ostream& err,
                           CliContext& context) const
{
    Request request;
    std::string problem;
    if (!Parse(args, request, problem)) {
        if (!problem.empty())
            err << "velmora-cli report: " << problem << '\n';
        return Usage(err);
    }
    const texts::TextTable& table = context.texts;
    const std::string& target = request.settings.lastReportFile;
    if (RefuseCollectionAsOutput(target, request.collection, err, context))
        return kFailed;
    const bool toOutput = IsStandardOutput(target);

    CliCollection opened(request.collection, err, context);
    if (!opened.Load())
        return kFailed;
    WriteError why = WriteError::None;
    if (!toOutput && !reports::CanWriteReport(context.services.files, target, why)) {
        TellNotSaved(err, table, target, ReasonTextOf(why));
        return kFailed;
    }

    // Ctrl+C is the Cancel button of the progress window: the report reads
    // the interrupt flag itself before each node and row.
    const std::atomic<bool> never{false};
    const std::atomic<bool>& stop = context.interrupted ? *context.interrupted : never;
    reports::ReportSources sources{opened.tree(), opened.store().currentPath(), table,
                                   context.services};
    if (toOutput)
        sources.output = [&out] { return std::make_unique<StreamOutputFile>(out); };
    const bool terminal = context.showProgress;
    TerminalProgress shown(err);
    NoProgress silent;
    Progress& progress = terminal ? static_cast<Progress&>(shown) : silent;
    const reports::ReportOutcome outcome =
        reports::RunReport(sources, request.settings, progress, stop);
    if (terminal)
        shown.clear();

    switch (outcome) {
    case reports::ReportOutcome::Written:
        return kSuccess;
    case reports::ReportOutcome::CannotWrite:
        TellNotSaved(err, table, target);
        return kFailed;
    case reports::ReportOutcome::StoppedBeforeWriting:
    case reports::ReportOutcome::StoppedWhileWriting:
    case reports::ReportOutcome::UnknownFormat:
        break;
    }
    return kFailed;
}

} // namespace velmora::cli
