// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/Locale.h"

#include <QCollator>
#include <QLocale>
#include <memory>

namespace velmora::platform {

class IcuSortKeys;

/// The Locale interface over a QLocale: lower-casing by QLocale::toLower(),
/// the two orders by QCollators of the same locale. Input bytes are
/// read as texts::DisplayText() reads them; results are UTF-8.
class QtLocale : public Locale {
public:
    explicit QtLocale(const QLocale& locale = QLocale::system());

    std::string toLower(std::string_view text) const override;
    int compareIgnoreCase(std::string_view a, std::string_view b) const override;
    int compare(std::string_view a, std::string_view b) const override;

    /// In the C locale, where QCollator compares UTF-16 code units (case
    /// folded for IgnoreCase), the exact keys of that order. Elsewhere the
    /// first level of ICU's sort key by the collator QCollator uses; the
    /// collators decide between texts of equal keys.
    bool appendSortKey(std::string_view text, CaseOrder order, std::string& key) const override;

    /// QLocale::languageToString() of the locale's language; "English" for
    /// the C locale, whose texts are English.
    std::string languageName() const override;

    /// The first character of the short date format that is not part of a
    /// field or of quoted text ("dd.MM.yy" gives "."), skipping white space
    /// and invisible format marks; "/" when there is none.
    std::string dateSeparator() const override;

    std::string decimalSeparator() const override;

private:
    QLocale locale_;
    QCollator collator_;
    QCollator caseCollator_;
    /// Null in the C locale.
    std::shared_ptr<const IcuSortKeys> sortKeys_;
};

} // namespace velmora::platform
