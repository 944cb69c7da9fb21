// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/FileSystem.h"

namespace velmora::platform {

/// The file system through POSIX calls. Replacement files are written to a
/// temporary file beside the final target of the link chain (".NAME.tmp",
/// with the target's permissions), flushed with fsync and renamed over the
/// target; a replacement dropped before its commit is deleted. The writer of
/// a replacement holds a flock(2) lock on its temporary file until the file
/// is renamed or deleted, so that there is one temporary name per target
/// that a killed writer's successor can reuse or remove.
///
/// lockFile() locks a sibling ".NAME.lock" of the final target with
/// flock(2), rather than the file itself, whose inode a committed
/// replacement swaps. The holder deletes the lock file before it lets go;
/// a waiter that then gets the lock of the deleted file tries again with
/// the file now at the path.
class PosixFileSystem final : public FileSystem {
public:
    [[nodiscard]] bool readFile(const std::string& path, ByteBuffer& out) const override;
    [[nodiscard]] bool readHead(const std::string& path, std::size_t maxBytes,
                                std::string& out) const override;
    bool fileExists(const std::string& path) const override;
    bool folderExists(const std::string& path) const override;
    [[nodiscard]] bool removeFile(const std::string& path) override;
    [[nodiscard]] bool renameFile(const std::string& from, const std::string& to) override;
    [[nodiscard]] bool linkFile(const std::string& from, const std::string& to) override;
    [[nodiscard]] std::unique_ptr<RandomAccessFile> openFile(const std::string& path, bool writable,
                                                             int& error) override;
    [[nodiscard]] bool listFolder(const std::string& path,
                                  std::vector<FolderEntry>& entries) const override;
    [[nodiscard]] bool fileStatus(const std::string& path, FileStatus& status) const override;
    [[nodiscard]] std::unique_ptr<OutputFile> createReplacement(const std::string& target,
                                                                WriteError& error) override;
    void removeLeftoverReplacement(const std::string& target) override;
    [[nodiscard]] std::unique_ptr<FileLock>
    lockFile(const std::string& path, std::chrono::milliseconds timeout, int& error) override;
    [[nodiscard]] std::string linkTarget(const std::string& path) const override;

    /// The temporary file that a replacement of `target` is written to.
    static std::string ReplacementPath(const std::string& target);
};

} // namespace velmora::platform
