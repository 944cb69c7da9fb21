// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/CollectionTree.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace velmora::collection {

namespace {
constexpr std::size_t kBlockBytes = 256 * 1024;
}

std::string_view TextArena::store(std::string_view text)
{
    if (text.empty())
        return {};
    if (text.size() > freeBytes_) {
        const std::size_t size = std::max(kBlockBytes, text.size());
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
        free_ = blocks_.back().get();
        freeBytes_ = size;
        totalBytes_ += size;
    }
    char* const target = free_;
    std::memcpy(target, text.data(), text.size());
    free_ += text.size();
    freeBytes_ -= text.size();
    return {target, text.size()};
}

std::string_view TextArena::adopt(ByteBuffer buffer)
{
    const std::string_view bytes = buffer.view();
    totalBytes_ += buffer.size;
    // Keep the current block last so that store() goes on filling it.
    blocks_.insert(blocks_.empty() ? blocks_.end() : blocks_.end() - 1, std::move(buffer.data));
    return bytes;
}

void TextArena::clear()
{
    blocks_.clear();
    free_ = nullptr;
    freeBytes_ = 0;
    totalBytes_ = 0;
}

std::size_t CollectionTree::childCount(NodeId node) const
{
    std::size_t count = 0;
    for (NodeId child = nodes_[node].firstChild; child != kNoNode;
         child = nodes_[child].nextSibling)
        ++count;
    return count;
}

NodeId CollectionTree::nextInPreOrder(NodeId node) const
{
    if (nodes_[node].firstChild != kNoNode)
        return nodes_[node].firstChild;
    return nextAfterSubtree(node);
}

NodeId CollectionTree::nextAfterSubtree(NodeId node) const
{
    for (NodeId n = node; n != kNoNode; n = nodes_[n].parent) {
        if (nodes_[n].nextSibling != kNoNode)
            return nodes_[n].nextSibling;
    }
    return kNoNode;
}

CollectionTree::CollectionTree(CollectionTree&& other) noexcept
{
    *this = std::move(other);
}

CollectionTree& CollectionTree::operator=(CollectionTree&& other) noexcept
{
    if (this == &other)
        return *this;
    nodes_ = std::move(other.nodes_);
    freeIds_ = std::move(other.freeIds_);
    viewLinks_ = std::move(other.viewLinks_);
    arena_ = std::move(other.arena_);
    liveCount_ = other.liveCount_;
    liveTextBytes_ = other.liveTextBytes_;
    root_ = other.root_;
    indexed_ = false;
    other.clear();
    return *this;
}

void CollectionTree::clear()
{
    nodes_ = {};
    freeIds_ = {};
    viewLinks_ = {};
    arena_.clear();
    liveCount_ = 0;
    liveTextBytes_ = 0;
    root_ = kNoNode;
    indexed_ = false;
    order_ = {};
    positions_ = {};
}

NodeId CollectionTree::newNode(std::string_view storedText)
{
    assert(storedText.size() <= 0xFFFFFFFFu);
    NodeId id;
    if (!freeIds_.empty()) {
        id = freeIds_.back();
        freeIds_.pop_back();
        nodes_[id] = Node();
        if (id < viewLinks_.size())
            viewLinks_[id] = nullptr;
    } else {
        id = static_cast<NodeId>(nodes_.size());
        nodes_.emplace_back();
    }
    nodes_[id].text = storedText.data();
    nodes_[id].length = static_cast<std::uint32_t>(storedText.size());
    ++liveCount_;
    liveTextBytes_ += storedText.size();
    structureChanged();
    return id;
}

void CollectionTree::linkLast(NodeId parent, NodeId node)
{
    Node& p = nodes_[parent];
    Node& n = nodes_[node];
    n.parent = parent;
    n.level = p.level + 1;
    n.prevSibling = p.lastChild;
    n.nextSibling = kNoNode;
    if (p.lastChild != kNoNode)
        nodes_[p.lastChild].nextSibling = node;
    else
        p.firstChild = node;
    p.lastChild = node;
}

void CollectionTree::linkBefore(NodeId sibling, NodeId node)
{
    const NodeId parent = nodes_[sibling].parent;
    Node& n = nodes_[node];
    n.parent = parent;
    n.level = nodes_[sibling].level;
    n.nextSibling = sibling;
    n.prevSibling = nodes_[sibling].prevSibling;
    if (n.prevSibling != kNoNode)
        nodes_[n.prevSibling].nextSibling = node;
    else
        nodes_[parent].firstChild = node;
    nodes_[sibling].prevSibling = node;
}

void CollectionTree::unlink(NodeId node)
{
    Node& n = nodes_[node];
    if (n.parent == kNoNode)
        return;
    Node& p = nodes_[n.parent];
    if (n.prevSibling != kNoNode)
        nodes_[n.prevSibling].nextSibling = n.nextSibling;
    else
        p.firstChild = n.nextSibling;
    if (n.nextSibling != kNoNode)
        nodes_[n.nextSibling].prevSibling = n.prevSibling;
    else
        p.lastChild = n.prevSibling;
    n.prevSibling = n.nextSibling = kNoNode;
}

NodeId CollectionTree::addRoot(std::string_view text)
{
    return addRootStored(arena_.store(text));
}

NodeId CollectionTree::addRootStored(std::string_view storedText)
{
    assert(empty());
    root_ = newNode(storedText);
    return root_;
}

NodeId CollectionTree::appendChild(NodeId parent, std::string_view text)
{
    return appendChildStored(parent, arena_.store(text));
}

NodeId CollectionTree::appendChildStored(NodeId parent, std::string_view storedText)
{
    const NodeId node = newNode(storedText);
    linkLast(parent, node);
    return node;
}

NodeId CollectionTree::insertBefore(NodeId sibling, std::string_view text)
{
    assert(sibling != root_);
    const NodeId node = newNode(arena_.store(text));
    linkBefore(sibling, node);
    return node;
}

void CollectionTree::setText(NodeId node, std::string_view text)
{
    Node& n = nodes_[node];
    liveTextBytes_ -= n.length;
    const std::string_view stored = arena_.store(text);
    n.text = stored.data();
    n.length = static_cast<std::uint32_t>(stored.size());
    liveTextBytes_ += stored.size();
}

void CollectionTree::remove(NodeId node)
{
    if (node == root_) {
        clear();
        return;
    }
    unlink(node);
    // The subtree is detached; walk it in pre-order within its own bounds.
    NodeId n = node;
    while (n != kNoNode) {
        NodeId next = nodes_[n].firstChild;
        if (next == kNoNode) {
            for (NodeId up = n; up != node; up = nodes_[up].parent) {
                if (nodes_[up].nextSibling != kNoNode) {
                    next = nodes_[up].nextSibling;
                    break;
                }
            }
        }
        // Children links of `n` are still read above, so retire it after.
        liveTextBytes_ -= nodes_[n].length;
        nodes_[n].flags = kRemoved;
        --liveCount_;
        freeIds_.push_back(n);
        if (n < viewLinks_.size())
            viewLinks_[n] = nullptr;
        n = next;
    }
    structureChanged();
}

void CollectionTree::moveBefore(NodeId node, NodeId sibling)
{
    if (node == sibling)
        return;
    const NodeId parent = nodes_[node].parent;
    unlink(node);
    if (sibling == kNoNode)
        linkLast(parent, node);
    else
        linkBefore(sibling, node);
    structureChanged();
}

void CollectionTree::reorderChildren(NodeId parent, std::span<const NodeId> order)
{
    assert(order.size() == childCount(parent));
    Node& p = nodes_[parent];
    p.firstChild = p.lastChild = kNoNode;
    for (const NodeId child : order)
        linkLast(parent, child);
    structureChanged();
}

void CollectionTree::setFlag(NodeId node, std::uint32_t flag, bool on)
{
    if (on)
        nodes_[node].flags |= flag;
    else
        nodes_[node].flags &= ~flag;
}

void CollectionTree::setViewLink(NodeId node, void* link)
{
    if (viewLinks_.size() < nodes_.size())
        viewLinks_.resize(nodes_.size(), nullptr);
    viewLinks_[node] = link;
}

void CollectionTree::ensureIndexed() const
{
    if (indexed_)
        return;
    order_.clear();
    order_.reserve(liveCount_);
    positions_.assign(nodes_.size(), 0xFFFFFFFFu);
    for (NodeId n = root_; n != kNoNode; n = nextInPreOrder(n)) {
        positions_[n] = static_cast<std::uint32_t>(order_.size());
        order_.push_back(n);
    }
    indexed_ = true;
}

std::uint32_t CollectionTree::position(NodeId node) const
{
    ensureIndexed();
    return positions_[node];
}

NodeId CollectionTree::atPosition(std::size_t position) const
{
    ensureIndexed();
    return order_[position];
}

void CollectionTree::reindex()
{
    if (arena_.capacityBytes() > 2 * liveTextBytes_ + kBlockBytes)
        compactTexts();
    indexed_ = false;
    ensureIndexed();
}

void CollectionTree::compactTexts()
{
    TextArena fresh;
    for (NodeId n = root_; n != kNoNode; n = nextInPreOrder(n)) {
        const std::string_view stored = fresh.store(text(n));
        nodes_[n].text = stored.data();
    }
    arena_ = std::move(fresh);
}

} // namespace velmora::collection
