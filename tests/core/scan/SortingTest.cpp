// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Sorting.h"

#include "ScriptedUser.h"
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "texts/TextTable.h"

#include <gtest/gtest.h>

namespace velmora::scan {
namespace {

using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;
using testing::ScriptedUser;
using Names = std::vector<std::string>;

Names ChildNames(const CollectionTree& tree, NodeId parent)
{
    Names names;
    for (NodeId c = tree.firstChild(parent); c != kNoNode; c = tree.nextSibling(c))
        names.emplace_back(collection::NodeName(tree.text(c)));
    return names;
}

// Every node as "level text", in pre-order.
Names Dump(const CollectionTree& tree)
{
    Names lines;
    for (NodeId n = tree.root(); n != kNoNode; n = tree.nextInPreOrder(n))
        lines.push_back(std::to_string(tree.level(n)) + " " + std::string(tree.text(n)));
    return lines;
}

class SortingTest : public ::testing::Test {
protected:
    SortingTest()
    {
        tree().setText(tree().root(), collection::CollectionText(10, 20, 2, 4, 40000));
    }

    CollectionTree& tree() { return store.tree(); }
    NodeId Volume(const std::string& name)
    {
        return tree().appendChild(tree().root(),
                                  collection::VolumeText(name, 1, 1, 0, 1, 45000, 7));
    }
    NodeId Folder(NodeId parent, const std::string& name)
    {
        return tree().appendChild(parent, collection::FolderText(name, 1, 1, 0, 1));
    }
    NodeId File(NodeId parent, const std::string& name)
    {
        return tree().appendChild(parent, collection::FileText(name, {}, {}));
    }

    fakes::FaultyFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeLocale locale;
    texts::TextTable texts;
    collection::CollectionStore store{files, clock, texts};
    ScriptedUser user{store.tree()};
};

TEST_F(SortingTest, FoldersBeforeFilesEachByNameIgnoringCase)
{
    const NodeId volume = Volume("AUDIO");
    File(volume, "z.mp3");
    File(Folder(volume, "b"), "x.mp3");
    File(volume, "a.mp3");
    File(Folder(volume, "A"), "y.mp3");

    ASSERT_TRUE(SortTree(tree(), locale));
    EXPECT_EQ(ChildNames(tree(), volume), (Names{"A", "b", "a.mp3", "z.mp3"}));
}

TEST_F(SortingTest, NamesCompareAsTextNotAsNumbers)
{
    File(Volume("disc 9"), "a.mp3");
    File(Volume("disc 10"), "a.mp3");
    ASSERT_TRUE(SortTree(tree(), locale));
    EXPECT_EQ(ChildNames(tree(), tree().root()), (Names{"disc 10", "disc 9"}));
}

TEST_F(SortingTest, EveryLevelIsSortedAndNothingButTheOrderChanges)
{
    const NodeId v2 = Volume("Volume B");
    const NodeId v1 = Volume("volume a");
    const NodeId rock = Folder(v2, "Rock");
    const NodeId beat = Folder(rock, "Beat");
    File(beat, "2.mp3");
    File(beat, "1.mp3");
    File(rock, "c.mp3");
    const NodeId abba = Folder(rock, "Abba");
    File(abba, "b.mp3");
    File(v2, "k.mp2");
    File(v1, "q.mpa");
    File(v1, "p.mp1");
    const std::string rootText(tree().text(tree().root()));
    const std::size_t size = tree().size();

    ASSERT_TRUE(SortTree(tree(), locale));
    EXPECT_EQ(ChildNames(tree(), tree().root()), (Names{"volume a", "Volume B"}));
    EXPECT_EQ(ChildNames(tree(), v1), (Names{"p.mp1", "q.mpa"}));
    EXPECT_EQ(ChildNames(tree(), v2), (Names{"Rock", "k.mp2"}));
    EXPECT_EQ(ChildNames(tree(), rock), (Names{"Abba", "Beat", "c.mp3"}));
    EXPECT_EQ(ChildNames(tree(), beat), (Names{"1.mp3", "2.mp3"}));
    EXPECT_EQ(tree().parent(abba), rock);
    EXPECT_EQ(tree().text(tree().root()), rootText);
    EXPECT_EQ(tree().size(), size);
    EXPECT_EQ(tree().text(rock), collection::FolderText("Rock", 1, 1, 0, 1));
}

TEST_F(SortingTest, SiblingsThatCompareEqualKeepTheirOrder)
{
    const NodeId volume = Volume("AUDIO");
    const NodeId first = File(volume, "Song.mp3");
    File(volume, "b.mp3");
    const NodeId second = File(volume, "song.mp3");
    const NodeId third = File(volume, "SONG.mp3");
    ASSERT_TRUE(SortTree(tree(), locale));
    EXPECT_EQ(ChildNames(tree(), volume), (Names{"b.mp3", "Song.mp3", "song.mp3", "SONG.mp3"}));
    EXPECT_EQ(tree().nextSibling(first), second);
    EXPECT_EQ(tree().nextSibling(second), third);
}

TEST_F(SortingTest, AVeryDeepTreeIsSortedWithoutRecursion)
{
    constexpr int kDepth = 200000;
    NodeId node = Volume("AUDIO");
    for (int i = 0; i < kDepth; ++i) {
        File(node, "z.mp3");
        node = Folder(node, "f");
    }
    File(node, "b.mp3");
    File(node, "a.mp3");
    ASSERT_TRUE(SortTree(tree(), locale));
    EXPECT_EQ(ChildNames(tree(), node), (Names{"a.mp3", "b.mp3"}));
    const NodeId volume = tree().firstChild(tree().root());
    EXPECT_EQ(ChildNames(tree(), volume), (Names{"f", "z.mp3"}));
}

TEST_F(SortingTest, AnEmptyTreeHasNothingToSort)
{
    CollectionTree empty;
    EXPECT_FALSE(SortTree(empty, locale));
}

TEST_F(SortingTest, SortAllAsksSortsUnderTheWaitWindowAndTells)
{
    const NodeId volume = Volume("AUDIO");
    File(volume, "b.mp3");
    File(volume, "a.mp3");
    user.answers.push_back(Answer::Yes);

    EXPECT_TRUE(SortCollection(store, locale, user));
    EXPECT_EQ(user.events,
              (Names{"ask 113 default No", "wait 111", "step 112", "step 60", "rebuild", "step 61",
                     "refresh", "close", "tell 114 information"}));
    EXPECT_EQ(ChildNames(tree(), volume), (Names{"a.mp3", "b.mp3"}));
    EXPECT_TRUE(store.modified());
}

TEST_F(SortingTest, AnsweringNoChangesNothing)
{
    const NodeId volume = Volume("AUDIO");
    File(volume, "b.mp3");
    File(volume, "a.mp3");
    const Names before = Dump(tree());
    user.answers.push_back(Answer::No);
    EXPECT_FALSE(SortCollection(store, locale, user));
    EXPECT_EQ(user.events, (Names{"ask 113 default No"}));
    EXPECT_EQ(Dump(tree()), before);
    EXPECT_FALSE(store.modified());

    store.setModified();
    EXPECT_FALSE(SortCollection(store, locale, user));
    EXPECT_TRUE(store.modified());
}

TEST_F(SortingTest, SortingASortedCollectionStillMarksItChanged)
{
    const NodeId volume = Volume("AUDIO");
    File(volume, "a.mp3");
    File(volume, "b.mp3");
    const Names before = Dump(tree());
    user.answers.push_back(Answer::Yes);
    EXPECT_TRUE(SortCollection(store, locale, user));
    EXPECT_EQ(Dump(tree()), before);
    EXPECT_TRUE(store.modified());
}

TEST_F(SortingTest, AFailedSortOnlyClosesTheWaitWindow)
{
    tree().clear();
    user.answers.push_back(Answer::Yes);
    EXPECT_FALSE(SortCollection(store, locale, user));
    EXPECT_EQ(user.events, (Names{"ask 113 default No", "wait 111", "step 112", "close"}));
    EXPECT_FALSE(store.modified());
}

} // namespace
} // namespace velmora::scan
