// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/VolumeCommands.h"

#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "display/Formats.h"
#include "scan/ScanThread.h"
#include "scan/Sorting.h"
#include "scan/VolumeEditor.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "system/Volumes.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>

namespace velmora::cli {

namespace {

using collection::CollectionStore;
using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;

using texts::TextId;

// The words of a command line after the command's name: the collection of
// -c, the source of --from (where allowed) and the rest in order.
struct Arguments {
    std::string collection;
    std::optional<std::string> from;
    bool force = false;
    std::vector<std::string> rest;
};

// The options that update has, and the collection option of the others.
constexpr Option kCollectionOption{"--collection", "-c", "COLLECTION", "the collection file"};
constexpr Option kFromOption{"--from", "", "SOURCE",
                             "scan SOURCE instead of the volume's own source"};
constexpr Option kForceOption{"--force", "", "",
                              "take a SOURCE of another serial or folder all the same"};

// The words after "--" are operands, also those that start with "-".
[[nodiscard]] bool Parse(const std::vector<Argument>& items, Arguments& args)
{
    for (const Argument& item : items) {
        switch (item.kind) {
        case Argument::Kind::Option:
            if (item.Is(kCollectionOption.name)) {
                if (!args.collection.empty())
                    return false;
                args.collection = item.value();
            } else if (item.Is(kForceOption.name)) {
                args.force = true;
            } else {
                if (args.from)
                    return false;
                args.from = item.value();
            }
            break;
        case Argument::Kind::Operand:
            args.rest.push_back(item.word);
            break;
        case Argument::Kind::EndOfOptions:
            break;
        case Argument::Kind::MissingValue:
        case Argument::Kind::Unknown:
            return false;
        }
    }
    return !args.collection.empty();
}

// A line of COMMAND --help for every command that takes a VOLUME.
constexpr std::string_view kVolumeDetail =
    "VOLUME is a volume's name, or its number in collection order (1 for the first).";

// A source path as scans take it: absolute, without "." and ".." parts and
// without a trailing "/".
std::string NativeSource(const std::string& path)
{
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error)
        absolute = path;
    std::string normal = absolute.lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal;
}

// The user of the volume commands on a command line: every question is
// answered Yes, the dialogs by the command's arguments, messages go to the
// error stream, scans run to their end on this thread.
class CliUser final : public scan::VolumeEditorUser {
public:
    CliUser(std::ostream& err, CliContext& context) : err_(err), context_(context) {}

    /// What ChooseVolumesToDelete() checks.
    std::vector<NodeId> volumesToDelete;
    /// What AskLabel() answers.
    std::string label;
    /// Named by the message that stands for the source dialog.
    std::string volumeName;

    scan::Answer Ask(TextId, scan::Answer, bool) override { return scan::Answer::Yes; }

    // Information waits for the end of the command: a command that saves
    // reports its success only once the collection is saved.
    void Tell(TextId text, std::string_view path, scan::MessageKind kind) override
    {
        if (kind == scan::MessageKind::Information)
            held_ += scan::MessageText(context_.texts, text, path) + '\n';
        else
            err_ << scan::MessageText(context_.texts, text, path) << '\n';
    }

    /// Prints the information held back.
    void TellHeld()
    {
        err_ << held_;
        held_.clear();
    }

    // The source dialog cannot be shown: the volume's drive was not found.
    [[nodiscard]] std::optional<scan::SourceChoice> ChooseSource(TextId) override
    {
        Tell(TextId::CannotFindSource, volumeName, scan::MessageKind::Error);
        return std::nullopt;
    }

    [[nodiscard]] bool ChooseVolumesToDelete(CollectionTree& tree) override
    {
        return scan::ConfirmVolumeList(tree, volumesToDelete, *this) ==
               scan::VolumeListAnswer::Confirmed;
    }

    std::string AskLabel(std::string_view, std::string_view) override { return label; }

    [[nodiscard]] bool RunScan(CollectionTree& tree, const scan::ScanRequest& request) override
    {
        NoProgress quiet;
        const std::atomic<bool> stop{false};
        const scan::ScanOutcome outcome =
            scan::ScanSource(tree, context_.services, request, quiet, stop);
        if (outcome.warning && !outcome.cancelled)
            Tell(TextId::NotAllFoldersReadable, {}, scan::MessageKind::Warning);
        return !outcome.cancelled;
    }

private:
    std::ostream& err_;
    CliContext& context_;
    std::string held_;
};

// Saves after a change; maps the other outcomes onto exit codes. The
// information the user was told comes last, and not at all when the save
// failed.
[[nodiscard]] int Finish(scan::EditOutcome outcome, CliCollection& edited, CliUser& user)
{
    int result = kFailed;
    switch (outcome) {
    case scan::EditOutcome::Changed:
        if (!edited.Save())
            return kFailed;
        result = kSuccess;
        break;
    case scan::EditOutcome::Unchanged:
        result = kSuccess;
        break;
    default:
        break;
    }
    user.TellHeld();
    return result;
}

std::string Hex8(std::uint32_t value)
{
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(value));
    return digits;
}

std::string_view TypeName(VolumeType type)
{
    switch (type) {
    case VolumeType::Removable:
        return "removable";
    case VolumeType::Optical:
        return "optical";
    case VolumeType::Network:
        return "network";
    case VolumeType::Fixed:
        break;
    }
    return "fixed";
}

} // namespace

UpdateCommand::UpdateCommand()
    : Command(
          {.name = "update",
           .summary = "scan a volume again, in its place",
           .forms = {{"-c COLLECTION VOLUME [--from SOURCE [--force]]"}},
           .options = {kCollectionOption, kFromOption, kForceOption},
           .details = {"The source is the volume's folder on the mounted volume with its serial,",
                       "or SOURCE. A SOURCE whose serial or folder is not the volume's is",
                       "refused without --force, since it replaces every file of the volume.",
                       "A folder scanned with --label needs --from: its folder is not kept.",
                       kVolumeDetail}})
{
}

int UpdateCommand::Execute(const std::vector<Argument>& items, std::ostream&, std::ostream& err,
                           CliContext& context) const
{
    Arguments args;
    if (!Parse(items, args) || args.rest.size() != 1 || (args.force && !args.from))
        return Usage(err);
    CliCollection edited(args.collection, err, context);
    if (!edited.Lock() || !edited.Load())
        return kFailed;
    CollectionStore& store = edited.store();
    std::vector<NodeId> volumes;
    if (!edited.FindVolumes(args.rest, volumes))
        return kFailed;

    CliUser user(err, context);
    user.volumeName = texts::DisplayText(collection::NodeName(store.tree().text(volumes[0])));
    scan::VolumeEditor editor(store, user, context.services);
    if (!args.from)
        return Finish(editor.UpdateVolume(volumes[0]), edited, user);

    // --from stands for the source dialog's choice, taken as it is.
    const std::string source = NativeSource(*args.from);
    if (!context.services.files.folderExists(source)) {
        user.Tell(TextId::CannotFindSource, source, scan::MessageKind::Error);
        return kFailed;
    }
    const std::optional<scan::SourceChoice> choice =
        scan::ReadSource(context.services.volumes, source);
    if (!choice) {
        user.Tell(TextId::CannotReadDrive, source, scan::MessageKind::Error);
        return kFailed;
    }
    // As the window asks before it takes a source that is not the volume's
    // own, the command line takes one only when told to: the update
    // replaces every file of the volume, with the tags edited in the
    // collection.
    const std::string_view volumeText = store.tree().text(volumes[0]);
    if (!args.force && !scan::IsOwnSource(volumeText, context.services.volumes, source)) {
        collection::Numbers numbers{};
        collection::ReadNumbers(volumeText, numbers);
        err << "velmora-cli update: the source is not the volume (another serial or folder); "
               "--force takes it all the same\n"
            << context.texts.Text(TextId::VolumeLabel) << ": " << user.volumeName << " (serial "
            << Hex8(static_cast<std::uint32_t>(numbers[collection::kSerial])) << ")\n"
            << context.texts.Text(TextId::SourceLabel) << ": "
            << texts::DisplayText(choice->volumeName) << " (serial " << Hex8(choice->serial)
            << "): " << source << '\n';
        return kFailed;
    }
    return Finish(editor.UpdateFromPath(volumes[0], source), edited, user);
}

DeleteCommand::DeleteCommand()
    : Command({.name = "delete",
               .summary = "remove volumes and their totals",
               .forms = {{"-c COLLECTION VOLUME..."}},
               .options = {kCollectionOption},
               .details = {kVolumeDetail}})
{
}

int DeleteCommand::Execute(const std::vector<Argument>& items, std::ostream&, std::ostream& err,
                           CliContext& context) const
{
    Arguments args;
    if (!Parse(items, args) || args.rest.empty())
        return Usage(err);
    CliCollection edited(args.collection, err, context);
    if (!edited.Lock() || !edited.Load())
        return kFailed;
    CollectionStore& store = edited.store();
    CliUser user(err, context);
    if (!edited.FindVolumes(args.rest, user.volumesToDelete))
        return kFailed;
    scan::VolumeEditor editor(store, user, context.services);
    return Finish(editor.DeleteVolumes(), edited, user);
}

RenameCommand::RenameCommand()
    : Command({.name = "rename",
               .summary = "give a volume a new label, keeping its folder part",
               .forms = {{"-c COLLECTION VOLUME LABEL"}},
               .options = {kCollectionOption},
               .details = {kVolumeDetail}})
{
}

int RenameCommand::Execute(const std::vector<Argument>& items, std::ostream&, std::ostream& err,
                           CliContext& context) const
{
    Arguments args;
    if (!Parse(items, args) || args.rest.size() != 2)
        return Usage(err);
    CliCollection edited(args.collection, err, context);
    if (!edited.Lock() || !edited.Load())
        return kFailed;
    CollectionStore& store = edited.store();
    std::vector<NodeId> volumes;
    if (!edited.FindVolumes({args.rest[0]}, volumes))
        return kFailed;
    CliUser user(err, context);
    user.label = args.rest[1];
    scan::VolumeEditor editor(store, user, context.services);
    const scan::EditOutcome outcome = editor.RenameLabel(volumes[0]);
    if (outcome == scan::EditOutcome::EmptyLabel)
        err << "velmora-cli: the label is empty or blank; the volume keeps its name\n";
    return Finish(outcome, edited, user);
}

SortCommand::SortCommand()
    : Command({.name = "sort",
               .summary = "sort every level: folders first, then by name",
               .forms = {{"-c COLLECTION"}},
               .options = {kCollectionOption}})
{
}

int SortCommand::Execute(const std::vector<Argument>& items, std::ostream&, std::ostream& err,
                         CliContext& context) const
{
    Arguments args;
    if (!Parse(items, args) || !args.rest.empty())
        return Usage(err);
    CliCollection edited(args.collection, err, context);
    if (!edited.Lock() || !edited.Load())
        return kFailed;
    CollectionStore& store = edited.store();
    CliUser user(err, context);
    const bool sorted = scan::SortCollection(store, context.services.locale, user);
    return Finish(sorted ? scan::EditOutcome::Changed : scan::EditOutcome::Unchanged, edited, user);
}

VolumesCommand::VolumesCommand()
    : Command({.name = "volumes",
               .summary = "list the volumes of a collection",
               .forms = {{"COLLECTION"}},
               .details = {"One line per volume: number, name, serial, scan date, folders, files,",
                           "size (KB), duration (s), tab-separated."}})
{
}

int VolumesCommand::Execute(const std::vector<Argument>& args, std::ostream& out, std::ostream& err,
                            CliContext& context) const
{
    const std::vector<std::string> operands = Words(args);
    if (operands.size() != 1)
        return Usage(err);
    CliCollection opened(operands[0], err, context);
    if (!opened.Load())
        return kFailed;
    const CollectionTree& tree = opened.tree();
    const std::string separator = context.services.locale.dateSeparator();
    std::size_t number = 0;
    for (NodeId v = tree.firstChild(tree.root()); v != kNoNode; v = tree.nextSibling(v)) {
        const std::string_view text = tree.text(v);
        collection::Numbers numbers{};
        collection::ReadNumbers(text, numbers);
        out << ++number << '\t' << texts::DisplayText(collection::NodeName(text)) << '\t'
            << Hex8(static_cast<std::uint32_t>(numbers[collection::kSerial])) << '\t'
            << display::FormatDay(static_cast<std::int32_t>(numbers[collection::kScanDate]),
                                  separator)
            << '\t' << numbers[collection::kFolderCount] << '\t' << numbers[collection::kFileCount]
            << '\t' << numbers[collection::kSizeKB] << '\t' << numbers[collection::kDuration]
            << '\n';
    }
    return out ? kSuccess : kFailed;
}

DrivesCommand::DrivesCommand()
    : Command({.name = "drives",
               .summary = "list mounted volumes: root, label, serial, type",
               .forms = {{""}}})
{
}

int DrivesCommand::Execute(const std::vector<Argument>& args, std::ostream& out, std::ostream& err,
                           CliContext& context) const
{
    if (!args.empty())
        return Usage(err);
    for (const VolumeInfo& drive : context.services.volumes.list()) {
        out << drive.root << '\t' << texts::DisplayText(drive.label) << '\t' << Hex8(drive.serial)
            << '\t' << TypeName(drive.type) << '\n';
    }
    return out ? kSuccess : kFailed;
}

} // namespace velmora::cli
