// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace velmora::collection {

/// Identifies a node of one tree for as long as the node exists. Ids of
/// removed nodes are reused by later inserts.
using NodeId = std::uint32_t;
inline constexpr NodeId kNoNode = 0xFFFFFFFFu;

/// Storage for node texts: large blocks that never move, so a text view
/// stays valid until the tree is cleared or compacted (see reindex()).
class TextArena {
public:
    std::string_view store(std::string_view text);
    /// Takes ownership of a buffer whose bytes node texts may then point at.
    std::string_view adopt(ByteBuffer buffer);
    void clear();
    std::size_t capacityBytes() const { return totalBytes_; }

private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* free_ = nullptr;
    std::size_t freeBytes_ = 0;
    std::size_t totalBytes_ = 0;
};

/// The ordered tree of the collection (and of the scratch tree). Every node
/// carries a byte text plus run-time attributes that are never saved: its
/// pre-order position, the selected mark, the delete mark and a link slot for
/// a view.
///
/// Nothing here recurses: trees of any depth are built, walked, copied and
/// freed with loops. Structural changes are O(1) except remove() (the size of
/// the subtree) and reorderChildren() (the number of children); pre-order
/// positions are recomputed, in O(n), on the first position query after a
/// structural change.
///
/// Not thread-safe: one thread at a time may use a tree.
class CollectionTree {
public:
    CollectionTree() = default;
    /// A moved-from tree is empty.
    CollectionTree(CollectionTree&& other) noexcept;
    CollectionTree& operator=(CollectionTree&& other) noexcept;
    CollectionTree(const CollectionTree&) = delete;
    CollectionTree& operator=(const CollectionTree&) = delete;

    bool empty() const { return liveCount_ == 0; }
    /// Number of nodes in the tree.
    std::size_t size() const { return liveCount_; }
    /// The node at level 0, or kNoNode for an empty tree.
    NodeId root() const { return root_; }

    /// The node's text. The view is valid until the node's text is set
    /// again, the node is removed, or the tree is cleared or reindexed.
    std::string_view text(NodeId node) const
    {
        const Node& n = nodes_[node];
        return {n.text, n.length};
    }
    /// Asks the processor to fetch the node's record (`record`) or the
    /// first 128 bytes of its text into the cache, for walks in an order other than
    /// the tree's. The text needs the record: fetch that some steps earlier.
    void prefetch(NodeId node, bool record) const
    {
        if (record) {
            __builtin_prefetch(&nodes_[node]);
            return;
        }
        // A file's text is one to two hundred bytes: every cache line it
        // touches, up to four.
        const Node& n = nodes_[node];
        const auto first = reinterpret_cast<std::uintptr_t>(n.text) / 64;
        const auto last = (reinterpret_cast<std::uintptr_t>(n.text) + n.length) / 64;
        for (std::uintptr_t line = first; line <= last && line < first + 4; ++line)
            __builtin_prefetch(reinterpret_cast<const void*>(line * 64));
    }
    void setText(NodeId node, std::string_view text);

    /// 0 for the root, 1 for its children, and so on.
    std::uint32_t level(NodeId node) const { return nodes_[node].level; }
    NodeId parent(NodeId node) const { return nodes_[node].parent; }
    NodeId firstChild(NodeId node) const { return nodes_[node].firstChild; }
    NodeId lastChild(NodeId node) const { return nodes_[node].lastChild; }
    NodeId nextSibling(NodeId node) const { return nodes_[node].nextSibling; }
    NodeId prevSibling(NodeId node) const { return nodes_[node].prevSibling; }
    bool hasChildren(NodeId node) const { return nodes_[node].firstChild != kNoNode; }
    std::size_t childCount(NodeId node) const;

    /// The node after `node` in pre-order, kNoNode after the last one.
    NodeId nextInPreOrder(NodeId node) const;
    /// The first node after `node`'s subtree in pre-order, or kNoNode.
    NodeId nextAfterSubtree(NodeId node) const;

    /// Removes every node and releases all memory.
    void clear();
    /// Adds the root to an empty tree.
    NodeId addRoot(std::string_view text);
    /// Adds a node as the last child of `parent`.
    NodeId appendChild(NodeId parent, std::string_view text);
    /// Adds a node as the sibling directly before `sibling` (not the root).
    NodeId insertBefore(NodeId sibling, std::string_view text);
    /// Removes the node and its whole subtree.
    void remove(NodeId node);
    /// Moves `node` (with its subtree) directly before `sibling`, which has
    /// the same parent; kNoNode moves it to the end of its parent's children.
    void moveBefore(NodeId node, NodeId sibling);
    /// Puts the children of `parent` in the given order; `order` must hold
    /// exactly the current children.
    void reorderChildren(NodeId parent, std::span<const NodeId> order);

    /// Pre-order position: 0 for the root, 1 for its first child, and so on.
    std::uint32_t position(NodeId node) const;
    /// The node at a pre-order position (less than size()).
    NodeId atPosition(std::size_t position) const;
    /// Every node by pre-order position; valid until the tree changes.
    const std::vector<NodeId>& preOrder() const
    {
        ensureIndexed();
        return order_;
    }
    /// Recomputes the positions now, and moves the texts into fresh storage
    /// when removed and replaced texts waste more than half of it.
    void reindex();

    bool selected(NodeId node) const { return (nodes_[node].flags & kSelected) != 0; }
    void setSelected(NodeId node, bool on) { setFlag(node, kSelected, on); }
    bool deleteMarked(NodeId node) const { return (nodes_[node].flags & kDeleteMark) != 0; }
    void setDeleteMark(NodeId node, bool on) { setFlag(node, kDeleteMark, on); }
    /// An opaque slot a view uses to link the node to its own item.
    void* viewLink(NodeId node) const
    {
        return node < viewLinks_.size() ? viewLinks_[node] : nullptr;
    }
    void setViewLink(NodeId node, void* link);

    // Bulk building without copying texts, for readers of whole files:
    // `adopt` takes the file's bytes, and the *Stored variants take texts
    // that lie inside adopted (or stored) bytes.
    std::string_view adopt(ByteBuffer buffer) { return arena_.adopt(std::move(buffer)); }
    NodeId addRootStored(std::string_view storedText);
    NodeId appendChildStored(NodeId parent, std::string_view storedText);
    void reserve(std::size_t nodes) { nodes_.reserve(nodes); }

private:
    struct Node {
        const char* text = nullptr;
        std::uint32_t length = 0;
        NodeId parent = kNoNode;
        NodeId firstChild = kNoNode;
        NodeId lastChild = kNoNode;
        NodeId nextSibling = kNoNode;
        NodeId prevSibling = kNoNode;
        std::uint32_t level = 0;
        std::uint32_t flags = 0;
    };
    static constexpr std::uint32_t kSelected = 1;
    static constexpr std::uint32_t kDeleteMark = 2;
    static constexpr std::uint32_t kRemoved = 4;

    NodeId newNode(std::string_view storedText);
    void linkLast(NodeId parent, NodeId node);
    void unlink(NodeId node);
    void linkBefore(NodeId sibling, NodeId node);
    void setFlag(NodeId node, std::uint32_t flag, bool on);
    void structureChanged() { indexed_ = false; }
    void ensureIndexed() const;
    void compactTexts();

    std::vector<Node> nodes_;
    std::vector<NodeId> freeIds_;
    std::vector<void*> viewLinks_;
    TextArena arena_;
    std::size_t liveCount_ = 0;
    std::size_t liveTextBytes_ = 0;
    NodeId root_ = kNoNode;

    mutable bool indexed_ = true;
    mutable std::vector<NodeId> order_;
    mutable std::vector<std::uint32_t> positions_;
};

} // namespace velmora::collection
