// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Formats.h"

#include "collection/DayNumber.h"
#include "collection/NodeText.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <initializer_list>

namespace velmora::display {

namespace {

using texts::TextId;

void AppendNumber(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    (void)error;
    out.append(digits, end);
}

void AppendTwoDigits(std::string& out, std::int64_t value)
{
    if (value < 10)
        out += '0';
    AppendNumber(out, value);
}

std::uint64_t Magnitude(std::int64_t value)
{
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

std::string Join(std::string_view a, std::string_view b)
{
    std::string joined(a);
    joined += ' ';
    joined += b;
    return joined;
}

std::string RateText(const texts::TextTable& table, TextId kind, std::int64_t rate)
{
    return Join(Join(table.Text(kind), std::to_string(rate)), table.Text(TextId::KbpsUnit));
}

} // namespace

std::string FormatHMS(std::int64_t seconds)
{
    std::string out;
    AppendHMS(out, seconds);
    return out;
}

void AppendHMS(std::string& out, std::int64_t seconds)
{
    // Made in a buffer and appended at once, as reports do this for every
    // row: a sign, at most 20 digits of hours, and twice a colon and two
    // digits.
    char buffer[32];
    char* at = buffer;
    // A negative count is written as its magnitude after a minus sign.
    if (seconds < 0)
        *at++ = '-';
    const std::uint64_t magnitude = Magnitude(seconds);
    const std::uint64_t hours = magnitude / 3600;
    if (hours < 10)
        *at++ = '0';
    at = std::to_chars(at, buffer + sizeof buffer, hours).ptr;
    for (const std::uint64_t part : {magnitude / 60 % 60, magnitude % 60}) {
        *at++ = ':';
        *at++ = static_cast<char>('0' + part / 10);
        *at++ = static_cast<char>('0' + part % 10);
    }
    out.append(buffer, at);
}

std::string FormatDay(std::int32_t dayNumber, std::string_view separator)
{
    const collection::CivilDate date = collection::CivilFromDayNumber(dayNumber);
    std::string out;
    AppendTwoDigits(out, date.day);
    out += separator;
    AppendTwoDigits(out, date.month);
    out += separator;
    if (date.year >= 0 && date.year < 1000)
        out.append(date.year < 10 ? "000" : date.year < 100 ? "00" : "0");
    AppendNumber(out, date.year);
    return out;
}

std::string_view ChannelText(const texts::TextTable& table, std::int64_t code)
{
    if (code < 1 || code > 4)
        return "?";
    return table.Text(texts::After(TextId::HertzUnit, static_cast<std::size_t>(code)));
}

std::string_view VersionText(std::int64_t code)
{
    switch (code) {
    case 1:
        return "1";
    case 2:
        return "2";
    case 3:
        return "2.5";
    default:
        return "?";
    }
}

std::string MegabytesShortest(std::int64_t sizeKB, std::string_view decimalSeparator)
{
    const bool negative = sizeKB < 0;
    const std::uint64_t kb = Magnitude(sizeKB);
    // Hundredths of a megabyte: kb * 100 / 1024, the remainder deciding the
    // rounding (exactly half goes to the even neighbour). Whole megabytes
    // and the rest are scaled apart, so that no stored size overflows.
    std::uint64_t hundredths = kb / 1024 * 100 + kb % 1024 * 100 / 1024;
    const std::uint64_t remainder = kb % 1024 * 100 % 1024;
    if (remainder * 2 > 1024 || (remainder * 2 == 1024 && hundredths % 2 == 1))
        ++hundredths;
    std::string text = negative && hundredths != 0 ? "-" : "";
    text += std::to_string(hundredths / 100);
    const std::uint64_t fraction = hundredths % 100;
    if (fraction != 0) {
        text += decimalSeparator;
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0)
            text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

std::string MegabytesTwoDecimals(std::int64_t sizeKB, std::string_view decimalSeparator)
{
    std::string out;
    AppendMegabytesTwoDecimals(out, sizeKB, decimalSeparator);
    return out;
}

void AppendMegabytesTwoDecimals(std::string& out, std::int64_t sizeKB,
                                std::string_view decimalSeparator)
{
    // Whole megabytes and the remainder apart, so that no product can
    // overflow; the remainder's hundredths may round up to a whole one.
    const bool negative = sizeKB < 0;
    const std::uint64_t kb = Magnitude(sizeKB);
    std::uint64_t whole = kb / 1024;
    std::uint64_t hundredths = (kb % 1024 * 100 + 512) / 1024;
    if (hundredths == 100) {
        ++whole;
        hundredths = 0;
    }
    char digits[24];
    char* at = digits;
    if (negative)
        *at++ = '-';
    out.append(digits, std::to_chars(at, digits + sizeof digits, whole).ptr);
    out += decimalSeparator;
    const char decimals[2] = {static_cast<char>('0' + hundredths / 10),
                              static_cast<char>('0' + hundredths % 10)};
    out.append(decimals, 2);
}

std::string MegabytesThreeDecimals(std::int64_t sizeKB, std::string_view decimalSeparator)
{
    std::array<char, 64> megabytes{};
    std::snprintf(megabytes.data(), megabytes.size(), "%.3f", static_cast<double>(sizeKB) / 1024.0);
    std::string number = megabytes.data();
    const std::size_t point = number.find('.');
    if (point != std::string::npos)
        number.replace(point, 1, decimalSeparator);
    return number;
}

std::string DurationText(const texts::TextTable& table, std::int64_t duration)
{
    return Join(FormatHMS(collection::AbsClamped(duration)),
                table.Text(TextId::HoursMinutesSecondsUnit));
}

std::string FileRateText(const texts::TextTable& table, std::int64_t sizeKB, std::int64_t duration,
                         std::int64_t versionCode, std::int64_t layerCode)
{
    const std::int64_t average = collection::AverageBitRate(sizeKB, duration);
    if (duration < 0)
        return RateText(table, TextId::VariableRate, average);
    return RateText(table, TextId::ConstantRate,
                    collection::StandardBitRate(average, versionCode, layerCode));
}

std::string AverageRateText(const texts::TextTable& table, std::int64_t sizeKB,
                            std::int64_t duration)
{
    return RateText(table, TextId::AverageRate, collection::AverageBitRate(sizeKB, duration));
}

std::string SampleRateText(const texts::TextTable& table, std::int64_t sampleRate10)
{
    return Join(std::to_string(collection::MultiplyClamped(sampleRate10, 10)),
                table.Text(TextId::HertzUnit));
}

std::string MpegText(const texts::TextTable& table, std::int64_t versionCode,
                     std::int64_t layerCode)
{
    return Join(Join(Join(table.Text(TextId::MpegPrefix), VersionText(versionCode)),
                     table.Text(TextId::LayerPrefix)),
                std::to_string(layerCode));
}

} // namespace velmora::display
