// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fakes/FaultyFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace velmora::fakes {

namespace {

class FaultyOutputFile final : public OutputFile {
public:
    FaultyOutputFile(std::unique_ptr<OutputFile> real, const FaultyFileSystem& faults)
        : real_(std::move(real)), faults_(faults)
    {
    }

    [[nodiscard]] bool write(std::string_view bytes) override
    {
        if (written_ + bytes.size() > faults_.failWriteAfter) {
            // Write what fits, as a full disk would, then fail: the write
            // fails whether the part that fits went out or not.
            static_cast<void>(real_->write(bytes.substr(0, faults_.failWriteAfter - written_)));
            written_ = faults_.failWriteAfter;
            return false;
        }
        written_ += bytes.size();
        return real_->write(bytes);
    }
    [[nodiscard]] bool truncate(std::uint64_t size) override
    {
        written_ = std::min<std::size_t>(written_, size);
        return real_->truncate(size);
    }
    [[nodiscard]] bool flush() override { return !faults_.failFlush && real_->flush(); }
    [[nodiscard]] bool commit() override { return !faults_.failCommit && real_->commit(); }

private:
    std::unique_ptr<OutputFile> real_;
    const FaultyFileSystem& faults_;
    std::size_t written_ = 0;
};

class FaultyRandomAccessFile final : public RandomAccessFile {
public:
    FaultyRandomAccessFile(std::unique_ptr<RandomAccessFile> real, const FaultyFileSystem& faults)
        : real_(std::move(real)), faults_(faults)
    {
    }

    std::int64_t size() const override { return real_->size(); }
    [[nodiscard]] std::int64_t readAt(std::int64_t offset, char* out, std::size_t count) override
    {
        return real_->readAt(offset, out, count);
    }
    [[nodiscard]] bool writeAt(std::int64_t offset, std::string_view bytes) override
    {
        return !faults_.failFileWrites && real_->writeAt(offset, bytes);
    }
    [[nodiscard]] bool truncate(std::int64_t size) override
    {
        return !faults_.failFileWrites && real_->truncate(size);
    }
    FileStatus status() const override { return real_->status(); }

private:
    std::unique_ptr<RandomAccessFile> real_;
    const FaultyFileSystem& faults_;
};

} // namespace

std::unique_ptr<RandomAccessFile> FaultyFileSystem::openFile(const std::string& path, bool writable,
                                                             int& error)
{
    if (failOpen || (writable && std::find(readOnlyFiles.begin(), readOnlyFiles.end(), path) !=
                                     readOnlyFiles.end())) {
        error = EACCES;
        return nullptr;
    }
    std::unique_ptr<RandomAccessFile> real = real_.openFile(path, writable, error);
    if (!real)
        return nullptr;
    return std::make_unique<FaultyRandomAccessFile>(std::move(real), *this);
}

bool FaultyFileSystem::readFile(const std::string& path, ByteBuffer& out) const
{
    return !failRead && real_.readFile(path, out);
}

bool FaultyFileSystem::readHead(const std::string& path, std::size_t maxBytes,
                                std::string& out) const
{
    return !failRead && real_.readHead(path, maxBytes, out);
}

bool FaultyFileSystem::listFolder(const std::string& path, std::vector<FolderEntry>& entries) const
{
    while (holdListing.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    for (const std::string& unreadable : unreadableFolders) {
        if (unreadable == path) {
            entries.clear();
            return false;
        }
    }
    return real_.listFolder(path, entries);
}

bool FaultyFileSystem::renameFile(const std::string& from, const std::string& to)
{
    return !failRename && real_.renameFile(from, to);
}

bool FaultyFileSystem::linkFile(const std::string& from, const std::string& to)
{
    return !failLink && real_.linkFile(from, to);
}

std::unique_ptr<OutputFile> FaultyFileSystem::createReplacement(const std::string& target,
                                                                WriteError& error)
{
    if (onCreateReplacement)
        onCreateReplacement(target);
    error = WriteError::Failed;
    if (failCreate)
        return nullptr;
    std::unique_ptr<OutputFile> real = real_.createReplacement(target, error);
    if (!real)
        return nullptr;
    return std::make_unique<FaultyOutputFile>(std::move(real), *this);
}

} // namespace velmora::fakes
