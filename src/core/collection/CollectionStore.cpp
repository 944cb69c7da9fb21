// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/CollectionStore.h"

#include "collection/CollectionFile.h"
#include "collection/Import.h"
#include "collection/NodeText.h"
#include "system/Clock.h"
#include "system/FileSystem.h"
#include "system/Progress.h"
#include "texts/AsciiCase.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <cerrno>
#include <new>

namespace velmora::collection {

namespace {

// Text numbers of the wait-window titles and steps.
using texts::TextId;

// The error number of a read of `path` that failed with errno `error`. A
// folder is refused without one.
int ReadError(const FileSystem& files, const std::string& path, int error)
{
    return error == 0 && files.folderExists(path) ? EISDIR : error;
}

// Reads a whole file; false, with the error number in `error`, when it
// cannot be read or is too large to hold.
[[nodiscard]] bool ReadWholeFile(const FileSystem& files, const std::string& path,
                                 ByteBuffer& bytes, int& error)
{
    errno = 0;
    try {
        if (files.readFile(path, bytes))
            return true;
        error = ReadError(files, path, errno);
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    return false;
}

LoadResult CannotOpen(int error, bool notCollection)
{
    LoadResult result;
    result.status = LoadStatus::CannotOpen;
    result.error = error;
    result.notCollection = notCollection;
    return result;
}

[[nodiscard]] std::optional<FileStatus> StatusOnDisk(const FileSystem& files,
                                                     const std::string& path)
{
    FileStatus status;
    if (!files.fileStatus(path, status))
        return std::nullopt;
    return status;
}

bool SameFileVersion(const FileStatus& a, const FileStatus& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified == b.modified && a.modifiedNanoseconds == b.modifiedNanoseconds;
}

// The root's text for saving: sums over the volumes, today's date.
std::string RebuiltRoot(const CollectionTree& tree, std::int32_t today)
{
    std::int64_t size = 0;
    std::int64_t duration = 0;
    std::int64_t files = 0;
    std::int64_t volumes = 0;
    for (NodeId v = tree.firstChild(tree.root()); v != kNoNode; v = tree.nextSibling(v)) {
        Numbers n{};
        ReadNumbers(tree.text(v), n);
        size = AddClamped(size, n[kSizeKB]);
        duration = AddClamped(duration, n[kDuration]);
        files = AddClamped(files, n[kFileCount]);
        ++volumes;
    }
    return CollectionText(size, duration, volumes, files, today);
}

// A folder's text holds four numbers, a file's six: a node below a volume
// without the sixth numeric mark is a folder, even when it holds nothing.
bool IsFolderText(std::string_view text)
{
    return text.find(static_cast<char>(kNumberMark + 5)) == std::string_view::npos;
}

// After a load that stopped at a faulty line, the volume and folders that
// the last node read lies in (and the last node, when it is a volume or a
// folder) lack the nodes after it, but their texts carry the file's totals
// of the whole branch. Each gets the totals of what it holds, from the
// deepest up, added up as the scan adds them: sizes, durations (a file's as
// its absolute value, since a negative one marks a VBR file), files and the
// folders directly below.
void RecountCutBranch(CollectionTree& tree)
{
    NodeId node = tree.root();
    while (tree.hasChildren(node))
        node = tree.lastChild(node);
    if (tree.level(node) >= 2 && !IsFolderText(tree.text(node)))
        node = tree.parent(node);
    for (; node != kNoNode && tree.level(node) >= 1; node = tree.parent(node)) {
        std::int64_t size = 0;
        std::int64_t duration = 0;
        std::int64_t folders = 0;
        std::int64_t files = 0;
        for (NodeId child = tree.firstChild(node); child != kNoNode;
             child = tree.nextSibling(child)) {
            Numbers n{};
            ReadNumbers(tree.text(child), n);
            size = AddClamped(size, n[kSizeKB]);
            if (tree.hasChildren(child) || IsFolderText(tree.text(child))) {
                duration = AddClamped(duration, n[kDuration]);
                files = AddClamped(files, n[kFileCount]);
                ++folders;
            } else {
                duration = AddClamped(duration, AbsClamped(n[kDuration]));
                files = AddClamped(files, 1);
            }
        }
        const std::string_view text = tree.text(node);
        const std::string_view name = NodeName(text);
        if (tree.level(node) == 1) {
            Numbers n{};
            ReadNumbers(text, n);
            tree.setText(node, VolumeText(name, size, duration, folders, files, n[kScanDate],
                                          static_cast<std::int32_t>(n[kSerial])));
        } else {
            tree.setText(node, FolderText(name, size, duration, folders, files));
        }
    }
}

} // namespace

std::optional<texts::TextId> MessageTextOf(LoadStatus status)
{
    switch (status) {
    case LoadStatus::CannotOpen:
        return TextId::CannotOpenFile;
    case LoadStatus::NotValid:
        return TextId::FileNotValid;
    default:
        return std::nullopt;
    }
}

std::optional<texts::TextId> ReasonTextOf(const LoadResult& result)
{
    return result.status == LoadStatus::CannotOpen && result.notCollection
               ? std::optional(TextId::FileNotValid)
               : std::nullopt;
}

LoadResult ProbeCollectionFile(const FileSystem& files, const std::string& path)
{
    std::string head;
    errno = 0;
    if (!files.readHead(path, 1, head))
        return CannotOpen(ReadError(files, path, errno), false);
    if (!LooksLikeCollection(head))
        return CannotOpen(0, true);
    return {};
}

std::optional<texts::TextId> ReasonTextOf(const SaveResult& result)
{
    return result.status == SaveStatus::CannotCreate ? velmora::ReasonTextOf(result.reason)
                                                     : std::nullopt;
}

bool SamePathIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return texts::EqualIgnoringAsciiCase(a, b);
}

CollectionStore::CollectionStore(FileSystem& files, const Clock& clock,
                                 const texts::TextTable& texts)
    : files_(files), clock_(clock), texts_(texts)
{
    NewCollection();
}

void CollectionStore::NewCollection()
{
    tree_.clear();
    tree_.addRoot(CollectionText(0, 0, 0, 0, clock_.today()));
    modified_ = false;
    currentPath_.clear();
    NoteFileOnDisk({}, std::nullopt);
}

LoadResult CollectionStore::LoadCollection(const std::string& path, Progress& progress)
{
    return AdoptCollectionFile(path, ReadCollectionFile(path, progress));
}

ReadFile CollectionStore::ReadCollectionFile(const std::string& path, Progress& progress) const
{
    ReadFile read;
    // Taken before reading: a change during the read then counts as a
    // change since the load.
    read.status = StatusOnDisk(files_, path);
    ByteBuffer bytes;
    int error = 0;
    if (!ReadWholeFile(files_, path, bytes, error)) {
        read.result = CannotOpen(error, false);
        return read;
    }
    if (!LooksLikeCollection(bytes.view())) {
        read.result = CannotOpen(0, true);
        return read;
    }
    files_.removeLeftoverReplacement(path);

    progress.setTitle(texts_.Text(TextId::LoadingTitle));
    progress.step(0, bytes.size, texts_.Step(TextId::ReadDataStep));
    const ReadOutcome outcome = progress.cancelled()
                                    ? ReadOutcome{.valid = true, .faultyLine = 0, .cancelled = true}
                                    : ReadCollection(std::move(bytes), read.tree, &progress);
    if (outcome.cancelled) {
        read.tree.clear();
        read.result = {LoadStatus::Cancelled, 0};
        return read;
    }
    read.tree.reindex();
    if (!outcome.valid) {
        // The part read so far is kept, but never under the file's name: a
        // save of it over the file would drop everything after the faulty
        // line. The totals of the cut branch and of the root are those of
        // the part held, since the file's count the part that was not read.
        RecountCutBranch(read.tree);
        read.tree.setText(read.tree.root(), RebuiltRoot(read.tree, clock_.today()));
        read.result = {LoadStatus::NotValid, outcome.faultyLine};
    }
    return read;
}

LoadResult CollectionStore::AdoptCollectionFile(const std::string& path, ReadFile read)
{
    if (!read.result.loaded())
        return read.result;
    NoteFileOnDisk({}, std::nullopt);
    tree_ = std::move(read.tree);
    if (read.result.status == LoadStatus::NotValid) {
        modified_ = true;
        currentPath_.clear();
        return read.result;
    }
    modified_ = false;
    currentPath_ = path;
    NoteFileOnDisk(path, read.status);
    AddRecentFile(path);
    return read.result;
}

SaveResult CollectionStore::SaveCollection(const std::string& path, Progress& progress)
{
    SaveResult result = WriteCollectionFile(path, progress);
    NoteSaved(path, result);
    return result;
}

SaveResult CollectionStore::WriteCollectionFile(const std::string& path, Progress& progress) const
{
    SaveResult result;
    errno = 0;
    std::unique_ptr<OutputFile> out = files_.createReplacement(path, result.reason);
    if (!out) {
        result.status = SaveStatus::CannotCreate;
        result.error = errno;
        return result;
    }
    progress.setTitle(texts_.Text(TextId::SavingTitle));
    progress.step(0, 0, texts_.Step(TextId::PleaseWaitStep));

    result.rootText = RebuiltRoot(tree_, clock_.today());
    errno = 0;
    if (!WriteCollection(tree_, result.rootText, *out, &progress) || !out->flush()) {
        result.status = SaveStatus::WriteFailed;
        result.error = errno;
        return result;
    }

    // The previous file keeps the backup name: a second link to it where the
    // file system allows, so that the target never goes missing; a rename
    // otherwise. Through a symbolic link, the file replaced and so backed up
    // is the one the link leads to.
    const std::string linked = files_.linkTarget(path);
    const std::string& target = linked.empty() ? path : linked;
    bool renamedAway = false;
    if (backup_ && files_.fileExists(target)) {
        result.backupPath = target + "~";
        // Often there is no old backup to remove; one that cannot be
        // removed makes the link and the rename below fail, which is told.
        static_cast<void>(files_.removeFile(result.backupPath));
        if (!files_.linkFile(target, result.backupPath)) {
            renamedAway = files_.renameFile(target, result.backupPath);
            result.backupFailed = !renamedAway;
        }
    }
    errno = 0;
    if (!out->commit()) {
        result.error = errno;
        // The previous file goes back to its name. Should that fail too, it
        // stays under the backup name: the save has failed either way.
        if (renamedAway)
            static_cast<void>(files_.renameFile(result.backupPath, target));
        result.status = SaveStatus::WriteFailed;
    }
    return result;
}

void CollectionStore::NoteSaved(const std::string& path, const SaveResult& result)
{
    if (!result.saved())
        return;
    tree_.setText(tree_.root(), result.rootText);
    modified_ = false;
    currentPath_ = path;
    NoteFileOnDisk(path, StatusOnDisk(files_, path));
    AddRecentFile(path);
}

bool CollectionStore::ImportCollection(const std::string& path, Progress& progress)
{
    scratch_.clear();
    const bool older = IsOlderFormatPath(path);
    ByteBuffer bytes;
    int error = 0;
    if (!ReadWholeFile(files_, path, bytes, error))
        return false;
    if (!older && !LooksLikeCollection(bytes.view()))
        return false;

    progress.setTitle(texts_.Text(TextId::ImportingTitle));
    progress.step(0, 0, texts_.Step(TextId::LoadDataStep));
    bool read;
    if (older) {
        progress.step(0, 0, texts_.Step(TextId::ConvertDataStep));
        read = ConvertOlderFile(bytes.view(), scratch_);
    } else {
        read = ReadCollection(std::move(bytes), scratch_).valid;
    }
    if (!read) {
        scratch_.clear();
        return false;
    }

    progress.step(0, 0, texts_.Step(TextId::CopyDataStep));
    if (tree_.empty())
        tree_.addRoot(CollectionText(0, 0, 0, 0, clock_.today()));
    MergeImported(tree_, scratch_, clock_.today());

    progress.step(0, 0, texts_.Step(TextId::ClearBufferStep));
    scratch_.clear();
    tree_.reindex();
    modified_ = true;
    return true;
}

bool CollectionStore::changedOnDisk(const std::string& path) const
{
    if (path.empty() || path != notedPath_)
        return false;
    const std::optional<FileStatus> now = StatusOnDisk(files_, path);
    if (!now)
        return false;
    return !noted_ || !SameFileVersion(*noted_, *now);
}

void CollectionStore::NoteFileOnDisk(const std::string& path,
                                     const std::optional<FileStatus>& status)
{
    notedPath_ = path;
    noted_ = status;
}

void CollectionStore::RemoveRecentFile(const std::string& path)
{
    RecentFiles kept;
    std::size_t count = 0;
    for (const std::string& entry : recent_) {
        if (entry != path)
            kept[count++] = entry;
    }
    recent_ = std::move(kept);
}

void CollectionStore::AddRecentFile(const std::string& path)
{
    RecentFiles updated;
    std::size_t count = 0;
    updated[count++] = path;
    for (const std::string& entry : recent_) {
        if (count == updated.size())
            break;
        if (!SamePathIgnoringAsciiCase(entry, path))
            updated[count++] = entry;
    }
    recent_ = std::move(updated);
}

} // namespace velmora::collection
