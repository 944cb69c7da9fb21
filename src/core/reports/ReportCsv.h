// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/ReportFormats.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::reports {

// CSV lines after RFC 4180, for spreadsheets, databases and scripts: fields
// separated by commas, UTF-8, lines ended by CR LF (which the writer adds).

/// The heading of the first column, which holds each row's level. No text of
/// the table names it: it is a field name that scripts read, the same in
/// every language, as the file's format (CSV) is.
inline constexpr std::string_view kCsvLevelHeading = "Level";

/// The value as one CSV field: as it is, unless it holds a comma, a double
/// quote, CR or LF; then between double quotes, each double quote inside
/// written twice.
void AppendCsvField(std::string& out, std::string_view value);

/// A text value as one CSV field (AppendCsvField()), with an apostrophe
/// put before it when it begins with "=", "+", "-", "@", a tab or a
/// carriage return. A spreadsheet reads such a cell as a formula, and a name
/// or tag text from anywhere could then compute, or carry other cells'
/// content away in a link; led by the apostrophe it stays text (LibreOffice
/// Calc shows the apostrophe with it).
void AppendCsvText(std::string& out, std::string_view value);

/// A row's cells as one CSV record: first the level, then the name, then the
/// written columns in order. The level is the row's depth less 1, the
/// indentation the other formats give the name, which goes out without any:
/// with every row kind on, 0 for the collection, 1 for the volumes, 2 for
/// what lies in a volume's root. The heading row has kCsvLevelHeading for its
/// level. Number cells (ColumnClass::Number) go out as they are (with the
/// separator the cells were filled with, a full stop for CSV, and no
/// thousands separators), text cells and the heading through AppendCsvText(),
/// and the dates: a date cell "dd/mm/yyyy", whatever its separator, goes out as
/// "yyyy-mm-dd", which every spreadsheet and database reads as the same day
/// whatever its own locale.
void AppendCsvRecord(std::string& out, const CellViews& cells, std::uint32_t depth,
                     const ReportLayout& layout, bool heading);

} // namespace velmora::reports
