// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::texts {
class TextTable;
}

namespace velmora::display {

// How sizes, times, dates and rates are shown: in the status bar, reports,
// search results and command line output. Three roundings of a size exist
// side by side because each place shows a size its own way.

/// "H:MM:SS" with every part at least two digits: 45296 -> "12:34:56".
std::string FormatHMS(std::int64_t seconds);
/// FormatHMS() appended to `out`.
void AppendHMS(std::string& out, std::int64_t seconds);

/// "dd", separator, "mm", separator, "yyyy".
std::string FormatDay(std::int32_t dayNumber, std::string_view separator);

/// The texts after HertzUnit for channel codes 1..4, "?" otherwise.
std::string_view ChannelText(const texts::TextTable& table, std::int64_t code);

/// "1", "2" or "2.5" for version codes 1..3, "?" otherwise.
std::string_view VersionText(std::int64_t code);

/// Kilobytes as megabytes rounded to two decimals, a half to the even
/// hundredth, in the shortest form: 3921 gives "3.83", 1024 "1", 128 "0.12".
std::string MegabytesShortest(std::int64_t sizeKB, std::string_view decimalSeparator);

/// Kilobytes as megabytes with two decimals, a 5 in the third decimal
/// rounding up: 128 gives "0.13", 3921 gives "3.83", 0 gives "0.00".
std::string MegabytesTwoDecimals(std::int64_t sizeKB, std::string_view decimalSeparator);
/// MegabytesTwoDecimals() appended to `out`.
void AppendMegabytesTwoDecimals(std::string& out, std::int64_t sizeKB,
                                std::string_view decimalSeparator);

/// Kilobytes as megabytes with three decimals, rounded as a double by the C
/// library: 3921 gives "3.829".
std::string MegabytesThreeDecimals(std::int64_t sizeKB, std::string_view decimalSeparator);

/// The magnitude of a duration with its unit: "00:04:05 H:M:S".
std::string DurationText(const texts::TextTable& table, std::int64_t duration);

/// The bit rate of a file: "VBR 131 Kbps" with the average rate when the
/// duration is negative, else "CBR 128 Kbps" with the standard rate nearest
/// the average one.
std::string FileRateText(const texts::TextTable& table, std::int64_t sizeKB, std::int64_t duration,
                         std::int64_t versionCode, std::int64_t layerCode);

/// The average bit rate of a volume or folder: "ABR 131 Kbps".
std::string AverageRateText(const texts::TextTable& table, std::int64_t sizeKB,
                            std::int64_t duration);

/// A stored sample rate in tens of hertz shown in hertz: "44100 Hz".
std::string SampleRateText(const texts::TextTable& table, std::int64_t sampleRate10);

/// "MPEG 1 Layer 3".
std::string MpegText(const texts::TextTable& table, std::int64_t versionCode,
                     std::int64_t layerCode);

} // namespace velmora::display
