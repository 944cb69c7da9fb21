// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PlaybackCommands.h"

#include "cli/OutputTarget.h"
#include "collection/NodeText.h"
#include "playback/Playback.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <atomic>
#include <charconv>
#include <memory>
#include <ostream>
#include <utility>

namespace velmora::cli {

namespace {

using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;
using texts::TextId;

// A message of the text table for a terminal: its CR LF line breaks as LF.
std::string TerminalLines(std::string_view message)
{
    std::string lines;
    lines.reserve(message.size());
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n')
            continue;
        lines += message[i];
    }
    return lines;
}

// Progress that stops at the user's interrupt.
class InterruptProgress final : public Progress {
public:
    explicit InterruptProgress(const std::atomic<bool>* interrupted) : interrupted_(interrupted) {}
    void step(std::uint64_t, std::uint64_t, std::string_view) override {}
    bool cancelled() const override { return interrupted_ && interrupted_->load(); }

private:
    const std::atomic<bool>* interrupted_;
};

// The command line's front end of playback: errors to `err`, the listing
// on the calling thread; nothing is played.
class CliPlaybackUser final : public playback::PlaybackUser {
public:
    CliPlaybackUser(std::ostream& err, const std::atomic<bool>* interrupted)
        : err_(err), progress_(interrupted)
    {
    }
    void ShowError(const std::string& message) override
    {
        err_ << TerminalLines(message) << '\n';
        shownError = true;
    }
    void ShowLeftOut(const std::string& message) override
    {
        err_ << TerminalLines(message) << '\n';
        shownLeftOut = true;
    }
    void RunListing(const std::function<void(Progress&)>& job) override { job(progress_); }
    void Open(const std::string&) override {}
    void Enqueue(const std::string&) override {}

    bool interrupted() const { return progress_.cancelled(); }
    bool shownError = false;
    bool shownLeftOut = false;

private:
    std::ostream& err_;
    InterruptProgress progress_;
};

// Whether `name` (as stored, or as shown) stands at `offset` of `path`: the
// offset after it, else npos.
std::size_t MatchAt(std::string_view path, std::size_t offset, std::string_view name)
{
    const std::string_view rest = path.substr(offset);
    if (rest.starts_with(name))
        return offset + name.size();
    if (!texts::IsValidUtf8(name)) {
        const std::string shown = texts::DisplayText(name);
        if (rest.starts_with(shown))
            return offset + shown.size();
    }
    return std::string_view::npos;
}

// The words of a command without options: COLLECTION and NODE, or a
// problem.
[[nodiscard]] bool TwoOperands(const std::vector<std::string>& words, std::string& collectionPath,
                               std::string& node)
{
    if (words.size() != 2)
        return false;
    collectionPath = words[0];
    node = words[1];
    return true;
}

// Loads the collection and finds the node; reports failures on `err`.
NodeId LoadAndFind(CliCollection& opened, const std::string& node, std::string_view command,
                   std::ostream& err)
{
    if (!opened.Load())
        return kNoNode;
    const CollectionTree& tree = opened.tree();
    const NodeId found = FindNode(tree, node);
    if (found == kNoNode || found == tree.root())
        err << "velmora-cli " << command << ": no volume, folder or file \"" << node << "\"\n";
    return found == tree.root() ? kNoNode : found;
}

} // namespace

NodeId FindNode(const CollectionTree& tree, std::string_view node)
{
    if (tree.empty() || node.empty())
        return kNoNode;
    if (node.front() == '#') {
        std::size_t position = 0;
        const char* end = node.data() + node.size();
        const std::from_chars_result read = std::from_chars(node.data() + 1, end, position);
        if (read.ec != std::errc() || read.ptr != end || node.size() == 1 ||
            position >= tree.size())
            return kNoNode;
        return tree.atPosition(position);
    }

    // Names may hold "\", so a path can be read in more than one way: a
    // depth-first search, without recursion, over the nodes whose names
    // match at their place, each with the offset after its name.
    std::vector<std::pair<NodeId, std::size_t>> pending;
    const auto pushChildren = [&](NodeId parent, std::size_t offset) {
        for (NodeId child = tree.lastChild(parent); child != kNoNode;
             child = tree.prevSibling(child)) {
            const std::size_t after = MatchAt(node, offset, collection::NodeName(tree.text(child)));
            if (after != std::string_view::npos)
                pending.emplace_back(child, after);
        }
    };
    pushChildren(tree.root(), 0);
    while (!pending.empty()) {
        const auto [candidate, offset] = pending.back();
        pending.pop_back();
        if (offset == node.size())
            return candidate;
        if (node[offset] == '\\')
            pushChildren(candidate, offset + 1);
    }
    return kNoNode;
}

LocateCommand::LocateCommand()
    : Command({.name = "locate",
               .summary = "print the paths of a node's files on disk",
               .forms = {{"COLLECTION NODE"}},
               .notes = {"NODE: a path as search prints it (VOLUME\\FOLDER\\FILE), or #N for "
                         "the node after N others in dump's order: line N + 1 of dump (#1 is "
                         "its second line, the first volume)"}})
{
}

int LocateCommand::Execute(const std::vector<Argument>& args, std::ostream& out, std::ostream& err,
                           CliContext& context) const
{
    std::string collectionPath;
    std::string nodePath;
    if (!TwoOperands(Words(args), collectionPath, nodePath))
        return Usage(err);
    CliCollection opened(collectionPath, err, context);
    const NodeId node = LoadAndFind(opened, nodePath, name(), err);
    if (node == kNoNode)
        return kFailed;

    const CollectionTree& tree = opened.tree();
    const playback::NodeLocation location = playback::LocateNode(tree, node, context.services);
    if (location.status != playback::NodeLocation::Status::Found) {
        err << TerminalLines(playback::NotFoundMessage(context.texts, location)) << '\n';
        return kFailed;
    }
    if (tree.level(node) > 1 && !tree.hasChildren(node)) {
        out << location.path << '\n';
        return out ? kSuccess : kFailed;
    }
    InterruptProgress progress(context.interrupted);
    const playback::BranchFiles branch =
        playback::CollectBranch(tree, node, location.path, context.services.files, progress);
    if (progress.cancelled())
        return kFailed;
    for (const std::string& path : branch.paths)
        out << path << '\n';
    if (branch.leftOut > 0)
        err << playback::LeftOutMessage(context.texts, branch.leftOut) << '\n';
    if (branch.paths.empty() && branch.leftOut > 0)
        return kFailed;
    return out ? kSuccess : kFailed;
}

PlaylistCommand::PlaylistCommand()
    : Command(
          {.name = "playlist",
           .summary = "write a node's files as an M3U or PLS playlist",
           .forms = {{"COLLECTION NODE -o FILE.m3u|FILE.pls"}},
           .options = {{"--output", "-o", "FILE",
                        "the playlist, PLS when its name ends in .pls, else M3U; - for stdout"}},
           .notes = {"NODE: a path as search prints it (VOLUME\\FOLDER\\FILE), or #N for "
                     "the node after N others in dump's order: line N + 1 of dump (#1 is "
                     "its second line, the first volume)"}})
{
}

int PlaylistCommand::Execute(const std::vector<Argument>& args, std::ostream& out,
                             std::ostream& err, CliContext& context) const
{
    std::vector<std::string> operands;
    std::string output;
    for (const Argument& arg : args) {
        if (arg.kind == Argument::Kind::Operand) {
            operands.push_back(arg.word);
        } else if (arg.kind == Argument::Kind::Option && arg.Is("--output") && output.empty()) {
            output = arg.value();
        } else if (arg.kind != Argument::Kind::EndOfOptions) {
            err << "velmora-cli playlist: unexpected \"" << arg.word << "\"\n";
            return Usage(err);
        }
    }
    std::string collectionPath;
    std::string nodePath;
    if (!TwoOperands(operands, collectionPath, nodePath) || output.empty())
        return Usage(err);
    if (RefuseCollectionAsOutput(output, collectionPath, err, context))
        return kFailed;
    CliCollection opened(collectionPath, err, context);
    const NodeId node = LoadAndFind(opened, nodePath, name(), err);
    if (node == kNoNode)
        return kFailed;

    CliPlaybackUser user(err, context.interrupted);
    std::unique_ptr<OutputFile> stream;
    if (IsStandardOutput(output))
        stream = std::make_unique<StreamOutputFile>(out);
    if (playback::LocateAndPlay(opened.tree(), node, output, playback::PlayMode::Playlist,
                                context.services, context.texts, user, std::move(stream)))
        return kSuccess;
    if (!user.shownError && !user.shownLeftOut && !user.interrupted())
        err << "velmora-cli playlist: no files below \"" << nodePath << "\"\n";
    return kFailed;
}

} // namespace velmora::cli
