// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ScanCommand.h"

#include "cli/AudioCommands.h"
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "scan/ScanThread.h"
#include "scan/VolumeEditor.h"
#include "system/FileSystem.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "system/Volumes.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <charconv>
#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <thread>

namespace velmora::cli {

namespace {

using collection::kNoNode;
using collection::NodeId;

using texts::TextId;

struct ScanArguments {
    std::string source;
    std::string collection;
    std::optional<std::string> label;
    std::optional<std::uint32_t> serial;
    bool update = false;
    bool readId3v2 = true;
};

// Every word that starts with "-" and is none of the options is wrong, "-"
// and "--" too.
[[nodiscard]] bool Parse(const std::vector<Argument>& args, ScanArguments& parsed,
                         std::ostream& err)
{
    for (const Argument& arg : args) {
        if (arg.kind == Argument::Kind::Option) {
            if (arg.Is("--collection")) {
                parsed.collection = arg.value();
            } else if (arg.Is("--label")) {
                parsed.label = arg.value();
            } else if (arg.Is("--serial")) {
                std::uint32_t serial = 0;
                if (!ParseSerial(arg.value(), serial)) {
                    err << "velmora-cli: not a serial number: " << arg.value() << '\n';
                    return false;
                }
                parsed.serial = serial;
            } else if (arg.Is("--no-id3v2")) {
                parsed.readId3v2 = false;
            } else {
                parsed.update = true;
            }
        } else if (arg.kind != Argument::Kind::Operand || arg.word == "-") {
            err << "velmora-cli: unknown or incomplete option " << arg.word << '\n';
            return false;
        } else if (parsed.source.empty()) {
            parsed.source = arg.word;
        } else {
            err << "velmora-cli: more than one source: " << arg.word << '\n';
            return false;
        }
    }
    return !parsed.source.empty() && !parsed.collection.empty();
}

bool SameFolderPart(std::string_view a, std::string_view b)
{
    return collection::SamePathIgnoringAsciiCase(a, b);
}

// The stored volume with the source's identity: equal serial, equal folder
// part ignoring ASCII case; for a source given a label, the Add volume
// command's identity of a labelled source (scan::SameLabelledVolume()).
NodeId FindSameVolume(const collection::CollectionTree& tree, std::uint32_t serial,
                      std::string_view folderPart, const std::optional<std::string>& label)
{
    for (NodeId v = tree.firstChild(tree.root()); v != kNoNode; v = tree.nextSibling(v)) {
        if (label) {
            if (scan::SameLabelledVolume(tree.text(v), serial, *label))
                return v;
            continue;
        }
        collection::Numbers n{};
        collection::ReadNumbers(tree.text(v), n);
        const std::string_view name = collection::NodeName(tree.text(v));
        if (n[collection::kSerial] == static_cast<std::int32_t>(serial) &&
            SameFolderPart(collection::PathAfterDrive(name), folderPart))
            return v;
    }
    return kNoNode;
}

// The scan's folder is the phase of its progress, its file the object.
void ShowProgress(std::ostream& err, const ProgressSnapshot& lines)
{
    std::string line = lines.object.empty() ? lines.phase : lines.phase + "/" + lines.object;
    constexpr std::size_t kWidth = 78;
    if (line.size() > kWidth)
        line = "..." + line.substr(line.size() - (kWidth - 3));
    err << "\r\x1b[K" << line << std::flush;
}

} // namespace

std::string AbsoluteFolder(const std::string& path)
{
    std::error_code ignored;
    std::string absolute = std::filesystem::absolute(path, ignored).lexically_normal().string();
    while (absolute.size() > 1 && absolute.back() == '/')
        absolute.pop_back();
    return absolute;
}

scan::ScanOutcome RunScan(collection::CollectionTree& tree, const scan::ScanRequest& request,
                          std::ostream& err, CliContext& context)
{
    scan::TScanThread worker(tree, context.services, request);
    const auto interrupted = [&context] { return context.interrupted && *context.interrupted; };
    if (interrupted())
        worker.RequestStop();
    if (!worker.Start()) // a task made here has not run before
        return {};
    const bool terminal = context.showProgress;
    ProgressSnapshot shown;
    while (!worker.Finished()) {
        if (interrupted())
            worker.RequestStop();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ProgressSnapshot snapshot = worker.progress().Latest();
        if (terminal && snapshot != shown) {
            ShowProgress(err, snapshot);
            shown = std::move(snapshot);
        }
    }
    worker.Wait();
    if (terminal)
        err << "\r\x1b[K" << std::flush;
    scan::ScanOutcome outcome = worker.Outcome();
    // An interrupt that came as the scan ended still counts.
    if (interrupted())
        outcome.cancelled = true;
    return outcome;
}

bool ParseSerial(std::string_view text, std::uint32_t& serial)
{
    std::string digits(text);
    int base = 10;
    if (digits.size() == 9 && digits[4] == '-') {
        digits.erase(4, 1);
        base = 16;
    } else if (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0) {
        digits.erase(0, 2);
        base = 16;
    } else if (digits.size() == 8 && digits.find_first_not_of("0123456789") != std::string::npos) {
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        return false;
    serial = value;
    return true;
}

ScanCommand::ScanCommand()
    : Command(
          {.name = "scan",
           .summary = "add a folder or mounted volume as a volume",
           .forms = {{"SOURCE -c COLLECTION [--label L] [--serial N] [--update] [--no-id3v2]"}},
           .options = {{"--collection", "-c", "COLLECTION",
                        "the collection file; made when missing"},
                       {"--label", "", "L", "a label: SOURCE stands for a disc's root"},
                       {"--serial", "", "N", "its serial: decimal, 0x hexadecimal or ABCD-1234"},
                       {"--update", "", "", "replace a volume of the same identity"},
                       {"--no-id3v2", "", "", kNoId3v2Help}},
           .details = {"Progress goes to stderr when it is a terminal; Ctrl+C cancels the scan and",
                       "leaves the collection file as it was."}})
{
}

int ScanCommand::Execute(const std::vector<Argument>& items, std::ostream&, std::ostream& err,
                         CliContext& context) const
{
    ScanArguments args;
    if (!Parse(items, args, err))
        return Usage(err);
    // A label must keep something once blanks and control bytes are gone;
    // a volume's name may be empty only when its disc has no label.
    if (args.label && scan::CleanLabel(*args.label).empty()) {
        err << "velmora-cli: the label is empty or blank\n";
        return Usage(err);
    }
    const texts::TextTable& table = context.texts;
    const auto message = [&](TextId text, const std::string& path) {
        err << table.Text(text) << ": " << path << '\n';
    };

    CliCollection edited(args.collection, err, context);
    if (!edited.Lock() || !edited.Load(true))
        return kFailed;
    collection::CollectionStore& store = edited.store();

    scan::ScanRequest request;
    request.sourcePath = AbsoluteFolder(args.source);
    request.label = args.label;
    request.serial = args.serial;
    request.readId3v2 = args.readId3v2;
    std::string label;
    std::uint32_t serial = 0;
    const bool known = DriveInfo(context.services.volumes, request.sourcePath, label, serial);
    if (!context.services.files.folderExists(request.sourcePath) ||
        (!known && !(args.label && args.serial))) {
        message(TextId::CannotReadDrive, request.sourcePath);
        return kFailed;
    }
    if (args.serial)
        serial = *args.serial;
    const std::string folderPart =
        args.label
            ? std::string()
            : std::string(collection::PathAfterDrive(scan::VolumeName(
                  label, context.services.volumes.rootOf(request.sourcePath), request.sourcePath)));

    collection::CollectionTree& tree = store.tree();
    const NodeId same = FindSameVolume(tree, serial, folderPart, args.label);
    if (same != kNoNode) {
        if (!args.update) {
            err << table.Text(TextId::VolumeExistsAskUpdate) << " (--update)\n";
            return kFailed;
        }
        request.replace = same;
    }

    const scan::ScanOutcome outcome = RunScan(tree, request, err, context);
    if (outcome.cancelled) {
        // The half-built volume goes; the file on disk stays as it was.
        if (outcome.volume != kNoNode)
            tree.remove(outcome.volume);
        return kFailed;
    }
    if (outcome.noVolumeInformation) {
        message(TextId::CannotReadDrive, request.sourcePath);
        return kFailed;
    }
    if (outcome.warning)
        err << table.Text(TextId::NotAllFoldersReadable) << '\n';
    if (outcome.volume == kNoNode) {
        err << table.Text(TextId::NoAudioInSource) << '\n';
        return kFailed;
    }
    if (same != kNoNode)
        tree.remove(same);
    store.setModified();
    return edited.Save() ? kSuccess : kFailed;
}

} // namespace velmora::cli
