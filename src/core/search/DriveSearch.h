// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"

#include <cstddef>
#include <cstdint>

namespace velmora::search {

/// The temporary volume of a search on a drive. Created before the source is
/// scanned as a last volume of the collection (without touching the
/// collection node's totals), it notes the number of nodes the tree has; the
/// scanned volume and its branch then occupy the positions from that number
/// on, which is where the search starts. Removing it, or destroying it,
/// takes away whatever the scan appended, so that the tree ends with
/// exactly the nodes it had, a cancelled or half-finished scan included.
///
/// The tree must not be changed otherwise while this object lives, and it
/// must outlive this object.
class TemporaryVolume {
public:
    explicit TemporaryVolume(collection::CollectionTree& tree);
    ~TemporaryVolume() { remove(); }
    TemporaryVolume(const TemporaryVolume&) = delete;
    TemporaryVolume& operator=(const TemporaryVolume&) = delete;

    /// True when the scan appended at least one node.
    bool grown() const { return tree_.size() > before_; }
    /// The position the search starts from: the tree's size before the scan.
    std::int64_t start() const { return static_cast<std::int64_t>(before_); }
    /// Removes the appended volume with its branch; does nothing when the
    /// tree did not grow or it is already removed.
    void remove();

private:
    collection::CollectionTree& tree_;
    std::size_t before_;
};

} // namespace velmora::search
