// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the ID3v2 text reader over arbitrary bytes held in memory, and the
// main analyser's frame search both ways (the memchr scan and the byte
// steps). Besides crashes and hangs it checks the promises of the reader
// (short texts, no bytes below 32, valid UTF-8, at most four year digits)
// and that both searches give the same record.
#include "NoFiles.h"
#include "audio/BufferedReader.h"
#include "audio/Id3v2.h"
#include "audio/MPGTools.h"
#include "system/MemoryFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using velmora::audio::Id3v2Text;

// Valid UTF-8 of at most `characters` characters, no byte below 32.
bool Sound(const std::string& text, std::size_t characters)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 32)
            return false;
        const std::size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
        if (n == 0 || i + n > text.size())
            return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += n;
        ++count;
    }
    return count <= characters;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora;
    using namespace velmora::audio;
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    MemoryFile file(bytes);
    BufferedReader in(file);
    Id3v2Text text;
    ReadId3v2Text(in, text);
    if (!Sound(text.title, 30) || !Sound(text.artist, 30) || !Sound(text.album, 30) ||
        !Sound(text.comment, 30) || text.year.size() > 4 ||
        text.year.find_first_not_of("0123456789") != std::string::npos || text.track < 0)
        std::abort();
    if (!text.present && !(text == Id3v2Text()))
        std::abort();

    fuzz::NoFiles files;
    TMPEGAudio scan(files);
    TMPEGAudio steps(files);
    steps.setSyncScan(false);
    FileStatus status;
    status.modified = 1'000'000'000;
    MemoryFile a(bytes);
    MemoryFile b(bytes);
    if (scan.AnalyseSource(a, status) != steps.AnalyseSource(b, status) ||
        !(scan.record() == steps.record()) || !(scan.id3v2() == steps.id3v2()))
        std::abort();
    return 0;
}
