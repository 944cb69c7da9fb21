// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Formats.h"
#include "reports/ReportCells.h"

#include <algorithm>
#include <charconv>
#include <limits>

// The cells a row makes from its node's numbers: size, duration, bit rate,
// counts, sample rate, channel mode and version, each made or measured; the
// tag cells of a file row go with them.

namespace velmora::reports {

namespace {

using collection::Numbers;
using collection::Tags;

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

// The number of characters std::to_chars() writes for the value.
std::size_t DecimalLength(std::uint64_t value)
{
    std::size_t length = 1;
    for (; value >= 10; value /= 10)
        ++length;
    return length;
}

std::uint64_t UnsignedMagnitude(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

std::size_t DecimalLength(std::int64_t value)
{
    return (value < 0 ? 1 : 0) + DecimalLength(UnsignedMagnitude(value));
}

// The length of what display::AppendMegabytesTwoDecimals() appends.
std::size_t MegabytesTwoDecimalsLength(std::int64_t sizeKB, std::size_t separatorSize)
{
    const std::uint64_t kb = UnsignedMagnitude(sizeKB);
    std::uint64_t whole = kb / 1024;
    if ((kb % 1024 * 100 + 512) / 1024 == 100)
        ++whole;
    return (sizeKB < 0 ? 1 : 0) + DecimalLength(whole) + separatorSize + 2;
}

// The length of what display::AppendHMS() appends: at least two digits of
// hours, then twice a colon and two digits.
std::size_t HMSLength(std::int64_t seconds)
{
    return (seconds < 0 ? 1 : 0) +
           std::max<std::size_t>(2, DecimalLength(UnsignedMagnitude(seconds) / 3600)) + 6;
}

} // namespace

void CellFiller::MeasureNumber(int column, std::int64_t value)
{
    if (s_.settings.columnOn(column))
        lengths_[static_cast<std::size_t>(column)] = DecimalLength(value);
}

void CellFiller::MeasureNumber(int column, const Constant& text, std::int64_t value)
{
    if (s_.settings.columnOn(column))
        lengths_[static_cast<std::size_t>(column)] = text.text.size() + 1 + DecimalLength(value);
}

void CellFiller::MeasureSizeAndDuration(const Numbers& n)
{
    using namespace collection;
    if (s_.settings.columnOn(kSizeColumn))
        lengths_[kSizeColumn] = MegabytesTwoDecimalsLength(n[kSizeKB], decimal_.text.size());
    if (s_.settings.columnOn(kDurationColumn))
        lengths_[kDurationColumn] = HMSLength(Magnitude(n[kDuration]));
}

void CellFiller::MeasureTotals(const Numbers& n)
{
    using namespace collection;
    MeasureSizeAndDuration(n);
    MeasureNumber(kBitRateColumn, averageRate_, AverageBitRate(n[kSizeKB], n[kDuration]));
    MeasureNumber(kFolderCountColumn, n[kFolderCount]);
    MeasureNumber(kFileCountColumn, n[kFileCount]);
}

void CellFiller::MeasureFile(const Numbers& n)
{
    using namespace collection;
    MeasureSizeAndDuration(n);
    if (s_.settings.columnOn(kBitRateColumn)) {
        const std::int64_t duration = n[kDuration];
        const std::int64_t average = AverageBitRate(n[kSizeKB], duration);
        if (duration > 0)
            MeasureNumber(kBitRateColumn, constantRate_,
                          StandardBitRate(average, n[kVersionCode], n[kLayerCode]));
        else if (duration < 0)
            MeasureNumber(kBitRateColumn, variableRate_, average);
        else
            MeasureNumber(kBitRateColumn, constantRate_, 0);
    }
    MeasureNumber(kSampleRateColumn, MultiplyClamped(n[kSampleRate10], 10));
    const std::int64_t code = n[kChannelCode];
    if (s_.settings.columnOn(kChannelModeColumn))
        lengths_[kChannelModeColumn] =
            channels_[code >= 1 && code <= 4 ? static_cast<std::size_t>(code) : 0].text.size();
    if (s_.settings.columnOn(kVersionColumn))
        lengths_[kVersionColumn] = display::VersionText(n[kVersionCode]).size() + 1 +
                                   layer_.text.size() + 1 + DecimalLength(n[kLayerCode]);
}

void CellFiller::SetCell(int column, std::string_view value, bool plain)
{
    if (!s_.settings.columnOn(column))
        return;
    cells_[static_cast<std::size_t>(column)] = value;
    plain_ = plain_ && plain;
}

void CellFiller::BeginMade(int column)
{
    making_ = column;
    madeAt_[static_cast<std::size_t>(column)] = static_cast<std::uint32_t>(made_.size());
}

void CellFiller::EndMade()
{
    const auto k = static_cast<std::size_t>(making_);
    madeSize_[k] = static_cast<std::uint32_t>(made_.size()) - madeAt_[k];
    madeColumns_[madeCount_++] = making_;
}

void CellFiller::SetNumber(int column, std::int64_t value)
{
    if (!s_.settings.columnOn(column))
        return;
    BeginMade(column);
    AppendNumber(made_, value);
    EndMade();
}

void CellFiller::SetNumber(int column, const Constant& text, std::int64_t value)
{
    if (!s_.settings.columnOn(column))
        return;
    BeginMade(column);
    made_ += text.text;
    char digits[24] = {' '};
    made_.append(digits, std::to_chars(digits + 1, digits + sizeof digits, value).ptr);
    EndMade();
    plain_ = plain_ && text.plain;
}

void CellFiller::FillSizeAndDuration(const Numbers& n)
{
    using namespace collection;
    if (s_.settings.columnOn(kSizeColumn)) {
        BeginMade(kSizeColumn);
        display::AppendMegabytesTwoDecimals(made_, n[kSizeKB], decimal_.text);
        EndMade();
        plain_ = plain_ && decimal_.plain;
    }
    if (s_.settings.columnOn(kDurationColumn)) {
        BeginMade(kDurationColumn);
        display::AppendHMS(made_, Magnitude(n[kDuration]));
        EndMade();
    }
}

void CellFiller::FillTotals(const Numbers& n)
{
    using namespace collection;
    FillSizeAndDuration(n);
    SetNumber(kBitRateColumn, averageRate_, AverageBitRate(n[kSizeKB], n[kDuration]));
    SetNumber(kFolderCountColumn, n[kFolderCount]);
    SetNumber(kFileCountColumn, n[kFileCount]);
}

void CellFiller::FillFile(const Numbers& n, const Tags& tags)
{
    using namespace collection;
    FillSizeAndDuration(n);
    if (s_.settings.columnOn(kBitRateColumn)) {
        const std::int64_t duration = n[kDuration];
        const std::int64_t average = AverageBitRate(n[kSizeKB], duration);
        if (duration > 0)
            SetNumber(kBitRateColumn, constantRate_,
                      StandardBitRate(average, n[kVersionCode], n[kLayerCode]));
        else if (duration < 0)
            SetNumber(kBitRateColumn, variableRate_, average);
        else
            SetNumber(kBitRateColumn, constantRate_, 0);
    }
    SetNumber(kSampleRateColumn, MultiplyClamped(n[kSampleRate10], 10));
    const std::int64_t code = n[kChannelCode];
    const Constant& channel =
        channels_[code >= 1 && code <= 4 ? static_cast<std::size_t>(code) : 0];
    SetCell(kChannelModeColumn, channel.text, channel.plain);
    if (s_.settings.columnOn(kVersionColumn)) {
        BeginMade(kVersionColumn);
        made_ += display::VersionText(n[kVersionCode]);
        made_ += ' ';
        made_ += layer_.text;
        made_ += ' ';
        AppendNumber(made_, n[kLayerCode]);
        EndMade();
        plain_ = plain_ && layer_.plain;
    }
    for (int j = 0; j < 6; ++j)
        SetCell(kTitleColumn + j, tags[static_cast<std::size_t>(j)], true);
}

} // namespace velmora::reports
