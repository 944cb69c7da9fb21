// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "texts/TextIds.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::texts {

/// Number of texts in the built-in table (000 to 208).
inline constexpr std::size_t kTextCount = 209;
/// Lines of the built-in table: the texts and two credit lines.
inline constexpr std::size_t kDefaultLineCount = kTextCount + 2;
extern const std::array<std::string_view, kDefaultLineCount> kDefaultLines;

/// Texts numbered after the table's own (from kTextCount on), for messages
/// the table has no text for. A language pack may translate them on the
/// lines after its texts; where it has no such line, or the line is a
/// credit line (">>>"), the English text below is used, so that packs made
/// for the table alone keep working.
inline constexpr std::size_t kExtraTextCount = 25;
extern const std::array<std::string_view, kExtraTextCount> kExtraTexts;

/// Every user-visible text, looked up by number. Line n of the table holds
/// text n: three characters (its number, never interpreted) and the text.
/// A table is replaced as a whole, never line by line.
class TextTable {
public:
    /// The built-in English table.
    TextTable();

    /// A table read from a language pack's bytes: lines end at CR LF, a lone
    /// CR or a lone LF; reading stops at the first NUL byte. Never fails: a
    /// short pack simply answers "?" for the numbers it lacks.
    static TextTable FromPackBytes(std::string_view bytes);

    /// The text of `id`: its line from the fourth character on; empty for a
    /// line of three characters or fewer; "?" when the table has no such line
    /// (the English extra text for an id past the table's texts).
    std::string_view Text(TextId id) const { return TextAt(Number(id)); }

    /// The text on line n, by number, as Text does for ids.
    std::string_view TextAt(std::size_t n) const;

    /// The text of `id` followed by "...", the form of wait-window step texts.
    std::string Step(TextId id) const;

    std::size_t lineCount() const { return lines_.size(); }
    std::string_view line(std::size_t n) const { return lines_[n]; }

private:
    std::vector<std::string> lines_;
};

/// Splits bytes into lines at CR LF, lone CR and lone LF, stopping at the
/// first NUL. A final line end does not start another line.
std::vector<std::string_view> SplitLines(std::string_view bytes);

} // namespace velmora::texts
