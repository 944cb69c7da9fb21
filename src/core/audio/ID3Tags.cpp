#include "audio/ID3Tags.h"

#include "texts/Encoding.h"

#include <algorithm>
#include <cstring>

namespace velmora::audio {

namespace {

std::string_view BeforeZero(std::string_view field)
{
    const std::size_t zero = field.find('\0');
    return zero == std::string_view::npos ? field : field.substr(0, zero);
}

std::string_view WithoutTrailingControls(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    return text;
}

std::string Field(const unsigned char* block, std::size_t offset, std::size_t size)
{
    const std::string_view raw(reinterpret_cast<const char*>(block) + offset, size);
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

bool TID3v1Tag::ReadFromBuffer(const unsigned char* buffer, std::size_t length)
{
    Present = false;
    if (length < kId3v1Size || std::memcmp(buffer, "TAG", 3) != 0)
        return false;
    Title = Field(buffer, 3, 30);
    Artist = Field(buffer, 33, 30);
    Album = Field(buffer, 63, 30);
    Year = Field(buffer, 93, 4);
    Comment = Field(buffer, 97, 30);
    Track = buffer[125] == 0 && buffer[126] != 0 ? buffer[126] : 0;
    GenreCode = buffer[127];
    Present = true;
    return true;
}

bool TID3v1Tag::ReadFromStream(ByteSource& source, std::int64_t offset, std::int64_t length)
{
    if (length < static_cast<std::int64_t>(kId3v1Size)) {
        Present = false;
        return true;
    }
    unsigned char block[kId3v1Size];
    const std::int64_t read = source.readAt(offset + length - static_cast<std::int64_t>(kId3v1Size),
                                            reinterpret_cast<char*>(block), kId3v1Size);
    if (read != static_cast<std::int64_t>(kId3v1Size)) {
        Present = false;
        return false;
    }
    ReadFromBuffer(block, kId3v1Size);
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

std::int64_t SkipId3v2Tags(ByteSource& source)
{
    const std::int64_t size = source.size();
    std::int64_t offset = 0;
    for (int tags = 0; tags < 64; ++tags) {
        unsigned char h[10];
        if (size - offset < 10 || source.readAt(offset, reinterpret_cast<char*>(h), 10) != 10)
            break;
        const bool header = h[0] == 'I' && h[1] == 'D' && h[2] == '3' && h[3] >= 2 && h[3] <= 4 &&
                            h[4] != 0xFF && (h[6] | h[7] | h[8] | h[9]) < 0x80;
        if (!header)
            break;
        const std::int64_t body = (std::int64_t(h[6]) << 21) | (std::int64_t(h[7]) << 14) |
                                  (std::int64_t(h[8]) << 7) | std::int64_t(h[9]);
        const bool footer = h[3] == 4 && (h[5] & 0x10) != 0;
        const std::int64_t length = 10 + body + (footer ? 10 : 0);
        if (length > size - offset)
            break;
        offset += length;
    }
    return offset;
}

} // namespace velmora::audio
