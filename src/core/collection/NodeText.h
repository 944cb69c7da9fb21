// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {
class Locale;
}

namespace velmora::collection {

// Node texts carry all stored data. The numeric marks 0x01..0x07 enclose up
// to six decimal integers, the tag marks 0x15..0x1B six tag texts:
//
//   collection  01 SizeKB 02 Duration 03 VolumeCount 04 FileCount 05 LastChange 06
//   volume      name 01 SizeKB 02 Duration 03 FolderCount 04 FileCount 05 ScanDate 06 Serial 07
//   folder      name 01 SizeKB 02 Duration 03 FolderCount 04 FileCount 05
//   file        name 01 SizeKB 02 Duration 03 SampleRate10 04 ChannelCode 05 VersionCode
//               06 LayerCode 07 15 Title 16 Artist 17 Album 18 Track 19 Year 1A Comment 1B
//
// Duration is in whole seconds, negative for a variable-bit-rate file. Dates
// are day numbers (see DayNumber.h). Numbers are 64-bit here so that sums of
// very large collections do not overflow; the text form is the same.

inline constexpr char kNumberMark = '\x01'; ///< first numeric mark
inline constexpr char kTagMark = '\x15';    ///< first tag mark

using Numbers = std::array<std::int64_t, 6>;
using Tags = std::array<std::string_view, 6>;

/// Field indexes of the numbers of each kind of node.
enum NumberField : int {
    kSizeKB = 0,
    kDuration = 1,
    kVolumeCount = 2,  ///< collection
    kFolderCount = 2,  ///< volume, folder
    kSampleRate10 = 2, ///< file
    kCollectionFileCount = 3,
    kFileCount = 3,   ///< volume, folder
    kChannelCode = 3, ///< file
    kLastChange = 4,  ///< collection
    kScanDate = 4,    ///< volume
    kVersionCode = 4, ///< file
    kSerial = 5,      ///< volume
    kLayerCode = 5,   ///< file
};
enum TagField : int { kTitle = 0, kArtist, kAlbum, kTrack, kYear, kComment };

/// The text before the first 0x01; empty when the text holds no 0x01.
std::string_view NodeName(std::string_view text);

/// For each field j that exists and holds a valid signed decimal integer,
/// values[j] := that integer; other entries are left as the caller set them.
void ReadNumbers(std::string_view text, Numbers& values);

/// tags[j] := tag field j, empty when absent. The views point into `text`.
void ReadTags(std::string_view text, Tags& tags);

/// The bit of a number field in the `fields` of ReadSomeNumbers.
constexpr unsigned NumberBit(int field)
{
    return 1U << field;
}

/// ReadNumbers for the fields whose NumberBit is set in `fields` only; the
/// other entries are left as they are. Reads the text only as far as those
/// fields need.
void ReadSomeNumbers(std::string_view text, unsigned fields, Numbers& values);

/// Tag field `field` exactly as ReadTags gives it, without reading the
/// others.
std::string_view ReadTag(std::string_view text, TagField field);

/// Whether any of the six tag fields of ReadTags is not empty.
bool HasTagText(std::string_view text);

/// Kilobits per second: sizeKB * 8 * 1.024 / |duration|, truncated; 0 when
/// duration is 0. Defined for every pair of values, held at the limits of
/// the type.
std::int64_t AverageBitRate(std::int64_t sizeKB, std::int64_t duration);

/// The entry of the standard MPEG bit-rate table row for the version code
/// (1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5) and layer code (1..3) that the walk from
/// the first entry reaches before distances stop shrinking: the nearest rate,
/// the lower one at a tie; 0 for 1000 and above and for codes outside 1..3.
std::int64_t StandardBitRate(std::int64_t rate, std::int64_t versionCode, std::int64_t layerCode);

/// The text after the first backslash; empty when there is none.
std::string_view PathAfterDrive(std::string_view path);

/// Leading and trailing bytes up to 32 removed, then every remaining byte
/// below 32 removed.
std::string CleanText(std::string_view text);

/// For a native file path: false when it is empty; otherwise `directory`
/// := its folder without a trailing "/" (except for the root "/"; empty for a
/// bare name) and `name` := the file name without its last extension.
[[nodiscard]] bool SplitCollectionPath(std::string_view path, std::string& name,
                                       std::string& directory);

/// The collection's sort order of two siblings: a node with children before
/// one without; otherwise names compared case-insensitively by the locale.
int CompareTreeNodes(const CollectionTree& tree, NodeId a, NodeId b, const Locale& locale);

// Builders of node texts, in the grammar above.
std::string CollectionText(std::int64_t sizeKB, std::int64_t duration, std::int64_t volumeCount,
                           std::int64_t fileCount, std::int64_t lastChange);
std::string FolderText(std::string_view name, std::int64_t sizeKB, std::int64_t duration,
                       std::int64_t folderCount, std::int64_t fileCount);
std::string VolumeText(std::string_view name, std::int64_t sizeKB, std::int64_t duration,
                       std::int64_t folderCount, std::int64_t fileCount, std::int64_t scanDate,
                       std::int32_t serial);
std::string FileText(std::string_view name, const Numbers& numbers,
                     const std::array<std::string, 6>& tags);

/// a + b, held at the limits of the type instead of overflowing.
std::int64_t AddClamped(std::int64_t a, std::int64_t b);

/// a * b, held at the limits of the type instead of overflowing.
std::int64_t MultiplyClamped(std::int64_t a, std::int64_t b);

/// |value|; the largest value for the smallest, which has no positive
/// counterpart.
std::int64_t AbsClamped(std::int64_t value);

/// What a node stands for, by its place in the tree: level 0 the collection,
/// level 1 a volume, deeper a folder when it has children, else a file.
enum class NodeKind { Collection, Volume, Folder, File };
NodeKind KindOf(const CollectionTree& tree, NodeId node);

} // namespace velmora::collection
