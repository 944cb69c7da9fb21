// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection/CollectionTree.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::collection {
namespace {

std::vector<std::string> PreOrderTexts(const CollectionTree& tree)
{
    std::vector<std::string> texts;
    for (std::size_t p = 0; p < tree.size(); ++p)
        texts.emplace_back(tree.text(tree.atPosition(p)));
    return texts;
}

TEST(CollectionTree, BuildsNavigatesAndNumbersInPreOrder)
{
    CollectionTree tree;
    EXPECT_TRUE(tree.empty());
    EXPECT_EQ(tree.root(), kNoNode);
    const NodeId root = tree.addRoot("root");
    const NodeId v1 = tree.appendChild(root, "v1");
    const NodeId v2 = tree.appendChild(root, "v2");
    const NodeId f = tree.appendChild(v1, "folder");
    const NodeId a = tree.appendChild(f, "a");
    const NodeId b = tree.insertBefore(a, "b");
    EXPECT_EQ(tree.size(), 6u);
    EXPECT_EQ(PreOrderTexts(tree),
              (std::vector<std::string>{"root", "v1", "folder", "b", "a", "v2"}));
    EXPECT_EQ(tree.position(v2), 5u);
    EXPECT_EQ(tree.level(a), 3u);
    EXPECT_EQ(tree.parent(b), f);
    EXPECT_EQ(tree.firstChild(f), b);
    EXPECT_EQ(tree.lastChild(f), a);
    EXPECT_EQ(tree.childCount(root), 2u);
    EXPECT_EQ(tree.nextAfterSubtree(v1), v2);
    EXPECT_EQ(tree.nextAfterSubtree(v2), kNoNode);
    EXPECT_FALSE(tree.hasChildren(a));
}

TEST(CollectionTree, RemoveMoveAndReorderKeepPositionsRight)
{
    CollectionTree tree;
    const NodeId root = tree.addRoot("r");
    const NodeId v1 = tree.appendChild(root, "v1");
    tree.appendChild(tree.appendChild(v1, "d"), "x");
    const NodeId v2 = tree.appendChild(root, "v2");
    const NodeId v3 = tree.appendChild(root, "v3");
    tree.appendChild(v3, "y");

    tree.moveBefore(v3, v1);
    EXPECT_EQ(PreOrderTexts(tree),
              (std::vector<std::string>{"r", "v3", "y", "v1", "d", "x", "v2"}));
    tree.remove(v1);
    EXPECT_EQ(tree.size(), 4u);
    EXPECT_EQ(PreOrderTexts(tree), (std::vector<std::string>{"r", "v3", "y", "v2"}));

    // Removed ids are reused without stale links or marks.
    tree.setSelected(v2, true);
    const NodeId v4 = tree.appendChild(root, "v4");
    EXPECT_FALSE(tree.selected(v4));
    EXPECT_FALSE(tree.hasChildren(v4));
    const NodeId order[] = {v4, v2, v3};
    tree.reorderChildren(root, order);
    EXPECT_EQ(PreOrderTexts(tree), (std::vector<std::string>{"r", "v4", "v2", "v3", "y"}));
    tree.moveBefore(v4, kNoNode);
    EXPECT_EQ(PreOrderTexts(tree), (std::vector<std::string>{"r", "v2", "v3", "y", "v4"}));
    EXPECT_TRUE(tree.selected(v2));
}

TEST(CollectionTree, MarksAndViewLinksAreRunTimeAttributes)
{
    CollectionTree tree;
    const NodeId root = tree.addRoot("r");
    const NodeId v = tree.appendChild(root, "v");
    int item = 0;
    EXPECT_EQ(tree.viewLink(v), nullptr);
    tree.setViewLink(v, &item);
    tree.setDeleteMark(v, true);
    tree.setSelected(v, true);
    EXPECT_EQ(tree.viewLink(v), &item);
    EXPECT_TRUE(tree.deleteMarked(v));
    tree.setSelected(v, false);
    EXPECT_FALSE(tree.selected(v));
    EXPECT_TRUE(tree.deleteMarked(v));
}

TEST(CollectionTree, TextsSurviveCompaction)
{
    CollectionTree tree;
    const NodeId root = tree.addRoot("r");
    std::vector<NodeId> nodes;
    for (int i = 0; i < 2000; ++i)
        nodes.push_back(tree.appendChild(root, std::string(500, 'a') + std::to_string(i)));
    for (int i = 0; i < 2000; i += 2)
        tree.remove(nodes[i]);
    tree.setText(nodes[1], "changed");
    tree.reindex(); // compacts: most stored bytes are dead now
    EXPECT_EQ(tree.text(nodes[1]), "changed");
    EXPECT_EQ(tree.text(nodes[1999]), std::string(500, 'a') + "1999");
    EXPECT_EQ(tree.size(), 1001u);
}

TEST(CollectionTree, DeepChainIsBuiltWalkedAndFreedWithoutRecursion)
{
    constexpr std::uint32_t kDepth = 200000;
    auto tree = std::make_unique<CollectionTree>();
    NodeId node = tree->addRoot("r");
    for (std::uint32_t i = 0; i < kDepth; ++i)
        node = tree->appendChild(node, "n");
    EXPECT_EQ(tree->level(node), kDepth);
    EXPECT_EQ(tree->position(node), kDepth);
    std::size_t walked = 0;
    for (NodeId n = tree->root(); n != kNoNode; n = tree->nextInPreOrder(n))
        ++walked;
    EXPECT_EQ(walked, kDepth + 1);
    tree->remove(tree->firstChild(tree->root()));
    EXPECT_EQ(tree->size(), 1u);
    tree.reset();
}

TEST(CollectionTree, MoveLeavesTheSourceEmpty)
{
    CollectionTree a;
    a.appendChild(a.addRoot("r"), "v");
    CollectionTree b = std::move(a);
    EXPECT_EQ(b.size(), 2u);
    EXPECT_TRUE(a.empty()); // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(a.root(), kNoNode);
}

} // namespace
} // namespace velmora::collection
