// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Builders of synthetic MPEG audio for tests: headers, frames, streams, Xing
// frames and tag blocks, written out bit by bit independently of the code
// under test.

namespace velmora::testing {

/// A frame header: version 1 (MPEG-1), 2 (MPEG-2) or 3 (MPEG-2.5), layer
/// 1..3, bit-rate index, sample-rate index, padding, channel mode; the
/// protection bit is 1 (no checksum).
inline std::string Header(int version, int layer, int bitRateIndex, int sampleRateIndex,
                          bool padding = false, int mode = 1)
{
    const int versionBits = version == 1 ? 3 : version == 2 ? 2 : 0;
    const int layerBits = 4 - layer;
    std::string h(4, '\0');
    h[0] = static_cast<char>(0xFF);
    h[1] = static_cast<char>(0xE0 | (versionBits << 3) | (layerBits << 1) | 1);
    h[2] = static_cast<char>((bitRateIndex << 4) | (sampleRateIndex << 2) | (padding ? 2 : 0));
    h[3] = static_cast<char>(mode << 6);
    return h;
}

/// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, joint stereo: 417 bytes a frame.
inline const std::string kMp3Header = Header(1, 3, 9, 0);
inline constexpr std::size_t kMp3FrameLength = 417;

/// One frame: the header, then zero bytes up to `length`.
inline std::string Frame(const std::string& header, std::size_t length)
{
    std::string frame = header;
    frame.resize(length, '\0');
    return frame;
}

/// `count` identical frames.
inline std::string Stream(const std::string& header, std::size_t frameLength, std::size_t count)
{
    std::string stream;
    stream.reserve(frameLength * count);
    for (std::size_t i = 0; i < count; ++i)
        stream += Frame(header, frameLength);
    return stream;
}

inline void PutBigEndian32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    bytes[at] = static_cast<char>(value >> 24);
    bytes[at + 1] = static_cast<char>(value >> 16);
    bytes[at + 2] = static_cast<char>(value >> 8);
    bytes[at + 3] = static_cast<char>(value);
}

/// A first frame carrying a Xing block at `xingOffset` with the given flags;
/// the frame count follows when flag 1 is set.
inline std::string XingFrame(const std::string& header, std::size_t frameLength,
                             std::size_t xingOffset, std::uint32_t flags, std::uint32_t frames)
{
    std::string frame = Frame(header, frameLength);
    frame.replace(xingOffset, 4, "Xing");
    PutBigEndian32(frame, xingOffset + 4, flags);
    if (flags & 1)
        PutBigEndian32(frame, xingOffset + 8, frames);
    return frame;
}

/// An ID3v1 block; a track of -1 writes ID3v1.0 (the comment may use all 30
/// bytes), otherwise ID3v1.1 with byte 125 zero.
inline std::string Id3v1(std::string_view title, std::string_view artist, std::string_view album,
                         std::string_view year, std::string_view comment, int track = -1,
                         unsigned char genre = 12)
{
    std::string block(128, '\0');
    block.replace(0, 3, "TAG");
    const auto put = [&](std::size_t at, std::size_t size, std::string_view text) {
        block.replace(at, std::min(size, text.size()), text.substr(0, size));
    };
    put(3, 30, title);
    put(33, 30, artist);
    put(63, 30, album);
    put(93, 4, year);
    put(97, 30, comment);
    if (track >= 0) {
        block[125] = '\0';
        block[126] = static_cast<char>(track);
    }
    block[127] = static_cast<char>(genre);
    return block;
}

/// An ID3v2 tag around `body` (syncsafe size), version 3 or 4; with
/// `footer` (version 4) a 10-byte footer follows.
inline std::string Id3v2(const std::string& body, int version = 3, bool footer = false)
{
    const auto size = static_cast<std::uint32_t>(body.size());
    std::string tag = "ID3";
    tag += static_cast<char>(version);
    tag += '\0';
    tag += static_cast<char>(footer ? 0x10 : 0);
    tag += static_cast<char>((size >> 21) & 0x7F);
    tag += static_cast<char>((size >> 14) & 0x7F);
    tag += static_cast<char>((size >> 7) & 0x7F);
    tag += static_cast<char>(size & 0x7F);
    tag += body;
    if (footer) {
        std::string foot = tag.substr(0, 10);
        foot.replace(0, 3, "3DI");
        tag += foot;
    }
    return tag;
}

} // namespace velmora::testing
