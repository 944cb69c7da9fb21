// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PosixFileSystem.h"

#include "platform/Descriptor.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace velmora::platform {

namespace {

// Opens a regular file for reading; -1 for anything else. O_NONBLOCK keeps a
// FIFO from blocking the open; it changes nothing for regular files.
[[nodiscard]] int OpenRegularFile(const std::string& path)
{
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads up to `size` bytes; returns the count read (short only at the end of
// the file) or -1 on an error.
[[nodiscard]] ssize_t ReadFully(int fd, char* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// `name` placed in the folder of `path`.
std::string Beside(const std::string& path, const std::string& name)
{
    const std::string folder = FolderOf(path);
    return (folder == "/" ? "" : folder) + "/" + name;
}

// The hidden file ".NAME" + `suffix` beside the file NAME at `path`. Built
// by appending: GCC 12 at -O3 warns wrongly (-Wrestrict) about
// "." + std::string + "...".
std::string HiddenBeside(const std::string& path, std::string_view suffix)
{
    std::string name = ".";
    name += NameOf(path);
    name += suffix;
    return Beside(path, name);
}

// Whether following the symbolic link at `link` is what a kernel with
// fs.protected_symlinks allows: in a sticky, world-writable folder only the
// links of the folder's owner and of this user are followed, so that a link
// another user planted in /tmp cannot send a write to a file of ours.
bool MayFollowLink(const std::string& link, const struct stat& linkStatus)
{
    struct stat folder {};
    if (::stat(FolderOf(link).c_str(), &folder) != 0)
        return false;
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || linkStatus.st_uid == folder.st_uid || linkStatus.st_uid == ::geteuid();
}

// As many links as the kernel follows in one path (MAXSYMLINKS).
constexpr int kMaxLinks = 40;

// The file that `path` leads to through its chain of symbolic links, as
// linkTarget() gives it; empty when the chain does not end. With
// `safely`, the walk stops at the first link that MayFollowLink() refuses:
// that link is returned and `refused` set.
std::string FollowLinks(const std::string& path, bool safely, bool& refused)
{
    refused = false;
    std::string current = path;
    for (int i = 0; i <= kMaxLinks; ++i) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        if (safely && !MayFollowLink(current, st)) {
            refused = true;
            return current;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4095) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size())
            return {};
        link.resize(static_cast<std::size_t>(n));
        current = link.front() == '/' ? link : Beside(current, link);
    }
    return {};
}

// Whether this process may write the existing file of `st` at `path`. A
// file whose mode grants nobody the right to write is write-protected for
// root too, as rm and the editors treat it.
bool MayWrite(const std::string& path, const struct stat& st)
{
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ||
           (errno != EACCES && errno != EPERM);
}

// How long a replacement waits for another writer of the same target.
constexpr auto kReplacementWait = std::chrono::seconds(5);
constexpr auto kLockPoll = std::chrono::milliseconds(20);

// Opens (creating it if need be, with `mode`) and flock()s the file at
// `path`, waiting up to `timeout`; -1 on failure with errno set (EWOULDBLOCK
// after the timeout). `access` is O_RDONLY or O_RDWR. The file locked is the
// one still at `path` afterwards: a holder deletes or renames the file before
// letting go, so a lock won on a file no longer at `path` is dropped and the
// next file tried.
[[nodiscard]] int OpenLocked(const std::string& path, int access, mode_t mode,
                             std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int fd;
        do {
            fd = ::open(path.c_str(), access | O_CREAT | O_CLOEXEC | O_NOFOLLOW, mode);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0)
            return -1;
        int locked;
        while ((locked = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EWOULDBLOCK &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(kLockPoll);
        if (locked != 0) {
            const int error = errno == EINTR ? EWOULDBLOCK : errno;
            ::close(fd);
            errno = error;
            return -1;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino)
            return fd;
        ::close(fd);
    }
}

class PosixFileLock final : public FileLock {
public:
    PosixFileLock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixFileLock() override
    {
        // Deleted while still locked, so that no one locks it afterwards.
        ::unlink(path_.c_str());
    }

private:
    Descriptor fd_;
    std::string path_;
};

class PosixOutputFile final : public OutputFile {
public:
    PosixOutputFile(int fd, std::string tempPath, std::string target)
        : fd_(fd), lock_(::dup(fd)), tempPath_(std::move(tempPath)), target_(std::move(target))
    {
    }

    // The temporary file goes while its lock (`lock_`, a second descriptor
    // of the same open file) is held.
    ~PosixOutputFile() override
    {
        if (!committed_) {
            fd_.close();
            ::unlink(tempPath_.c_str());
        }
    }

    [[nodiscard]] bool write(std::string_view bytes) override
    {
        if (failed_)
            return false;
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                failed_ = true;
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    [[nodiscard]] bool truncate(std::uint64_t size) override
    {
        const auto offset = static_cast<off_t>(size);
        if (failed_ || ::ftruncate(fd_.get(), offset) != 0 ||
            ::lseek(fd_.get(), offset, SEEK_SET) != offset) {
            failed_ = true;
            return false;
        }
        return true;
    }

    [[nodiscard]] bool flush() override
    {
        if (failed_ || ::fsync(fd_.get()) != 0) {
            failed_ = true;
            return false;
        }
        return true;
    }

    [[nodiscard]] bool commit() override
    {
        if (failed_ || !fd_.close() || !lock_.valid())
            return false;
        if (::rename(tempPath_.c_str(), target_.c_str()) != 0)
            return false;
        committed_ = true;
        lock_.close();
        // Make the new directory entry durable too; a failure here leaves a
        // complete file in place, so it is not reported.
        const Descriptor folder(
            ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.valid())
            ::fsync(folder.get());
        return true;
    }

private:
    Descriptor fd_;
    Descriptor lock_;
    std::string tempPath_;
    std::string target_;
    bool failed_ = false;
    bool committed_ = false;
};

class PosixRandomAccessFile final : public RandomAccessFile {
public:
    PosixRandomAccessFile(int fd, const FileStatus& status)
        : fd_(fd), size_(status.size), status_(status)
    {
    }

    FileStatus status() const override
    {
        FileStatus status = status_;
        status.size = size_;
        return status;
    }

    std::int64_t size() const override { return size_; }

    [[nodiscard]] std::int64_t readAt(std::int64_t offset, char* out, std::size_t count) override
    {
        if (offset < 0)
            return -1;
        // Nothing is asked past the size known at opening; a file that grew
        // since is read on only while reads keep returning bytes.
        if (offset < size_)
            count = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(count), size_ - offset));
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = ::pread(fd_.get(), out + done, count - done,
                                      static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return -1;
            }
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return static_cast<std::int64_t>(done);
    }

    [[nodiscard]] bool writeAt(std::int64_t offset, std::string_view bytes) override
    {
        std::int64_t at = offset;
        while (!bytes.empty()) {
            const ssize_t n =
                ::pwrite(fd_.get(), bytes.data(), bytes.size(), static_cast<off_t>(at));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(n));
            at += n;
        }
        if (at > size_)
            size_ = at;
        return true;
    }

    [[nodiscard]] bool truncate(std::int64_t size) override
    {
        if (::ftruncate(fd_.get(), static_cast<off_t>(size)) != 0)
            return false;
        size_ = size;
        return true;
    }

private:
    Descriptor fd_;
    std::int64_t size_;
    FileStatus status_;
};

FileStatus StatusOf(const struct stat& st, const std::string& path)
{
    FileStatus status;
    status.size = static_cast<std::int64_t>(st.st_size);
    status.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    status.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    const std::size_t slash = path.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    status.hidden = name < path.size() && path[name] == '.';
    status.device = static_cast<std::uint64_t>(st.st_dev);
    status.inode = static_cast<std::uint64_t>(st.st_ino);
    status.modifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return status;
}

} // namespace

bool PosixFileSystem::readFile(const std::string& path, ByteBuffer& out) const
{
    const Descriptor fd(OpenRegularFile(path));
    if (!fd.valid())
        return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return false;
    // Read what fstat announces, then keep reading in case the file grew.
    std::size_t capacity = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 65536;
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    std::size_t size = 0;
    for (;;) {
        const ssize_t n = ReadFully(fd.get(), data.get() + size, capacity - size);
        if (n < 0)
            return false;
        size += static_cast<std::size_t>(n);
        if (size < capacity)
            break;
        const std::size_t grown = capacity * 2;
        auto bigger = std::make_unique_for_overwrite<char[]>(grown);
        std::copy(data.get(), data.get() + size, bigger.get());
        data = std::move(bigger);
        capacity = grown;
    }
    out.data = std::move(data);
    out.size = size;
    return true;
}

bool PosixFileSystem::readHead(const std::string& path, std::size_t maxBytes,
                               std::string& out) const
{
    const Descriptor fd(OpenRegularFile(path));
    if (!fd.valid())
        return false;
    std::string head(maxBytes, '\0');
    const ssize_t n = ReadFully(fd.get(), head.data(), maxBytes);
    if (n < 0)
        return false;
    head.resize(static_cast<std::size_t>(n));
    out = std::move(head);
    return true;
}

bool PosixFileSystem::fileExists(const std::string& path) const
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PosixFileSystem::folderExists(const std::string& path) const
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixFileSystem::removeFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool PosixFileSystem::renameFile(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileSystem::linkFile(const std::string& from, const std::string& to)
{
    return ::link(from.c_str(), to.c_str()) == 0;
}

std::unique_ptr<RandomAccessFile> PosixFileSystem::openFile(const std::string& path, bool writable,
                                                            int& error)
{
    if (writable) {
        bool refused = false;
        if (FollowLinks(path, true, refused).empty() || refused) {
            error = refused ? EPERM : ELOOP;
            return nullptr;
        }
    }
    int fd;
    do {
        fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return nullptr;
    }
    error = 0;
    return std::make_unique<PosixRandomAccessFile>(fd, StatusOf(st, path));
}

bool PosixFileSystem::listFolder(const std::string& path, std::vector<FolderEntry>& entries) const
{
    entries.clear();
    const int folderFd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return false;
    struct stat folder {};
    DIR* dir = ::fdopendir(folderFd);
    if (!dir || ::fstat(folderFd, &folder) != 0) {
        if (dir)
            ::closedir(dir);
        else
            ::close(folderFd);
        return false;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        FolderEntry item;
        item.name = std::string(name);
        item.hidden = name.front() == '.';
        struct stat st {};
        if (::fstatat(folderFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISREG(st.st_mode)) {
                item.kind = FolderEntry::Kind::File;
            } else if (S_ISDIR(st.st_mode)) {
                // Another file system mounted here is not part of this one.
                item.kind = st.st_dev == folder.st_dev ? FolderEntry::Kind::Folder
                                                       : FolderEntry::Kind::Other;
            } else if (S_ISLNK(st.st_mode)) {
                // Links to files count as files; links to folders are not
                // followed, so that a link loop cannot make a walk endless.
                struct stat target {};
                if (::fstatat(folderFd, entry->d_name, &target, 0) == 0 && S_ISREG(target.st_mode))
                    item.kind = FolderEntry::Kind::File;
            }
        }
        entries.push_back(std::move(item));
        errno = 0;
    }
    const bool complete = errno == 0;
    ::closedir(dir);
    if (!complete)
        entries.clear();
    return complete;
}

bool PosixFileSystem::fileStatus(const std::string& path, FileStatus& status) const
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    status = StatusOf(st, path);
    return true;
}

std::string PosixFileSystem::ReplacementPath(const std::string& target)
{
    return HiddenBeside(target, ".tmp");
}

std::string PosixFileSystem::linkTarget(const std::string& path) const
{
    bool refused = false;
    return FollowLinks(path, false, refused);
}

std::unique_ptr<OutputFile> PosixFileSystem::createReplacement(const std::string& given,
                                                               WriteError& error)
{
    error = WriteError::Failed;
    if (given.empty() || given.back() == '/')
        return nullptr;
    bool refused = false;
    const std::string target = FollowLinks(given, true, refused);
    if (refused)
        error = WriteError::ForeignLink;
    if (target.empty() || refused)
        return nullptr;
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return nullptr;
    if (exists && !MayWrite(target, st)) {
        error = WriteError::WriteProtected;
        return nullptr;
    }

    // One temporary name per target: a file left there by a killed writer
    // is taken over rather than joined by another one.
    std::string temp = ReplacementPath(target);
    const int fd = OpenLocked(temp, O_RDWR, 0600, kReplacementWait);
    if (fd < 0)
        return nullptr;
    // Only a leftover is emptied: ext4 writes back a file truncated to zero
    // when it is closed, which would make every save wait for its data.
    struct stat held {};
    if (::fstat(fd, &held) != 0 || (held.st_size != 0 && ::ftruncate(fd, 0) != 0)) {
        ::unlink(temp.c_str());
        ::close(fd);
        return nullptr;
    }

    // The new file takes the place of the old one with its owner, group and
    // mode, as far as this user may give them; a new file gets the mode of
    // a newly created one. The owner goes first: a change of owner clears
    // the set-user-ID and set-group-ID bits.
    mode_t mode;
    if (exists) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
            // Not a member of the file's group: the file gets this user's.
        }
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    error = WriteError::None;
    return std::make_unique<PosixOutputFile>(fd, std::move(temp), target);
}

void PosixFileSystem::removeLeftoverReplacement(const std::string& target)
{
    const std::string resolved = linkTarget(target);
    if (resolved.empty())
        return;
    const std::string temp = ReplacementPath(resolved);
    struct stat st {};
    if (::lstat(temp.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    // A writer holds the lock of its temporary file until it is gone, so a
    // lock won at once means nobody writes it.
    const Descriptor fd(OpenLocked(temp, O_RDWR, 0600, std::chrono::milliseconds(0)));
    if (fd.valid())
        ::unlink(temp.c_str());
}

std::unique_ptr<FileLock> PosixFileSystem::lockFile(const std::string& path,
                                                    std::chrono::milliseconds timeout, int& error)
{
    // A refused link is locked beside itself: nothing is created in the
    // folder it leads to, and the write that follows is refused anyway.
    bool refused = false;
    const std::string target = FollowLinks(path, true, refused);
    if (target.empty() || target.back() == '/') {
        error = target.empty() ? ELOOP : EISDIR;
        return nullptr;
    }
    std::string lockPath = HiddenBeside(target, ".lock");
    // Read access is all flock() needs, so that others who may write the
    // folder can share the file.
    const int fd = OpenLocked(lockPath, O_RDONLY, 0666, timeout);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    error = 0;
    return std::make_unique<PosixFileLock>(fd, std::move(lockPath));
}

} // namespace velmora::platform
