#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace velmora {

/// An owned block of bytes read from a file, not zero-initialised.
struct ByteBuffer {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;

    std::string_view view() const { return {data.get(), size}; }
};

/// A file being written to replace a target. Nothing is visible at the target
/// until commit() succeeds; destroying the object without a successful
/// commit() removes what was written and leaves the target as it was.
class OutputFile {
public:
    virtual ~OutputFile() = default;

    /// Appends bytes; false on a write error (full disk, size limit, ...).
    virtual bool write(std::string_view bytes) = 0;

    /// Flushes everything written to the storage device; false on failure.
    virtual bool flush() = 0;

    /// Puts the written file in the target's place in one step; false on
    /// failure, in which case the target is unchanged.
    virtual bool commit() = 0;
};

/// The file operations the core needs. Paths are native ("/" separated).
/// No operation throws; each reports failure by its result.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    /// Reads the whole regular file. False when it cannot be opened or read,
    /// or is no regular file (a folder, a device, a FIFO).
    virtual bool readFile(const std::string& path, ByteBuffer& out) const = 0;

    /// Reads at most `maxBytes` from the start of the file into `out`.
    /// False when it cannot be opened or read.
    virtual bool readHead(const std::string& path, std::size_t maxBytes,
                          std::string& out) const = 0;

    /// True when a regular file (or a link to one) exists at `path`.
    virtual bool fileExists(const std::string& path) const = 0;

    /// True when a folder exists at `path`.
    virtual bool folderExists(const std::string& path) const = 0;

    virtual bool removeFile(const std::string& path) = 0;
    virtual bool renameFile(const std::string& from, const std::string& to) = 0;

    /// Gives the file at `from` the second name `to` without copying (a hard
    /// link). False where the file system cannot do that.
    virtual bool linkFile(const std::string& from, const std::string& to) = 0;

    /// Starts writing a file that will replace `target` (see OutputFile);
    /// nullptr when it cannot be created.
    virtual std::unique_ptr<OutputFile> createReplacement(const std::string& target) = 0;
};

} // namespace velmora
