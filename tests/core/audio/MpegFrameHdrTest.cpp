// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/MpegFrameHdr.h"

#include "Bytes.h"
#include "Frames.h"

#include <gtest/gtest.h>

namespace velmora::audio {
namespace {

using testing::Bytes;
using testing::Header;

TMpegFrameHdr Parsed(const std::string& bytes)
{
    TMpegFrameHdr h;
    const bool valid = h.Parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    EXPECT_EQ(valid, h.Valid());
    return h;
}

TEST(MpegFrameHdr, Mpeg1Layer3)
{
    const TMpegFrameHdr h = Parsed(Bytes("[FF][FB][90][64]"));
    EXPECT_TRUE(h.Valid());
    EXPECT_EQ(h.VersionIndex(), 1);
    EXPECT_EQ(h.Layer(), 3);
    EXPECT_EQ(h.BitRate(), 128);
    EXPECT_EQ(h.BitRateBps(), 128000);
    EXPECT_EQ(h.SampleRate(), 44100);
    EXPECT_EQ(h.PaddingBit(), 0);
    EXPECT_EQ(h.ChannelMode(), 1);
    EXPECT_EQ(h.FrameLength(), 417);

    const TMpegFrameHdr padded = Parsed(Bytes("[FF][FB][92][64]"));
    EXPECT_EQ(padded.FrameLength(), 418);
    EXPECT_EQ(padded.PaddingBytes(), 1);
}

TEST(MpegFrameHdr, LowerSampleRates)
{
    const TMpegFrameHdr mpeg2 = Parsed(Bytes("[FF][F3][80][C0]"));
    EXPECT_TRUE(mpeg2.Valid());
    EXPECT_EQ(mpeg2.VersionIndex(), 2);
    EXPECT_EQ(mpeg2.BitRate(), 64);
    EXPECT_EQ(mpeg2.SampleRate(), 22050);
    EXPECT_EQ(mpeg2.FrameLength(), 208); // trunc(72 * 64000 / 22050)
    EXPECT_EQ(mpeg2.ChannelMode(), 3);

    const TMpegFrameHdr mpeg25 = Parsed(Bytes("[FF][E3][80][00]"));
    EXPECT_TRUE(mpeg25.Valid());
    EXPECT_EQ(mpeg25.VersionIndex(), 3);
    EXPECT_EQ(mpeg25.SampleRate(), 11025);
    EXPECT_EQ(mpeg25.FrameLength(), 417); // trunc(72 * 64000 / 11025)

    const TMpegFrameHdr layer2 = Parsed(Header(1, 2, 10, 1)); // 192 kbit/s, 48 kHz
    EXPECT_EQ(layer2.FrameLength(), 576);
}

TEST(MpegFrameHdr, LayerOneCountsFourByteSlots)
{
    // 32 kbit/s at 44.1 kHz: 4 * trunc(12 * 32000 / 44100) = 32, not the
    // 34 bytes of trunc(48 * 32000 / 44100); padding adds a whole slot.
    EXPECT_EQ(Parsed(Header(1, 1, 1, 0)).FrameLength(), 32);
    EXPECT_EQ(Parsed(Header(1, 1, 1, 0, true)).FrameLength(), 36);
    EXPECT_EQ(Parsed(Header(1, 1, 12, 0)).FrameLength(), 4 * (12 * 384000 / 44100));
    EXPECT_EQ(Parsed(Header(1, 1, 12, 1)).FrameLength(), 384); // 48 kHz: no remainder
    EXPECT_EQ(Parsed(Header(2, 1, 8, 0)).FrameLength(), 4 * (12 * 128000 / 22050));
}

TEST(MpegFrameHdr, ReservedAndForbiddenCodesAreNotValid)
{
    EXPECT_FALSE(Parsed(Bytes("[FF][EB][90][64]")).Valid()); // version bits 01
    EXPECT_FALSE(Parsed(Bytes("[FF][F9][90][64]")).Valid()); // layer bits 00
    EXPECT_FALSE(Parsed(Bytes("[FF][FB][F0][64]")).Valid()); // bit-rate index 15
    EXPECT_FALSE(Parsed(Bytes("[FF][FB][9C][64]")).Valid()); // sample-rate index 3
    EXPECT_FALSE(Parsed(Bytes("[FF][1B][90][64]")).Valid()); // sync bits
    EXPECT_EQ(Parsed(Bytes("[FF][EB][90][64]")).SampleRate(), -1);
    EXPECT_EQ(Parsed(Bytes("[FF][F9][90][64]")).BitRate(), -1);

    const TMpegFrameHdr free = Parsed(Bytes("[FF][FB][02][64]"));
    EXPECT_TRUE(free.Valid());
    EXPECT_EQ(free.BitRate(), 0);
    EXPECT_EQ(free.FrameLength(), 1); // just the padding byte
}

TEST(MpegFrameHdr, FindHeaderAndShortInput)
{
    TMpegFrameHdr h;
    const std::string shifted = Bytes("[FF][FF][FB][90][64]");
    EXPECT_EQ(h.FindHeader(reinterpret_cast<const unsigned char*>(shifted.data()), 3),
              std::nullopt);
    EXPECT_EQ(h.FindHeader(reinterpret_cast<const unsigned char*>(shifted.data()), shifted.size()),
              1u);
    EXPECT_EQ(h.BitRate(), 128);

    // A length of 3 keeps the header held before.
    const std::string three = Bytes("[FF][F3][80]");
    EXPECT_FALSE(h.Parse(reinterpret_cast<const unsigned char*>(three.data()), 3));
    EXPECT_TRUE(h.Valid());
    EXPECT_EQ(h.VersionIndex(), 1);

    const std::string none(100, '\xFF');
    EXPECT_EQ(h.FindHeader(reinterpret_cast<const unsigned char*>(none.data()), none.size()),
              std::nullopt);
}

int FramesIn(const std::string& bytes, int wanted = 3)
{
    return ConsecutiveFrames(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                             wanted);
}

// Frames count while each header stands where the frame before ends and has
// the version, layer and sample rate of the first; bit rate, padding and
// channel mode may change from frame to frame.
TEST(ConsecutiveFrames, CountsFramesOfOneStreamThatFollowOneAnother)
{
    using testing::Frame;
    using testing::kMp3Header;
    using testing::Stream;
    EXPECT_EQ(FramesIn(Stream(kMp3Header, 417, 3)), 3);
    EXPECT_EQ(FramesIn(Stream(kMp3Header, 417, 5), 4), 4);
    // 160 kbit/s, padded, stereo: 523 bytes.
    EXPECT_EQ(FramesIn(Frame(kMp3Header, 417) + Frame(Header(1, 3, 10, 0, true, 0), 523) +
                       Frame(kMp3Header, 417)),
              3);

    // Another sample rate, layer or version in the second header.
    const std::string first = Frame(kMp3Header, 417);
    EXPECT_EQ(FramesIn(first + Stream(Header(1, 3, 9, 1), 384, 2)), 1);
    EXPECT_EQ(FramesIn(first + Stream(Header(1, 2, 9, 0), 417, 2)), 1);
    EXPECT_EQ(FramesIn(first + Stream(Header(2, 3, 9, 0), 417, 2)), 1);
    // The second header one byte later than the first frame's length.
    EXPECT_EQ(FramesIn(Frame(kMp3Header, 418) + Stream(kMp3Header, 417, 2)), 1);
    // The third header cut off.
    EXPECT_EQ(FramesIn(Stream(kMp3Header, 417, 3).substr(0, 2 * 417 + 3)), 2);
    EXPECT_EQ(FramesIn("plain text, no frames"), 0);
}

TEST(ConsecutiveFrames, FreeFormatAndTheReservedEmphasisEndTheRun)
{
    using testing::Stream;
    // Free format: no length, so no next header to look for.
    EXPECT_EQ(FramesIn(Stream(Header(1, 3, 0, 0), 417, 3)), 0);

    // Emphasis 10 (byte 3 bits 1-0) is reserved.
    std::string reserved = testing::kMp3Header;
    reserved[3] = static_cast<char>(reserved[3] | 2);
    EXPECT_EQ(FramesIn(Stream(reserved, 417, 3)), 0);
    EXPECT_EQ(FramesIn(Stream(testing::kMp3Header, 417, 2) + Stream(reserved, 417, 1)), 2);
    // Emphasis 01 and 11 are real.
    std::string emphasis = testing::kMp3Header;
    emphasis[3] = static_cast<char>(emphasis[3] | 3);
    EXPECT_EQ(FramesIn(Stream(emphasis, 417, 3)), 3);
}

} // namespace
} // namespace velmora::audio
