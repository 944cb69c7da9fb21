// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TagLibId3v2.h"

#include "audio/ID3Tags.h"
#include "platform/Descriptor.h"
#include "system/FileSystem.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2frame.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tdebuglistener.h>
#include <taglib/textidentificationframe.h>
#include <taglib/unknownframe.h>
#include <unistd.h>
#include <vector>

namespace velmora::platform {

using tags::Id3v2Outcome;
using tags::TagChanges;
using tags::TagField;

namespace {

// TagLib's notes on what it drops or converts go nowhere: the frame check
// below tells what matters.
class SilentDebugListener final : public TagLib::DebugListener {
public:
    void printMessage(const TagLib::String&) override {}
};

// The bytes of an open file, for the tag reading of the core.
class DescriptorSource final : public ByteSource {
public:
    DescriptorSource(int fd, std::int64_t size) : fd_(fd), size_(size) {}
    std::int64_t size() const override { return size_; }
    std::int64_t readAt(std::int64_t offset, char* out, std::size_t count) override
    {
        std::size_t done = 0;
        while (done < count) {
            const ssize_t got = ::pread(fd_, out + done, count - done, offset + done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return -1;
            if (got == 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        return static_cast<std::int64_t>(done);
    }

private:
    int fd_;
    std::int64_t size_;
};

bool WriteAll(int fd, const char* data, std::size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t put = ::pwrite(fd, data, size, offset);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        size -= static_cast<std::size_t>(put);
        offset += put;
    }
    return true;
}

// Copies [from, end of file) of `in` to `out` at `to`.
bool CopyRest(int in, off_t from, off_t end, int out, off_t to)
{
    while (from < end) {
        const auto wanted = static_cast<std::size_t>(std::min<off_t>(end - from, 1 << 30));
        const ssize_t copied = ::copy_file_range(in, &from, out, &to, wanted, 0);
        if (copied > 0)
            continue;
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied == 0)
            return false; // the file became shorter
        break;            // not supported here: copy through memory
    }
    std::vector<char> buffer(1 << 20);
    while (from < end) {
        const ssize_t got =
            ::pread(in, buffer.data(), std::min<off_t>(end - from, off_t(buffer.size())), from);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || !WriteAll(out, buffer.data(), static_cast<std::size_t>(got), to))
            return false;
        from += got;
        to += got;
    }
    return true;
}

// The file a path leads to, links followed; the path itself when it cannot
// be resolved (the opening then tells why).
std::string Resolved(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

// Removes what earlier writes of the file `name` in `folder` left behind
// when they were killed: hidden copies by the name the next line makes.
void RemoveLeftovers(const std::string& folder, const std::string& name)
{
    const std::string prefix = "." + name + ".velmora-";
    struct CloseDir {
        void operator()(DIR* dir) const { ::closedir(dir); }
    };
    const std::unique_ptr<DIR, CloseDir> dir(::opendir(folder.c_str()));
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view found = entry->d_name;
        if (found.size() == prefix.size() + 6 && found.substr(0, prefix.size()) == prefix)
            static_cast<void>(::unlinkat(::dirfd(dir.get()), entry->d_name, 0));
    }
}

// The file at `path` (open as `fd`, described by `status`) replaced by
// `head`, its bytes from `skip` up to `end` and `tail`; see the class.
Id3v2Outcome ReplaceFile(const std::string& path, int fd, const struct stat& status,
                         const TagLib::ByteVector& head, off_t skip, off_t end,
                         std::string_view tail)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temporary = folder + "/." + name + ".velmora-XXXXXX";
    if (temporary.size() - folder.size() > NAME_MAX + 1u)
        temporary = folder + "/.velmora-XXXXXX";
    else
        RemoveLeftovers(folder, name);
    Descriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (out.get() < 0)
        return Id3v2Outcome::CannotOpen;
    const auto headSize = static_cast<off_t>(head.size());
    const bool written = WriteAll(out.get(), head.data(), head.size(), 0) &&
                         CopyRest(fd, skip, end, out.get(), headSize) &&
                         WriteAll(out.get(), tail.data(), tail.size(), headSize + end - skip) &&
                         ::fchmod(out.get(), status.st_mode & 07777) == 0 &&
                         ::fsync(out.get()) == 0;
    // Another owner is kept where we may set it; elsewhere the file is ours.
    if (written && (status.st_uid != ::geteuid() || status.st_gid != ::getegid()) &&
        ::fchown(out.get(), status.st_uid, status.st_gid) != 0) {
        // Not allowed: the new file belongs to the one who wrote it.
    }
    if (!out.close() || !written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return Id3v2Outcome::WriteFailed;
    }
    Descriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0)
        static_cast<void>(::fsync(folderFd.get()));
    return Id3v2Outcome::Done;
}

// Where the ID3v1 tag of a file of `size` bytes begins, if its last 128
// bytes (after the ID3v2 tag ending at `tagEnd`) are one; else `size`.
off_t Id3v1Start(ByteSource& source, off_t size, off_t tagEnd)
{
    const off_t start = size - static_cast<off_t>(audio::kId3v1Size);
    char mark[3];
    if (start < tagEnd || source.readAt(start, mark, 3) != 3 || std::string_view(mark, 3) != "TAG")
        return size;
    return start;
}

// An open file that may be written, with its status.
struct OpenFile {
    std::string path; ///< links followed
    std::unique_ptr<Descriptor> fd;
    struct stat status {};
    Id3v2Outcome failure = Id3v2Outcome::Done;
};

OpenFile OpenForWriting(const std::string& path)
{
    OpenFile file;
    file.path = Resolved(path);
    file.fd = std::make_unique<Descriptor>(::open(file.path.c_str(), O_RDWR | O_CLOEXEC));
    if (file.fd->get() < 0) {
        file.failure = errno == ENOENT ? Id3v2Outcome::FileMissing : Id3v2Outcome::CannotOpen;
        return file;
    }
    if (::fstat(file.fd->get(), &file.status) != 0 || !S_ISREG(file.status.st_mode))
        file.failure = Id3v2Outcome::CannotOpen;
    return file;
}

// The frame of the tag with the text that the reader of scans takes for
// `field`: the first of its frame, for the comment the first without a
// description, else the first.
TagLib::ID3v2::Frame* ShownFrame(const TagLib::ID3v2::Tag& tag, const TagLib::ByteVector& id)
{
    const TagLib::ID3v2::FrameList& frames = tag.frameList(id);
    if (frames.isEmpty())
        return nullptr;
    if (id == "COMM") {
        for (TagLib::ID3v2::Frame* frame : frames) {
            const auto* comment = dynamic_cast<TagLib::ID3v2::CommentsFrame*>(frame);
            if (comment && comment->description().isEmpty())
                return frame;
        }
    }
    return frames.front();
}

TagLib::String::Type EncodingFor(const TagLib::String& text, unsigned version)
{
    if (text.isLatin1())
        return TagLib::String::Latin1;
    return version == 4 ? TagLib::String::UTF8 : TagLib::String::UTF16;
}

// The frame of each field in the order of TagField, TagLib's names (TDRC is
// TYER of a 2.3 tag as TagLib reads and writes it).
constexpr std::array<const char*, 6> kFrameIds = {"TIT2", "TPE1", "TALB", "TRCK", "TDRC", "COMM"};

// Sets the text of `field` in `tag` (see Id3v2Writer::Write); false when
// the tag keeps what it had.
bool SetField(TagLib::ID3v2::Tag& tag, TagField field, const std::string& wanted, unsigned version)
{
    const TagLib::ByteVector id(kFrameIds[static_cast<std::size_t>(field)]);
    TagLib::ID3v2::Frame* shown = ShownFrame(tag, id);
    const std::string current = shown ? shown->toString().to8Bit(true) : std::string();
    if (tags::KeepsId3v2Text(field, current, wanted))
        return false;
    std::string text = wanted;
    if (field == TagField::Track) {
        if (text.find_first_not_of('0') == std::string::npos)
            text.clear(); // 0 is no track
        else if (const std::size_t total = current.find('/'); total != std::string::npos)
            text += current.substr(total);
    }
    const TagLib::String value(text, TagLib::String::UTF8);
    if (field == TagField::Comment) {
        auto* comment = dynamic_cast<TagLib::ID3v2::CommentsFrame*>(shown);
        if (comment && !comment->description().isEmpty())
            comment = nullptr; // a program's note, left alone
        if (!comment) {
            comment = new TagLib::ID3v2::CommentsFrame(EncodingFor(value, version));
            comment->setLanguage("eng");
            tag.addFrame(comment);
        }
        comment->setTextEncoding(EncodingFor(value, version));
        comment->setText(value);
        return true;
    }
    if (text.empty()) {
        tag.removeFrames(id);
        return true;
    }
    auto* frame = dynamic_cast<TagLib::ID3v2::TextIdentificationFrame*>(shown);
    if (!frame) {
        tag.removeFrames(id);
        frame = new TagLib::ID3v2::TextIdentificationFrame(id, EncodingFor(value, version));
        tag.addFrame(frame);
    }
    frame->setTextEncoding(EncodingFor(value, version));
    frame->setText(value);
    return true;
}

// What identifies a frame for the check that no frame is lost: a text
// frame by its name and texts (TagLib writes their ends its own way), one
// TagLib does not know by its bytes but zeros at their end, any other by
// its bytes as rendered; across versions (2.2 read, 2.3 written) by its
// name and text only.
std::string FrameKey(const TagLib::ID3v2::Frame& frame, bool sameVersion)
{
    std::string key = TagLib::String(frame.frameID()).to8Bit();
    key += '\0';
    if (!sameVersion || dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(&frame)) {
        key += frame.toString().to8Bit(true);
    } else if (const auto* unknown = dynamic_cast<const TagLib::ID3v2::UnknownFrame*>(&frame)) {
        // Those of 2.3 that 2.4 lacks (TDAT, TIME) come back as TagLib
        // makes them, without a zero at the end.
        std::string data(unknown->data().data(), unknown->data().size());
        key += data.substr(0, data.find_last_not_of('\0') + 1);
    } else {
        const TagLib::ByteVector bytes = frame.render();
        key.append(bytes.data(), bytes.size());
    }
    return key;
}

// The keys of the frames of `tag` but those `changed` (frame names; "COMM"
// stands for the comments without a description), sorted.
std::vector<std::string> FrameKeys(const TagLib::ID3v2::Tag& tag,
                                   const std::vector<TagLib::ByteVector>& changed, bool sameVersion)
{
    std::vector<std::string> keys;
    for (const TagLib::ID3v2::Frame* frame : tag.frameList()) {
        if (std::find(changed.begin(), changed.end(), frame->frameID()) != changed.end()) {
            const auto* comment = dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(frame);
            if (!comment || comment->description().isEmpty())
                continue;
        }
        keys.push_back(FrameKey(*frame, sameVersion));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// `tag` with padding up to `size` bytes, its header telling the new size.
void PadTo(TagLib::ByteVector& tag, unsigned size)
{
    tag.resize(size, '\0');
    const unsigned body = size - 10;
    for (int i = 0; i < 4; ++i)
        tag[6 + i] = static_cast<char>((body >> (7 * (3 - i))) & 0x7F);
}

// Cuts the file back to `size` after a failed append; if that fails too,
// the write has failed all the same.
void RestoreLength(int fd, off_t size)
{
    if (::ftruncate(fd, size) != 0) {
        // Nothing more to do: the caller reports the failure.
    }
}

// After the new tag went over `old` in place: puts `old` back and tells
// the failure.
Id3v2Outcome RestoreTag(OpenFile& file, const TagLib::ByteVector& old)
{
    static_cast<void>(WriteAll(file.fd->get(), old.data(), old.size(), 0));
    return Id3v2Outcome::WriteFailed;
}

// Writes `id3v1Block` (if any) at `audioEnd` in place, after the ID3v2 tag
// was written there (or left as it was) and makes it all last; on failure
// the old ID3v2 tag `old` and the old length come back.
Id3v2Outcome WriteId3v1Only(OpenFile& file, const TagLib::ByteVector& old, off_t audioEnd,
                            std::string_view id3v1Block)
{
    const int fd = file.fd->get();
    if (!id3v1Block.empty()) {
        const off_t size = file.status.st_size;
        std::array<char, audio::kId3v1Size> before{};
        const bool hadTag = audioEnd < size;
        if (hadTag && ::pread(fd, before.data(), before.size(), audioEnd) != off_t(before.size()))
            return RestoreTag(file, old);
        if (!WriteAll(fd, id3v1Block.data(), id3v1Block.size(), audioEnd)) {
            if (hadTag)
                static_cast<void>(WriteAll(fd, before.data(), before.size(), audioEnd));
            else
                RestoreLength(fd, size);
            return RestoreTag(file, old);
        }
    }
    if (::fsync(fd) != 0 || !file.fd->close())
        return Id3v2Outcome::WriteFailed;
    return Id3v2Outcome::Done;
}

} // namespace

TagLibId3v2::TagLibId3v2()
{
    static SilentDebugListener silent;
    TagLib::setDebugListener(&silent);
}

Id3v2Outcome TagLibId3v2::Write(const std::string& path, const TagChanges& changes,
                                std::string_view id3v1Block)
{
    OpenFile file = OpenForWriting(path);
    if (file.failure != Id3v2Outcome::Done)
        return file.failure;
    const int fd = file.fd->get();
    DescriptorSource source(fd, file.status.st_size);
    // The first tag alone.
    const auto tagSize = static_cast<unsigned>(audio::Id3v2TagLength(source, 0));
    if (tagSize == 0)
        return Id3v2Outcome::NoTag;
    TagLib::ByteVector old(tagSize, '\0');
    if (source.readAt(0, old.data(), tagSize) != tagSize)
        return Id3v2Outcome::WriteFailed;

    // The tag that is changed, and the same tag read once more to compare.
    TagLib::ByteVectorStream oldStream(old);
    TagLib::MPEG::File oldFile(&oldStream, TagLib::ID3v2::FrameFactory::instance(), false);
    TagLib::ID3v2::Tag* tag = oldFile.ID3v2Tag(false);
    TagLib::ByteVectorStream originalStream(old);
    TagLib::MPEG::File originalFile(&originalStream, TagLib::ID3v2::FrameFactory::instance(),
                                    false);
    const TagLib::ID3v2::Tag* original = originalFile.ID3v2Tag(false);
    if (!tag || !original || tag->header()->completeTagSize() != tagSize)
        return Id3v2Outcome::WriteFailed;
    const unsigned oldVersion = tag->header()->majorVersion();
    const unsigned version = oldVersion == 4 ? 4 : 3;
    const std::array<const std::optional<std::string>*, 6> fields = {
        &changes.title, &changes.artist, &changes.album,
        &changes.track, &changes.year,   &changes.comment};
    std::vector<TagLib::ByteVector> changed;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (*fields[i] && SetField(*tag, static_cast<TagField>(i), **fields[i], version))
            changed.emplace_back(kFrameIds[i]);
    }
    if (std::find(changed.begin(), changed.end(), "TDRC") != changed.end()) {
        // A new year has no day and time of 2.3 (its old ones go with the
        // old year).
        changed.emplace_back("TDAT");
        changed.emplace_back("TIME");
    }
    const off_t size = file.status.st_size;
    const off_t audioEnd = Id3v1Start(source, size, tagSize);
    if (changed.empty())
        return WriteId3v1Only(file, old, audioEnd, id3v1Block);
    TagLib::ByteVector rendered = tag->render(version == 4 ? TagLib::ID3v2::v4 : TagLib::ID3v2::v3);
    const bool footer = version == 4 && rendered.size() > 5 && (rendered[5] & 0x10);
    if (rendered.size() < tagSize && !footer)
        PadTo(rendered, tagSize);

    TagLib::ByteVectorStream newStream(rendered);
    TagLib::MPEG::File newFile(&newStream, TagLib::ID3v2::FrameFactory::instance(), false);
    const TagLib::ID3v2::Tag* check = newFile.ID3v2Tag(false);
    if (!check || check->header()->completeTagSize() != rendered.size())
        return Id3v2Outcome::WriteFailed;
    const std::vector<std::string> kept = FrameKeys(*original, changed, oldVersion == version);
    const std::vector<std::string> now = FrameKeys(*check, changed, oldVersion == version);
    if (!std::includes(now.begin(), now.end(), kept.begin(), kept.end()))
        return Id3v2Outcome::WouldLoseFrames;

    if (rendered.size() == tagSize) {
        if (!WriteAll(fd, rendered.data(), rendered.size(), 0))
            return RestoreTag(file, old);
        return WriteId3v1Only(file, old, audioEnd, id3v1Block);
    }
    if (id3v1Block.empty())
        return ReplaceFile(file.path, fd, file.status, rendered, tagSize, size, {});
    return ReplaceFile(file.path, fd, file.status, rendered, tagSize, audioEnd, id3v1Block);
}

Id3v2Outcome TagLibId3v2::Remove(const std::string& path, bool alsoId3v1)
{
    OpenFile file = OpenForWriting(path);
    if (file.failure != Id3v2Outcome::Done)
        return file.failure;
    DescriptorSource source(file.fd->get(), file.status.st_size);
    const std::int64_t end = audio::SkipId3v2Tags(source);
    if (end == 0)
        return Id3v2Outcome::NoTag;
    const off_t size = file.status.st_size;
    const off_t keptEnd = alsoId3v1 ? Id3v1Start(source, size, static_cast<off_t>(end)) : size;
    return ReplaceFile(file.path, file.fd->get(), file.status, TagLib::ByteVector(),
                       static_cast<off_t>(end), keptEnd, {});
}

} // namespace velmora::platform
