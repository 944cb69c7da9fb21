// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/WriteError.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {
class FileSystem;
}
namespace velmora::settings {
struct Settings;
}
namespace velmora::texts {
class TextTable;
}

namespace velmora::reports {

/// Number of report columns besides the name column; column ids run from 1
/// to kColumnCount.
inline constexpr int kColumnCount = 16;

/// Column ids (the values of the column order).
enum ColumnId : int {
    kSizeColumn = 1,
    kDurationColumn = 2,
    kBitRateColumn = 3,
    kSampleRateColumn = 4,
    kChannelModeColumn = 5,
    kVersionColumn = 6,
    kTitleColumn = 7,
    kArtistColumn = 8,
    kAlbumColumn = 9,
    kTrackColumn = 10,
    kYearColumn = 11,
    kCommentColumn = 12,
    kFolderCountColumn = 13,
    kFileCountColumn = 14,
    kDateColumn = 15,
    kVolumeColumn = 16,
};

/// The stored values are kept as they are, also outside the named ones, so
/// that a value the dialog does not know survives a run.
enum class ReportFormat : std::int32_t { Text = 1, Dif = 2, Html = 3, Csv = 4 };
enum class ReportScanning : std::int32_t { AllItems = 1, SelectedOnly = 2 };

/// What a report holds and where it goes. One record lives for the whole run;
/// the report dialog edits it and the settings record keeps it between runs.
struct ReportSettings {
    bool collectionRow = false;
    bool volumeRows = false;
    bool folderRows = true;
    bool fileRows = false;
    /// Element id - 1 tells whether column `id` is written.
    std::array<bool, kColumnCount> columnEnabled = {true,  true,  true,  false, false, false,
                                                    false, false, false, false, false, false,
                                                    false, false, false, true};
    /// The column ids in the order of writing, a permutation of 1 to 16.
    std::array<std::int32_t, kColumnCount> columnOrder = {1, 2, 3, 13, 14, 15, 16, 4,
                                                          5, 6, 7, 8,  9,  10, 11, 12};
    ReportFormat format = ReportFormat::Text;
    ReportScanning scanning = ReportScanning::AllItems;
    bool sorting = true;
    /// The report file ("/" separated); the writer writes into this path.
    std::string lastReportFile;

    bool columnOn(int id) const { return columnEnabled[static_cast<std::size_t>(id - 1)]; }
    bool operator==(const ReportSettings&) const = default;
};

/// The report values of the settings record: "ReportItems1".."ReportItems4"
/// are the row flags, "ReportItems5".."ReportItems20" the flags of columns 1
/// to 16. A column order that is not a permutation of 1 to 16 (only edited
/// settings hold one) is mended by NormalColumnOrder().
ReportSettings ReportSettingsFrom(const settings::Settings& settings);

/// Writes the report values back into the settings record; the other values
/// stay as they are.
void StoreReportSettings(const ReportSettings& report, settings::Settings& settings);

/// The order itself when it is a permutation of 1 to 16. Otherwise ids
/// outside 1 to 16 and repeated ids are dropped and the missing ids follow in
/// their default order.
std::array<std::int32_t, kColumnCount>
NormalColumnOrder(const std::array<std::int32_t, kColumnCount>& order);

/// The label of a column in the report dialog: SizeLabel, DurationLabel,
/// BitRateCriterion, SampleRateCriterion, ChannelModeCriterion,
/// MpegVersionLayerLabel, then Id3TagLabel "ID3-Tag", ": " and TitleColumn to
/// CommentColumn for the tag columns, then FolderCountLabel, FileCountLabel,
/// DateLabel and VolumeLabel. Empty for an id outside 1 to 16.
std::string ColumnLabel(const texts::TextTable& table, int id);

/// "txt", "dif", "html" or "csv"; empty for a format outside 1 to 4.
std::string_view DefaultExtension(ReportFormat format);

/// The save dialog's filter for the format: a description, "|" and the
/// patterns, for example "Text (*.txt)|*.txt"; HTML also offers "*.htm".
/// Empty for a format outside 1 to 4.
std::string ReportFilter(const texts::TextTable& table, ReportFormat format);

/// Where the save dialog of a report starts.
struct ReportFileProposal {
    std::string folder; ///< the folder the dialog shows first
    std::string name;   ///< the proposed name, without extension; empty for none
};

/// With a last report file: its folder when that exists, else
/// `lastSaveDir`, and its name without folder and without the part from its
/// last full stop. Without one: `lastSaveDir` and no name.
ReportFileProposal ProposeReportFile(const std::string& lastReportFile,
                                     const std::string& lastSaveDir, const FileSystem& files);

/// Remembers the file chosen in the save dialog: it becomes the last report
/// file and its folder, with the trailing "/", the last save directory.
void RememberReportFile(const std::string& chosen, ReportSettings& report,
                        std::string& lastSaveDir);

/// Whether a report can be written at `path`: a replacement file can be
/// created there. Nothing is left behind, and a file at `path` stays as it is.
/// `why` tells what stands in the way.
[[nodiscard]] bool CanWriteReport(FileSystem& files, const std::string& path, WriteError& why);
[[nodiscard]] bool CanWriteReport(FileSystem& files, const std::string& path);

} // namespace velmora::reports
