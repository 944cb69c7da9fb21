#include "playback/Playback.h"

#include "collection/NodeText.h"
#include "playback/PlaylistWriter.h"
#include "scan/VolumeEditor.h"
#include "system/FileSystem.h"
#include "system/Volumes.h"
#include "texts/AsciiCase.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"

#include <algorithm>
#include <charconv>

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

// Appends "/" and `name` to the native path `path` (no "/" after a path that
// already ends in one, such as the root "/"). A name that is not UTF-8 was
// written on Windows in its code page: when it is not on disk as it stands
// but is in UTF-8, the UTF-8 form is taken.
void AppendName(std::string& path, std::string_view name, bool folder, const FileSystem& files)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    const std::size_t start = path.size();
    path += name;
    if (texts::IsValidUtf8(name) || Exists(files, path, folder))
        return;
    path.resize(start);
    path += texts::Windows1252ToUtf8(name);
    if (Exists(files, path, folder))
        return;
    path.resize(start);
    path += name;
}

// The volume's folder on a drive mounted at `root`, by the folder part of
// its name, mapped as AppendName() maps names.
std::string VolumeFolder(std::string_view root, std::string_view folderPart,
                         const FileSystem& files)
{
    std::string path = scan::SourcePathOf(root, folderPart);
    if (texts::IsValidUtf8(folderPart) || files.folderExists(path))
        return path;
    std::string converted = scan::SourcePathOf(root, texts::Windows1252ToUtf8(folderPart));
    return files.folderExists(converted) ? converted : path;
}

std::string UpperHex(std::uint32_t value)
{
    char digits[8];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value, 16);
    std::string hex(digits, end.ptr);
    std::transform(hex.begin(), hex.end(), hex.begin(), texts::UpperAsciiLetter);
    return hex;
}

// Calls onFile(path) with the native path of every file below `node`, in
// pre-order (see CollectBranch()).
template <typename OnFile>
void ForEachFile(const CollectionTree& tree, NodeId node, const std::string& folderPath,
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
    // node at depth d + 1 until that folder's subtree ends.
    const std::uint32_t base = tree.level(node);
    std::string path = folderPath;
    std::vector<std::size_t> folderEnds{path.size()};
    std::uint64_t done = 0;
    for (NodeId n = tree.nextInPreOrder(node); n != end; n = tree.nextInPreOrder(n)) {
        const std::size_t depth = tree.level(n) - base;
        path.resize(folderEnds[depth - 1]);
        const bool folder = tree.hasChildren(n);
        AppendName(path, collection::NodeName(tree.text(n)), folder, files);
        if (folder) {
            if (folderEnds.size() <= depth)
                folderEnds.resize(depth + 1);
            folderEnds[depth] = path.size();
        } else {
            onFile(std::string_view(path));
        }
        if (++done % kStepNodes == 0) {
            progress.step(done, total, {});
            if (progress.cancelled())
                return;
        }
    }
    progress.step(done, total, {});
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

        location.path =
            VolumeFolder(drive.root, collection::PathAfterDrive(volumeName), services.files);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const bool folder = i + 1 < names.size() || IsFolderNode(tree, node);
            AppendName(location.path, names[i], folder, services.files);
        }
        location.status = Exists(services.files, location.path, IsFolderNode(tree, node))
                              ? NodeLocation::Status::Found
                              : NodeLocation::Status::PathMissing;
        return location;
    }
    return location;
}

std::vector<std::string> CollectBranch(const CollectionTree& tree, NodeId node,
                                       const std::string& folderPath, const FileSystem& files,
                                       Progress& progress)
{
    std::vector<std::string> paths;
    ForEachFile(tree, node, folderPath, files, progress,
                [&](std::string_view path) { paths.emplace_back(path); });
    return paths;
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

bool LocateAndPlay(const CollectionTree& tree, NodeId node, const std::string& playlistFile,
                   PlayMode mode, const Services& services, const texts::TextTable& table,
                   PlaybackUser& user, std::unique_ptr<OutputFile> output)
{
    const NodeLocation location = LocateNode(tree, node, services);
    if (location.status != NodeLocation::Status::Found) {
        user.ShowError(NotFoundMessage(table, location));
        return false;
    }

    // The playlist is written while the files are found.
    PlaylistWriter writer = output ? PlaylistWriter(std::move(output), FormatOf(playlistFile))
                                   : PlaylistWriter(services.files, playlistFile);
    if (IsFolderNode(tree, node)) {
        bool stopped = false;
        user.RunListing([&](Progress& progress) {
            progress.setTitle(table.Text(TextId::ListingTitle));
            progress.setPhase(table.Step(TextId::CreatePlaylistCommand));
            ForEachFile(tree, node, location.path, services.files, progress,
                        [&](std::string_view path) { writer.Add(path); });
            stopped = progress.cancelled();
        });
        if (stopped)
            return false;
    } else {
        writer.Add(location.path);
    }
    if (writer.count() == 0)
        return false;

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
    return true;
}

std::string ProposedPlaylistName(const CollectionTree& tree, NodeId node)
{
    const std::string_view name = collection::NodeName(tree.text(node));
    const std::size_t slash = name.rfind('\\');
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

} // namespace velmora::playback
