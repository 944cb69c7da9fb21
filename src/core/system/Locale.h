// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace velmora {

/// Which of the locale's two orders a sort key stands for.
enum class CaseOrder {
    IgnoreCase,  ///< the order of Locale::compareIgnoreCase()
    RespectCase, ///< the order of Locale::compare()
};

/// The user's locale: case rules, collation and separators.
///
/// Texts passed in are node bytes: UTF-8, or Windows-1252 when they are not
/// valid UTF-8 (collections written on Windows). Implementations decode them
/// with DisplayText() before applying the locale's rules.
class Locale {
public:
    virtual ~Locale() = default;

    /// The text lower-cased by the locale's rules (letters beyond A to Z
    /// included), returned as UTF-8.
    virtual std::string toLower(std::string_view text) const = 0;

    /// Locale-aware, case-insensitive comparison: negative, zero or positive.
    virtual int compareIgnoreCase(std::string_view a, std::string_view b) const = 0;

    /// Locale-aware comparison that respects case: the letters decide first,
    /// case only between texts that differ in nothing else ("a" < "A" < "b"
    /// in most locales). Negative, zero or positive. Implementations without
    /// a collation of their own keep this one, which compares the bytes.
    virtual int compare(std::string_view a, std::string_view b) const { return a.compare(b); }

    /// Appends a sort key of `text` to `key`. Keys compare as unsigned bytes,
    /// a key before every longer key it begins; wherever the keys of two
    /// texts differ, that is the order of the texts in `order`. Returns true
    /// when equal keys also mean texts equal in that order, false when the
    /// comparison itself must decide between texts of equal keys (a key may
    /// then stand for only the first level of the order, or be empty).
    ///
    /// The default suits the default compare(): the bytes themselves; for
    /// IgnoreCase it appends nothing and leaves every decision to
    /// compareIgnoreCase().
    virtual bool appendSortKey(std::string_view text, CaseOrder order, std::string& key) const
    {
        if (order == CaseOrder::IgnoreCase)
            return false;
        key += text;
        return true;
    }

    /// The English name of the user's language, for example "German".
    virtual std::string languageName() const = 0;

    /// The separator between day, month and year in the locale's short date
    /// format, for example "/" or ".".
    virtual std::string dateSeparator() const = 0;

    /// The locale's decimal separator, for example "." or ",".
    virtual std::string decimalSeparator() const = 0;
};

} // namespace velmora
