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
    h.Parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
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
    EXPECT_EQ(h.FindHeader(reinterpret_cast<const unsigned char*>(shifted.data()), 3), -1);
    EXPECT_EQ(h.FindHeader(reinterpret_cast<const unsigned char*>(shifted.data()), shifted.size()),
              1);
    EXPECT_EQ(h.BitRate(), 128);

    // A length of 3 keeps the header held before.
    const std::string three = Bytes("[FF][F3][80]");
    EXPECT_FALSE(h.Parse(reinterpret_cast<const unsigned char*>(three.data()), 3));
    EXPECT_TRUE(h.Valid());
    EXPECT_EQ(h.VersionIndex(), 1);

    const std::string none(100, '\xFF');
    EXPECT_EQ(h.FindHeader(reinterpret_cast<const unsigned char*>(none.data()), none.size()), -1);
}

} // namespace
} // namespace velmora::audio
