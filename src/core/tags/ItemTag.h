// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::tags {

/// The six tag texts of a file node in their order: title, artist, album,
/// track, year, comment.
using ItemTagFields = std::array<std::string, 6>;

/// The longest text each field of an item's tag takes, in characters.
inline constexpr std::array<int, 6> kItemTagLengths = {30, 30, 30, 2, 4, 30};

/// The text without its bytes below 32: they include the marks that separate
/// the fields of a node text and the line ends of the collection file.
std::string WithoutControlBytes(std::string_view text);

/// The text of a file node with a new tag: the node text up to and including
/// its last numeric mark (its first byte 0x07), then the tag marks with the
/// six fields between them, each without bytes below 32. Nothing when the
/// text has no 0x07, which no file node lacks.
[[nodiscard]] std::optional<std::string> ItemTagText(std::string_view nodeText,
                                                     const ItemTagFields& fields);

} // namespace velmora::tags
