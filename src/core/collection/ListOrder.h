// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"

#include <string_view>

namespace velmora::collection {

/// The list's columns: 0 Name, then the tag fields Title, Artist, Album,
/// Track, Year and Comment.
inline constexpr int kListColumnCount = 7;

/// The window's optional columns after those seven: 7 Size, 8 Duration,
/// 9 Bit rate, 10 Sample rate and 11 Mode.
inline constexpr int kListDetailColumnCount = 5;
inline constexpr int kListAllColumnCount = kListColumnCount + kListDetailColumnCount;
inline constexpr int kTrackColumn = 4;
inline constexpr int kYearColumn = 5;

/// Texts compared byte by byte with only the letters A to Z folded: "10"
/// before "9", digits before letters, no locale rules. Negative, 0 or
/// positive.
int CompareListTexts(std::string_view a, std::string_view b);

/// The list's order of two children of one node, always ascending: a node
/// with children before one without; two folders by name; two files by
/// name for sort column 0, else by the tag field of the column (1 Title to
/// 6 Comment). Negative, 0 or positive.
int CompareListItems(const CollectionTree& tree, NodeId a, NodeId b, int sortColumn);

/// The window's order of two children of one node, by any of its columns:
/// nodes with children first, in either direction. Within each group the
/// order of CompareListItems(), except that Track and Year compare as
/// numbers (their leading digits; a text without them before any number,
/// equal numbers then as texts) and the optional columns by their values
/// (size, magnitude of the duration, average bit rate, sample rate, channel
/// code; folders hold only the first two). `descending` reverses the order
/// within each group.
int CompareListRows(const CollectionTree& tree, NodeId a, NodeId b, int column, bool descending);

/// The text of a list column for a node: its name for column 0, its tag
/// field for columns 1 to 6 (empty for folders).
std::string_view ListColumnText(const CollectionTree& tree, NodeId node, int column);

} // namespace velmora::collection
