// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/ID3Tags.h"

#include "texts/Encoding.h"

#include <algorithm>
#include <cstring>

namespace velmora::audio {

namespace {

std::string_view WithoutTrailingControls(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

std::string Field(std::string_view raw)
{
    return TagTextToUtf8(WithoutTrailingControls(BeforeZero(raw)));
}

void PutField(std::array<char, kId3v1Size>& block, std::size_t offset, std::size_t size,
              std::string_view utf8)
{
    const std::string bytes = texts::Utf8ToWindows1252(utf8);
    std::memcpy(block.data() + offset, bytes.data(), std::min(size, bytes.size()));
}

} // namespace

std::string TagTextToUtf8(std::string_view bytes)
{
    return texts::DisplayText(bytes);
}

std::string_view BeforeZero(std::string_view field)
{
    const std::size_t zero = field.find('\0');
    return zero == std::string_view::npos ? field : field.substr(0, zero);
}

bool SplitId3v1Block(const unsigned char* block, Id3v1Fields& fields)
{
    if (std::memcmp(block, "TAG", 3) != 0)
        return false;
    const auto field = [block](std::size_t offset, std::size_t size) {
        return std::string_view(reinterpret_cast<const char*>(block) + offset, size);
    };
    fields.title = field(3, 30);
    fields.artist = field(33, 30);
    fields.album = field(63, 30);
    fields.year = field(93, 4);
    fields.comment = field(97, 30);
    fields.byte125 = block[125];
    fields.trackByte = block[126];
    fields.genre = block[127];
    return true;
}

Id3v1Read ReadId3v1Block(ByteSource& source, std::int64_t offset, std::int64_t length,
                         std::array<unsigned char, kId3v1Size>& block)
{
    constexpr auto kSize = static_cast<std::int64_t>(kId3v1Size);
    if (length < kSize)
        return Id3v1Read::TooShort;
    const std::int64_t read =
        source.readAt(offset + length - kSize, reinterpret_cast<char*>(block.data()), kId3v1Size);
    return read == kSize ? Id3v1Read::Read : Id3v1Read::Failed;
}

bool TID3v1Tag::ReadFromBuffer(const unsigned char* buffer, std::size_t length)
{
    Present = false;
    Id3v1Fields fields;
    if (length < kId3v1Size || !SplitId3v1Block(buffer, fields))
        return false;
    Title = Field(fields.title);
    Artist = Field(fields.artist);
    Album = Field(fields.album);
    Year = Field(fields.year);
    Comment = Field(fields.comment);
    Track = fields.byte125 == 0 && fields.trackByte != 0 ? fields.trackByte : 0;
    GenreCode = fields.genre;
    Present = true;
    return true;
}

bool TID3v1Tag::ReadFromStream(ByteSource& source, std::int64_t offset, std::int64_t length)
{
    std::array<unsigned char, kId3v1Size> block;
    switch (ReadId3v1Block(source, offset, length, block)) {
    case Id3v1Read::TooShort:
        Present = false;
        return true;
    case Id3v1Read::Failed:
        Present = false;
        return false;
    case Id3v1Read::Read:
        break;
    }
    ReadFromBuffer(block.data(), kId3v1Size);
    return true;
}

std::array<char, kId3v1Size> BuildId3v1Block(std::string_view title, std::string_view artist,
                                             std::string_view album, std::string_view year,
                                             std::string_view comment, std::uint8_t track,
                                             std::uint8_t genre)
{
    std::array<char, kId3v1Size> block{};
    std::memcpy(block.data(), "TAG", 3);
    PutField(block, 3, 30, title);
    PutField(block, 33, 30, artist);
    PutField(block, 63, 30, album);
    PutField(block, 93, 4, year);
    PutField(block, 97, 30, comment);
    block[127] = static_cast<char>(genre);
    block[126] = static_cast<char>(track);
    return block;
}

namespace {

// Whether `h` is the header of an ID3v2 tag (see SkipId3v2Tags).
bool IsId3v2Header(const unsigned char (&h)[10])
{
    return h[0] == 'I' && h[1] == 'D' && h[2] == '3' && h[3] >= 2 && h[3] <= 4 && h[4] != 0xFF &&
           (h[6] | h[7] | h[8] | h[9]) < 0x80;
}

} // namespace

int Id3v2Version(ByteSource& source)
{
    unsigned char h[10];
    if (source.size() < 10 || source.readAt(0, reinterpret_cast<char*>(h), 10) != 10 ||
        !IsId3v2Header(h))
        return 0;
    return h[3];
}

std::int64_t Id3v2TagLength(ByteSource& source, std::int64_t offset)
{
    const std::int64_t size = source.size();
    unsigned char h[10];
    if (size - offset < 10 || source.readAt(offset, reinterpret_cast<char*>(h), 10) != 10 ||
        !IsId3v2Header(h))
        return 0;
    const std::int64_t body = (std::int64_t(h[6]) << 21) | (std::int64_t(h[7]) << 14) |
                              (std::int64_t(h[8]) << 7) | std::int64_t(h[9]);
    const bool footer = h[3] == 4 && (h[5] & 0x10) != 0;
    const std::int64_t length = 10 + body + (footer ? 10 : 0);
    return length > size - offset ? 0 : length;
}

std::int64_t SkipId3v2Tags(ByteSource& source)
{
    std::int64_t offset = 0;
    for (int tags = 0; tags < 64; ++tags) {
        const std::int64_t length = Id3v2TagLength(source, offset);
        if (length == 0)
            break;
        offset += length;
    }
    return offset;
}

} // namespace velmora::audio
