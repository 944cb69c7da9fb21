#include "reports/ReportCells.h"

#include "texts/Encoding.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace velmora::reports {

namespace {

using collection::NodeId;
using collection::NodeKind;
using collection::Numbers;

using texts::TextId;

std::int64_t Magnitude(std::int64_t value)
{
    if (value == std::numeric_limits<std::int64_t>::min())
        return std::numeric_limits<std::int64_t>::max();
    return value < 0 ? -value : value;
}

void AppendNumber(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
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

void CellFiller::Fill(NodeId node, std::uint32_t volume)
{
    for (std::string& cell : row_.cells)
        cell.clear();
    const std::string_view text = s_.tree.text(node);
    Numbers n{};
    collection::ReadNumbers(text, n);
    // Kinds go by level for the collection and the volumes, so that
    // neither is ever taken for a file, even without children.
    const NodeKind kind = collection::KindOf(s_.tree, node);
    if (kind == NodeKind::File)
        FillFile(text, n);
    else
        FillTotals(n);
    if (kind == NodeKind::Collection) {
        row_.cells[0] = s_.collectionName;
        SetCell(kDateColumn, Day(n[collection::kLastChange]));
    } else {
        row_.cells[0] = collection::NodeName(text);
        SetCell(kDateColumn, s_.volumes[volume].date);
        if (kind != NodeKind::Volume)
            SetCell(kVolumeColumn, s_.volumes[volume].label);
    }
    for (std::size_t k = 0; k < kCellCount; ++k)
        lengths_[k] = EncodeCell(row_.cells[k], s_.settings.format);
}

std::string CellFiller::Day(std::int64_t dayNumber) const
{
    return collection::FormatDay(static_cast<std::int32_t>(dayNumber), s_.dateSeparator);
}

void CellFiller::SetCell(int column, std::string_view value)
{
    if (s_.settings.columnOn(column))
        row_.cells[static_cast<std::size_t>(column)].assign(value);
}

void CellFiller::SetCell(int column, std::int64_t value)
{
    if (s_.settings.columnOn(column))
        AppendNumber(row_.cells[static_cast<std::size_t>(column)], value);
}

void CellFiller::SetCell(int column, std::string_view text, std::int64_t value)
{
    if (!s_.settings.columnOn(column))
        return;
    std::string& cell = row_.cells[static_cast<std::size_t>(column)];
    cell.assign(text);
    cell += ' ';
    AppendNumber(cell, value);
}

void CellFiller::FillTotals(const Numbers& n)
{
    using namespace collection;
    SetCell(kSizeColumn, SizeText(n[kSizeKB], s_.decimal));
    SetCell(kDurationColumn, FormatHMS(Magnitude(n[kDuration])));
    SetCell(kBitRateColumn, s_.texts.Text(TextId::AverageRate),
            AverageBitRate(n[kSizeKB], n[kDuration]));
    SetCell(kFolderCountColumn, n[kFolderCount]);
    SetCell(kFileCountColumn, n[kFileCount]);
}

void CellFiller::FillFile(std::string_view text, const Numbers& n)
{
    using namespace collection;
    SetCell(kSizeColumn, SizeText(n[kSizeKB], s_.decimal));
    SetCell(kDurationColumn, FormatHMS(Magnitude(n[kDuration])));
    if (s_.settings.columnOn(kBitRateColumn)) {
        const std::int64_t duration = n[kDuration];
        const std::int64_t average = AverageBitRate(n[kSizeKB], duration);
        if (duration > 0)
            SetCell(kBitRateColumn, s_.texts.Text(TextId::ConstantRate),
                    StandardBitRate(average, n[kVersionCode], n[kLayerCode]));
        else if (duration < 0)
            SetCell(kBitRateColumn, s_.texts.Text(TextId::VariableRate), average);
        else
            SetCell(kBitRateColumn, s_.texts.Text(TextId::ConstantRate), 0);
    }
    SetCell(kSampleRateColumn, MultiplyClamped(n[kSampleRate10], 10));
    SetCell(kChannelModeColumn, ChannelText(s_.texts, n[kChannelCode]));
    if (s_.settings.columnOn(kVersionColumn)) {
        std::string& cell = row_.cells[kVersionColumn];
        cell.assign(VersionText(n[kVersionCode]));
        cell += ' ';
        cell += s_.texts.Text(TextId::LayerPrefix);
        cell += ' ';
        AppendNumber(cell, n[kLayerCode]);
    }
    Tags tags;
    ReadTags(text, tags);
    for (int j = 0; j < 6; ++j)
        SetCell(kTitleColumn + j, tags[static_cast<std::size_t>(j)]);
}

} // namespace velmora::reports
