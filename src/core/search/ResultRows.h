// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "search/Searches.h"

#include <array>
#include <string>
#include <vector>

namespace velmora::texts {
class TextTable;
}

namespace velmora::search {

/// The folder path of a result row: the names of the node's ancestors from
/// its volume (level 1) down to its parent, each followed by "\". A volume
/// and the collection node have an empty path. Names are the node bytes as
/// stored.
///
/// After a search on a drive `driveRoot` is the mount point of the searched
/// source (see TemporaryVolume), and the path is the real folder on disk:
/// DrivePath of the path above.
std::string RowPath(const collection::CollectionTree& tree, collection::NodeId node,
                    std::string_view driveRoot = {});

/// The real folder of a row path found on a drive: its first component (the
/// temporary volume's label) up to and including the first "\" is dropped
/// (all of it when there is no "\"), every further "\" becomes "/", and
/// `driveRoot` with a "/" after it comes first. For the root /media/u/AUDIO
/// the path AUDIO\Music\Rock\ gives /media/u/AUDIO/Music/Rock/.
std::string DrivePath(std::string_view rowPath, std::string_view driveRoot);

/// Which tag columns the tag results show: those whose tag text is not empty
/// once blanks and control characters are removed at both ends.
std::array<bool, 6> UsedTagColumns(const TagCriteria& criteria);

/// The cells of the used tag columns of a file node's text, in the order
/// Title, Artist, Album, Track, Year, Comment: the tag field, or empty when
/// it is empty after trimming.
std::vector<std::string> TagCells(std::string_view fileText, const std::array<bool, 6>& used);

/// The cells of the used property terms of a file node's text, in
/// the order bit rate, sample rate, channel mode, version, layer, valid tag:
/// "VBR 136 Kbps" or "CBR 128 Kbps" (the standard rate; also for a zero
/// duration), "44100 Hz", the channel mode's text, "1"/"2"/"2.5", the layer
/// number, "Present"/"Not present"; words from `table`.
std::vector<std::string> PropertyCells(std::string_view fileText, const PropertyCriteria& criteria,
                                       const texts::TextTable& table);

/// The label of a duplicate group, from the text of its first node: with
/// `compareName` only the name; with `compareProperty` only SizeKB / 1024
/// with three decimals (rounded, `decimalSeparator` between), " Mb, ",
/// FormatHMS of |Duration| and " H:M:S"; with both the name, ", " and that
/// text. Words from `table`.
std::string DuplicateGroupLabel(std::string_view nodeText, bool compareName, bool compareProperty,
                                const texts::TextTable& table, std::string_view decimalSeparator);

} // namespace velmora::search
