#pragma once

#include "system/FileSystem.h"

namespace velmora::platform {

/// The file system through POSIX calls. Replacement files are written to a
/// temporary file beside the target (".NAME.XXXXXX", with the target's
/// permissions), flushed with fsync and renamed over the target; a
/// replacement dropped before its commit is deleted.
class PosixFileSystem final : public FileSystem {
public:
    bool readFile(const std::string& path, ByteBuffer& out) const override;
    bool readHead(const std::string& path, std::size_t maxBytes, std::string& out) const override;
    bool fileExists(const std::string& path) const override;
    bool folderExists(const std::string& path) const override;
    bool removeFile(const std::string& path) override;
    bool renameFile(const std::string& from, const std::string& to) override;
    bool linkFile(const std::string& from, const std::string& to) override;
    std::unique_ptr<RandomAccessFile> openFile(const std::string& path, bool writable,
                                               int& error) override;
    bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) const override;
    bool fileStatus(const std::string& path, FileStatus& status) const override;
    std::unique_ptr<OutputFile> createReplacement(const std::string& target) override;
};

} // namespace velmora::platform
