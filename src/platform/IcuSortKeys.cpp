// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/IcuSortKeys.h"

#include <cstring>
#include <unicode/ucol.h>
#include <unicode/uset.h>
#include <vector>

namespace velmora::platform {

namespace {

constexpr char16_t kFirstPrintable = 0x20;
constexpr char16_t kLastPrintable = 0x7E;

bool IsPrintableAscii(char16_t c)
{
    return c >= kFirstPrintable && c <= kLastPrintable;
}

// The whole key of `text` into `buffer`, which grows as needed; its size
// without the closing zero.
std::size_t WholeKey(UCollator* collator, const char16_t* text, std::size_t size,
                     std::vector<std::uint8_t>& buffer)
{
    const auto* uchars = reinterpret_cast<const UChar*>(text);
    const auto length = static_cast<std::int32_t>(size);
    if (buffer.size() < 256)
        buffer.resize(256);
    std::int32_t needed = ucol_getSortKey(collator, uchars, length, buffer.data(),
                                          static_cast<std::int32_t>(buffer.size()));
    if (needed > static_cast<std::int32_t>(buffer.size())) {
        buffer.resize(static_cast<std::size_t>(needed));
        needed = ucol_getSortKey(collator, uchars, length, buffer.data(), needed);
    }
    return needed > 0 ? static_cast<std::size_t>(needed) - 1 : 0;
}

std::string_view FirstLevel(const std::vector<std::uint8_t>& buffer, std::size_t size)
{
    std::size_t end = 0;
    while (end < size && buffer[end] > 1)
        ++end;
    return {reinterpret_cast<const char*>(buffer.data()), end};
}

} // namespace

IcuSortKeys::IcuSortKeys(const std::string& name)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open(name.c_str(), &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        return;
    }
    // QCollator's settings: normalization on, punctuation not ignorable,
    // digits one by one. The strength changes no first-level byte.
    ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        return;
    }
    collator_ = collator;
}

IcuSortKeys::~IcuSortKeys()
{
    if (collator_ != nullptr)
        ucol_close(collator_);
}

void IcuSortKeys::append(const char16_t* text, std::size_t size, std::string& key) const
{
    thread_local std::vector<std::uint8_t> buffer;
    key += FirstLevel(buffer, WholeKey(collator_, text, size, buffer));
}

bool IcuSortKeys::asciiTableUsable() const
{
    std::call_once(tableMade_, [this] { makeTable(); });
    return tableUsable_;
}

bool IcuSortKeys::appendAscii(std::string_view text, std::string& key) const
{
    if (!asciiTableUsable())
        return false;
    std::size_t size = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (!IsPrintableAscii(byte))
            return false;
        size += table_[byte].size;
    }
    // Each character's bytes are copied as a whole entry (zeros after its
    // own), which needs room for one entry more.
    const std::size_t start = key.size();
    key.resize(start + size + sizeof(Primary::bytes));
    char* out = key.data() + start;
    for (const char c : text) {
        const Primary& primary = table_[static_cast<unsigned char>(c)];
        std::memcpy(out, primary.bytes.data(), sizeof(Primary::bytes));
        out += primary.size;
    }
    key.resize(start + size);
    return true;
}

void IcuSortKeys::makeTable() const
{
    if (collator_ == nullptr)
        return;
    std::vector<std::uint8_t> buffer;
    for (char16_t c = kFirstPrintable; c <= kLastPrintable; ++c) {
        const std::string_view level = FirstLevel(buffer, WholeKey(collator_, &c, 1, buffer));
        if (level.size() > table_[c].bytes.size())
            return;
        std::copy(level.begin(), level.end(), table_[c].bytes.begin());
        table_[c].size = static_cast<std::uint8_t>(level.size());
    }
    // Every pair must give the two characters' bytes one after the other:
    // this finds two-character contractions and merged lead bytes.
    std::string expected;
    for (char16_t a = kFirstPrintable; a <= kLastPrintable; ++a) {
        for (char16_t b = kFirstPrintable; b <= kLastPrintable; ++b) {
            const char16_t pair[2] = {a, b};
            expected.assign(table_[a].bytes.data(), table_[a].size);
            expected.append(table_[b].bytes.data(), table_[b].size);
            if (FirstLevel(buffer, WholeKey(collator_, pair, 2, buffer)) != expected)
                return;
        }
    }
    // Longer contractions and contexts made only of printable ASCII.
    UErrorCode status = U_ZERO_ERROR;
    USet* contractions = uset_openEmpty();
    ucol_getContractionsAndExpansions(collator_, contractions, nullptr, true, &status);
    bool asciiContraction = U_FAILURE(status);
    const std::int32_t items = uset_getItemCount(contractions);
    std::vector<UChar> item(64);
    for (std::int32_t i = 0; i < items && !asciiContraction; ++i) {
        UChar32 start = 0;
        UChar32 end = 0;
        status = U_ZERO_ERROR;
        std::int32_t length = uset_getItem(contractions, i, &start, &end, item.data(),
                                           static_cast<std::int32_t>(item.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            item.resize(static_cast<std::size_t>(length));
            status = U_ZERO_ERROR;
            length = uset_getItem(contractions, i, &start, &end, item.data(), length, &status);
        }
        if (U_FAILURE(status)) {
            asciiContraction = true;
            break;
        }
        bool allAscii = length > 1;
        for (std::int32_t k = 0; k < length && allAscii; ++k)
            allAscii = IsPrintableAscii(static_cast<char16_t>(item[static_cast<std::size_t>(k)]));
        asciiContraction = allAscii;
    }
    uset_close(contractions);
    tableUsable_ = !asciiContraction;
}

} // namespace velmora::platform
