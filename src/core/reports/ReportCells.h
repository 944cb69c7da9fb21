#pragma once

#include "collection/CollectionTree.h"
#include "collection/NodeText.h"
#include "reports/ReportRows.h"
#include "reports/ReportSettings.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace velmora::texts {
class TextTable;
}

namespace velmora::reports {

/// Turns a cell's node bytes into the report's character set and returns
/// its length in characters. Text and HTML reports are UTF-8, like every
/// file the program writes; a DIF file cannot say what it holds, and
/// spreadsheets read it as Windows-1252. Node texts from Windows collections
/// are Windows-1252. Bytes below 32, which no format can hold, are written
/// as "?", as the scan stores them in names.
std::size_t EncodeCell(std::string& cell, ReportFormat format);

/// A volume's label and formatted scan date, in force for the nodes below it.
struct VolumeCells {
    std::string label;
    std::string date;
};

/// What filling the cells of rows reads; the threads of a report share it.
struct FillSources {
    const collection::CollectionTree& tree;
    const ReportSettings& settings;
    const texts::TextTable& texts;
    std::string decimal;
    std::string dateSeparator;
    std::string collectionName;
    /// One per volume, by the order of the volumes.
    std::unique_ptr<VolumeCells[]> volumes;
};

/// Fills the cells of one row at a time from its node, into one row whose
/// cells keep their memory. One per thread.
class CellFiller {
public:
    explicit CellFiller(const FillSources& sources) : s_(sources) {}

    const ReportRow& row() const { return row_; }
    const CellLengths& lengths() const { return lengths_; }

    /// The cells of the row for `node`, a node of a kind whose rows the
    /// settings ask for, below volume `volume` (none for the collection
    /// node), encoded for the format, and their lengths.
    void Fill(collection::NodeId node, std::uint32_t volume);

private:
    std::string Day(std::int64_t dayNumber) const;
    void SetCell(int column, std::string_view value);
    void SetCell(int column, std::int64_t value);
    // A text, a blank and a number, as in "ABR 139".
    void SetCell(int column, std::string_view text, std::int64_t value);
    // The cells every row kind but the file has: sizes, duration, the
    // average rate and the two counts.
    void FillTotals(const collection::Numbers& n);
    void FillFile(std::string_view text, const collection::Numbers& n);

    const FillSources& s_;
    ReportRow row_;
    CellLengths lengths_{};
};

} // namespace velmora::reports
