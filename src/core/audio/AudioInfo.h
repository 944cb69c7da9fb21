// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/ID3Tags.h"
#include "audio/MpegFrameHdr.h"
#include "system/FileSystem.h"

#include <cstdint>
#include <string>

namespace velmora::audio {

/// The bounded analyser: looks for the first frame within the first
/// SearchLimit bytes of the audio (after any ID3v2 tags), confirms it by the
/// header one frame later, detects a Xing block, reads the ID3v1 tag and
/// computes the duration. Its reads are bounded whatever the file's size:
/// at most 10,296 bytes for the search, then 4, 12 and 128 bytes.
/// One object serves many files; nothing is kept between them.
class TAudioInfo {
public:
    explicit TAudioInfo(FileSystem& files) : files_(files) {}

    void Clear();

    /// Analyses a file; a file that cannot be opened leaves the object
    /// cleared. Judge the result by Header.Valid() alone.
    void AnalyseFile(const std::string& fileName);

    /// Analyses `length` bytes of `source` from `start` (lowered to what the
    /// source holds). Returns false when a read failed; the members then hold
    /// what was set before the failure.
    [[nodiscard]] bool AnalyseStream(ByteSource& source, std::int64_t start, std::int64_t length);

    TMpegFrameHdr Header;
    /// Offset of the first frame from the start of the analysed range; -1
    /// when none was found.
    std::int64_t FirstFrameOffset = -1;
    bool IsVBR = false;
    TID3v1Tag Tag;
    /// Milliseconds, always whole seconds.
    std::int64_t DurationMs = 0;
    /// Bytes searched for the first frame, in 128-byte chunks.
    std::int64_t SearchLimit = 10240;
    std::int64_t FileSize = -1;
    /// Last write in the packed form: date in the high 16 bits, time in the
    /// low 16 bits (see PackedFileDate); -1 when unknown.
    std::int64_t FileDate = -1;
    /// Attribute bits (see FileAttributeBits); 0 when unknown.
    std::uint32_t FileAttributes = 0;

private:
    FileSystem& files_;
};

/// A file's last write time (seconds since 1970, UTC) as the packed date and
/// time of FAT file systems, local time, years clamped to 1980..2107: never 0.
std::int64_t PackedFileDate(std::int64_t modified);

/// Attribute bits of a file: 0x01 read-only, 0x02 hidden, 0x20 archive.
std::uint32_t FileAttributeBits(const FileStatus& status);

} // namespace velmora::audio
