// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PosixFileSystem.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace velmora::fakes {

/// The real file system with failures switched on at will, so that tests
/// can prove what a failure at each step leaves behind. Holds for root too.
class FaultyFileSystem : public FileSystem {
public:
    bool failRead = false;
    bool failCreate = false;
    /// Writes fail once this many bytes were written (none: never).
    std::size_t failWriteAfter = static_cast<std::size_t>(-1);
    bool failFlush = false;
    bool failCommit = false;
    bool failLink = false;
    bool failRename = false;
    bool failOpen = false;
    /// writeAt() and truncate() of opened files fail.
    bool failFileWrites = false;
    /// Files that cannot be opened for writing (EACCES), as a read-only file
    /// is for anyone but root.
    std::vector<std::string> readOnlyFiles;

    [[nodiscard]] bool readFile(const std::string& path, ByteBuffer& out) const override;
    [[nodiscard]] bool readHead(const std::string& path, std::size_t maxBytes,
                                std::string& out) const override;
    bool fileExists(const std::string& path) const override { return real_.fileExists(path); }
    bool folderExists(const std::string& path) const override { return real_.folderExists(path); }
    [[nodiscard]] bool removeFile(const std::string& path) override
    {
        return real_.removeFile(path);
    }
    [[nodiscard]] bool renameFile(const std::string& from, const std::string& to) override;
    [[nodiscard]] bool linkFile(const std::string& from, const std::string& to) override;
    [[nodiscard]] std::unique_ptr<RandomAccessFile> openFile(const std::string& path, bool writable,
                                                             int& error) override;
    /// Folders whose listing fails.
    std::vector<std::string> unreadableFolders;
    /// While set, every listing waits (on the thread that lists): a test
    /// holds a scan in its first folder until it has cancelled it.
    std::atomic<bool> holdListing{false};

    [[nodiscard]] bool listFolder(const std::string& path,
                                  std::vector<FolderEntry>& entries) const override;
    [[nodiscard]] bool fileStatus(const std::string& path, FileStatus& status) const override
    {
        return real_.fileStatus(path, status);
    }
    /// Called first by createReplacement(), on the thread that calls it: a
    /// test can hold a writer there.
    std::function<void(const std::string& target)> onCreateReplacement;
    [[nodiscard]] std::unique_ptr<OutputFile> createReplacement(const std::string& target,
                                                                WriteError& error) override;
    void removeLeftoverReplacement(const std::string& target) override
    {
        real_.removeLeftoverReplacement(target);
    }
    [[nodiscard]] std::unique_ptr<FileLock>
    lockFile(const std::string& path, std::chrono::milliseconds timeout, int& error) override
    {
        return real_.lockFile(path, timeout, error);
    }
    [[nodiscard]] std::string linkTarget(const std::string& path) const override
    {
        return real_.linkTarget(path);
    }

private:
    platform::PosixFileSystem real_;
};

} // namespace velmora::fakes
