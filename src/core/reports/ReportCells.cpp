// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportCells.h"

#include "display/Formats.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <bit>
#include <charconv>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velmora::reports {

namespace {

using collection::NodeId;
using collection::NodeKind;
using collection::Numbers;
using collection::Tags;

using texts::TextId;

// Printable ASCII, which every format writes as it stands and whose length
// in characters is its length in bytes.
bool Plain(std::string_view text)
{
    bool plain = true;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        plain &= byte >= 32 && byte < 0x80;
    }
    return plain;
}

// A signed decimal integer, as ReadNumbers() takes it: an optional plus or
// minus sign and digits, nothing else. False for anything else, with
// `value` left as it was.
[[nodiscard]] bool ParseInteger(std::string_view s, std::int64_t& value)
{
    const char* first = s.data();
    const char* const last = s.data() + s.size();
    if (first != last && *first == '+')
        ++first;
    if (first == last || *first == '+')
        return false;
    // Up to 18 digits cannot overflow: they are read here, a digit at a
    // time, which from_chars() does with more checks. Longer ones, and a
    // lone sign, go to from_chars().
    const bool negative = *first == '-';
    const char* digit = first + (negative ? 1 : 0);
    const auto count = static_cast<std::size_t>(last - digit);
    if (count >= 1 && count <= 18) {
        std::uint64_t magnitude = 0;
        for (; digit != last; ++digit) {
            const auto d = static_cast<unsigned>(static_cast<unsigned char>(*digit) - '0');
            if (d > 9)
                return false;
            magnitude = magnitude * 10 + d;
        }
        const auto parsed = static_cast<std::int64_t>(magnitude);
        value = negative ? -parsed : parsed;
        return true;
    }
    std::int64_t parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed);
    if (error != std::errc() || end != last)
        return false;
    value = parsed;
    return true;
}

// The marks of a node text found in one pass (see NodeText.h): where the
// first of each numeric mark 0x01..0x07 and of each tag mark 0x15..0x1B is.
constexpr std::size_t kMarks = 7;
constexpr std::size_t kTagFields = kMarks; // the tag fields follow the numbers
constexpr std::size_t kNameField = 2 * kMarks;
constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;

struct NodeScan {
    std::array<std::uint32_t, 2 * kMarks> at;
    // The name and the tags are printable ASCII: no byte of the text is
    // 0x80 or above, and every byte below 32 is one of the marks found,
    // which come in their order, so that no field holds one.
    bool plain = false;
    // While scanning: the number of marks found, the last one found (-1
    // before the first), and whether each came after the marks before it
    // in the order above.
    std::size_t found = 0;
    int lastFound = -1;
    bool ordered = true;

    // Field j: a number (j < kMarks), a tag (kTagFields + j) or the name
    // (kNameField, the bytes before the first numeric mark). False when a
    // mark is missing or the closing mark comes first.
    [[nodiscard]] bool Field(std::string_view text, std::size_t j, std::string_view& field) const
    {
        if (j == kNameField) {
            if (at[0] == kAbsent)
                return false;
            field = text.substr(0, at[0]);
            return true;
        }
        const std::uint32_t open = at[j];
        const std::uint32_t close = at[j + 1];
        // An absent mark is the greatest place: an absent opening one
        // comes after any closing one that is there.
        if (close == kAbsent || close < open)
            return false;
        field = text.substr(open + 1, close - open - 1);
        return true;
    }
};

// The place in NodeScan::at of each byte below 32, 2 * kMarks for those
// that are no mark.
constexpr std::array<std::uint8_t, 32> kMarkPlaces = [] {
    std::array<std::uint8_t, 32> places{};
    places.fill(2 * kMarks);
    for (std::size_t k = 0; k < kMarks; ++k) {
        places[1 + k] = static_cast<std::uint8_t>(k);
        places[0x15 + k] = static_cast<std::uint8_t>(kMarks + k);
    }
    return places;
}();

// Notes the byte below 32 at `i` in the scan.
void TakeControl(NodeScan& scan, unsigned byte, std::size_t i)
{
    const unsigned k = kMarkPlaces[byte];
    if (k >= 2 * kMarks || scan.at[k] != kAbsent)
        return;
    scan.at[k] = static_cast<std::uint32_t>(i);
    ++scan.found;
    scan.ordered &= static_cast<int>(k) > scan.lastFound;
    scan.lastFound = static_cast<int>(k);
}

NodeScan ScanNode(std::string_view text)
{
    NodeScan scan;
    scan.at.fill(kAbsent);
    unsigned high = 0; // nonzero when a byte is 0x80 or above
    std::size_t controls = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: a bit per byte for the high bytes and for
    // those below 32 (a signed compare, which takes the high bytes too).
    const __m128i space = _mm_set1_epi8(32);
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const auto highs = static_cast<unsigned>(_mm_movemask_epi8(v));
        auto lows = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(v, space))) & ~highs;
        high |= highs;
        for (; lows != 0; lows &= lows - 1) {
            const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(lows));
            ++controls;
            TakeControl(scan, bytes[at], at);
        }
    }
    // The rest of a text of sixteen bytes or more: its last sixteen bytes,
    // without the bits of those taken above.
    if (i < size && size >= 16) {
        const std::size_t start = size - 16;
        const unsigned rest = (0xFFFFu << (i - start)) & 0xFFFFu;
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + start));
        const auto highs = static_cast<unsigned>(_mm_movemask_epi8(v));
        auto lows = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(v, space))) & ~highs;
        high |= highs & rest;
        for (lows &= rest; lows != 0; lows &= lows - 1) {
            const std::size_t at = start + static_cast<std::size_t>(std::countr_zero(lows));
            ++controls;
            TakeControl(scan, bytes[at], at);
        }
        i = size;
    }
#endif
    for (; i < size; ++i) {
        const unsigned byte = bytes[i];
        high |= byte & 0x80;
        if (byte < 32) {
            ++controls;
            TakeControl(scan, byte, i);
        }
    }
    scan.plain = high == 0 && controls == scan.found && scan.ordered;
    return scan;
}

} // namespace

std::size_t EncodeCell(std::string& cell, ReportFormat format)
{
    // One pass for both checks; no early exit, so that it is vectorised.
    unsigned char high = 0;
    unsigned char low = 0xFF;
    for (const char c : cell) {
        const auto byte = static_cast<unsigned char>(c);
        high |= byte;
        low = byte < low ? byte : low;
    }
    if (low < 32)
        std::replace_if(
            cell.begin(), cell.end(), [](char c) { return static_cast<unsigned char>(c) < 32; },
            '?');
    if (high < 0x80)
        return cell.size();
    const bool utf8 = texts::IsValidUtf8(cell);
    if (format == ReportFormat::Dif) {
        if (utf8)
            cell = texts::Utf8ToWindows1252(cell);
    } else if (!utf8) {
        cell = texts::Windows1252ToUtf8(cell);
    }
    return TextLength(cell);
}

CellFiller::CellFiller(const FillSources& sources)
    : s_(sources), format_(sources.settings.format), decimal_(MakeConstant(sources.decimal)),
      averageRate_(MakeConstant(sources.texts.Text(TextId::AverageRate))),
      constantRate_(MakeConstant(sources.texts.Text(TextId::ConstantRate))),
      variableRate_(MakeConstant(sources.texts.Text(TextId::VariableRate))),
      layer_(MakeConstant(sources.texts.Text(TextId::LayerPrefix))),
      collectionName_(MakeConstant(sources.collectionName))
{
    for (std::size_t code = 0; code < channels_.size(); ++code)
        channels_[code] =
            MakeConstant(display::ChannelText(sources.texts, static_cast<std::int64_t>(code)));
    made_.reserve(256);
    constantsPlain_ = decimal_.plain && averageRate_.plain && constantRate_.plain &&
                      variableRate_.plain && layer_.plain;
    for (const Constant& channel : channels_)
        constantsPlain_ = constantsPlain_ && channel.plain;
}

CellFiller::Constant CellFiller::MakeConstant(std::string_view text)
{
    return {text, Plain(text)};
}

void CellFiller::Fill(NodeId node, std::uint32_t volume)
{
    const std::string_view text = s_.tree.text(node);
    const NodeScan scan = ScanNode(text);
    cells_.fill({});
    madeCount_ = 0;
    made_.clear();
    plain_ = scan.plain;

    Numbers n{};
    for (std::size_t j = 0; j < n.size(); ++j) {
        std::string_view field;
        // A field that is no integer keeps its 0, as in ReadNumbers().
        if (scan.Field(text, j, field))
            static_cast<void>(ParseInteger(field, n[j]));
    }
    // Kinds go by level for the collection and the volumes, so that
    // neither is ever taken for a file, even without children.
    const NodeKind kind = collection::KindOf(s_.tree, node);
    if (kind == NodeKind::File) {
        Tags tags;
        for (std::size_t j = 0; j < tags.size(); ++j) {
            std::string_view field;
            tags[j] = scan.Field(text, kTagFields + j, field) ? field : std::string_view();
        }
        FillFile(n, tags);
    } else {
        FillTotals(n);
    }
    if (kind == NodeKind::Collection) {
        cells_[0] = collectionName_.text;
        plain_ = plain_ && collectionName_.plain;
        if (s_.settings.columnOn(kDateColumn)) {
            BeginMade(kDateColumn);
            made_ += display::FormatDay(static_cast<std::int32_t>(n[collection::kLastChange]),
                                        s_.dateSeparator);
            EndMade();
            plain_ = plain_ && Plain(s_.dateSeparator);
        }
    } else {
        std::string_view name;
        cells_[0] = scan.Field(text, kNameField, name) ? name : std::string_view();
        const VolumeCells& cells = s_.volumes[volume];
        SetCell(kDateColumn, cells.date, true);
        if (kind != NodeKind::Volume)
            SetCell(kVolumeColumn, cells.label, true);
        plain_ = VolumePlain(volume) && plain_;
    }
    for (std::size_t i = 0; i < madeCount_; ++i) {
        const auto k = static_cast<std::size_t>(madeColumns_[i]);
        cells_[k] = std::string_view(made_).substr(madeAt_[k], madeSize_[k]);
    }
    if (!plain_) {
        Encode();
        return;
    }
    for (std::size_t k = 0; k < kCellCount; ++k)
        lengths_[k] = cells_[k].size();
}

bool CellFiller::VolumePlain(std::uint32_t volume)
{
    if (volume == plainVolume_)
        return true;
    const VolumeCells& cells = s_.volumes[volume];
    if (!Plain(cells.date) || !Plain(cells.label))
        return false;
    plainVolume_ = volume;
    return true;
}

void CellFiller::Measure(NodeId node, std::uint32_t volume)
{
    const std::string_view text = s_.tree.text(node);
    const NodeScan scan = ScanNode(text);
    const NodeKind kind = collection::KindOf(s_.tree, node);
    // A plain row's lengths are its cells' sizes. In the formats that are
    // UTF-8, a name or tag that is not plain ASCII has the length
    // TextLength() gives for its node bytes: valid UTF-8 stays as it is, a
    // Windows-1252 byte becomes one character, and a byte below 32 "?".
    // The other rows are made.
    const bool plain = scan.plain;
    if ((!plain && format_ == ReportFormat::Dif) || !constantsPlain_ ||
        kind == NodeKind::Collection || !VolumePlain(volume)) {
        Fill(node, volume);
        return;
    }
    const auto length = [plain](std::string_view field) {
        return plain ? field.size() : TextLength(field);
    };
    Numbers n{};
    for (std::size_t j = 0; j < n.size(); ++j) {
        std::string_view field;
        // A field that is no integer keeps its 0, as in ReadNumbers().
        if (scan.Field(text, j, field))
            static_cast<void>(ParseInteger(field, n[j]));
    }
    lengths_.fill(0);
    std::string_view name;
    if (scan.Field(text, kNameField, name))
        lengths_[0] = length(name);
    const VolumeCells& cells = s_.volumes[volume];
    if (s_.settings.columnOn(kDateColumn))
        lengths_[kDateColumn] = cells.date.size();
    if (kind != NodeKind::Volume && s_.settings.columnOn(kVolumeColumn))
        lengths_[kVolumeColumn] = cells.label.size();
    if (kind != NodeKind::File) {
        MeasureTotals(n);
        return;
    }
    MeasureFile(n);
    for (std::size_t j = 0; j < std::tuple_size_v<Tags>; ++j) {
        std::string_view field;
        const int column = kTitleColumn + static_cast<int>(j);
        if (s_.settings.columnOn(column) && scan.Field(text, kTagFields + j, field))
            lengths_[static_cast<std::size_t>(column)] = length(field);
    }
}

void CellFiller::Encode()
{
    for (std::size_t k = 0; k < kCellCount; ++k) {
        // Most cells of such a row are printable ASCII all the same, which
        // encoding leaves as they are.
        if (Plain(cells_[k])) {
            lengths_[k] = cells_[k].size();
            continue;
        }
        std::string& cell = encoded_[k];
        cell.assign(cells_[k]);
        lengths_[k] = EncodeCell(cell, format_);
        cells_[k] = cell;
    }
}

} // namespace velmora::reports
