// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/MpegTables.h"

#include <array>

namespace velmora::audio {

namespace {

// kbit/s for indexes 1..14 of each row.
constexpr std::array<std::array<std::int16_t, 14>, 5> kBitRates = {{
    {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG-1 Layer I
    {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // MPEG-1 Layer II
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // MPEG-1 Layer III
    {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // MPEG-2/2.5 Layer I
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},         // MPEG-2/2.5 Layer II, III
}};

constexpr std::array<std::array<int, 3>, 3> kSampleRates = {{
    {44100, 48000, 32000}, // MPEG-1
    {22050, 24000, 16000}, // MPEG-2
    {11025, 12000, 8000},  // MPEG-2.5
}};

} // namespace

int BitRateKbps(int versionIndex, int layer, int bitRateIndex)
{
    if (versionIndex < 1 || versionIndex > 3 || layer < 1 || layer > 3 || bitRateIndex < 0 ||
        bitRateIndex >= 15)
        return -1;
    if (bitRateIndex == 0)
        return 0;
    const int row = versionIndex == 1 ? layer - 1 : (layer == 1 ? 3 : 4);
    return kBitRates[row][bitRateIndex - 1];
}

int SampleRateHz(int versionIndex, int sampleRateIndex)
{
    if (versionIndex < 1 || versionIndex > 3 || sampleRateIndex < 0 || sampleRateIndex > 2)
        return -1;
    return kSampleRates[versionIndex - 1][sampleRateIndex];
}

int FrameLengthBytes(int versionIndex, int layer, std::int64_t bitRateBps, int sampleRate,
                     bool padding)
{
    if (sampleRate <= 0)
        return 0;
    // Integer division equals the floating-point division truncated toward
    // zero for the non-negative values that occur here.
    if (layer == 1)
        return static_cast<int>(4 * (12 * bitRateBps / sampleRate) + (padding ? 4 : 0));
    if (layer == 3 && versionIndex != 1)
        return static_cast<int>(72 * bitRateBps / sampleRate + (padding ? 1 : 0));
    return static_cast<int>(144 * bitRateBps / sampleRate + (padding ? 1 : 0));
}

int XingSamplesPerFrame(int versionIndex)
{
    return versionIndex == 1 ? 1152 : 576;
}

int XingOffset(int versionIndex, int channelMode)
{
    const bool mono = channelMode == 3;
    if (versionIndex == 1)
        return mono ? 21 : 36;
    return mono ? 13 : 21;
}

std::int64_t DivideRoundHalfEven(std::int64_t value, std::int64_t divisor)
{
    const std::int64_t quotient = value / divisor;
    const std::int64_t twiceRest = 2 * (value % divisor);
    if (twiceRest > divisor || (twiceRest == divisor && quotient % 2 != 0))
        return quotient + 1;
    return quotient;
}

} // namespace velmora::audio
