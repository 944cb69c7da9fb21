// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/CollectionTransaction.h"

#include <cerrno>

namespace velmora::collection {

std::optional<texts::TextId> MessageTextOf(LockStatus status)
{
    switch (status) {
    case LockStatus::Busy:
        return texts::TextId::CollectionBusy;
    case LockStatus::Failed:
        return texts::TextId::CannotSaveFile;
    default:
        return std::nullopt;
    }
}

CollectionTransaction::CollectionTransaction(CollectionStore& store, std::string path,
                                             std::chrono::milliseconds wait)
    : store_(store), path_(std::move(path))
{
    lock_ = store_.files().lockFile(path_, wait, error_);
    if (lock_)
        status_ = LockStatus::Held;
    else
        status_ = error_ == EWOULDBLOCK ? LockStatus::Busy : LockStatus::Failed;
}

CollectionTransaction::~CollectionTransaction() = default;

LoadResult CollectionTransaction::Load(Progress& progress)
{
    return Adopt(Read(progress));
}

ReadFile CollectionTransaction::Read(Progress& progress) const
{
    if (status_ == LockStatus::Busy) {
        ReadFile refused;
        refused.result = {LoadStatus::CannotOpen, 0};
        return refused;
    }
    return store_.ReadCollectionFile(path_, progress);
}

LoadResult CollectionTransaction::Adopt(ReadFile read)
{
    return store_.AdoptCollectionFile(path_, std::move(read));
}

bool CollectionTransaction::ChangedOnDisk() const
{
    return store_.changedOnDisk(path_);
}

SaveResult CollectionTransaction::Save(Progress& progress)
{
    SaveResult result = Write(progress);
    NoteSaved(result);
    return result;
}

SaveResult CollectionTransaction::Write(Progress& progress) const
{
    if (!lock_) {
        SaveResult refused;
        refused.status = SaveStatus::CannotCreate;
        refused.reason = WriteError::Failed;
        return refused;
    }
    return store_.WriteCollectionFile(path_, progress);
}

void CollectionTransaction::NoteSaved(const SaveResult& result)
{
    store_.NoteSaved(path_, result);
}

void CollectionTransaction::Release()
{
    lock_.reset();
}

} // namespace velmora::collection
