// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/FileSystem.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace velmora::fuzz {

// A file system for the analysers' constructors; nothing here opens files.
class NoFiles final : public velmora::FileSystem {
public:
    bool readFile(const std::string&, velmora::ByteBuffer&) const override { return false; }
    bool readHead(const std::string&, std::size_t, std::string&) const override { return false; }
    bool fileExists(const std::string&) const override { return false; }
    bool folderExists(const std::string&) const override { return false; }
    bool removeFile(const std::string&) override { return false; }
    bool renameFile(const std::string&, const std::string&) override { return false; }
    bool linkFile(const std::string&, const std::string&) override { return false; }
    std::unique_ptr<velmora::RandomAccessFile> openFile(const std::string&, bool,
                                                        int& error) override
    {
        error = 2;
        return nullptr;
    }
    bool listFolder(const std::string&, std::vector<velmora::FolderEntry>&) const override
    {
        return false;
    }
    bool fileStatus(const std::string&, velmora::FileStatus&) const override { return false; }
    std::unique_ptr<velmora::OutputFile> createReplacement(const std::string&,
                                                           velmora::WriteError& error) override
    {
        error = velmora::WriteError::Failed;
        return nullptr;
    }
    void removeLeftoverReplacement(const std::string&) override {}
    std::unique_ptr<velmora::FileLock> lockFile(const std::string&, std::chrono::milliseconds,
                                                int& error) override
    {
        error = 2;
        return nullptr;
    }
    std::string linkTarget(const std::string& path) const override { return path; }
};

} // namespace velmora::fuzz
