// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/AudioInfo.h"

#include "audio/BufferedReader.h"
#include "audio/MpegTables.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <optional>

namespace velmora::audio {

namespace {

constexpr std::size_t kChunk = 128;

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::int64_t PackedFileDate(std::int64_t modified)
{
    const std::time_t seconds = static_cast<std::time_t>(modified);
    std::tm local{};
    if (!::localtime_r(&seconds, &local))
        return 33; // 1 January 1980, 00:00
    const int year = std::clamp(local.tm_year + 1900, 1980, 2107);
    const std::int64_t date = ((year - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday;
    const std::int64_t time = (local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2);
    return (date << 16) | time;
}

std::uint32_t FileAttributeBits(const FileStatus& status)
{
    return (status.readOnly ? 0x01u : 0u) | (status.hidden ? 0x02u : 0u) | 0x20u;
}

void TAudioInfo::Clear()
{
    Header = TMpegFrameHdr();
    FirstFrameOffset = -1;
    IsVBR = false;
    Tag.Present = false;
    DurationMs = 0;
    FileSize = -1;
    FileDate = -1;
    FileAttributes = 0;
}

void TAudioInfo::AnalyseFile(const std::string& fileName)
{
    Clear();
    const auto first = std::find_if_not(fileName.begin(), fileName.end(), IsBlankOrControl);
    if (first == fileName.end())
        return;
    int error = 0;
    const std::unique_ptr<RandomAccessFile> file = files_.openFile(fileName, false, error);
    if (!file)
        return;
    // The search and its limit count from the end of ID3v2 tags in front.
    BufferedReader in(*file);
    const std::int64_t start = SkipId3v2Tags(in);
    const std::int64_t size = file->size();
    if (!AnalyseStream(in, start, size - start))
        return;
    const FileStatus status = file->status();
    FileSize = size;
    FileDate = PackedFileDate(status.modified);
    FileAttributes = FileAttributeBits(status);
}

bool TAudioInfo::AnalyseStream(ByteSource& source, std::int64_t start, std::int64_t length)
{
    Clear();
    length = std::max<std::int64_t>(0, std::min(length, source.size() - start));

    // First-frame search in 128-byte chunks; the last 4 bytes of a chunk are
    // carried over so that a header across two chunks is found.
    unsigned char buffer[kChunk];
    std::int64_t consumed = 0;
    std::size_t carry = 0;
    while (consumed < SearchLimit && consumed < length) {
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(kChunk - carry), length - consumed));
        if (source.readAt(start + consumed, reinterpret_cast<char*>(buffer) + carry, n) !=
            static_cast<std::int64_t>(n))
            return false;
        if (const std::optional<std::size_t> found = Header.FindHeader(buffer, carry + n)) {
            FirstFrameOffset =
                consumed - static_cast<std::int64_t>(carry) + static_cast<std::int64_t>(*found);
            break;
        }
        consumed += static_cast<std::int64_t>(n);
        carry = 4;
        std::memmove(buffer, buffer + kChunk - 4, 4);
    }

    // Confirmation by the header one frame later; only its validity counts.
    if (Header.Valid() && FirstFrameOffset + Header.FrameLength() + 4 < length) {
        unsigned char next[4];
        if (source.readAt(start + FirstFrameOffset + Header.FrameLength(),
                          reinterpret_cast<char*>(next), 4) != 4)
            return false;
        TMpegFrameHdr second;
        if (!second.Parse(next, 4))
            Header = TMpegFrameHdr();
    }

    // A Xing block in the first frame marks a variable bit rate: "Xing",
    // big-endian flags, then the frame count when flag bit 0 is set.
    if (Header.Valid()) {
        const int offset = XingOffset(Header.VersionIndex(), Header.ChannelMode());
        if (FirstFrameOffset + offset + 12 < length) {
            unsigned char xing[12];
            if (source.readAt(start + FirstFrameOffset + offset, reinterpret_cast<char*>(xing),
                              12) != 12)
                return false;
            if (std::memcmp(xing, "Xing", 4) == 0) {
                IsVBR = true;
                const std::int64_t frames = (xing[7] & 1) != 0 ? BigEndian32(xing + 8) : 0;
                if (Header.SampleRate() > 0)
                    DurationMs =
                        DivideRoundHalfEven(frames * XingSamplesPerFrame(Header.VersionIndex()),
                                            Header.SampleRate()) *
                        1000;
            }
        }
    }

    const std::int64_t end = Header.Valid() ? FirstFrameOffset + Header.FrameLength() : 0;
    if (!Tag.ReadFromStream(source, start + end, length - end))
        return false;

    if (!IsVBR) {
        const std::int64_t audio = length - FirstFrameOffset - (Tag.Present ? 128 : 0);
        DurationMs =
            Header.Valid() && Header.BitRate() > 0 ? audio * 8 / Header.BitRateBps() * 1000 : 0;
    }
    return true;
}

} // namespace velmora::audio
