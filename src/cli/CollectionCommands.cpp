// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CollectionCommands.h"

#include "collection/CollectionStore.h"
#include "collection/Import.h"
#include "collection/NodeText.h"
#include "reports/Statistic.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <ostream>

namespace velmora::cli {

namespace {

using collection::CollectionStore;

using texts::TextId;

[[nodiscard]] bool WantOperands(const std::vector<std::string>& operands, std::size_t count,
                                bool orMore)
{
    return operands.size() == count || (orMore && operands.size() > count);
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

NewCommand::NewCommand()
    : Command({.name = "new",
               .summary = "write a new, empty collection file",
               .forms = {{"COLLECTION"}}})
{
}

int NewCommand::Execute(const std::vector<Argument>& args, std::ostream&, std::ostream& err,
                        CliContext& context) const
{
    const std::vector<std::string> operands = Words(args);
    if (!WantOperands(operands, 1, false))
        return Usage(err);
    CliCollection created(operands[0], err, context);
    return created.Lock() && created.Save() ? kSuccess : kFailed;
}

DumpCommand::DumpCommand()
    : Command({.name = "dump",
               .summary = "print every node: level, kind, name, numbers, tags",
               .forms = {{"COLLECTION"}}})
{
}

int DumpCommand::Execute(const std::vector<Argument>& args, std::ostream& out, std::ostream& err,
                         CliContext& context) const
{
    const std::vector<std::string> operands = Words(args);
    if (!WantOperands(operands, 1, false))
        return Usage(err);
    CliCollection opened(operands[0], err, context);
    if (!opened.Load())
        return kFailed;

    using namespace collection;
    const CollectionTree& tree = opened.tree();
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

StatsCommand::StatsCommand()
    : Command({.name = "stats",
               .summary = "print the collection's statistics",
               .forms = {{"COLLECTION"}}})
{
}

int StatsCommand::Execute(const std::vector<Argument>& args, std::ostream& out, std::ostream& err,
                          CliContext& context) const
{
    const std::vector<std::string> operands = Words(args);
    if (!WantOperands(operands, 1, false))
        return Usage(err);
    CliCollection opened(operands[0], err, context);
    if (!opened.Load())
        return kFailed;
    const collection::CollectionTree& tree = opened.tree();
    const auto rows = reports::StatisticRows(tree.text(tree.root()), context.texts,
                                             context.services.locale.decimalSeparator(),
                                             context.services.locale.dateSeparator());
    for (const reports::StatisticRow& row : rows)
        out << row.caption << '\t' << row.value << '\n';
    return kSuccess;
}

ConvertCommand::ConvertCommand()
    : Command({.name = "convert",
               .summary = "save a collection or an older .vlm file as TARGET",
               .forms = {{"SOURCE TARGET"}}})
{
}

int ConvertCommand::Execute(const std::vector<Argument>& args, std::ostream&, std::ostream& err,
                            CliContext& context) const
{
    const std::vector<std::string> operands = Words(args);
    if (!WantOperands(operands, 2, false))
        return Usage(err);
    const std::string& source = operands[0];
    CliCollection target(operands[1], err, context);
    if (!target.Lock())
        return kFailed;
    if (collection::IsOlderFormatPath(source)) {
        // An older file becomes the whole collection: import it into an
        // empty one, whose totals are all zero.
        NoProgress progress;
        if (!target.store().ImportCollection(source, progress)) {
            TellAboutFile(err, context.texts, TextId::CannotOpenFile, source);
            return kFailed;
        }
    } else if (!target.LoadFrom(source)) {
        return kFailed;
    }
    return target.Save() ? kSuccess : kFailed;
}

ImportCommand::ImportCommand()
    : Command({.name = "import",
               .summary = "add the volumes of collection or .vlm files",
               .forms = {{"COLLECTION SOURCE..."}}})
{
}

int ImportCommand::Execute(const std::vector<Argument>& args, std::ostream&, std::ostream& err,
                           CliContext& context) const
{
    const std::vector<std::string> operands = Words(args);
    if (!WantOperands(operands, 2, true))
        return Usage(err);
    CliCollection target(operands[0], err, context);
    if (!target.Lock() || !target.Load(true))
        return kFailed;
    CollectionStore& store = target.store();

    bool failed = false;
    for (std::size_t i = 1; i < operands.size(); ++i) {
        NoProgress progress;
        if (!store.ImportCollection(operands[i], progress)) {
            TellAboutFile(err, context.texts, TextId::CannotImportFile, operands[i]);
            failed = true;
        }
    }
    if (failed)
        return kFailed;
    return target.Save() ? kSuccess : kFailed;
}

} // namespace velmora::cli
