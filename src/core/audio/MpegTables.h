// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace velmora::audio {

// Tables and formulas of MPEG audio frame headers shared by both analysers.
// Version index: 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5, 0 reserved. Layer 1..3,
// 0 reserved.

/// Bit rate in kbit/s for a header's bit-rate index 0..15: 0 for the free
/// format (index 0), -1 for the forbidden index 15 and for reserved codes.
int BitRateKbps(int versionIndex, int layer, int bitRateIndex);

/// Sample rate in Hz for a sample-rate index 0..3: -1 for the reserved index
/// 3 and for a reserved version.
int SampleRateHz(int versionIndex, int sampleRateIndex);

/// Length in bytes of a whole frame, header included; 0 when the sample rate
/// is not positive. Layer I frames are counted in 4-byte slots:
/// 4 * trunc(12 * bps / rate) + 4 with padding; Layer II and MPEG-1 Layer III
/// trunc(144 * bps / rate) + padding; MPEG-2/2.5 Layer III
/// trunc(72 * bps / rate) + padding.
int FrameLengthBytes(int versionIndex, int layer, std::int64_t bitRateBps, int sampleRate,
                     bool padding);

/// Samples per frame for the Xing duration: 1152 for MPEG-1, 576 otherwise.
int XingSamplesPerFrame(int versionIndex);

/// Offset of the Xing block from the frame's first byte: the header and the
/// side information (36, 21 or 13 bytes).
int XingOffset(int versionIndex, int channelMode);

/// value / divisor rounded to the nearest integer, a half to the even one;
/// divisor > 0, value >= 0.
std::int64_t DivideRoundHalfEven(std::int64_t value, std::int64_t divisor);

/// The four bytes as a big-endian 32-bit number.
inline std::uint32_t BigEndian32(const unsigned char* b)
{
    return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) |
           std::uint32_t(b[3]);
}

} // namespace velmora::audio
