#include "cli/CollectionCommands.h"

#include "collection/CollectionStore.h"
#include "collection/Import.h"
#include "collection/NodeText.h"
#include "reports/Statistic.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "system/Progress.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <ostream>

namespace velmora::cli {

namespace {

using collection::CollectionStore;
using collection::LoadStatus;

using texts::TextId;

void Message(std::ostream& err, const texts::TextTable& table, TextId text, const std::string& path)
{
    err << table.Text(text) << ": " << path << '\n';
}

bool WantOperands(const std::vector<std::string>& operands, std::size_t count, bool orMore,
                  std::string_view usage, std::ostream& err)
{
    if (operands.size() == count || (orMore && operands.size() > count))
        return true;
    err << "usage: velmora-cli " << usage << '\n';
    return false;
}

// Loads a collection file; reports a failure on `err`. A file that breaks the
// indentation rule counts as failed here: commands never go on with half of
// a collection.
bool Load(CollectionStore& store, const std::string& path, std::ostream& err,
          const texts::TextTable& table)
{
    NoProgress progress;
    const collection::LoadResult result = store.LoadCollection(path, progress);
    if (result.status == LoadStatus::Loaded)
        return true;
    Message(err, table, *collection::MessageTextOf(result.status), path);
    return false;
}

bool Save(CollectionStore& store, const std::string& path, std::ostream& err,
          const texts::TextTable& table)
{
    NoProgress progress;
    const collection::SaveResult result = store.SaveCollection(path, progress);
    if (result.backupFailed)
        Message(err, table, TextId::CannotSaveFile, result.backupPath);
    if (!result.saved()) {
        Message(err, table, *collection::MessageTextOf(result.status), path);
        return false;
    }
    return true;
}

std::size_t NumberCount(collection::NodeKind kind)
{
    switch (kind) {
    case collection::NodeKind::Collection:
        return 5;
    case collection::NodeKind::Folder:
        return 4;
    default:
        return 6;
    }
}

std::string_view KindName(collection::NodeKind kind)
{
    switch (kind) {
    case collection::NodeKind::Collection:
        return "collection";
    case collection::NodeKind::Volume:
        return "volume";
    case collection::NodeKind::Folder:
        return "folder";
    default:
        return "file";
    }
}

} // namespace

int NewCommand(const std::vector<std::string>& operands, std::ostream&, std::ostream& err,
               CliContext& context)
{
    if (!WantOperands(operands, 1, false, "new COLLECTION", err))
        return kUsage;
    const std::unique_ptr<FileLock> lock = LockCollection(operands[0], err, context);
    if (!lock)
        return kFailed;
    CollectionStore store(context.files, context.clock, context.texts);
    return Save(store, operands[0], err, context.texts) ? kSuccess : kFailed;
}

int DumpCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                CliContext& context)
{
    if (!WantOperands(operands, 1, false, "dump COLLECTION", err))
        return kUsage;
    CollectionStore store(context.files, context.clock, context.texts);
    if (!Load(store, operands[0], err, context.texts))
        return kFailed;

    using namespace collection;
    const CollectionTree& tree = store.tree();
    std::string line;
    for (NodeId n = tree.root(); n != kNoNode; n = tree.nextInPreOrder(n)) {
        const std::string_view text = tree.text(n);
        const NodeKind kind = KindOf(tree, n);
        line = std::to_string(tree.level(n));
        line += '\t';
        line += KindName(kind);
        line += '\t';
        line += texts::DisplayText(NodeName(text));
        Numbers numbers{};
        ReadNumbers(text, numbers);
        for (std::size_t j = 0; j < NumberCount(kind); ++j) {
            line += '\t';
            line += std::to_string(numbers[j]);
        }
        if (kind == NodeKind::File) {
            Tags tags;
            ReadTags(text, tags);
            for (const std::string_view tag : tags) {
                line += '\t';
                line += texts::DisplayText(tag);
            }
        }
        line += '\n';
        out << line;
    }
    return out ? kSuccess : kFailed;
}

int StatsCommand(const std::vector<std::string>& operands, std::ostream& out, std::ostream& err,
                 CliContext& context)
{
    if (!WantOperands(operands, 1, false, "stats COLLECTION", err))
        return kUsage;
    CollectionStore store(context.files, context.clock, context.texts);
    if (!Load(store, operands[0], err, context.texts))
        return kFailed;
    const auto rows =
        reports::StatisticRows(store.tree().text(store.tree().root()), context.texts,
                               context.locale.decimalSeparator(), context.locale.dateSeparator());
    for (const reports::StatisticRow& row : rows)
        out << row.caption << '\t' << row.value << '\n';
    return kSuccess;
}

int ConvertCommand(const std::vector<std::string>& operands, std::ostream&, std::ostream& err,
                   CliContext& context)
{
    if (!WantOperands(operands, 2, false, "convert SOURCE TARGET", err))
        return kUsage;
    const std::string& source = operands[0];
    const std::unique_ptr<FileLock> lock = LockCollection(operands[1], err, context);
    if (!lock)
        return kFailed;
    CollectionStore store(context.files, context.clock, context.texts);
    if (collection::IsOlderFormatPath(source)) {
        // An older file becomes the whole collection: import it into an
        // empty one, whose totals are all zero.
        NoProgress progress;
        if (!store.ImportCollection(source, progress)) {
            Message(err, context.texts, TextId::CannotOpenFile, source);
            return kFailed;
        }
    } else if (!Load(store, source, err, context.texts)) {
        return kFailed;
    }
    return Save(store, operands[1], err, context.texts) ? kSuccess : kFailed;
}

int ImportCommand(const std::vector<std::string>& operands, std::ostream&, std::ostream& err,
                  CliContext& context)
{
    if (!WantOperands(operands, 2, true, "import COLLECTION SOURCE...", err))
        return kUsage;
    const std::string& target = operands[0];
    const std::unique_ptr<FileLock> lock = LockCollection(target, err, context);
    if (!lock)
        return kFailed;
    CollectionStore store(context.files, context.clock, context.texts);
    if (context.files.fileExists(target) && !Load(store, target, err, context.texts))
        return kFailed;

    bool failed = false;
    for (std::size_t i = 1; i < operands.size(); ++i) {
        NoProgress progress;
        if (!store.ImportCollection(operands[i], progress)) {
            Message(err, context.texts, TextId::CannotImportFile, operands[i]);
            failed = true;
        }
    }
    if (failed)
        return kFailed;
    return Save(store, target, err, context.texts) ? kSuccess : kFailed;
}

} // namespace velmora::cli
