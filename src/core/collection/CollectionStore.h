// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "system/FileSystem.h"
#include "texts/TextIds.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>

namespace velmora {
class Clock;
class Progress;
} // namespace velmora
namespace velmora::texts {
class TextTable;
}

namespace velmora::collection {

inline constexpr std::size_t kRecentFileCount = 5;
using RecentFiles = std::array<std::string, kRecentFileCount>;

enum class LoadStatus {
    Loaded,     ///< the tree was replaced by the file's nodes
    CannotOpen, ///< unreadable, empty or not beginning with 0x01 (CannotOpenFile); nothing changed
    NotValid,   ///< indentation broken (FileNotValid); the nodes before the faulty line were
                ///< loaded as an untitled, modified collection
    Cancelled,  ///< the progress asked to stop while reading; nothing changed
};

struct LoadResult {
    LoadStatus status = LoadStatus::Loaded;
    std::size_t faultyLine = 0; ///< with NotValid
    /// With CannotOpen, why: the system's error number (errno) when the file
    /// could not be read, 0 when the system gave none; `notCollection` when
    /// it was read but is no collection file.
    int error = 0;
    bool notCollection = false;
    bool loaded() const { return status == LoadStatus::Loaded || status == LoadStatus::NotValid; }
};

/// A collection file read but not yet the collection (see
/// CollectionStore::ReadCollectionFile()).
struct ReadFile {
    LoadResult result;
    CollectionTree tree;
    /// The file as it was before it was read.
    std::optional<FileStatus> status;
};

enum class SaveStatus {
    Saved,
    CannotCreate, ///< the file could not be created (CannotSaveFile); nothing changed
    WriteFailed,  ///< writing or flushing failed (CannotSaveFile); the previous file is untouched
};

struct SaveResult {
    SaveStatus status = SaveStatus::Saved;
    /// With CannotCreate: why (WriteProtected, ForeignLink, or Failed).
    WriteError reason = WriteError::None;
    /// The system's error number (errno) of the step that failed; 0 when it
    /// gave none.
    int error = 0;
    /// The previous file could not be given the backup name (CannotSaveFile with
    /// backupPath); saving went on.
    bool backupFailed = false;
    std::string backupPath;
    /// The root's text as written.
    std::string rootText;
    bool saved() const { return status == SaveStatus::Saved; }
};

/// The text that reports a failed load: CannotOpenFile or FileNotValid;
/// none for a load that succeeded.
std::optional<texts::TextId> MessageTextOf(LoadStatus status);
/// The text that tells why a load failed (CannotOpen), on the line after
/// the message: FileNotValid for a file that is no collection file; none
/// otherwise (the system's text for `error` may tell more).
std::optional<texts::TextId> ReasonTextOf(const LoadResult& result);
/// The text that tells why a save failed, on the line after the message;
/// none when there is no more to tell (the system's text for `error` may).
std::optional<texts::TextId> ReasonTextOf(const SaveResult& result);

/// The check before a collection file is read: Loaded when its first byte
/// says it is one; else CannotOpen with the reason, as ReadCollectionFile()
/// would give it. Reads one byte.
[[nodiscard]] LoadResult ProbeCollectionFile(const FileSystem& files, const std::string& path);

/// The collection store: the collection tree, the scratch tree used by
/// import, and the state around the collection file (current path, modified
/// flag, recent files, backup flag). Operations report results; the caller
/// shows the messages.
class CollectionStore {
public:
    /// The references must outlive the store. `texts` is the active text
    /// table, read for the progress texts at each call.
    CollectionStore(FileSystem& files, const Clock& clock, const texts::TextTable& texts);

    CollectionTree& tree() { return tree_; }
    const CollectionTree& tree() const { return tree_; }
    CollectionTree& scratch() { return scratch_; }

    const std::string& currentPath() const { return currentPath_; }
    bool modified() const { return modified_; }
    /// Set by every operation of other subsystems that changes the collection.
    void setModified() { modified_ = true; }

    const RecentFiles& recentFiles() const { return recent_; }
    void setRecentFiles(const RecentFiles& files) { recent_ = files; }
    /// Whether a save first gives the previous file the name PATH~.
    bool backup() const { return backup_; }
    void setBackup(bool on) { backup_ = on; }

    /// An empty collection: the root with all sums 0 and today's date; not
    /// modified; no current path.
    void NewCollection();

    /// Replaces the collection by the file's nodes. On CannotOpen nothing
    /// changes. On Loaded the collection is the file's nodes, unmarked and not
    /// modified, the current path is `path` and it heads the recent files. On
    /// NotValid the collection is the nodes before the faulty line, with the
    /// totals of the volume and folders that the faulty line cut short
    /// recounted from the nodes they hold, as a scan counts them, and the
    /// root's totals rebuilt from its volumes; it is modified and has no
    /// current path, and the recent files stay as they were, so that nothing
    /// saves the part over the whole file.
    [[nodiscard]] LoadResult LoadCollection(const std::string& path, Progress& progress);
    /// LoadCollection() in two halves, so that a window can read on a worker
    /// while its views still show the collection: the first reads and checks
    /// the file, with progress by bytes, and changes nothing of the store
    /// (CannotOpen, or Cancelled when the progress asks to stop); the second
    /// makes what was read the collection, on the thread that owns the store.
    [[nodiscard]] ReadFile ReadCollectionFile(const std::string& path, Progress& progress) const;
    [[nodiscard]] LoadResult AdoptCollectionFile(const std::string& path, ReadFile read);

    /// Writes the collection to `path` with the root rebuilt from the volume
    /// nodes (sums of size, duration and file count, the volume count, today's
    /// date). The new file replaces the old one in a single rename after it
    /// was completely written and flushed, so a failure at any point leaves
    /// the previous file and the collection as they were. With the backup flag
    /// on, the previous file keeps the name PATH~. A file this user may not
    /// write is not replaced (CannotCreate, WriteProtected).
    ///
    /// The programs save through a CollectionTransaction, which holds the
    /// file's lock around this.
    [[nodiscard]] SaveResult SaveCollection(const std::string& path, Progress& progress);
    /// SaveCollection() in two halves, as for loading: the first writes the
    /// file (the tree is only read), with progress by bytes; the second
    /// notes a save that succeeded in the root and the store's state.
    [[nodiscard]] SaveResult WriteCollectionFile(const std::string& path, Progress& progress) const;
    void NoteSaved(const std::string& path, const SaveResult& result);

    /// Adds the volumes of a collection file (or of an older "vlm" file,
    /// recognised by its extension) after the existing ones and adds its
    /// totals to the root's. False when the file cannot be read or is not
    /// valid; the collection, its state and its modified flag are then as
    /// they were.
    [[nodiscard]] bool ImportCollection(const std::string& path, Progress& progress);

    /// True when `path` is the file the collection was last loaded from or
    /// saved to, and another program has written or replaced that file
    /// since (its device, inode, size or modification time differ). False
    /// for any other path and when the file is gone.
    bool changedOnDisk(const std::string& path) const;

    /// Puts `path` first in the recent files, dropping an entry equal to it
    /// under ASCII case folding and the fifth entry.
    void AddRecentFile(const std::string& path);
    /// Drops the entry `path` (byte for byte) from the recent files; those
    /// after it move up.
    void RemoveRecentFile(const std::string& path);

    FileSystem& files() { return files_; }

private:
    void NoteFileOnDisk(const std::string& path, const std::optional<FileStatus>& status);

    FileSystem& files_;
    const Clock& clock_;
    const texts::TextTable& texts_;
    CollectionTree tree_;
    CollectionTree scratch_;
    std::string currentPath_;
    bool modified_ = false;
    bool backup_ = false;
    RecentFiles recent_;
    // The file as it was when loaded or saved.
    std::string notedPath_;
    std::optional<FileStatus> noted_;
};

/// True when two paths are equal once the letters A to Z are folded.
bool SamePathIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace velmora::collection
