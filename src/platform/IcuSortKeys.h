// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

struct UCollator;

namespace velmora::platform {

/// The first level of ICU's sort keys of one locale's collator, opened as
/// QCollator opens it: the bytes of a key before its first level separator
/// (0x01). Where two such parts differ, they order the texts as the whole
/// keys do, and so as ucol_strcoll() at any strength does.
///
/// Printable ASCII texts get their part from a table of the bytes of each
/// character, without ICU, in locales where that is proven to give ICU's
/// own bytes: no contraction or context made only of printable ASCII, and
/// every pair of printable ASCII characters has the two characters' bytes
/// one after the other (ICU merges no lead bytes among them). Other locales
/// and texts go through ICU.
class IcuSortKeys {
public:
    /// `name` is the locale's BCP 47 name with "_" ("de", "en_GB"). A
    /// collator that cannot be opened leaves valid() false.
    explicit IcuSortKeys(const std::string& name);
    ~IcuSortKeys();
    IcuSortKeys(const IcuSortKeys&) = delete;
    IcuSortKeys& operator=(const IcuSortKeys&) = delete;

    bool valid() const { return collator_ != nullptr; }

    /// Appends the first level of the key of `text` (bytes 0x20 to 0x7E
    /// only) and returns true, or returns false without appending when the
    /// table does not serve this locale or this text.
    bool appendAscii(std::string_view text, std::string& key) const;

    /// Appends the first level of the key of the UTF-16 `text`.
    void append(const char16_t* text, std::size_t size, std::string& key) const;

    /// Whether the table serves this locale (made on first use).
    bool asciiTableUsable() const;

private:
    struct Primary {
        std::array<char, 8> bytes;
        std::uint8_t size;
    };

    void makeTable() const;

    UCollator* collator_ = nullptr;
    mutable std::once_flag tableMade_;
    mutable bool tableUsable_ = false;
    mutable std::array<Primary, 128> table_{};
};

} // namespace velmora::platform
