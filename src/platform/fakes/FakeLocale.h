// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/Locale.h"

#include <string>
#include <utility>

namespace velmora::fakes {

/// A locale with plain ASCII rules: only A to Z are lower-cased, and texts
/// compare byte by byte (as unsigned bytes), after that folding when case is
/// ignored. Comparison results are -1, 0 or 1. The separators and the
/// language name are settable and start as "/", "." and "English".
class FakeLocale : public Locale {
public:
    std::string toLower(std::string_view text) const override;
    int compareIgnoreCase(std::string_view a, std::string_view b) const override;
    int compare(std::string_view a, std::string_view b) const override
    {
        const int order = a.compare(b);
        return (order > 0) - (order < 0);
    }
    /// The bytes, with A to Z lowered for IgnoreCase: exact keys.
    bool appendSortKey(std::string_view text, CaseOrder order, std::string& key) const override;
    std::string languageName() const override { return languageName_; }
    std::string dateSeparator() const override { return dateSeparator_; }
    std::string decimalSeparator() const override { return decimalSeparator_; }

    void setLanguageName(std::string name) { languageName_ = std::move(name); }
    void setDateSeparator(std::string separator) { dateSeparator_ = std::move(separator); }
    void setDecimalSeparator(std::string separator) { decimalSeparator_ = std::move(separator); }

private:
    std::string languageName_ = "English";
    std::string dateSeparator_ = "/";
    std::string decimalSeparator_ = ".";
};

} // namespace velmora::fakes
