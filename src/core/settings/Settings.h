// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/SettingsStore.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::settings {

/// Every persistent value of the program, with its default. One record lives
/// for the whole run; the owning parts read and change it, and only
/// ReadSettings/WriteSettings move it to and from the store.
///
/// Stored names: each member is stored under the name in its comment. An
/// array member is stored once per element, the name followed by the index in
/// decimal: element i of `property` is "Property<i>" (0 to 17), element i of
/// `tagText` is "TagText<i+1>" (1 to 6), and so on as noted. The members are
/// declared in the order in which the values are read and written.
///
/// Unset values: the defaults that depend on the machine are not known here.
/// `panelWidth` and the four window bounds are std::nullopt until read from
/// the store or set by the window (the window then uses one third of its
/// client width, and the position and size the platform chooses). Empty
/// `lastOpenDir`/`lastSaveDir` mean "not chosen yet"; see ResolveStartFolders.
struct Settings {
    std::string langName;          ///< "LangName": active language pack, empty for none
    std::string currentCollection; ///< "CurrentCollection": path at the end of the last run
    std::int32_t findArea = 0;     ///< "FindArea": search page (0 name, 1 property, 2 tag, 3
                                   ///< duplicates)
    std::string nameText;          ///< "NameText": words of the name search
    std::int32_t nameArea = 1;     ///< "NameArea": 1 folders and files, 2 folders, 3 files
    bool nameCase = false;         ///< "NameCase": match case in the name search
    /// "Property0".."Property17": property-search criteria, one byte each.
    std::array<std::int32_t, 18> property = {1, 0, 0, 1, 0, 2, 1, 0, 0, 1, 2, 0, 1, 0, 2, 0, 0, 0};
    /// "TagText1".."TagText6": tag-search terms (Title, Artist, Album, Track,
    /// Year, Comment).
    std::array<std::string, 6> tagText;
    bool autoOpen = false;         ///< "AutoOpen": open the last collection at start
    bool useWindowSettings = true; ///< "UseWindowSettings": restore the window's bounds at start
    /// "ReportItems1".."ReportItems20": chosen report rows and columns.
    std::array<bool, 20> reportItems = {false, false, true,  false, true,  true,  true,
                                        false, false, false, false, false, false, false,
                                        false, false, false, false, false, true};
    /// "ReportItemsIndex1".."ReportItemsIndex16": order of the report columns.
    std::array<std::int32_t, 16> reportItemsIndex = {1, 2, 3, 13, 14, 15, 16, 4,
                                                     5, 6, 7, 8,  9,  10, 11, 12};
    std::int32_t reportFormat = 1;   ///< "ReportFormat": 1 text, 2 DIF, 3 HTML, 4 CSV
    std::int32_t reportScanning = 1; ///< "ReportScanning": 1 all items, 2 selected only
    std::string lastReportFile;      ///< "LastReportFile"
    std::string lastOpenDir;         ///< "LastOpenDir": folder of the open and import dialogs
    std::string lastSaveDir;         ///< "LastSaveDir": folder of the save dialogs
    bool compareName = true;         ///< "CompareName": duplicates compared by name
    bool compareProperty = false;    ///< "CompareProperty": by size and duration
    /// "LastCol1".."LastCol5": recent collection files, newest first (the
    /// same type as collection::RecentFiles).
    std::array<std::string, 5> lastCol;
    std::string lastDrive;          ///< "LastDrive": drive last chosen for the CD cover
    std::int32_t lastZoom = 6;      ///< "LastZoom": zoom of the cover preview
    std::string fontName = "Arial"; ///< "FontName": cover font
    std::int32_t fontSize = 36;     ///< "FontSize": cover font size in points
    std::int32_t fontColor = 0;     ///< "FontColor": cover font colour
    std::int32_t fontCharSet = 0;   ///< "FontCharSet": cover font character set
    /// "FontStyle1".."FontStyle4": cover font styles.
    std::array<bool, 4> fontStyle = {false, false, false, false};
    /// "Stretch1", "Stretch2": horizontal and vertical stretch of the cover
    /// text in percent.
    std::array<std::int32_t, 2> stretch = {100, 100};
    bool author = false; ///< "Author": author mode
    /// "Column0".."Column6": widths of the list columns in pixels.
    std::array<std::int32_t, 7> column = {300, 100, 100, 100, 70, 70, 100};
    bool gridLines = false; ///< "GridLines"
    bool hotTrack = false;  ///< "HotTrack"
    bool tagInfo = true;    ///< "TagInfo"
    bool toolbar = true;    ///< "Toolbar"
    bool statusbar = true;  ///< "Statusbar"
    /// "PanelWidth": width of the tree panel in pixels; unset: one third of
    /// the client width.
    std::optional<std::int32_t> panelWidth;
    /// "Top", "Left", "Height", "Width": the main window's bounds in pixels;
    /// unset: as the platform chooses.
    std::optional<std::int32_t> top;
    std::optional<std::int32_t> left;
    std::optional<std::int32_t> height;
    std::optional<std::int32_t> width;
    bool reportSorting = true;      ///< "ReportSorting": sort the report
    std::int32_t duplicateArea = 1; ///< "DuplicateArea": as nameArea
    std::int32_t columnToSort = 0;  ///< "ColumnToSort": sort column of the list
    /// "TagField1".."TagField6": tag fields written by the tag editor.
    std::array<bool, 6> tagField = {true, true, true, true, true, true};
    bool autoBackup = false;  ///< "AutoBackup": keep the previous collection file as PATH~
    bool numeration = false;  ///< "Numeration": number the folders on the cover
    bool addDate = true;      ///< "AddDate": the current date on the cover
    bool customLabel = false; ///< "CustomLabel": use labelText on the cover
    std::string labelText;    ///< "LabelText": the custom cover label
    /// "PlayerCommand": the player's enqueue command, the program and then
    /// its arguments, "%f" standing for the playlist file (see
    /// playback::PlayerArguments); empty: the first known player installed,
    /// else the desktop's opener.
    std::string playerCommand;
    /// "ReadID3v2": a scan takes the texts of a file without an ID3v1 tag
    /// from its ID3v2 tag. After the values of older stores, so that one written before it existed
    /// reads every other value and leaves this one at its default.
    bool readId3v2 = true;
    /// "Column7".."Column11": widths of the list's optional columns (Size,
    /// Duration, Bit rate, Sample rate, Mode) in pixels.
    std::array<std::int32_t, 5> detailColumn = {80, 70, 110, 90, 90};
    /// "ShownColumns": which optional columns the list shows, bit 0 for Size
    /// to bit 4 for Mode.
    std::int32_t shownColumns = 0;
    /// "DetailSort": the optional column (7 to 11) the list is sorted by,
    /// else 0 and columnToSort holds the sort column.
    std::int32_t detailSort = 0;
    bool sortDescending = false; ///< "SortDescending": the list's order is reversed

    bool operator==(const Settings&) const = default;
};

/// An unset value (see Settings) is stored as this number, which no window
/// position or size can be; reading it gives the unset value again.
inline constexpr std::int32_t kUnsetNumber = std::numeric_limits<std::int32_t>::min();

/// What one reading took from the store.
struct ReadResult {
    /// Names of the values taken from the store, in the order of reading;
    /// a missing text value, read as empty, is among them.
    std::vector<std::string> names;
    /// The value that stopped the reading (missing, or of another type);
    /// empty when the reading was not stopped: every value was read, or
    /// there was no store to read (`names` is then empty too).
    std::string stoppedAt;

    /// Whether the value stored as `name` (for example "Column3" or "Top")
    /// was taken from the store. The window applies its own values (column
    /// widths, view options, panel width, bounds) only when they were.
    bool wasRead(std::string_view name) const;
};

/// Fills `settings` from `stored`, walking the values in their order:
/// - a missing text value reads as empty (replacing the default);
/// - a number or flag value that is missing or not stored as Number or Flag,
///   or a text value stored as anything but Text, stops the reading: it and
///   every later value keep what `settings` held (the defaults for a fresh
///   record);
/// - flags read true when not 0; a number stored as kUnsetNumber reads as
///   unset for the optional values;
/// - when "UseWindowSettings" has just been read as false, "Top", "Left",
///   "Height" and "Width" are not read at all and the reading goes on after
///   them.
/// Names match exactly (case counts); when `stored` holds a name twice, the
/// later entry counts. Entries with unknown names are ignored.
[[nodiscard]] ReadResult ReadSettings(const std::vector<StoredValue>& stored, Settings& settings);

/// Reads `store` into `settings` as above. A store that does not exist or
/// cannot be read leaves `settings` as it was and reads nothing.
[[nodiscard]] ReadResult ReadSettings(SettingsStore& store, Settings& settings);

/// Every value of `settings` in order, each with its type: flags as 0 or 1,
/// unset values as kUnsetNumber.
std::vector<StoredValue> StoredValues(const Settings& settings);

/// Writes the whole record to `store`; false when the store refused it (it
/// is then as it was).
[[nodiscard]] bool WriteSettings(SettingsStore& store, const Settings& settings);

/// Gives an empty "LastOpenDir" and an empty "LastSaveDir" the folder
/// `startFolder` (on Linux the user's home folder). Run once at start, after
/// reading.
void ResolveStartFolders(Settings& settings, const std::string& startFolder);

} // namespace velmora::settings
