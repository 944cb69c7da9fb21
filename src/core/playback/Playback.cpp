// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/Playback.h"

#include "collection/NodeText.h"
#include "playback/PlaylistWriter.h"
#include "scan/ScanThread.h"
#include "scan/VolumeEditor.h"
#include "system/FileSystem.h"
#include "system/Volumes.h"
#include "texts/AsciiCase.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace velmora::playback {

namespace {

using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;
using texts::TextId;

// Progress is reported after this many nodes of a branch, and the stop
// request read; often enough for the wait window, rare enough to cost
// nothing against building the paths.
constexpr std::uint64_t kStepNodes = 4096;

// The volume node above `node` (the node itself at level 1); kNoNode for the
// collection node.
NodeId VolumeOf(const CollectionTree& tree, NodeId node)
{
    if (tree.level(node) == 0)
        return kNoNode;
    while (tree.level(node) > 1)
        node = tree.parent(node);
    return node;
}

// Volumes and folders are folders on disk; a node without children below a
// volume is a file.
bool IsFolderNode(const CollectionTree& tree, NodeId node)
{
    return tree.level(node) == 1 || tree.hasChildren(node);
}

bool Exists(const FileSystem& files, const std::string& path, bool folder)
{
    return folder ? files.folderExists(path) : files.fileExists(path);
}

// Whether `name` can name one entry of a folder. "." and ".." name the
// folder itself and its parent, a "/" leads further, a zero byte cuts the
// path short; a hand-made or hostile collection can hold such names. An
// empty name (a scan stores a name of blanks only so) would name the folder
// itself.
bool IsEntryName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// Finds stored names in folders on disk. The scan stores a name cleaned
// (ScannedName()), so the name on disk may differ from it: the name as it
// stands is taken first, then its UTF-8 form when it is not UTF-8 (written
// on Windows in its code page), then the one entry of the folder, of the
// node's kind, whose scanned name is the stored name. The listing of the
// last folder searched is kept, since the names of one folder are asked for
// one after another.
class NameFinder {
public:
    explicit NameFinder(const FileSystem& files) : files_(files) {}

    // Appends "/" (unless `path` ends in one, as the root "/" does) and the
    // name on disk of the entry `name` of the folder `path`; true when it
    // exists with the kind asked for. Otherwise `name` itself is appended
    // and false returned.
    bool Append(std::string& path, std::string_view name, bool folder)
    {
        if (path.empty() || path.back() != '/')
            path += '/';
        const std::size_t start = path.size();
        path += name;
        if (!IsEntryName(name))
            return false;
        if (Exists(files_, path, folder))
            return true;
        const bool utf8 = texts::IsValidUtf8(name);
        const std::string converted = utf8 ? std::string() : texts::Windows1252ToUtf8(name);
        if (!utf8) {
            path.resize(start);
            path += converted;
            if (Exists(files_, path, folder))
                return true;
        }
        path.resize(start);
        const std::string* found =
            Cleaned(std::string_view(path).substr(0, start - 1), name, converted, folder);
        if (found == nullptr) {
            path += name;
            return false;
        }
        path += *found;
        return true;
    }

private:
    // The name of the one entry of `folder` of the wanted kind whose scanned
    // name is `name` (or `converted`, when not empty); nullptr when there is
    // none or more than one.
    const std::string* Cleaned(std::string_view folder, std::string_view name,
                               std::string_view converted, bool wantFolder)
    {
        if (folder.empty())
            folder = "/";
        if (folder != listed_) {
            listed_ = folder;
            if (!files_.listFolder(listed_, entries_))
                entries_.clear();
        }
        const FolderEntry::Kind kind =
            wantFolder ? FolderEntry::Kind::Folder : FolderEntry::Kind::File;
        const std::string* found = nullptr;
        for (const FolderEntry& entry : entries_) {
            if (entry.kind != kind)
                continue;
            const std::string scanned = scan::ScannedName(entry.name);
            if (scanned != name && (converted.empty() || scanned != converted))
                continue;
            if (found != nullptr)
                return nullptr;
            found = &entry.name;
        }
        return found;
    }

    const FileSystem& files_;
    std::string listed_;
    std::vector<FolderEntry> entries_;
};

// The volume's folder on a drive mounted at `root`, by the folder part of
// its name, a name not in UTF-8 mapped as NameFinder maps names; false when
// a part of the folder part is "." or "..", or holds "/" or a zero byte,
// which would lead elsewhere.
[[nodiscard]] bool VolumeFolder(std::string_view root, std::string_view folderPart,
                                const FileSystem& files, std::string& path)
{
    path = scan::SourcePathOf(root, folderPart);
    for (std::string_view rest = folderPart; !rest.empty();) {
        const std::size_t slash = rest.find('\\');
        const std::string_view part = rest.substr(0, slash);
        if (!part.empty() && !IsEntryName(part))
            return false;
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    if (texts::IsValidUtf8(folderPart) || files.folderExists(path))
        return true;
    std::string converted = scan::SourcePathOf(root, texts::Windows1252ToUtf8(folderPart));
    if (files.folderExists(converted))
        path = std::move(converted);
    return true;
}

std::string UpperHex(std::uint32_t value)
{
    char digits[8];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value, 16);
    std::string hex(digits, end.ptr);
    std::transform(hex.begin(), hex.end(), hex.begin(), texts::UpperAsciiLetter);
    return hex;
}

// Calls onFile(path) with the native path of every file below `node` that
// is found on disk, in pre-order (see CollectBranch()); returns the number
// of files left out.
template <typename OnFile>
std::size_t ForEachFile(const CollectionTree& tree, NodeId node, const std::string& folderPath,
                        const FileSystem& files, Progress& progress, OnFile&& onFile)
{
    const NodeId end = tree.nextAfterSubtree(node);
    std::uint64_t total = 0;
    for (NodeId n = tree.nextInPreOrder(node); n != end; n = tree.nextInPreOrder(n))
        ++total;
    progress.step(0, total, {});

    // `path` is the path of the node just visited; folderEnds[d] is the length
    // of the path of the last folder visited at depth d below `node` (0 for
    // `node` itself), which in pre-order is the parent of every following
    // node at depth d + 1 until that folder's subtree ends; kMissing when
    // that folder was not found, so that everything below it is left out.
    constexpr std::size_t kMissing = std::string::npos;
    const std::uint32_t base = tree.level(node);
    NameFinder finder(files);
    std::string path = folderPath;
    std::vector<std::size_t> folderEnds{path.size()};
    std::uint64_t done = 0;
    std::size_t leftOut = 0;
    for (NodeId n = tree.nextInPreOrder(node); n != end; n = tree.nextInPreOrder(n)) {
        const std::size_t depth = tree.level(n) - base;
        const bool folder = tree.hasChildren(n);
        bool found = folderEnds[depth - 1] != kMissing;
        if (found) {
            path.resize(folderEnds[depth - 1]);
            found = finder.Append(path, collection::NodeName(tree.text(n)), folder);
        }
        if (folder) {
            if (folderEnds.size() <= depth)
                folderEnds.resize(depth + 1);
            folderEnds[depth] = found ? path.size() : kMissing;
        } else if (found) {
            onFile(std::string_view(path));
        } else {
            ++leftOut;
        }
        if (++done % kStepNodes == 0) {
            progress.step(done, total, {});
            if (progress.cancelled())
                return leftOut;
        }
    }
    progress.step(done, total, {});
    return leftOut;
}

} // namespace

NodeLocation LocateNode(const CollectionTree& tree, NodeId node, const Services& services)
{
    NodeLocation location;
    const NodeId volume = VolumeOf(tree, node);
    if (volume == kNoNode)
        return location;
    const std::string_view volumeText = tree.text(volume);
    const std::string_view volumeName = collection::NodeName(volumeText);
    location.driveLabel = volumeName.substr(0, volumeName.find('\\'));
    collection::Numbers numbers{};
    collection::ReadNumbers(volumeText, numbers);
    location.serial = static_cast<std::int32_t>(numbers[collection::kSerial]);

    for (const VolumeInfo& drive : scan::CandidateDrives(services.volumes, scan::kSkipFirstDrive)) {
        std::string label;
        std::uint32_t serial = 0;
        if (!services.volumes.info(drive.root, label, serial))
            continue;
        const bool matches = location.serial != 0
                                 ? static_cast<std::int32_t>(serial) == location.serial
                                 : texts::CompareLowerFolded(label, location.driveLabel) == 0;
        if (!matches)
            continue;

        // The names below the volume, from the top down.
        std::vector<std::string_view> names;
        for (NodeId up = node; up != volume; up = tree.parent(up))
            names.push_back(collection::NodeName(tree.text(up)));
        std::reverse(names.begin(), names.end());

        location.status = NodeLocation::Status::PathMissing;
        if (!VolumeFolder(drive.root, collection::PathAfterDrive(volumeName), services.files,
                          location.path))
            return location;
        NameFinder finder(services.files);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const bool folder = i + 1 < names.size() || IsFolderNode(tree, node);
            if (finder.Append(location.path, names[i], folder))
                continue;
            // The rest as stored, for the message.
            for (++i; i < names.size(); ++i) {
                location.path += '/';
                location.path += names[i];
            }
            return location;
        }
        if (Exists(services.files, location.path, IsFolderNode(tree, node)))
            location.status = NodeLocation::Status::Found;
        return location;
    }
    return location;
}

BranchFiles CollectBranch(const CollectionTree& tree, NodeId node, const std::string& folderPath,
                          const FileSystem& files, Progress& progress)
{
    BranchFiles branch;
    branch.leftOut = ForEachFile(tree, node, folderPath, files, progress,
                                 [&](std::string_view path) { branch.paths.emplace_back(path); });
    return branch;
}

std::string LeftOutMessage(const texts::TextTable& table, std::size_t count)
{
    std::string message(table.Text(TextId::ItemsLeftOut));
    message += ": ";
    message += std::to_string(count);
    return message;
}

std::string NotFoundMessage(const texts::TextTable& table, const NodeLocation& location)
{
    std::string message(table.Text(TextId::CannotFindSource));
    if (location.status != NodeLocation::Status::VolumeMissing) {
        message += ": ";
        message += location.path;
        return message;
    }
    message += "\r\n";
    message += table.Text(TextId::DriveLabelLabel);
    message += ": \"";
    message += location.driveLabel;
    message += '"';
    if (location.serial != 0) {
        message += "\r\n";
        message += table.Text(TextId::DriveSerialLabel);
        message += ": ";
        message += UpperHex(static_cast<std::uint32_t>(location.serial));
    }
    return message;
}

bool LocateAndPlay(const CollectionTree& tree, std::span<const NodeId> nodes,
                   const std::string& playlistFile, PlayMode mode, const Services& services,
                   const texts::TextTable& table, PlaybackUser& user,
                   std::unique_ptr<OutputFile> output)
{
    std::vector<NodeId> found;
    std::vector<std::string> paths;
    std::optional<NodeLocation> firstMissing;
    std::size_t leftOut = 0;
    for (const NodeId node : nodes) {
        NodeLocation location = LocateNode(tree, node, services);
        if (location.status == NodeLocation::Status::Found) {
            found.push_back(node);
            paths.push_back(std::move(location.path));
            continue;
        }
        if (!firstMissing)
            firstMissing = std::move(location);
        collection::Numbers numbers{};
        collection::ReadNumbers(tree.text(node), numbers);
        leftOut += IsFolderNode(tree, node) ? static_cast<std::size_t>(std::max<std::int64_t>(
                                                  numbers[collection::kFileCount], 0))
                                            : 1;
    }
    if (found.empty()) {
        if (firstMissing)
            user.ShowError(NotFoundMessage(table, *firstMissing));
        return false;
    }

    // The playlist is written while the files are found.
    PlaylistWriter writer = output ? PlaylistWriter(std::move(output), FormatOf(playlistFile))
                                   : PlaylistWriter(services.files, playlistFile);
    const bool anyFolder = std::any_of(found.begin(), found.end(),
                                       [&tree](NodeId node) { return IsFolderNode(tree, node); });
    if (anyFolder) {
        bool stopped = false;
        // The listing may run on a worker, which must not read the table:
        // the window may replace it meanwhile.
        const std::string title(table.Text(TextId::ListingTitle));
        const std::string phase = table.Step(TextId::CreatePlaylistCommand);
        user.RunListing([&](Progress& progress) {
            progress.setTitle(title);
            progress.setPhase(phase);
            for (std::size_t i = 0; i < found.size() && !progress.cancelled(); ++i) {
                if (!IsFolderNode(tree, found[i])) {
                    writer.Add(paths[i]);
                    continue;
                }
                leftOut += ForEachFile(tree, found[i], paths[i], services.files, progress,
                                       [&](std::string_view path) { writer.Add(path); });
            }
            stopped = progress.cancelled();
        });
        if (stopped)
            return false;
    } else {
        for (const std::string& path : paths)
            writer.Add(path);
    }
    if (writer.count() == 0) {
        if (leftOut > 0)
            user.ShowLeftOut(LeftOutMessage(table, leftOut));
        return false;
    }

    if (!writer.Finish()) {
        std::string message(table.Text(TextId::CannotCreatePlaylist));
        message += ": ";
        message += playlistFile;
        user.ShowError(message);
        return false;
    }
    switch (mode) {
    case PlayMode::Play:
        user.Open(writer.count() == 1 ? writer.first() : playlistFile);
        break;
    case PlayMode::Enqueue:
        user.Enqueue(playlistFile);
        break;
    case PlayMode::Playlist:
        break;
    }
    if (leftOut > 0)
        user.ShowLeftOut(LeftOutMessage(table, leftOut));
    return true;
}

std::string ProposedPlaylistName(const CollectionTree& tree, NodeId node)
{
    const std::string_view name = collection::NodeName(tree.text(node));
    const std::size_t slash = name.rfind('\\');
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

} // namespace velmora::playback
