// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/WriteError.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

/// An owned block of bytes read from a file, not zero-initialised.
struct ByteBuffer {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;

    std::string_view view() const { return {data.get(), size}; }
};

/// Bytes that can be read at any offset: a file or a block of memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    /// Size in bytes.
    virtual std::int64_t size() const = 0;

    /// Reads up to `count` bytes at `offset` into `out`; returns the number
    /// read (less than `count` only at the end), or -1 on an error.
    [[nodiscard]] virtual std::int64_t readAt(std::int64_t offset, char* out,
                                              std::size_t count) = 0;
};

/// What the file system tells about a file besides its bytes.
struct FileStatus {
    std::int64_t size = 0;
    std::int64_t modified = 0; ///< last write, seconds since 1970-01-01 UTC
    bool readOnly = false;     ///< nobody may write it
    bool hidden = false;       ///< its name begins with "."
    /// Together with `modified`, what tells one version of a file from
    /// another: the file's device and inode numbers and the nanoseconds of
    /// its last write (0 to 999,999,999).
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modifiedNanoseconds = 0;
};

/// An open file: read, and where opened for writing, written in place.
class RandomAccessFile : public ByteSource {
public:
    /// Writes all of `bytes` at `offset`; false on an error.
    [[nodiscard]] virtual bool writeAt(std::int64_t offset, std::string_view bytes) = 0;
    /// Cuts or extends the file to `size` bytes; false on an error.
    [[nodiscard]] virtual bool truncate(std::int64_t size) = 0;
    /// What the file system told about the file when it was opened.
    virtual FileStatus status() const = 0;
};

/// One entry of a folder listing.
struct FolderEntry {
    enum class Kind {
        File,   ///< a regular file, or a link to one
        Folder, ///< a folder on the same file system as the listed one
        Other,  ///< anything not to be entered: links to folders, mount points
                ///< of other file systems, devices, sockets, FIFOs
    };
    std::string name; ///< bytes as the file system gives them
    Kind kind = Kind::Other;
    bool hidden = false; ///< the name begins with "."
};

/// A file being written to replace a target. Nothing is visible at the target
/// until commit() succeeds; destroying the object without a successful
/// commit() removes what was written and leaves the target as it was.
class OutputFile {
public:
    virtual ~OutputFile() = default;

    /// Appends bytes; false on a write error (full disk, size limit, ...).
    [[nodiscard]] virtual bool write(std::string_view bytes) = 0;

    /// Cuts what was written back to its first `size` bytes; later writes go
    /// after them. False on failure.
    [[nodiscard]] virtual bool truncate(std::uint64_t size) = 0;

    /// Flushes everything written to the storage device; false on failure.
    [[nodiscard]] virtual bool flush() = 0;

    /// Puts the written file in the target's place in one step; false on
    /// failure, in which case the target is unchanged.
    [[nodiscard]] virtual bool commit() = 0;
};

/// An exclusive lock on a file, held until the object is destroyed.
class FileLock {
public:
    virtual ~FileLock() = default;
};

/// The file operations the core needs. Paths are native ("/" separated).
/// No operation throws; each reports failure by its result.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    /// Reads the whole regular file. False when it cannot be opened or read,
    /// or is no regular file (a folder, a device, a FIFO).
    [[nodiscard]] virtual bool readFile(const std::string& path, ByteBuffer& out) const = 0;

    /// Reads at most `maxBytes` from the start of the file into `out`.
    /// False when it cannot be opened or read.
    [[nodiscard]] virtual bool readHead(const std::string& path, std::size_t maxBytes,
                                        std::string& out) const = 0;

    /// True when a regular file (or a link to one) exists at `path`.
    virtual bool fileExists(const std::string& path) const = 0;

    /// True when a folder exists at `path`.
    virtual bool folderExists(const std::string& path) const = 0;

    [[nodiscard]] virtual bool removeFile(const std::string& path) = 0;
    [[nodiscard]] virtual bool renameFile(const std::string& from, const std::string& to) = 0;

    /// Gives the file at `from` the second name `to` without copying (a hard
    /// link). False where the file system cannot do that.
    [[nodiscard]] virtual bool linkFile(const std::string& from, const std::string& to) = 0;

    /// Opens an existing regular file for reading, or reading and writing,
    /// without blocking on FIFOs. nullptr on failure, with `error` set to the
    /// system's error number (ENOENT for a missing file). For writing, a
    /// symbolic link that createReplacement() would refuse as a ForeignLink
    /// is not followed (EPERM).
    [[nodiscard]] virtual std::unique_ptr<RandomAccessFile> openFile(const std::string& path,
                                                                     bool writable, int& error) = 0;

    /// The entries of a folder except "." and "..", in no particular
    /// order; false when the folder cannot be read (`entries` then holds
    /// nothing).
    [[nodiscard]] virtual bool listFolder(const std::string& path,
                                          std::vector<FolderEntry>& entries) const = 0;

    /// Size, last write time and attributes of a file; false when it cannot
    /// be read.
    [[nodiscard]] virtual bool fileStatus(const std::string& path, FileStatus& status) const = 0;

    /// Starts writing a file that will replace `target` (see OutputFile);
    /// nullptr when it cannot be created, with `error` saying why. A target
    /// that is a symbolic link is not replaced itself: the file it leads to
    /// is (or, for a link to a missing file, will be), unless a link of the
    /// chain sits in a sticky, world-writable folder and belongs to neither
    /// that folder's owner nor this user (ForeignLink). An existing file
    /// that this user may not write is refused (WriteProtected); a replaced
    /// file keeps its mode bits, and its owner and group where this user may
    /// give them. Only one replacement of a target is written at a time; a
    /// second one waits a few seconds for the first to end and then fails.
    [[nodiscard]] virtual std::unique_ptr<OutputFile> createReplacement(const std::string& target,
                                                                        WriteError& error) = 0;

    /// Removes what a replacement of `target` left behind when its writer
    /// ended without committing or dropping it (a killed process); one that
    /// is being written stays.
    virtual void removeLeftoverReplacement(const std::string& target) = 0;

    /// Takes the exclusive advisory lock that the programs hold on a file
    /// while they change it, waiting up to `timeout` while another process
    /// holds it. The file need not exist. nullptr when the lock was not
    /// obtained, with `error` set to the system's error number: EWOULDBLOCK
    /// when another holder kept the lock for all of `timeout`. The lock is
    /// cooperative: it keeps out only those who ask for it too. It belongs
    /// to the file a replacement of `path` would write; where the chain of
    /// links is one createReplacement() refuses, to the link itself.
    [[nodiscard]] virtual std::unique_ptr<FileLock>
    lockFile(const std::string& path, std::chrono::milliseconds timeout, int& error) = 0;

    /// The file that `path` leads to through a symbolic link or a chain of
    /// them: `path` itself when it is no link; the path a link names when
    /// that names nothing (yet). Empty when the chain does not end.
    [[nodiscard]] virtual std::string linkTarget(const std::string& path) const = 0;
};

} // namespace velmora
