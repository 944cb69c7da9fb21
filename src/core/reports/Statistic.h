// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::texts {
class TextTable;
}

namespace velmora::reports {

/// One row of the statistics: caption (ending in ":") and value.
struct StatisticRow {
    std::string caption;
    std::string value;
};

/// The six totals of a collection, from its root text alone: total size in
/// GB, total duration in hours (both with at most one decimal), the rounded
/// average bit rate, the volume and file counts and the date of the last
/// change. Rounding goes to the nearest integer, a half to the even one.
std::array<StatisticRow, 6> StatisticRows(std::string_view rootText, const texts::TextTable& table,
                                          std::string_view decimalSeparator,
                                          std::string_view dateSeparator);

/// A count of tenths in the shortest form: 12 for 120, 0.2 for 2, with the
/// given decimal separator.
std::string FormatTenths(std::int64_t tenths, std::string_view decimalSeparator);

} // namespace velmora::reports
