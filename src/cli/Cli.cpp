// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Cli.h"

#include "Product.h"
#include "cli/AudioCommands.h"
#include "cli/CollectionCommands.h"
#include "cli/Command.h"
#include "cli/CoverCommand.h"
#include "cli/PackCommand.h"
#include "cli/PlaybackCommands.h"
#include "cli/ReportCommand.h"
#include "cli/ScanCommand.h"
#include "cli/SearchCommand.h"
#include "cli/VolumeCommands.h"
#include "collection/NodeText.h"
#include "system/FileSystem.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <charconv>
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
        list.push_back(std::make_unique<CoverCommand>());
        list.push_back(std::make_unique<CheckPackCommand>());
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

// A volume by its name or, when no volume has that name, its number.
collection::NodeId FindVolume(const collection::CollectionTree& tree, const std::string& word)
{
    using collection::kNoNode;
    using collection::NodeId;
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

using texts::TextId;

} // namespace

void TellAboutFile(std::ostream& err, const texts::TextTable& table, TextId text,
                   const std::string& path)
{
    err << table.Text(text) << ": " << path << '\n';
}

void TellNotSaved(std::ostream& err, const texts::TextTable& table, const std::string& path,
                  std::optional<TextId> reason)
{
    TellAboutFile(err, table, TextId::CannotSaveFile, path);
    if (reason)
        err << table.Text(*reason) << '\n';
}

CliCollection::CliCollection(std::string path, std::ostream& err, CliContext& context)
    : path_(std::move(path)), err_(err), context_(context),
      store_(context.services.files, context.services.clock, context.texts)
{
}

bool CliCollection::Loaded(const collection::LoadResult& result, const std::string& path) const
{
    if (result.status == collection::LoadStatus::Loaded)
        return true;
    err_ << context_.texts.Text(*collection::MessageTextOf(result.status)) << ": " << path << '\n';
    return false;
}

bool CliCollection::Lock()
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

bool CliCollection::Load(bool orEmpty)
{
    if (orEmpty && !context_.services.files.fileExists(path_))
        return true;
    if (!transaction_)
        return LoadFrom(path_);
    NoProgress progress;
    return Loaded(transaction_->Load(progress), path_);
}

bool CliCollection::LoadFrom(const std::string& source)
{
    NoProgress progress;
    return Loaded(store_.LoadCollection(source, progress), source);
}

bool CliCollection::Save()
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

bool CliCollection::FindVolumes(const std::vector<std::string>& words,
                                std::vector<collection::NodeId>& found) const
{
    bool all = true;
    for (const std::string& word : words) {
        const collection::NodeId v = FindVolume(store_.tree(), word);
        if (v == collection::kNoNode) {
            err_ << "velmora-cli: no volume \"" << word << "\" in " << path_ << '\n';
            all = false;
        } else if (std::find(found.begin(), found.end(), v) == found.end()) {
            found.push_back(v);
        }
    }
    return all;
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
        out << "velmora-cli " << kVersion << '\n';
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
