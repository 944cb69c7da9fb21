// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/NodeText.h"

#include "system/Locale.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <span>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::collection {

namespace {

#if defined(__SSE2__)
// Bit i set when byte i of the 16 from `bytes` is one of the seven marks
// from `firstMark` on: when the byte minus `firstMark`, taken as unsigned, is
// below 7, which one subtraction and one unsigned minimum tell for all 16.
unsigned MarkBits(const char* bytes, char firstMark)
{
    const __m128i offset = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)),
                                        _mm_set1_epi8(firstMark));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(6)), offset)));
}
#endif

// FindMarks for the marks whose bit k (mark firstMark + k) is set in
// `wanted` only; the others stay npos. The scan goes 16 bytes at a time,
// looks only at the marks among them one by one, and stops once every
// wanted mark is found.
std::array<std::size_t, 7> FindWantedMarks(std::string_view text, char firstMark, unsigned wanted)
{
    std::array<std::size_t, 7> found;
    found.fill(std::string_view::npos);
    unsigned missing = wanted & 0x7FU;
    const auto note = [&](std::size_t i) {
        const unsigned k = static_cast<unsigned char>(text[i] - firstMark);
        if (k < 7 && (missing & (1U << k)) != 0) {
            found[k] = i;
            missing &= ~(1U << k);
        }
    };
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; missing != 0 && i + 16 <= text.size(); i += 16) {
        for (unsigned marks = MarkBits(text.data() + i, firstMark); marks != 0 && missing != 0;
             marks &= marks - 1)
            note(i + static_cast<std::size_t>(__builtin_ctz(marks)));
    }
#endif
    for (; missing != 0 && i < text.size(); ++i)
        note(i);
    return found;
}

// Positions of the first occurrence of each of seven consecutive mark bytes,
// npos when absent.
std::array<std::size_t, 7> FindMarks(std::string_view text, char firstMark)
{
    return FindWantedMarks(text, firstMark, 0x7FU);
}

// The bytes strictly between mark j and mark j+1; nullopt-like empty result
// with ok=false when a mark is missing or out of order.
[[nodiscard]] bool Field(std::string_view text, const std::array<std::size_t, 7>& marks, int j,
                         std::string_view& field)
{
    const std::size_t open = marks[j];
    const std::size_t close = marks[j + 1];
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return false;
    field = text.substr(open + 1, close - open - 1);
    return true;
}

[[nodiscard]] bool ParseInteger(std::string_view s, std::int64_t& value)
{
    if (s.empty())
        return false;
    const char* first = s.data();
    const char* const last = s.data() + s.size();
    if (*first == '+')
        ++first;
    if (first == last || *first == '+')
        return false;
    std::int64_t parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed);
    if (error != std::errc() || end != last)
        return false;
    value = parsed;
    return true;
}

void AppendNumber(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;
    out.append(digits, end);
}

// The name, then each value after the next numeric mark, then the closing
// mark.
std::string NamedNumbers(std::string_view name, std::span<const std::int64_t> values)
{
    std::string out;
    out.reserve(name.size() + 8 * values.size());
    out += name;
    char mark = kNumberMark;
    for (const std::int64_t value : values) {
        out += mark++;
        AppendNumber(out, value);
    }
    out += mark;
    return out;
}

std::string NamedNumbers(std::string_view name, std::initializer_list<std::int64_t> values)
{
    return NamedNumbers(name, std::span<const std::int64_t>(values.begin(), values.size()));
}

struct RateRow {
    std::array<std::int16_t, 16> kbps;
};

// Bit rates in kbit/s by header index; index 0 is "free" and 15 "bad".
constexpr std::array<RateRow, 6> kRateRows = {{
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0}}, // MPEG-1 Layer I
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0}},    // MPEG-1 Layer II
    {{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},     // MPEG-1 Layer III
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0}},    // MPEG-2 Layer I
    {{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},         // MPEG-2 Layer II
    {{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},         // MPEG-2 Layer III
}};

} // namespace

std::string_view NodeName(std::string_view text)
{
    const std::size_t mark = text.find(kNumberMark);
    return mark == std::string_view::npos ? std::string_view() : text.substr(0, mark);
}

void ReadNumbers(std::string_view text, Numbers& values)
{
    const auto marks = FindMarks(text, kNumberMark);
    for (int j = 0; j < 6; ++j) {
        std::string_view field;
        std::int64_t value = 0;
        if (Field(text, marks, j, field) && ParseInteger(field, value))
            values[j] = value;
    }
}

void ReadTags(std::string_view text, Tags& tags)
{
    const auto marks = FindMarks(text, kTagMark);
    for (int j = 0; j < 6; ++j) {
        std::string_view field;
        tags[j] = Field(text, marks, j, field) ? field : std::string_view();
    }
}

namespace {

// The position of the first of the seven marks from `firstMark` on,
// whichever it is; npos when the text holds none.
std::size_t FirstOfMarks(std::string_view text, char firstMark)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= text.size(); i += 16) {
        if (const unsigned marks = MarkBits(text.data() + i, firstMark); marks != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(marks));
    }
#endif
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i] - firstMark) < 7)
            return i;
    }
    return std::string_view::npos;
}

// ReadSomeNumbers for the usual text, in one pass: the first of the seven
// numeric marks is mark 1, and every field up to the last one wanted is 1 to
// 18 digits (which cannot overflow), a minus ahead allowed, closed by the
// next mark. The marks met that way are the first of their kind, as
// FindMarks would find them. False, with `values` untouched, for any other
// text.
[[nodiscard]] bool ReadPlainNumbers(std::string_view text, unsigned fields, Numbers& values)
{
    const int last = 32 - __builtin_clz(fields); // one past the last field wanted
    std::size_t mark = FirstOfMarks(text, kNumberMark);
    if (mark == std::string_view::npos || text[mark] != kNumberMark)
        return false;
    Numbers read = values;
    for (int j = 0; j < last; ++j) {
        std::size_t i = mark + 1;
        const bool negative = i < text.size() && text[i] == '-';
        if (negative)
            ++i;
        const std::size_t digitsFrom = i;
        std::uint64_t value = 0;
        for (; i < text.size(); ++i) {
            const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned{'0'};
            if (digit > 9)
                break;
            value = value * 10 + digit;
        }
        const std::size_t digits = i - digitsFrom;
        if (digits == 0 || digits > 18 || i == text.size() || text[i] != kNumberMark + j + 1)
            return false;
        if ((fields & NumberBit(j)) != 0) {
            const auto magnitude = static_cast<std::int64_t>(value);
            read[j] = negative ? -magnitude : magnitude;
        }
        mark = i;
    }
    values = read;
    return true;
}

} // namespace

void ReadSomeNumbers(std::string_view text, unsigned fields, Numbers& values)
{
    fields &= 0x3FU;
    if (fields == 0 || ReadPlainNumbers(text, fields, values))
        return;
    // Field j lies between marks j and j + 1.
    const auto marks = FindWantedMarks(text, kNumberMark, fields | (fields << 1));
    for (int j = 0; j < 6; ++j) {
        std::string_view field;
        std::int64_t value = 0;
        if ((fields & NumberBit(j)) != 0 && Field(text, marks, j, field) &&
            ParseInteger(field, value))
            values[j] = value;
    }
}

std::string_view ReadTag(std::string_view text, TagField field)
{
    const auto marks = FindWantedMarks(text, kTagMark, 3U << field);
    std::string_view tag;
    return Field(text, marks, field, tag) ? tag : std::string_view();
}

bool HasTagText(std::string_view text)
{
    const auto marks = FindWantedMarks(text, kTagMark, 0x7FU);
    for (int j = 0; j < 6; ++j) {
        std::string_view tag;
        if (Field(text, marks, j, tag) && !tag.empty())
            return true;
    }
    return false;
}

std::int64_t AverageBitRate(std::int64_t sizeKB, std::int64_t duration)
{
    if (duration == 0)
        return 0;
    // sizeKB * 8 * 1.024 / |duration| in exact integer arithmetic, so that
    // whole results are never truncated one below by a rounding error.
    // 128 bits hold every product of two stored numbers; only the quotient
    // of a size beyond any disk is held at the limits of the result type.
    // Sizes below 2^50 kilobytes and durations below 2^40 seconds, which
    // every real file has, fit 64 bits, whose division is much cheaper and
    // gives the same quotient.
    constexpr std::int64_t kSizeLimit = std::int64_t{1} << 50;
    constexpr std::int64_t kDurationLimit = std::int64_t{1} << 40;
    if (sizeKB > -kSizeLimit && sizeKB < kSizeLimit && duration > -kDurationLimit &&
        duration < kDurationLimit) {
        const std::int64_t seconds = duration < 0 ? -duration : duration;
        return sizeKB * 8192 / (seconds * 1000);
    }
    using Wide = __int128;
    const Wide seconds = duration < 0 ? -static_cast<Wide>(duration) : static_cast<Wide>(duration);
    const Wide rate = static_cast<Wide>(sizeKB) * 8192 / (seconds * 1000);
    if (rate > std::numeric_limits<std::int64_t>::max())
        return std::numeric_limits<std::int64_t>::max();
    if (rate < std::numeric_limits<std::int64_t>::min())
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(rate);
}

std::int64_t StandardBitRate(std::int64_t rate, std::int64_t versionCode, std::int64_t layerCode)
{
    if (versionCode < 1 || versionCode > 3 || layerCode < 1 || layerCode > 3)
        return 0;
    // No entry lies 1000 or more away from a rate within (-1000, 1000), and
    // the walk gives 0 for every rate outside.
    if (rate <= -1000 || rate >= 1000)
        return 0;
    const RateRow& row = kRateRows[(versionCode == 1 ? 0 : 3) + (layerCode - 1)];
    std::int64_t best = 1000;
    for (std::size_t i = 0; i < row.kbps.size(); ++i) {
        const std::int64_t d = std::llabs(rate - row.kbps[i]);
        if (d < best) {
            best = d;
            continue;
        }
        return i == 0 ? 0 : row.kbps[i - 1];
    }
    return 0;
}

std::string_view PathAfterDrive(std::string_view path)
{
    const std::size_t slash = path.find('\\');
    return slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
}

std::string CleanText(std::string_view text)
{
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32)
        --last;
    text = text.substr(first, last - first);
    const auto control = [](char c) { return static_cast<unsigned char>(c) < 32; };
    // Most texts hold none: copied whole.
    if (std::none_of(text.begin(), text.end(), control))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::remove_copy_if(text.begin(), text.end(), std::back_inserter(out), control);
    return out;
}

bool SplitCollectionPath(std::string_view path, std::string& name, std::string& directory)
{
    if (path.empty())
        return false;
    const std::filesystem::path p(path);
    name = p.stem().string();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        directory.clear();
    else
        directory = std::string(path.substr(0, slash == 0 ? 1 : slash));
    return true;
}

int CompareTreeNodes(const CollectionTree& tree, NodeId a, NodeId b, const Locale& locale)
{
    const bool aHas = tree.hasChildren(a);
    const bool bHas = tree.hasChildren(b);
    if (aHas != bHas)
        return aHas ? -1 : 1;
    return locale.compareIgnoreCase(NodeName(tree.text(a)), NodeName(tree.text(b)));
}

std::string CollectionText(std::int64_t sizeKB, std::int64_t duration, std::int64_t volumeCount,
                           std::int64_t fileCount, std::int64_t lastChange)
{
    return NamedNumbers({}, {sizeKB, duration, volumeCount, fileCount, lastChange});
}

std::string FolderText(std::string_view name, std::int64_t sizeKB, std::int64_t duration,
                       std::int64_t folderCount, std::int64_t fileCount)
{
    return NamedNumbers(name, {sizeKB, duration, folderCount, fileCount});
}

std::string VolumeText(std::string_view name, std::int64_t sizeKB, std::int64_t duration,
                       std::int64_t folderCount, std::int64_t fileCount, std::int64_t scanDate,
                       std::int32_t serial)
{
    return NamedNumbers(name, {sizeKB, duration, folderCount, fileCount, scanDate, serial});
}

std::string FileText(std::string_view name, const Numbers& numbers,
                     const std::array<std::string, 6>& tags)
{
    std::string out = NamedNumbers(name, numbers);
    char mark = kTagMark;
    for (const std::string& tag : tags) {
        out += mark++;
        out += tag;
    }
    out += mark;
    return out;
}

std::int64_t AddClamped(std::int64_t a, std::int64_t b)
{
    std::int64_t sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<std::int64_t>::max()
                 : std::numeric_limits<std::int64_t>::min();
}

std::int64_t MultiplyClamped(std::int64_t a, std::int64_t b)
{
    std::int64_t product = 0;
    if (!__builtin_mul_overflow(a, b, &product))
        return product;
    return (a < 0) == (b < 0) ? std::numeric_limits<std::int64_t>::max()
                              : std::numeric_limits<std::int64_t>::min();
}

std::int64_t AbsClamped(std::int64_t value)
{
    if (value == std::numeric_limits<std::int64_t>::min())
        return std::numeric_limits<std::int64_t>::max();
    return value < 0 ? -value : value;
}

NodeKind KindOf(const CollectionTree& tree, NodeId node)
{
    switch (tree.level(node)) {
    case 0:
        return NodeKind::Collection;
    case 1:
        return NodeKind::Volume;
    default:
        return tree.hasChildren(node) ? NodeKind::Folder : NodeKind::File;
    }
}

} // namespace velmora::collection
