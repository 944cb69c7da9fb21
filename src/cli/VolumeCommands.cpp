#include "cli/VolumeCommands.h"

#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "scan/ScanThread.h"
#include "scan/Sorting.h"
#include "scan/VolumeEditor.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "system/Progress.h"
#include "system/Volumes.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <atomic>
#include <charconv>
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
    std::vector<std::string> rest;
};

bool Parse(const std::vector<std::string>& operands, bool allowFrom, Arguments& args)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < operands.size(); ++i) {
        const std::string& word = operands[i];
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (word == "-c" || word == "--collection")) {
            if (++i == operands.size() || !args.collection.empty())
                return false;
            args.collection = operands[i];
        } else if (!optionsEnded && allowFrom && word == "--from") {
            if (++i == operands.size() || args.from)
                return false;
            args.from = operands[i];
        } else if (!optionsEnded && word.size() > 1 && word[0] == '-') {
            return false;
        } else {
            args.rest.push_back(word);
        }
    }
    return !args.collection.empty();
}

int Usage(std::ostream& err, std::string_view usage)
{
    err << "usage: velmora-cli " << usage << '\n';
    return kUsage;
}

bool Load(CollectionStore& store, const std::string& path, std::ostream& err,
          const texts::TextTable& table)
{
    NoProgress progress;
    const collection::LoadResult result = store.LoadCollection(path, progress);
    if (result.status == collection::LoadStatus::Loaded)
        return true;
    err << table.Text(*collection::MessageTextOf(result.status)) << ": " << path << '\n';
    return false;
}

int Save(CollectionStore& store, const std::string& path, std::ostream& err,
         const texts::TextTable& table)
{
    NoProgress progress;
    const collection::SaveResult result = store.SaveCollection(path, progress);
    if (result.backupFailed)
        err << table.Text(TextId::CannotSaveFile) << ": " << result.backupPath << '\n';
    if (!result.saved()) {
        err << table.Text(*collection::MessageTextOf(result.status)) << ": " << path << '\n';
        return kFailed;
    }
    return kSuccess;
}

// A volume by its name or, when no volume has that name, its number.
NodeId FindVolume(const CollectionTree& tree, const std::string& word)
{
    for (NodeId v = tree.firstChild(tree.root()); v != kNoNode; v = tree.nextSibling(v)) {
        if (collection::NodeName(tree.text(v)) == word)
            return v;
    }
    std::size_t number = 0;
    const char* const end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, number);
    if (error != std::errc() || stop != end || number == 0)
        return kNoNode;
    for (NodeId v = tree.firstChild(tree.root()); v != kNoNode; v = tree.nextSibling(v)) {
        if (--number == 0)
            return v;
    }
    return kNoNode;
}

bool FindVolumes(const CollectionTree& tree, const std::vector<std::string>& words,
                 const std::string& collectionPath, std::vector<NodeId>& found, std::ostream& err)
{
    bool all = true;
    for (const std::string& word : words) {
        const NodeId v = FindVolume(tree, word);
        if (v == kNoNode) {
            err << "velmora-cli: no volume \"" << word << "\" in " << collectionPath << '\n';
            all = false;
        } else if (std::find(found.begin(), found.end(), v) == found.end()) {
            found.push_back(v);
        }
    }
    return all;
}

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
    std::optional<scan::SourceChoice> ChooseSource(TextId) override
    {
        Tell(TextId::CannotFindSource, volumeName, scan::MessageKind::Error);
        return std::nullopt;
    }

    bool ChooseVolumesToDelete(CollectionTree& tree) override
    {
        return scan::ConfirmVolumeList(tree, volumesToDelete, *this) ==
               scan::VolumeListAnswer::Confirmed;
    }

    std::string AskLabel(std::string_view, std::string_view) override { return label; }

    bool RunScan(CollectionTree& tree, const scan::ScanRequest& request) override
    {
        const scan::ScanServices services{context_.files, context_.volumes, context_.locale,
                                          context_.clock};
        scan::ScanLines lines;
        const std::atomic<bool> stop{false};
        const scan::ScanOutcome outcome = scan::ScanSource(tree, services, request, lines, stop);
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
int Finish(scan::EditOutcome outcome, CollectionStore& store, const std::string& path,
           std::ostream& err, const texts::TextTable& table, CliUser& user)
{
    int result = kFailed;
    switch (outcome) {
    case scan::EditOutcome::Changed:
        result = Save(store, path, err, table);
        if (result != kSuccess)
            return result;
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

int UpdateCommand(const std::vector<std::string>& operands, std::ostream&, std::ostream& err,
                  CliContext& context)
{
    constexpr std::string_view usage = "update -c COLLECTION VOLUME [--from SOURCE]";
    Arguments args;
    if (!Parse(operands, true, args) || args.rest.size() != 1)
        return Usage(err, usage);
    const std::unique_ptr<FileLock> lock = LockCollection(args.collection, err, context);
    if (!lock)
        return kFailed;
    CollectionStore store(context.files, context.clock, context.texts);
    if (!Load(store, args.collection, err, context.texts))
        return kFailed;
    std::vector<NodeId> volumes;
    if (!FindVolumes(store.tree(), args.rest, args.collection, volumes, err))
        return kFailed;

    CliUser user(err, context);
    user.volumeName = texts::DisplayText(collection::NodeName(store.tree().text(volumes[0])));
    scan::VolumeEditor editor(store, user, {context.volumes, context.files, context.clock});
    if (!args.from)
        return Finish(editor.UpdateVolume(volumes[0]), store, args.collection, err, context.texts,
                      user);

    // --from stands for the source dialog's choice, taken as it is.
    const std::string source = NativeSource(*args.from);
    if (!context.files.folderExists(source)) {
        user.Tell(TextId::CannotFindSource, source, scan::MessageKind::Error);
        return kFailed;
    }
    if (!scan::ReadSource(context.volumes, source)) {
        user.Tell(TextId::CannotReadDrive, source, scan::MessageKind::Error);
        return kFailed;
    }
    return Finish(editor.UpdateFromPath(volumes[0], source), store, args.collection, err,
                  context.texts, user);
}

int DeleteCommand(const std::vector<std::string>& operands, std::ostream&, std::ostream& err,
                  CliContext& context)
{
    Arguments args;
    if (!Parse(operands, false, args) || args.rest.empty())
        return Usage(err, "delete -c COLLECTION VOLUME...");
    const std::unique_ptr<FileLock> lock = LockCollection(args.collection, err, context);
    if (!lock)
        return kFailed;
    CollectionStore store(context.files, context.clock, context.texts);
    if (!Load(store, args.collection, err, context.texts))
        return kFailed;
    CliUser user(err, context);
    if (!FindVolumes(store.tree(), args.rest, args.collection, user.volumesToDelete, err))
        return kFailed;
    scan::VolumeEditor editor(store, user, {context.volumes, context.files, context.clock});
    return Finish(editor.DeleteVolumes(), store, args.collection, err, context.texts, user);
}

int RenameCommand(const std::vector<std::string>& operands, std::ostream&, std::ostream& err,
                  CliContext& context)
{
    Arguments args;
    if (!Parse(operands, false, args) || args.rest.size() != 2)
        return Usage(err, "rename -c COLLECTION VOLUME LABEL");
    const std::unique_ptr<FileLock> lock = LockCollection(args.collection, err, context);
    if (!lock)
        return kFailed;
    CollectionStore store(context.files, context.clock, context.texts);
    if (!Load(store, args.collection, err, context.texts))
        return kFailed;
    std::vector<NodeId> volumes;
    if (!FindVolumes(store.tree(), {args.rest[0]}, args.collection, volumes, err))
        return kFailed;
    CliUser user(err, context);
    user.label = args.rest[1];
    scan::VolumeEditor editor(store, user, {context.volumes, context.files, context.clock});
    const scan::EditOutcome outcome = editor.RenameLabel(volumes[0]);
    if (outcome == scan::EditOutcome::EmptyLabel)
        err << "velmora-cli: the label is empty or blank; the volume keeps its name\n";
    return Finish(outcome, store, args.collection, err, context.texts, user);
}

int SortCommand(const std::vector<std::string>& operands, std::ostream&, std::ostream& err,
                CliContext& context)
{
    Arguments args;
    if (!Parse(operands, false, args) || !args.rest.empty())
        return Usage(err, "sort -c COLLECTION");
    const std::unique_ptr<FileLock> lock = LockCollection(args.collection, err, context);
    if (!lock)
        return kFailed;
    CollectionStore store(context.files, context.clock, context.texts);
    if (!Load(store, args.collection, err, context.texts))
        return kFailed;
    CliUser user(err, context);
    const bool sorted = scan::SortCollection(store, context.locale, user);
    return Finish(sorted ? scan::EditOutcome::Changed : scan::EditOutcome::Unchanged, store,
                  args.collection, err, context.texts, user);
}

int VolumesCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                   CliContext& context)
{
    if (operands.size() != 1)
        return Usage(err, "volumes COLLECTION");
    CollectionStore store(context.files, context.clock, context.texts);
    if (!Load(store, operands[0], err, context.texts))
        return kFailed;
    const CollectionTree& tree = store.tree();
    const std::string separator = context.locale.dateSeparator();
    std::size_t number = 0;
    for (NodeId v = tree.firstChild(tree.root()); v != kNoNode; v = tree.nextSibling(v)) {
        const std::string_view text = tree.text(v);
        collection::Numbers numbers{};
        collection::ReadNumbers(text, numbers);
        out << ++number << '\t' << texts::DisplayText(collection::NodeName(text)) << '\t'
            << Hex8(static_cast<std::uint32_t>(numbers[collection::kSerial])) << '\t'
            << collection::FormatDay(static_cast<std::int32_t>(numbers[collection::kScanDate]),
                                     separator)
            << '\t' << numbers[collection::kFolderCount] << '\t' << numbers[collection::kFileCount]
            << '\t' << numbers[collection::kSizeKB] << '\t' << numbers[collection::kDuration]
            << '\n';
    }
    return out ? kSuccess : kFailed;
}

int DrivesCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                  CliContext& context)
{
    if (!operands.empty())
        return Usage(err, "drives");
    for (const VolumeInfo& drive : context.volumes.list()) {
        out << drive.root << '\t' << texts::DisplayText(drive.label) << '\t' << Hex8(drive.serial)
            << '\t' << TypeName(drive.type) << '\n';
    }
    return out ? kSuccess : kFailed;
}

} // namespace velmora::cli
