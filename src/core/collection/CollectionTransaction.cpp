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
    int error = 0;
    lock_ = store_.files().lockFile(path_, wait, error);
    if (lock_)
        status_ = LockStatus::Held;
    else
        status_ = error == EWOULDBLOCK ? LockStatus::Busy : LockStatus::Failed;
}

CollectionTransaction::~CollectionTransaction() = default;

LoadResult CollectionTransaction::Load(Progress& progress)
{
    if (status_ == LockStatus::Busy)
        return {LoadStatus::CannotOpen, 0};
    return store_.LoadCollection(path_, progress);
}

bool CollectionTransaction::ChangedOnDisk() const
{
    return store_.changedOnDisk(path_);
}

SaveResult CollectionTransaction::Save(Progress& progress)
{
    if (!lock_) {
        SaveResult refused;
        refused.status = SaveStatus::CannotCreate;
        refused.reason = WriteError::Failed;
        return refused;
    }
    return store_.SaveCollection(path_, progress);
}

void CollectionTransaction::Release()
{
    lock_.reset();
}

} // namespace velmora::collection
