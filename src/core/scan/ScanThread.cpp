// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanThread.h"

#include "audio/FileRecord.h"
#include "collection/NodeText.h"
#include "system/Clock.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "system/Volumes.h"
#include "texts/AsciiCase.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

namespace velmora::scan {

namespace {

using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;
using collection::Numbers;

struct Totals {
    std::int64_t sizeKB = 0;
    std::int64_t duration = 0;
    std::int64_t folderCount = 0;
    std::int64_t fileCount = 0;
};

bool IsAudioFileName(std::string_view name)
{
    if (name.size() < 4)
        return false;
    const std::string_view tail = name.substr(name.size() - 4);
    const auto lower = texts::LowerAsciiLetter;
    if (tail[0] != '.' || lower(tail[1]) != 'm' || lower(tail[2]) != 'p')
        return false;
    const char last = lower(tail[3]);
    return last == 'a' || last == '1' || last == '2' || last == '3';
}

// A name as node texts can hold it: bytes below 32 become "?".
std::string StoredName(std::string_view name)
{
    std::string stored(name);
    for (char& c : stored) {
        if (static_cast<unsigned char>(c) < 32)
            c = '?';
    }
    return stored;
}

std::string Join(const std::string& folder, std::string_view name)
{
    std::string path = folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

// One folder being scanned: its node, its sorted listing and how far the
// walk has come through it.
struct Frame {
    NodeId node;
    std::string path;
    std::vector<std::string> subfolders;
    std::vector<std::string> files;
    std::size_t nextSubfolder = 0;
    Totals totals;
};

class Scanner {
public:
    Scanner(CollectionTree& tree, const Services& services, Progress& progress,
            const std::atomic<bool>& stop, bool readId3v2)
        : tree_(tree), services_(services), progress_(progress), stop_(stop),
          analyser_(services.files, readId3v2)
    {
    }

    // Scans `path` into `node`; false when cancelled.
    bool ScanFolder(NodeId node, const std::string& path, Totals& result)
    {
        if (!CountFiles(path))
            return false;
        std::vector<Frame> stack;
        if (!Push(stack, node, path))
            return Finish(result, Totals());
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.nextSubfolder < frame.subfolders.size()) {
                if (stop_)
                    return false;
                const std::string& name = frame.subfolders[frame.nextSubfolder++];
                const std::string childPath = Join(frame.path, name);
                const NodeId child = tree_.appendChild(frame.node, ScannedName(name));
                if (!Push(stack, child, childPath)) {
                    tree_.remove(child); // unreadable: counts as empty
                    progress_.setPhase(frame.path);
                }
                continue;
            }
            // Subfolders done: the files, then the folder is complete.
            if (!ScanFiles(frame))
                return false;
            progress_.setObject({});
            const Frame done = std::move(stack.back());
            stack.pop_back();
            if (stack.empty())
                return Finish(result, done.totals);
            Frame& parent = stack.back();
            if (done.totals.fileCount < 1) {
                tree_.remove(done.node);
            } else {
                const std::string name(tree_.text(done.node));
                tree_.setText(done.node, collection::FolderText(
                                             name, done.totals.sizeKB, done.totals.duration,
                                             done.totals.folderCount, done.totals.fileCount));
                parent.totals.sizeKB += done.totals.sizeKB;
                parent.totals.duration += done.totals.duration;
                parent.totals.fileCount += done.totals.fileCount;
                parent.totals.folderCount += 1;
            }
            progress_.setPhase(parent.path);
        }
        return true;
    }

    bool warning() const { return warning_; }

private:
    static bool Finish(Totals& result, const Totals& totals)
    {
        result = totals;
        return true;
    }

    // Lists a folder onto the stack; false when it cannot be read.
    bool Push(std::vector<Frame>& stack, NodeId node, const std::string& path)
    {
        progress_.setPhase(path);
        if (!services_.files.listFolder(path, entries_)) {
            warning_ = true;
            return false;
        }
        Frame frame{node, path, {}, {}, 0, {}};
        for (FolderEntry& entry : entries_) {
            if (entry.kind == FolderEntry::Kind::Folder && !entry.hidden)
                frame.subfolders.push_back(std::move(entry.name));
            else if (entry.kind == FolderEntry::Kind::File && IsAudioFileName(entry.name))
                frame.files.push_back(std::move(entry.name));
        }
        const Locale& locale = services_.locale;
        const auto before = [&locale](const std::string& a, const std::string& b) {
            const int order = locale.compareIgnoreCase(a, b);
            return order != 0 ? order < 0 : a < b;
        };
        std::sort(frame.subfolders.begin(), frame.subfolders.end(), before);
        std::sort(frame.files.begin(), frame.files.end(), before);
        stack.push_back(std::move(frame));
        return true;
    }

    // The total of the steps: the audio files the walk will meet, counted
    // by listing the folders as Push() does. The walk finds a folder's files
    // just before it analyses them, so only a first pass gives a total that
    // means something. False when stopped.
    bool CountFiles(const std::string& path)
    {
        std::vector<std::string> folders{path};
        while (!folders.empty()) {
            if (stop_)
                return false;
            const std::string folder = std::move(folders.back());
            folders.pop_back();
            progress_.setPhase(folder);
            if (!services_.files.listFolder(folder, entries_))
                continue;
            for (const FolderEntry& entry : entries_) {
                if (entry.kind == FolderEntry::Kind::Folder && !entry.hidden)
                    folders.push_back(Join(folder, entry.name));
                else if (entry.kind == FolderEntry::Kind::File && IsAudioFileName(entry.name))
                    ++filesFound_;
            }
        }
        progress_.step(0, filesFound_, {});
        return true;
    }

    bool ScanFiles(Frame& frame)
    {
        for (const std::string& name : frame.files) {
            if (stop_)
                return false;
            progress_.setObject(name);
            const audio::FileRecord record = analyser_.Analyse(Join(frame.path, name));
            tree_.appendChild(frame.node, audio::FileNodeText(ScannedName(name), record));
            frame.totals.sizeKB += record.numbers[collection::kSizeKB];
            frame.totals.duration += std::llabs(record.numbers[collection::kDuration]);
            frame.totals.fileCount += 1;
            progress_.step(++filesDone_, filesFound_, {});
        }
        return true;
    }

    CollectionTree& tree_;
    const Services& services_;
    Progress& progress_;
    const std::atomic<bool>& stop_;
    audio::FileAnalyser analyser_;
    std::vector<FolderEntry> entries_;
    bool warning_ = false;
    // The steps: files analysed of the files counted.
    std::uint64_t filesDone_ = 0;
    std::uint64_t filesFound_ = 0;
};

std::int64_t SubtractClamped(std::int64_t a, std::int64_t b)
{
    std::int64_t difference = 0;
    if (!__builtin_sub_overflow(a, b, &difference))
        return difference;
    return b < 0 ? std::numeric_limits<std::int64_t>::max()
                 : std::numeric_limits<std::int64_t>::min();
}

void UpdateCollectionNode(CollectionTree& tree, NodeId volume, NodeId replaced,
                          std::int32_t scanDate)
{
    Numbers root{};
    Numbers added{};
    collection::ReadNumbers(tree.text(tree.root()), root);
    collection::ReadNumbers(tree.text(volume), added);
    using collection::AddClamped;
    std::int64_t size = AddClamped(root[collection::kSizeKB], added[collection::kSizeKB]);
    std::int64_t duration = AddClamped(root[collection::kDuration], added[collection::kDuration]);
    std::int64_t files =
        AddClamped(root[collection::kCollectionFileCount], added[collection::kFileCount]);
    std::int64_t volumes = root[collection::kVolumeCount];
    if (replaced != kNoNode) {
        Numbers old{};
        collection::ReadNumbers(tree.text(replaced), old);
        size = SubtractClamped(size, old[collection::kSizeKB]);
        duration = SubtractClamped(duration, old[collection::kDuration]);
        files = SubtractClamped(files, old[collection::kFileCount]);
    } else {
        volumes = AddClamped(volumes, 1);
    }
    tree.setText(tree.root(), collection::CollectionText(size, duration, volumes, files, scanDate));
}

} // namespace

std::string ScannedName(std::string_view diskName)
{
    return collection::CleanText(StoredName(diskName));
}

std::string CleanLabel(std::string_view label)
{
    std::string unslashed(label);
    std::replace(unslashed.begin(), unslashed.end(), '\\', ' ');
    return collection::CleanText(unslashed);
}

std::string VolumeName(std::string_view label, std::string_view root, std::string_view source)
{
    std::string name = CleanLabel(label);
    while (!root.empty() && root.back() == '/')
        root.remove_suffix(1);
    std::string_view below = source.substr(std::min(root.size(), source.size()));
    while (!below.empty() && below.front() == '/')
        below.remove_prefix(1);
    while (!below.empty() && below.back() == '/')
        below.remove_suffix(1);
    if (below.empty())
        return name;
    name += '\\';
    name += StoredName(below);
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

ScanOutcome ScanSource(CollectionTree& tree, const Services& services, const ScanRequest& request,
                       Progress& progress, const std::atomic<bool>& stop)
{
    ScanOutcome outcome;
    std::string label;
    std::uint32_t serial = 0;
    const bool needInformation = !request.label || !request.serial;
    if (needInformation && !DriveInfo(services.volumes, request.sourcePath, label, serial)) {
        outcome.noVolumeInformation = true;
        return outcome;
    }
    if (request.serial)
        serial = *request.serial;
    std::string name;
    if (request.label) {
        name = CleanLabel(*request.label);
    } else {
        name = VolumeName(label, services.volumes.rootOf(request.sourcePath), request.sourcePath);
    }

    NodeId volume;
    if (request.replace == kNoNode) {
        volume = tree.appendChild(tree.root(), name);
    } else {
        // An update keeps a label the user gave the volume, as long as the
        // folder part is the same.
        const std::string_view oldName = collection::NodeName(tree.text(request.replace));
        if (collection::PathAfterDrive(name) == collection::PathAfterDrive(oldName))
            name = std::string(oldName);
        volume = tree.insertBefore(request.replace, name);
    }
    outcome.volume = volume;
    progress.setTitle(name);

    Scanner scanner(tree, services, progress, stop, request.readId3v2);
    Totals totals;
    const bool finished = scanner.ScanFolder(volume, request.sourcePath, totals);
    outcome.warning = scanner.warning();
    if (!finished) {
        outcome.cancelled = true;
        return outcome;
    }
    if (totals.fileCount <= 0) {
        tree.remove(volume);
        outcome.volume = kNoNode;
        return outcome;
    }
    const std::int32_t today = services.clock.today();
    tree.setText(volume, collection::VolumeText(name, totals.sizeKB, totals.duration,
                                                totals.folderCount, totals.fileCount, today,
                                                static_cast<std::int32_t>(serial)));
    if (request.updateTotals)
        UpdateCollectionNode(tree, volume, request.replace, today);
    return outcome;
}

TScanThread::TScanThread(CollectionTree& tree, const Services& services, ScanRequest request)
    : Task([&tree, services, request = std::move(request)](ProgressState& progress) {
          return ScanSource(tree, services, request, progress, progress.stopFlag());
      })
{
}

} // namespace velmora::scan
