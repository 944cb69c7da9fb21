// SPDX-License-Identifier: GPL-3.0-or-later
// Runs every audio decoder over arbitrary bytes held in memory: the frame
// header search, the ID3v1 reader, the ID3v2 skip, the bounded analyser and
// the main analyser. Besides crashes and hangs it checks that the reads
// stay within the bounds the analysers promise.
#include "NoFiles.h"
#include "audio/AudioInfo.h"
#include "audio/ID3Tags.h"
#include "audio/MPGTools.h"
#include "audio/MpegFrameHdr.h"
#include "system/MemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

class CountingFile final : public velmora::MemoryFile {
public:
    using MemoryFile::MemoryFile;
    std::int64_t readAt(std::int64_t offset, char* out, std::size_t count) override
    {
        ++reads;
        bytesRead += static_cast<std::int64_t>(count);
        if (offset < 0)
            std::abort();
        return MemoryFile::readAt(offset, out, count);
    }
    int reads = 0;
    std::int64_t bytesRead = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora;
    using namespace velmora::audio;
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    TMpegFrameHdr header;
    const std::optional<std::size_t> found = header.FindHeader(data, size);
    if (found && (!header.Valid() || *found + 4 > size))
        std::abort();

    TID3v1Tag tag;
    tag.ReadFromBuffer(data, size);
    if (tag.Present && (tag.Title.size() > 90 || tag.Year.size() > 12))
        std::abort();

    CountingFile skipped(bytes);
    if (SkipId3v2Tags(skipped) > skipped.size() || skipped.reads > 64)
        std::abort();

    fuzz::NoFiles files;
    TAudioInfo info(files);
    CountingFile stream(bytes);
    // Every read of the range is within the bytes, so none fails.
    if (!info.AnalyseStream(stream, 0, stream.size()))
        std::abort();
    // At most 10,296 bytes searched, then a second header, a Xing block and
    // a tag: the cost does not grow with the file.
    if (stream.bytesRead > 10296 + 4 + 12 + 128)
        std::abort();

    TMPEGAudio mpeg(files);
    CountingFile file(bytes);
    FileStatus status;
    status.modified = 1'000'000'000;
    const AnalysisStatus analysed = mpeg.AnalyseSource(file, status);
    const MpegRecord& r = mpeg.record();
    if (mpeg.valid() && (analysed != AnalysisStatus::Complete || r.Version < 1 || r.Version > 3 ||
                         r.Layer < 1 || r.Layer > 3 || r.SampleRate <= 0))
        std::abort();
    return 0;
}
