// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/PlaylistWriter.h"

#include "texts/AsciiCase.h"

#include <charconv>

namespace velmora::playback {

namespace {

// Lines are handed to the file in blocks of this size.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

// A playlist that cannot be created makes Finish() fail, whatever the
// reason.
[[nodiscard]] std::unique_ptr<OutputFile> Replacement(FileSystem& files,
                                                      const std::string& fileName)
{
    WriteError ignored = WriteError::None;
    return files.createReplacement(fileName, ignored);
}

void AppendNumber(std::string& bytes, std::size_t number)
{
    char digits[24];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, number);
    bytes.append(digits, end.ptr);
}

} // namespace

PlaylistFormat FormatOf(std::string_view fileName)
{
    constexpr std::string_view kPls = ".pls";
    if (fileName.size() < kPls.size())
        return PlaylistFormat::M3u;
    return texts::CompareLowerFolded(fileName.substr(fileName.size() - kPls.size()), kPls) == 0
               ? PlaylistFormat::Pls
               : PlaylistFormat::M3u;
}

void AppendPlaylistStart(std::string& bytes, PlaylistFormat format)
{
    if (format == PlaylistFormat::Pls)
        bytes += "[playlist]\r\n";
}

void AppendPlaylistLine(std::string& bytes, PlaylistFormat format, std::size_t index,
                        std::string_view path)
{
    if (format == PlaylistFormat::Pls) {
        bytes += "File";
        AppendNumber(bytes, index);
        bytes += '=';
    }
    bytes += path;
    bytes += "\r\n";
}

void AppendPlaylistEnd(std::string& bytes, PlaylistFormat format, std::size_t count)
{
    if (format != PlaylistFormat::Pls)
        return;
    bytes += "NumberOfEntries=";
    AppendNumber(bytes, count);
    bytes += "\r\nVersion=2\r\n";
}

std::string PlaylistBytes(const std::vector<std::string>& paths, PlaylistFormat format)
{
    std::size_t size = 64;
    for (const std::string& path : paths)
        size += path.size() + 16;
    std::string bytes;
    bytes.reserve(size);
    AppendPlaylistStart(bytes, format);
    for (std::size_t i = 0; i < paths.size(); ++i)
        AppendPlaylistLine(bytes, format, i + 1, paths[i]);
    AppendPlaylistEnd(bytes, format, paths.size());
    return bytes;
}

bool WritePlaylist(FileSystem& files, const std::string& fileName,
                   const std::vector<std::string>& paths)
{
    PlaylistWriter writer(files, fileName);
    for (const std::string& path : paths)
        writer.Add(path);
    return writer.Finish();
}

PlaylistWriter::PlaylistWriter(FileSystem& files, const std::string& fileName)
    : PlaylistWriter(Replacement(files, fileName), FormatOf(fileName))
{
}

PlaylistWriter::PlaylistWriter(std::unique_ptr<OutputFile> out, PlaylistFormat format)
    : out_(std::move(out)), format_(format), ok_(out_ != nullptr)
{
    if (!ok_)
        return;
    buffer_.reserve(kBlockBytes + 4096);
    AppendPlaylistStart(buffer_, format_);
}

void PlaylistWriter::Add(std::string_view path)
{
    if (count_++ == 0)
        first_ = path;
    if (!ok_)
        return;
    AppendPlaylistLine(buffer_, format_, count_, path);
    if (buffer_.size() >= kBlockBytes)
        WriteOut();
}

void PlaylistWriter::WriteOut()
{
    ok_ = ok_ && out_->write(buffer_);
    buffer_.clear();
}

bool PlaylistWriter::Finish()
{
    if (!ok_)
        return false;
    AppendPlaylistEnd(buffer_, format_, count_);
    WriteOut();
    ok_ = ok_ && out_->flush() && out_->commit();
    return ok_;
}

} // namespace velmora::playback
