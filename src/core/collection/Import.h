// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"

#include <cstdint>
#include <string_view>

namespace velmora::collection {

// The older collection format ("vlm"): a tree section of names indented by
// tabs (no line for the collection itself), then one data line of six
// ";"-separated integers per node (the collection first), then one closing
// line. The first data line holds only digits and ";", which ends the tree
// section.

/// True when the three characters after the path's last "." are exactly
/// "vlm".
bool IsOlderFormatPath(std::string_view path);

/// Replaces `scratch` by the converted content of an older file's bytes.
/// False when a tree line is nested two levels below the one before, when
/// the data lines (the closing line aside) do not match the nodes in number,
/// or when a data line does not hold six readable integers (of at most 15
/// digits). On false `scratch` holds no usable result.
[[nodiscard]] bool ConvertOlderFile(std::string_view bytes, CollectionTree& scratch);

/// Copies every node below the scratch tree's root, in pre-order, after the
/// collection's volumes, texts unchanged, and rebuilds the collection's root
/// with the sums of both roots' size, duration, volume and file counts and
/// `today` as the last change.
void MergeImported(CollectionTree& collection, const CollectionTree& scratch, std::int32_t today);

} // namespace velmora::collection
