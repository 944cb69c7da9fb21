// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "scan/EditorUser.h"

namespace velmora {
class Locale;
}
namespace velmora::collection {
class CollectionStore;
}

namespace velmora::scan {

/// Puts the children of every node of `tree` in the order of
/// CompareTreeNodes(): nodes with children first, each group by name,
/// compared case-insensitively by `locale`. No node changes its parent, and
/// siblings that compare equal keep their order (the sort is stable). Walks
/// the tree with a loop, so any depth is fine. False for an empty tree, which
/// has nothing to sort.
[[nodiscard]] bool SortTree(collection::CollectionTree& tree, const Locale& locale);

/// Sort all: asks AskSortCollection (No default); on Yes sorts the
/// collection tree under the wait window (SortingTitle "Sorting"), marks the
/// collection modified and tells SortingFinished. True when it sorted; on No
/// nothing changes, the modified flag included.
[[nodiscard]] bool SortCollection(collection::CollectionStore& store, const Locale& locale,
                                  EditorUser& user);

} // namespace velmora::scan
