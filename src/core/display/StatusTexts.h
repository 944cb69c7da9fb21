// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::texts {
class TextTable;
}

namespace velmora::display {

/// The six status bar panels for a volume, folder or file node (UTF-8 or
/// node bytes, to be shown through ToQString()):
///  0 size "3.83 Mb"; 1 duration "00:04:05 H:M:S";
///  2 "ABR 131 Kbps" (volume, folder), "VBR 131 Kbps" or "CBR 128 Kbps" (file);
///  3 "2 Folder(s)" or "44100 Hz"; 4 "12 File(s)" or the channel mode;
///  5 the scan date of the volume the node belongs to, or "MPEG 1 Layer 3".
std::array<std::string, 6> StatusPanelTexts(const collection::CollectionTree& tree,
                                            collection::NodeId node, const texts::TextTable& table,
                                            std::string_view decimalSeparator,
                                            std::string_view dateSeparator);

/// The text of one of the list's optional columns (7 Size to 11 Mode, see
/// collection::kListDetailColumnCount): the size as panel 0 shows it, the
/// duration as "H:MM:SS", then the bit rate, sample rate and channel mode
/// as panels 2 to 4 show them for a file; a folder shows its size and
/// duration only.
std::string ListDetailText(const collection::CollectionTree& tree, collection::NodeId node,
                           int column, const texts::TextTable& table,
                           std::string_view decimalSeparator);

} // namespace velmora::display
