// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "collection/NodeText.h"
#include "reports/ReportRows.h"
#include "reports/ReportSettings.h"

#include <array>
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

/// Fills the cells of one row at a time from its node. The cells are views:
/// into the node's text, into the sources and into the filler's own buffers,
/// which keep their memory from row to row. One per thread.
class CellFiller {
public:
    explicit CellFiller(const FillSources& sources);

    /// Valid until the next Fill().
    const CellViews& cells() const { return cells_; }
    const CellLengths& lengths() const { return lengths_; }

    /// The cells of the row for `node`, a node of a kind whose rows the
    /// settings ask for, below volume `volume` (none for the collection
    /// node), encoded for the format, and their lengths.
    void Fill(collection::NodeId node, std::uint32_t volume);

    /// The lengths Fill() gives for the same row, counted without making
    /// the cells where that can be done (the numbers' lengths come from
    /// their digits, and texts are not encoded). cells() is not valid after
    /// it.
    void Measure(collection::NodeId node, std::uint32_t volume);

private:
    // A text that cells repeat, with whether it is printable ASCII: a row
    // made of such bytes only goes out as it stands.
    struct Constant {
        std::string_view text;
        bool plain = true;
    };
    static Constant MakeConstant(std::string_view text);

    void SetCell(int column, std::string_view value, bool plain);
    // Cells made here: the number, or the text, a blank and the number, as
    // in "ABR 139".
    void SetNumber(int column, std::int64_t value);
    void SetNumber(int column, const Constant& text, std::int64_t value);
    // A cell made in `made_`: it starts at the end of the bytes there, and
    // ends at their end once its own bytes are appended.
    void BeginMade(int column);
    void EndMade();
    // The cells of the size in megabytes and of the duration.
    void FillSizeAndDuration(const collection::Numbers& n);
    // The cells every row kind but the file has: sizes, duration, the
    // average rate and the two counts.
    void FillTotals(const collection::Numbers& n);
    void FillFile(const collection::Numbers& n, const collection::Tags& tags);
    // Measure()'s counterparts of the three above, for plain rows.
    void MeasureSizeAndDuration(const collection::Numbers& n);
    void MeasureTotals(const collection::Numbers& n);
    void MeasureFile(const collection::Numbers& n);
    // The length of a cell SetNumber() makes, where the column is on.
    void MeasureNumber(int column, std::int64_t value);
    void MeasureNumber(int column, const Constant& text, std::int64_t value);
    // Whether the volume's label and date are printable ASCII.
    bool VolumePlain(std::uint32_t volume);
    // The bytes of the cells in the report's character set, one at a time.
    void Encode();

    const FillSources& s_;
    const ReportFormat format_;
    Constant decimal_;
    Constant averageRate_;
    Constant constantRate_;
    Constant variableRate_;
    Constant layer_;
    std::array<Constant, 5> channels_; // by channel code, "?" at 0
    Constant collectionName_;
    bool constantsPlain_ = true;              // every constant above but the collection name
    std::uint32_t plainVolume_ = 0xFFFFFFFFu; // the last volume found plain

    CellViews cells_{};
    CellLengths lengths_{};
    bool plain_ = true; // every cell printable ASCII so far
    // Cells made from numbers: their bytes in `made_`, where each starts.
    std::string made_;
    std::array<std::uint32_t, kCellCount> madeAt_{};
    std::array<std::uint32_t, kCellCount> madeSize_{};
    std::array<int, kCellCount> madeColumns_{}; // the cells made, in order
    std::size_t madeCount_ = 0;
    int making_ = -1;
    // The cells of a row that is not plain, encoded.
    std::array<std::string, kCellCount> encoded_;
};

} // namespace velmora::reports
