// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/FileRecord.h"
#include "platform/PosixFileSystem.h"

#include <cstdlib>
#include <gtest/gtest.h>

// Real files made by Debian's encoders (tests/data/make_audio_fixtures.sh);
// tests/data/audio/README.md gives the properties every value below follows
// from.

namespace velmora::audio {
namespace {

struct Expected {
    const char* file;
    Analyser analyser;
    collection::Numbers numbers;
    std::array<const char*, 6> tags;
};

const Expected kFixtures[] = {
    {"mpeg1_l3_cbr128_44k_js.mp3", Analyser::Mpeg, {16, 1, 4410, 2, 1, 3}, {}},
    {"mpeg1_l3_cbr128_44k_js_info_frame.mp3", Analyser::Mpeg, {16, 1, 4410, 2, 1, 3}, {}},
    {"mpeg1_l3_cbr128_44k_js_id3v1_0.mp3",
     Analyser::Mpeg,
     {16, 1, 4410, 2, 1, 3},
     {"Fixture Title", "Fixture Artist", "Fixture Album", "", "2001",
      "Comment: exactly thirty bytes!"}},
    {"mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3",
     Analyser::Mpeg,
     {16, 1, 4410, 2, 1, 3},
     {"Track Seven", "Fixture Artist", "Fixture Album", "7", "1999", "Comment with track number"}},
    {"id3v1_windows1252_artist.mp3",
     Analyser::Mpeg,
     {16, 1, 4410, 2, 1, 3},
     {"Ace of Spades", "Motörhead", "Ace of Spades", "1", "1980", "Windows-1252 éèü"}},
    {"mpeg1_l3_vbr_xing.mp3", Analyser::Mpeg, {16, -1, 4410, 2, 1, 3}, {}},
    {"mpeg1_l3_vbr_xing_mono.mp3", Analyser::Mpeg, {9, -1, 4410, 4, 1, 3}, {}},
    {"mpeg2_l3_cbr64_22k_js.mp3", Analyser::Mpeg, {8, 1, 2205, 2, 2, 3}, {}},
    {"mpeg2_l3_cbr32_24k_mono.mp3", Analyser::Mpeg, {4, 1, 2400, 4, 2, 3}, {}},
    {"mpeg25_l3_cbr16_8k_mono.mp3", Analyser::Mpeg, {2, 1, 800, 4, 3, 3}, {}},
    {"mpeg1_l2_cbr192_48k_stereo.mp2", Analyser::Mpeg, {23, 1, 4800, 1, 1, 2}, {}},
    {"mpeg2_l2_cbr64_24k_mono.mp2", Analyser::Mpeg, {7, 1, 2400, 4, 2, 2}, {}},
    // The Xing stream behind 21,590 bytes of ID3v2 tag is found and is VBR.
    // Without an ID3v1 tag the texts come from the ID3v2 tag.
    {"id3v2_20k_then_vbr_xing.mp3",
     Analyser::Mpeg,
     {37, -1, 4410, 2, 1, 3},
     {"Picture in front", "Fixture Artist"}},
    {"id3v2_4_footer_then_cbr.mp3",
     Analyser::Mpeg,
     {8, 1, 2205, 2, 2, 3},
     {"Footer tag \xC3\xA9t\xC3\xA9", "Fixture Artist", nullptr, "5"}},
    {"junk_3000_before_frame.mp3", Analyser::Mpeg, {19, 1, 4410, 2, 1, 3}, {}},
    // 30,000 bytes of junk in a 34 KB file: the middle of the file is junk
    // too, and the bounded search ends after 10 KB.
    {"junk_30000_before_frame.mp3", Analyser::None, {33, 0, 0, 0, 0, 0}, {}},
    // A lone header: too short for a second one, so the bounded analyser's
    // first verdict stands.
    {"frame_header_only_5_bytes.mp3", Analyser::Info, {0, 0, 4410, 2, 1, 3}, {}},
    {"tag_start_only_127_bytes.mp3", Analyser::None, {0, 0, 0, 0, 0, 0}, {}},
    {"text_named_mp3.mp3", Analyser::None, {0, 0, 0, 0, 0, 0}, {}},
    {"empty.mp3", Analyser::None, {0, 0, 0, 0, 0, 0}, {}},
};

TEST(AudioFixtures, RecordsOfRealFiles)
{
    const char* data = std::getenv("VELMORA_TEST_DATA");
    ASSERT_NE(data, nullptr);
    platform::PosixFileSystem files;
    FileAnalyser analyser(files);
    for (const Expected& expected : kFixtures) {
        const FileRecord record = analyser.Analyse(std::string(data) + "/audio/" + expected.file);
        EXPECT_EQ(record.analyser, expected.analyser) << expected.file;
        EXPECT_EQ(record.numbers, expected.numbers) << expected.file;
        for (std::size_t j = 0; j < 6; ++j)
            EXPECT_EQ(record.tags[j], expected.tags[j] ? expected.tags[j] : "")
                << expected.file << " " << j;
    }
}

TEST(AudioFixtures, UtfEightTitleIsKept)
{
    const char* data = std::getenv("VELMORA_TEST_DATA");
    ASSERT_NE(data, nullptr);
    platform::PosixFileSystem files;
    FileAnalyser analyser(files);
    const FileRecord record = analyser.Analyse(std::string(data) + "/audio/id3v1_utf8_title.mp3");
    EXPECT_EQ(record.tags[0], "Café Über Straße");
    EXPECT_EQ(record.tags[3], "3");
}

} // namespace
} // namespace velmora::audio
