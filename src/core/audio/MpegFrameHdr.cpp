// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/MpegFrameHdr.h"

#include "audio/MpegTables.h"

namespace velmora::audio {

namespace {

bool HasSync(const unsigned char* b)
{
    return b[0] == 0xFF && (b[1] & 0xE0) == 0xE0;
}

} // namespace

bool TMpegFrameHdr::Parse(const unsigned char* bytes, std::size_t length)
{
    if (length < 4)
        return false;
    bytes_ = {bytes[0], bytes[1], bytes[2], bytes[3]};

    // Byte 1 bits 4-3: 00 MPEG-2.5, 01 reserved, 10 MPEG-2, 11 MPEG-1.
    constexpr int kVersions[4] = {3, 0, 2, 1};
    versionIndex_ = kVersions[(bytes_[1] >> 3) & 3];
    const int layer = Layer();
    bitRate_ =
        versionIndex_ == 0 || layer == 0 ? -1 : BitRateKbps(versionIndex_, layer, bytes_[2] >> 4);
    sampleRate_ = versionIndex_ == 0 ? -1 : SampleRateHz(versionIndex_, (bytes_[2] >> 2) & 3);
    frameLength_ =
        FrameLengthBytes(versionIndex_, layer, BitRateBps(), sampleRate_, PaddingBit() != 0);
    valid_ = HasSync(bytes_.data()) && versionIndex_ != 0 && layer != 0 && bitRate_ != -1 &&
             sampleRate_ != -1;
    return valid_;
}

std::optional<std::size_t> TMpegFrameHdr::FindHeader(const unsigned char* buffer, std::size_t count)
{
    if (count < 4)
        return std::nullopt;
    for (std::size_t i = 0; i + 4 <= count; ++i) {
        if (HasSync(buffer + i) && Parse(buffer + i, count - i))
            return i;
    }
    return std::nullopt;
}

int ConsecutiveFrames(const unsigned char* bytes, std::size_t count, int wanted)
{
    TMpegFrameHdr first;
    if (wanted <= 0 || !first.Parse(bytes, count))
        return 0;
    TMpegFrameHdr header = first;
    std::size_t at = 0;
    int frames = 0;
    while (frames < wanted) {
        // Byte 3 bits 1-0, the emphasis: 10 is reserved and written by no
        // encoder, while a table of machine code (jumps 16 bytes apart)
        // repeats a plausible header at any multiple of 16 bytes.
        if (header.BitRate() <= 0 || (header.Bytes()[3] & 3) == 2)
            break;
        ++frames;
        at += static_cast<std::size_t>(header.FrameLength());
        if (frames == wanted || at > count || !header.Parse(bytes + at, count - at))
            break;
        if (header.VersionIndex() != first.VersionIndex() || header.Layer() != first.Layer() ||
            header.SampleRate() != first.SampleRate())
            break;
    }
    return frames;
}

} // namespace velmora::audio
