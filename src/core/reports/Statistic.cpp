// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/Statistic.h"

#include "collection/NodeText.h"
#include "display/Formats.h"
#include "texts/TextTable.h"

#include <cmath>

namespace velmora::reports {

namespace {

using texts::TextId;

constexpr double kKBPerGB = 1048576.0;

// Round to nearest, ties to even; the default floating-point rounding mode.
std::int64_t RoundHalfEven(double value)
{
    constexpr double kLimit = 9.0e18; // within the range of std::int64_t
    const double rounded = std::nearbyint(value);
    if (!(rounded < kLimit))
        return static_cast<std::int64_t>(kLimit);
    if (!(rounded > -kLimit))
        return static_cast<std::int64_t>(-kLimit);
    return static_cast<std::int64_t>(rounded);
}

std::string WithUnit(std::string number, std::string_view unit)
{
    number += ' ';
    number += unit;
    return number;
}

std::string Caption(const texts::TextTable& table, texts::TextId id)
{
    std::string caption(table.Text(id));
    caption += ':';
    return caption;
}

} // namespace

std::string FormatTenths(std::int64_t tenths, std::string_view decimalSeparator)
{
    const bool negative = tenths < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(tenths) : static_cast<std::uint64_t>(tenths);
    std::string out = negative ? "-" : "";
    out += std::to_string(magnitude / 10);
    if (magnitude % 10 != 0) {
        out += decimalSeparator;
        out += static_cast<char>('0' + magnitude % 10);
    }
    return out;
}

std::array<StatisticRow, 6> StatisticRows(std::string_view rootText, const texts::TextTable& table,
                                          std::string_view decimalSeparator,
                                          std::string_view dateSeparator)
{
    using namespace collection;
    Numbers n{};
    ReadNumbers(rootText, n);
    const std::int64_t sizeKB = n[kSizeKB];
    const std::int64_t duration = n[kDuration];

    const std::int64_t sizeTenths = RoundHalfEven(static_cast<double>(sizeKB) / kKBPerGB * 10.0);
    const double hours = std::fabs(static_cast<double>(duration)) / 360.0;
    const std::int64_t hourTenths = RoundHalfEven(hours);
    std::string rate = "0";
    if (duration > 0)
        rate = std::to_string(RoundHalfEven(static_cast<double>(sizeKB) * 8.0 * 1.024 /
                                            static_cast<double>(duration)));

    return {{
        {Caption(table, TextId::TotalSizeLabel),
         WithUnit(FormatTenths(sizeTenths, decimalSeparator), table.Text(TextId::GigabytesUnit))},
        {Caption(table, TextId::TotalDurationLabel),
         WithUnit(FormatTenths(hourTenths, decimalSeparator), table.Text(TextId::HoursUnit))},
        {Caption(table, TextId::AverageBitRateLabel), WithUnit(rate, table.Text(TextId::KbpsUnit))},
        {Caption(table, TextId::VolumeCountLabel),
         WithUnit(std::to_string(n[kVolumeCount]), table.Text(TextId::VolumesUnit))},
        {Caption(table, TextId::FileCountLabel),
         WithUnit(std::to_string(n[kCollectionFileCount]), table.Text(TextId::FilesUnit))},
        {Caption(table, TextId::LastChangeLabel),
         display::FormatDay(static_cast<std::int32_t>(n[kLastChange]), dateSeparator)},
    }};
}

} // namespace velmora::reports
