// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionStore.h"
#include "system/FileSystem.h"
#include "texts/TextIds.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace velmora {
class Progress;
}

namespace velmora::collection {

/// How long a program waits for another one that is changing the same
/// collection before it gives up.
inline constexpr std::chrono::milliseconds kCollectionLockWait{5000};

enum class LockStatus {
    Held,   ///< the lock is held
    Busy,   ///< another program held it for all of the wait (CollectionBusy)
    Failed, ///< it cannot be taken at all, as when its folder cannot be written
            ///< (CannotSaveFile)
};

/// The text that reports a lock that was not obtained; none for Held.
std::optional<texts::TextId> MessageTextOf(LockStatus status);

/// The one way the programs load, change and save a collection file. It
/// takes the file's advisory lock when it is made and holds it until it is
/// released or destroyed; every program that changes the file takes the same
/// lock first, so that none loads, compares or replaces the file while
/// another is between its load and its save.
///
/// A command holds one transaction from before its load until after its
/// save. The window, which keeps a collection open for hours, holds one only
/// while it loads, or while it compares the file with the version it last
/// loaded or saved (ChangedOnDisk()) and saves.
///
/// Load and Save act on the store given at construction; they fail, and
/// nothing changes, when the lock is not held.
class CollectionTransaction {
public:
    /// Takes the lock of the collection file at `path`, waiting up to `wait`
    /// while another program holds it. Only the file system of `store` is
    /// used here, so the wait may run on a worker thread.
    CollectionTransaction(CollectionStore& store, std::string path, std::chrono::milliseconds wait);
    ~CollectionTransaction();
    CollectionTransaction(const CollectionTransaction&) = delete;
    CollectionTransaction& operator=(const CollectionTransaction&) = delete;

    LockStatus status() const { return status_; }
    /// Why the lock was not taken: the system's error number; 0 when held
    /// or when the system gave none.
    int error() const { return error_; }
    bool held() const { return lock_ != nullptr; }
    const std::string& path() const { return path_; }

    /// CollectionStore::LoadCollection() of the path; CannotOpen while
    /// another program holds the lock (Busy). A lock that cannot be taken at
    /// all (a collection on a disc or in a folder this user cannot write)
    /// does not keep the file from being read: files are only ever replaced
    /// whole, so a read never sees half of a save.
    [[nodiscard]] LoadResult Load(Progress& progress);
    /// Load() in its two halves (CollectionStore::ReadCollectionFile() and
    /// AdoptCollectionFile()): Read() changes nothing of the store and may
    /// run on a worker while the store is read elsewhere.
    [[nodiscard]] ReadFile Read(Progress& progress) const;
    [[nodiscard]] LoadResult Adopt(ReadFile read);

    /// True when another program wrote or replaced the file since the store
    /// last loaded or saved it (CollectionStore::changedOnDisk()). Asked
    /// under the lock, the answer holds until Save().
    [[nodiscard]] bool ChangedOnDisk() const;

    /// CollectionStore::SaveCollection() to the path; CannotCreate (Failed)
    /// without the lock.
    [[nodiscard]] SaveResult Save(Progress& progress);
    /// Save() in its two halves (CollectionStore::WriteCollectionFile() and
    /// NoteSaved()): Write() only reads the store and may run on a worker
    /// while the store is read elsewhere.
    [[nodiscard]] SaveResult Write(Progress& progress) const;
    void NoteSaved(const SaveResult& result);

    /// Lets go of the lock now; Save fails from here on.
    void Release();

private:
    CollectionStore& store_;
    std::string path_;
    std::unique_ptr<FileLock> lock_;
    LockStatus status_ = LockStatus::Failed;
    int error_ = 0;
};

} // namespace velmora::collection
