#include "cli/Cli.h"

#include "cli/AudioCommands.h"
#include "cli/CollectionCommands.h"
#include "cli/Command.h"
#include "cli/PlaybackCommands.h"
#include "cli/ReportCommand.h"
#include "cli/ScanCommand.h"
#include "cli/SearchCommand.h"
#include "cli/VolumeCommands.h"
#include "system/FileSystem.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <memory>
#include <ostream>

namespace velmora::cli {

namespace {

// The commands in the order of velmora-cli --help.
const std::vector<std::unique_ptr<Command>>& Commands()
{
    static const std::vector<std::unique_ptr<Command>> commands = [] {
        std::vector<std::unique_ptr<Command>> list;
        list.push_back(std::make_unique<NewCommand>());
        list.push_back(std::make_unique<DumpCommand>());
        list.push_back(std::make_unique<StatsCommand>());
        list.push_back(std::make_unique<ConvertCommand>());
        list.push_back(std::make_unique<ImportCommand>());
        list.push_back(std::make_unique<ScanCommand>());
        list.push_back(std::make_unique<AnalyseCommand>());
        list.push_back(std::make_unique<TagCommand>());
        list.push_back(std::make_unique<VolumesCommand>());
        list.push_back(std::make_unique<UpdateCommand>());
        list.push_back(std::make_unique<DeleteCommand>());
        list.push_back(std::make_unique<RenameCommand>());
        list.push_back(std::make_unique<SortCommand>());
        list.push_back(std::make_unique<DrivesCommand>());
        list.push_back(std::make_unique<SearchCommand>());
        list.push_back(std::make_unique<DuplicatesCommand>());
        list.push_back(std::make_unique<ReportCommand>());
        list.push_back(std::make_unique<LocateCommand>());
        list.push_back(std::make_unique<PlaylistCommand>());
        return list;
    }();
    return commands;
}

void PrintHelp(std::ostream& out)
{
    out << "Usage: velmora-cli COMMAND [ARGUMENTS]\n"
           "\n"
           "Velmora keeps a catalogue of MPEG audio files (mp1, mp2, mp3, mpa) on many\n"
           "volumes in a plain-text collection file (.col).\n"
           "\n"
           "Commands:\n";
    for (const std::unique_ptr<Command>& command : Commands())
        command->PrintListing(out);
    out << "\n"
           "VOLUME is a volume's name, or its number in collection order (1 for the first).\n"
           "\n"
           "Options:\n"
           "  --help                      show this help; after a command, its options\n"
           "  --version                   show the version\n"
           "\n"
           "Exit codes: 0 success, 1 failed operation, 2 wrong usage.\n";
}

using texts::TextId;

} // namespace

void TellNotSaved(std::ostream& err, const texts::TextTable& table, const std::string& path,
                  std::optional<TextId> reason)
{
    err << table.Text(TextId::CannotSaveFile) << ": " << path << '\n';
    if (reason)
        err << table.Text(*reason) << '\n';
}

bool LoadCollection(collection::CollectionStore& store, const std::string& path, std::ostream& err,
                    const texts::TextTable& table)
{
    NoProgress progress;
    const collection::LoadResult result = store.LoadCollection(path, progress);
    if (result.status == collection::LoadStatus::Loaded)
        return true;
    err << table.Text(*collection::MessageTextOf(result.status)) << ": " << path << '\n';
    return false;
}

EditedCollection::EditedCollection(std::string path, std::ostream& err, CliContext& context)
    : path_(std::move(path)), err_(err), context_(context),
      store_(context.services.files, context.services.clock, context.texts)
{
}

bool EditedCollection::Lock()
{
    transaction_.emplace(store_, path_, context_.lockWait);
    switch (transaction_->status()) {
    case collection::LockStatus::Held:
        return true;
    case collection::LockStatus::Busy:
        err_ << "velmora-cli: another program is changing the collection: " << path_ << '\n';
        break;
    case collection::LockStatus::Failed:
        TellNotSaved(err_, context_.texts, path_);
        break;
    }
    transaction_.reset();
    return false;
}

bool EditedCollection::Load(bool orEmpty)
{
    if (orEmpty && !context_.services.files.fileExists(path_))
        return true;
    NoProgress progress;
    const collection::LoadResult result = transaction_->Load(progress);
    if (result.status == collection::LoadStatus::Loaded)
        return true;
    err_ << context_.texts.Text(*collection::MessageTextOf(result.status)) << ": " << path_ << '\n';
    return false;
}

bool EditedCollection::Save()
{
    NoProgress progress;
    const collection::SaveResult result = transaction_->Save(progress);
    if (result.backupFailed)
        TellNotSaved(err_, context_.texts, result.backupPath);
    if (result.saved())
        return true;
    TellNotSaved(err_, context_.texts, path_, collection::ReasonTextOf(result));
    return false;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           CliContext& context)
{
    if (args.empty()) {
        PrintHelp(err);
        return kUsage;
    }
    const std::string& name = args.front();
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(out);
        return kSuccess;
    }
    if (name == "--version") {
        out << "velmora-cli " << VELMORA_VERSION << '\n';
        return kSuccess;
    }
    for (const std::unique_ptr<Command>& command : Commands()) {
        if (command->name() == name)
            return command->Run({args.begin() + 1, args.end()}, out, err, context);
    }
    err << "velmora-cli: unknown command \"" << name << "\"; see velmora-cli --help\n";
    return kUsage;
}

} // namespace velmora::cli
