// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/Id3v2.h"

#include "audio/ID3Tags.h"
#include "audio/MPGTools.h"
#include "audio/MpegTables.h"
#include "system/MemoryFile.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

namespace velmora::audio {

std::string Cleaned(std::string text)
{
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    text.erase(text.find_last_not_of(' ') + 1);
    text.erase(0, first);
    return text;
}

std::string Cut(std::string text, std::size_t characters)
{
    text.resize(CutLength(text, characters));
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string LeadingDigits(std::string_view text, std::size_t most)
{
    std::size_t n = 0;
    while (n < text.size() && n < most && text[n] >= '0' && text[n] <= '9')
        ++n;
    return std::string(text.substr(0, n));
}

namespace {

constexpr std::int64_t kHeaderSize = 10;
constexpr std::size_t kTextFrameLimit = 16 * 1024;
constexpr std::int64_t kWholeTagLimit = 4 * 1024 * 1024;
constexpr std::size_t kTextCharacters = 30;
constexpr std::size_t kYearDigits = 4;

enum Field { kTitle, kArtist, kAlbum, kTrack, kYear, kComment, kNone };

Field FieldOf(std::string_view id)
{
    static constexpr std::pair<std::string_view, Field> kIds[] = {
        {"TIT2", kTitle}, {"TPE1", kArtist},  {"TALB", kAlbum}, {"TRCK", kTrack}, {"TYER", kYear},
        {"TDRC", kYear},  {"COMM", kComment}, {"TT2", kTitle},  {"TP1", kArtist}, {"TAL", kAlbum},
        {"TRK", kTrack},  {"TYE", kYear},     {"COM", kComment}};
    for (const auto& [name, field] : kIds) {
        if (name == id)
            return field;
    }
    return kNone;
}

std::uint32_t Syncsafe(const unsigned char* b)
{
    return (std::uint32_t(b[0] & 0x7F) << 21) | (std::uint32_t(b[1] & 0x7F) << 14) |
           (std::uint32_t(b[2] & 0x7F) << 7) | std::uint32_t(b[3] & 0x7F);
}

bool IsIdCharacter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

/// FF 00 becomes FF.
std::string Resynchronised(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (static_cast<unsigned char>(bytes[i]) == 0xFF && i + 1 < bytes.size() &&
            bytes[i + 1] == '\0')
            ++i;
    }
    return out;
}

/// Writes `c` as UTF-8 at `out` and moves it past the bytes written.
void PutUtf8(char*& out, std::uint32_t c)
{
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
}

/// The first string of `data` in `encoding`, as UTF-8; `used` is the number
/// of bytes it took, its terminator included.
std::string DecodeString(std::string_view data, int encoding, std::size_t& used)
{
    if (encoding == 1 || encoding == 2) {
        bool bigEndian = encoding == 2;
        std::size_t i = 0;
        if (encoding == 1 && data.size() >= 2) {
            const auto b0 = static_cast<unsigned char>(data[0]);
            const auto b1 = static_cast<unsigned char>(data[1]);
            if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
                bigEndian = b0 == 0xFE;
                i = 2;
            }
        }
        const auto unit = [&](std::size_t at) {
            const auto a = static_cast<unsigned char>(data[at]);
            const auto b = static_cast<unsigned char>(data[at + 1]);
            return static_cast<std::uint32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
        };
        // A unit takes at most 3 bytes in UTF-8, a pair of units 4.
        std::string out((data.size() - i) / 2 * 3, '\0');
        char* const begin = out.data();
        char* end = begin;
        used = data.size();
        while (i + 1 < data.size()) {
            std::uint32_t c = unit(i);
            i += 2;
            if (c == 0) {
                used = i;
                break;
            }
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < data.size() && unit(i) >= 0xDC00 &&
                unit(i) <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (unit(i) - 0xDC00);
                i += 2;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                c = 0xFFFD;
            }
            PutUtf8(end, c);
        }
        out.resize(static_cast<std::size_t>(end - begin));
        return out;
    }
    const std::size_t zero = data.find('\0');
    used = zero == std::string_view::npos ? data.size() : zero + 1;
    // ISO-8859-1 is read as ID3v1 text is; UTF-8 that is not valid too.
    return TagTextToUtf8(data.substr(0, zero));
}

class FrameReader {
public:
    FrameReader(ByteSource& source, Id3v2Text& text) : source_(source), text_(text) {}

    /// Reads the frames in [position, end) of a tag of `version`.
    void Read(std::int64_t position, std::int64_t end, int version, bool allUnsynchronised)
    {
        const std::int64_t headerSize = version == 2 ? 6 : 10;
        while (position + headerSize <= end && found_ < 6) {
            unsigned char h[10];
            if (!ReadBytes(position, h, static_cast<std::size_t>(headerSize)) || h[0] == 0)
                return;
            const std::size_t idSize = version == 2 ? 3 : 4;
            for (std::size_t i = 0; i < idSize; ++i) {
                if (!IsIdCharacter(h[i]))
                    return;
            }
            const std::int64_t data = position + headerSize;
            std::int64_t size = 0;
            if (version == 2)
                size = (std::int64_t(h[3]) << 16) | (std::int64_t(h[4]) << 8) | h[5];
            else if (version == 3)
                size = BigEndian32(h + 4);
            else
                size = Version4Size(h + 4, data, end);
            if (size > end - data)
                return;
            const Field field = FieldOf(std::string_view(reinterpret_cast<char*>(h), idSize));
            if (field != kNone && !taken_[field]) {
                const int flags = version == 2 ? 0 : h[9];
                TakeFrame(field, data, size, version, flags, allUnsynchronised);
            }
            position = data + size;
        }
    }

private:
    bool ReadBytes(std::int64_t at, unsigned char* out, std::size_t count)
    {
        return source_.readAt(at, reinterpret_cast<char*>(out), count) ==
               static_cast<std::int64_t>(count);
    }

    // A frame or padding begins at `at`, or the tag ends there.
    bool FrameBoundary(std::int64_t at, std::int64_t end)
    {
        if (at == end)
            return true;
        unsigned char id[4];
        if (at > end || end - at < 4 || !ReadBytes(at, id, 4))
            return at < end && end - at < 4;
        return id[0] == 0 ||
               std::all_of(id, id + 4, [](unsigned char c) { return IsIdCharacter(c); });
    }

    std::int64_t Version4Size(const unsigned char* b, std::int64_t data, std::int64_t end)
    {
        const std::int64_t plain = BigEndian32(b);
        if ((b[0] | b[1] | b[2] | b[3]) & 0x80)
            return plain;
        const std::int64_t syncsafe = Syncsafe(b);
        if (syncsafe == plain || FrameBoundary(data + syncsafe, end))
            return syncsafe;
        return plain <= end - data && FrameBoundary(data + plain, end) ? plain : syncsafe;
    }

    void TakeFrame(Field field, std::int64_t data, std::int64_t size, int version, int flags,
                   bool allUnsynchronised)
    {
        // Version 2.3: 0x80 compressed, 0x40 encrypted, 0x20 a group byte.
        // Version 2.4: 0x08 compressed, 0x04 encrypted, 0x40 a group byte,
        // 0x02 unsynchronised, 0x01 a 4-byte data length.
        const bool skip = version == 3 ? (flags & 0xC0) != 0 : (flags & 0x0C) != 0;
        if (skip)
            return;
        std::int64_t lead = 0;
        if (version == 3 && (flags & 0x20))
            lead = 1;
        if (version == 4)
            lead = ((flags & 0x40) ? 1 : 0) + ((flags & 0x01) ? 4 : 0);
        if (size <= lead)
            return;
        // Most text frames fit the buffer on the stack.
        const auto count =
            static_cast<std::size_t>(std::min<std::int64_t>(size - lead, kTextFrameLimit));
        char small[256];
        std::string large;
        char* buffer = small;
        if (count > sizeof small) {
            large.resize(count);
            buffer = large.data();
        }
        if (!ReadBytes(data + lead, reinterpret_cast<unsigned char*>(buffer), count))
            return;
        std::string_view bytes(buffer, count);
        if (version == 4 && (allUnsynchronised || (flags & 0x02))) {
            large = Resynchronised(bytes);
            bytes = large;
        }
        if (bytes.empty())
            return;
        const int encoding = static_cast<unsigned char>(bytes[0]);
        if (encoding > 3)
            return;
        std::string_view rest = bytes.substr(1);
        std::size_t used = 0;
        bool described = false;
        if (field == kComment) {
            if (rest.size() < 3)
                return;
            rest.remove_prefix(3); // the language
            described = !DecodeString(rest, encoding, used).empty();
            rest.remove_prefix(used); // the short description
            // A comment with a description stands in only until one without
            // comes (the others are notes of programs, such as iTunNORM).
            if (described && fallbackComment_)
                return;
        }
        std::string value = Cleaned(DecodeString(rest, encoding, used));
        switch (field) {
        case kTitle:
            text_.title = Cut(std::move(value), kTextCharacters);
            break;
        case kArtist:
            text_.artist = Cut(std::move(value), kTextCharacters);
            break;
        case kAlbum:
            text_.album = Cut(std::move(value), kTextCharacters);
            break;
        case kComment:
            text_.comment = Cut(std::move(value), kTextCharacters);
            if (described) {
                fallbackComment_ = true;
                text_.present = true;
                return;
            }
            break;
        case kTrack: {
            const std::string digits = LeadingDigits(value, 9);
            text_.track = digits.empty() ? 0 : std::stoi(digits);
            break;
        }
        case kYear:
            text_.year = LeadingDigits(value, kYearDigits);
            // A year frame without digits leaves the place to another one.
            if (text_.year.empty())
                return;
            break;
        case kNone:
            return;
        }
        text_.present = true;
        taken_[field] = true;
        ++found_;
    }

    ByteSource& source_;
    Id3v2Text& text_;
    bool taken_[6] = {};
    int found_ = 0;
    bool fallbackComment_ = false; ///< the comment is one with a description
};

} // namespace

void ReadId3v2Text(ByteSource& source, Id3v2Text& text)
{
    static const Id3v2Text kEmpty;
    text = kEmpty; // keeps the storage of the texts
    unsigned char h[kHeaderSize];
    if (source.size() < kHeaderSize ||
        source.readAt(0, reinterpret_cast<char*>(h), kHeaderSize) != kHeaderSize)
        return;
    const int version = h[3];
    if (h[0] != 'I' || h[1] != 'D' || h[2] != '3' || version < 2 || version > 4 || h[4] == 0xFF ||
        ((h[6] | h[7] | h[8] | h[9]) & 0x80) != 0)
        return;
    const int flags = h[5];
    const bool unsynchronised = (flags & 0x80) != 0;
    const bool extended = (flags & 0x40) != 0;
    if (version == 2 && extended) // compressed: no scheme was ever defined
        return;
    const std::int64_t end = std::min<std::int64_t>(kHeaderSize + Syncsafe(h + 6), source.size());

    if (version < 4 && unsynchronised) {
        // The whole tag, frame headers included, is unsynchronised: read it
        // whole and go on in memory.
        if (end - kHeaderSize > kWholeTagLimit)
            return;
        std::string body(static_cast<std::size_t>(end - kHeaderSize), '\0');
        if (source.readAt(kHeaderSize, body.data(), body.size()) !=
            static_cast<std::int64_t>(body.size()))
            return;
        MemoryFile memory(Resynchronised(body));
        std::int64_t start = 0;
        if (extended) {
            unsigned char e[4];
            if (memory.readAt(0, reinterpret_cast<char*>(e), 4) != 4)
                return;
            start = 4 + std::int64_t(BigEndian32(e));
        }
        FrameReader(memory, text).Read(start, memory.size(), version, false);
        return;
    }

    std::int64_t start = kHeaderSize;
    if (extended) {
        unsigned char e[4];
        if (end - start < 4 || source.readAt(start, reinterpret_cast<char*>(e), 4) != 4)
            return;
        // 2.3: the size leaves out its own 4 bytes; 2.4: syncsafe, all of it.
        start += version == 3 ? 4 + std::int64_t(BigEndian32(e)) : std::int64_t(Syncsafe(e));
    }
    FrameReader(source, text).Read(start, end, version, version == 4 && unsynchronised);
}

} // namespace velmora::audio
