// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/FileSystem.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace velmora {

/// A file held in memory, for analysing bytes that are already loaded and
/// for tests.
class MemoryFile : public RandomAccessFile {
public:
    explicit MemoryFile(std::string bytes = {}) : bytes_(std::move(bytes)) {}

    std::int64_t size() const override { return static_cast<std::int64_t>(bytes_.size()); }

    [[nodiscard]] std::int64_t readAt(std::int64_t offset, char* out, std::size_t count) override
    {
        if (offset < 0)
            return -1;
        if (offset >= size())
            return 0;
        const std::size_t n = std::min(count, bytes_.size() - static_cast<std::size_t>(offset));
        bytes_.copy(out, n, static_cast<std::size_t>(offset));
        return static_cast<std::int64_t>(n);
    }

    [[nodiscard]] bool writeAt(std::int64_t offset, std::string_view bytes) override
    {
        if (offset < 0)
            return false;
        const auto at = static_cast<std::size_t>(offset);
        if (bytes_.size() < at + bytes.size())
            bytes_.resize(at + bytes.size(), '\0');
        bytes_.replace(at, bytes.size(), bytes);
        return true;
    }

    [[nodiscard]] bool truncate(std::int64_t size) override
    {
        if (size < 0)
            return false;
        bytes_.resize(static_cast<std::size_t>(size), '\0');
        return true;
    }

    FileStatus status() const override
    {
        FileStatus status = status_;
        status.size = size();
        return status;
    }
    /// The status reported besides the size, for example a modification time.
    void setStatus(const FileStatus& status) { status_ = status; }

    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    FileStatus status_;
};

/// An output file held in memory, for writing bytes that are wanted as a
/// string and for tests. Committing keeps the bytes where they are.
class MemoryOutput final : public OutputFile {
public:
    [[nodiscard]] bool write(std::string_view bytes) override
    {
        bytes_ += bytes;
        return true;
    }
    [[nodiscard]] bool truncate(std::uint64_t size) override
    {
        bytes_.resize(std::min<std::uint64_t>(bytes_.size(), size));
        return true;
    }
    [[nodiscard]] bool flush() override { return true; }
    [[nodiscard]] bool commit() override { return true; }

    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

} // namespace velmora
