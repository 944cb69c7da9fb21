// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "system/Services.h"
#include "system/Worker.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::scan {

/// What to scan.
struct ScanRequest {
    /// A native folder path: a volume's root or a folder on it.
    std::string sourcePath;
    /// The volume node the new volume will replace (it is inserted directly
    /// before it and keeps its name when the folder part is unchanged), or
    /// kNoNode to add a last volume.
    collection::NodeId replace = collection::kNoNode;
    /// Fold the new volume into the collection node's totals (and take the
    /// replaced one out of them).
    bool updateTotals = true;
    /// Used instead of what the platform reports for the source's volume.
    /// With a label the source folder stands for the volume's root: the
    /// volume is named by the label alone, cleaned by CleanLabel() (a copy
    /// of a disc catalogued under the disc's label).
    std::optional<std::string> label;
    std::optional<std::uint32_t> serial;
    /// Files without an ID3v1 tag take their texts from their ID3v2 tag
    /// (the setting "ReadID3v2").
    bool readId3v2 = true;
};

/// How a scan ended.
struct ScanOutcome {
    /// The new volume node; kNoNode when the scan produced none (no audio
    /// file, volume information unreadable). After a cancel it may be a
    /// half-built node that the caller removes.
    collection::NodeId volume = collection::kNoNode;
    bool cancelled = false;
    /// Some folder could not be read (NotAllFoldersReadable).
    bool warning = false;
    /// The label and serial of the source's volume could not be read.
    bool noVolumeInformation = false;
};

/// Scans the source into a new volume node of `tree` (whose root is the
/// collection node) and returns how it went. `stop` is read before each
/// subfolder and each file (and each folder of the count); a file being
/// analysed is finished first.
/// Folders are walked with an explicit stack, so depth costs no stack.
///
/// The scan window's three lines go to `progress`: the volume's name as the
/// title, the folder being read as the phase and the file being analysed as
/// the object (empty between folders). Its steps count the files analysed
/// of the audio files below the source, which a first pass over the
/// folders counts (the total is 0 until then).
///
/// Listing: subfolders and files in case-insensitive order of the locale;
/// hidden folders (name beginning with ".") are skipped; links to folders
/// and mount points of other file systems are not entered; files match
/// "*.mpa;*.mp1;*.mp2;*.mp3" ignoring case, whatever their modes. A name
/// with bytes below 32 is stored with each replaced by "?"; only a folder
/// that cannot be read counts as a warning. Folders without audio files
/// below them are not kept.
ScanOutcome ScanSource(collection::CollectionTree& tree, const Services& services,
                       const ScanRequest& request, Progress& progress,
                       const std::atomic<bool>& stop);

/// The name a scan stores for a folder or file named `diskName` on disk:
/// each byte below 32 replaced by "?", then leading and trailing blanks
/// dropped by CleanText() (a name beginning with a blank would read back
/// from the collection file as deeper indentation). Different names on disk
/// can thus be stored alike (" a.mp3" and "a.mp3"), and a name of blanks
/// only is stored empty.
std::string ScannedName(std::string_view diskName);

/// A volume label as volume names hold it, whoever gave it (the platform,
/// a caller, the user renaming a volume): backslashes become blanks, since
/// a label ends at the name's first backslash, then CleanText() trims
/// leading and trailing blanks and control bytes and drops every other byte
/// below 32. A name beginning with a blank would read back from the
/// collection file as deeper indentation. Empty for a blank label.
std::string CleanLabel(std::string_view label);

/// The volume name for a source: the label (cleaned by CleanLabel()) alone
/// for a volume's root, else the label, "\" and the source's path below the
/// root with "\" between its folders and "?" for bytes below 32 (label
/// AUDIO, root /media/u/AUDIO, source /media/u/AUDIO/Music/Rock give
/// AUDIO\Music\Rock).
std::string VolumeName(std::string_view label, std::string_view root, std::string_view source);

/// Runs ScanSource on a Worker: its progress() holds the latest lines, its
/// stop flag cancels the scan. The tree must not be touched by anyone else
/// until Wait() returned.
class TScanThread : public Task<ScanOutcome> {
public:
    /// `tree` and the services must outlive the object.
    TScanThread(collection::CollectionTree& tree, const Services& services, ScanRequest request);
};

} // namespace velmora::scan
