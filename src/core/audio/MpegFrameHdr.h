// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace velmora::audio {

/// Decodes one 4-byte MPEG audio frame header (MPEG-1, 2, 2.5; Layers I to
/// III) and finds the first valid header in a buffer. Works on bytes only:
/// no file access, no allocation.
class TMpegFrameHdr {
public:
    /// Takes the first 4 bytes and decodes them; returns Valid(). With fewer
    /// than 4 bytes returns false and keeps the header held before.
    [[nodiscard]] bool Parse(const unsigned char* bytes, std::size_t length);

    /// Offset of the first valid header in the buffer, none when there is
    /// none. Afterwards the object holds the last header parsed.
    [[nodiscard]] std::optional<std::size_t> FindHeader(const unsigned char* buffer,
                                                        std::size_t count);

    /// Sync bits set and no reserved or forbidden code (free format counts as
    /// valid).
    bool Valid() const { return valid_; }
    /// 0 reserved, 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5.
    int VersionIndex() const { return versionIndex_; }
    /// kbit/s; 0 for the free format; -1 for the forbidden index or a
    /// reserved version or layer.
    int BitRate() const { return bitRate_; }
    /// Hz; -1 for the reserved index or a reserved version.
    int SampleRate() const { return sampleRate_; }
    /// Bytes of the whole frame, header included; 0 when the sample rate is
    /// not positive.
    int FrameLength() const { return frameLength_; }

    /// 1..3, 0 reserved.
    int Layer() const { return (4 - ((bytes_[1] >> 1) & 3)) % 4; }
    std::int64_t BitRateBps() const { return std::int64_t(bitRate_) * 1000; }
    int PaddingBit() const { return (bytes_[2] >> 1) & 1; }
    /// 0 without padding; 4 for Layer I and 1 otherwise with padding.
    int PaddingBytes() const { return PaddingBit() == 0 ? 0 : (Layer() == 1 ? 4 : 1); }
    /// 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel.
    int ChannelMode() const { return (bytes_[3] >> 6) & 3; }
    const std::array<unsigned char, 4>& Bytes() const { return bytes_; }

private:
    std::array<unsigned char, 4> bytes_{};
    bool valid_ = false;
    int versionIndex_ = 0;
    int bitRate_ = -1;
    int sampleRate_ = -1;
    int frameLength_ = 0;
};

/// Bytes of the longest frame there is (MPEG-2.5 Layer II, 160 kbit/s,
/// 8000 Hz, padded).
inline constexpr std::size_t kLongestFrame = 2881;

/// The number of frames, at most `wanted`, that follow one another from the
/// start of `bytes`: the first header is valid, and each next one stands
/// where the length of the one before ends, is valid and has the version,
/// layer and sample rate of the first. A free-format header ends the run
/// (its length is unknown), and so does a header with the reserved emphasis
/// code (binary 10) or one that is not wholly within `count`.
/// (`wanted` - 1) x kLongestFrame + 4 bytes hold any run of `wanted` frames.
int ConsecutiveFrames(const unsigned char* bytes, std::size_t count, int wanted);

} // namespace velmora::audio
