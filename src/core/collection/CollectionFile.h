// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "system/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velmora {
class Progress;
}

namespace velmora::collection {

// The collection file: one line per node in pre-order, one tab per level in
// front of the node text, CR LF after every line; no header, no escaping.

/// What reading collection bytes gave.
struct ReadOutcome {
    /// False when a line broke the indentation rule: it was two or more
    /// levels deeper than the line before, or a second line at level 0 (an
    /// empty line counts as one), or it held a NUL. The tree then holds the
    /// nodes before it (at least the root).
    bool valid = true;
    /// 1-based number of the line that broke the rule.
    std::size_t faultyLine = 0;
    /// The progress asked to stop; the tree holds the nodes read so far.
    bool cancelled = false;
};

/// True when bytes can be a collection file: they begin with 0x01.
bool LooksLikeCollection(std::string_view bytes);

/// Replaces `tree` by the nodes of collection-file bytes. Lines end at CR LF,
/// CR or LF; reading stops at the line that holds a NUL. Leading tabs and
/// blanks give the level (one each) and are removed; the rest of the line is
/// the node text, byte for byte. The first line is the root whatever its indentation. The tree
/// takes the buffer over and its texts point into it. Runs in time linear in
/// the size of the bytes, without recursion, for any depth.
///
/// With `progress`, every few thousand lines a step tells the bytes read of
/// all, and reading stops when it is cancelled.
[[nodiscard]] ReadOutcome ReadCollection(ByteBuffer bytes, CollectionTree& tree,
                                         Progress* progress = nullptr);

/// Same, for bytes the caller keeps (the tree copies them).
[[nodiscard]] ReadOutcome ReadCollection(std::string_view bytes, CollectionTree& tree);

/// Writes `tree` in the line format, with `rootText` in place of the root's
/// text. Calls out.write() with large blocks; false on the first failure.
/// With `progress`, each block's write is a step: the bytes written of all.
[[nodiscard]] bool WriteCollection(const CollectionTree& tree, std::string_view rootText,
                                   OutputFile& out, Progress* progress = nullptr);

} // namespace velmora::collection
