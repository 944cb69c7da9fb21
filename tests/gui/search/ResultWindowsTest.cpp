// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/ResultWindows.h"

#include "Bytes.h"
#include "TestDir.h"
#include "core/collection/SongText.h"
#include "gui/FakeUserDialogs.h"
#include "gui/dialogs/WaitWindow.h"
#include "gui/search/DuplicatesResults.h"
#include "gui/search/ResultsModel.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "platform/fakes/FaultyFileSystem.h"
#include "search/ResultFiles.h"
#include "search/Searches.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "texts/ActiveTexts.h"
#include "texts/TextTable.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace velmora::gui {
namespace {

using collection::NodeId;
using testing::FakeUserDialogs;
using velmora::testing::SongText;

class ResultWindowsTest : public ::testing::Test {
protected:
    ResultWindowsTest()
    {
        const NodeId root = tree.addRoot(collection::CollectionText(0, 0, 2, 8, 1));
        const NodeId demo =
            tree.appendChild(root, collection::VolumeText("DEMO CD", 0, 0, 1, 6, 1, 1));
        const NodeId rock = tree.appendChild(demo, collection::FolderText("Rock", 0, 0, 0, 3));
        liveAtHome = tree.appendChild(rock, SongText("live at home.mp3", "1"));
        tree.appendChild(rock, SongText("b.mp3", "2"));
        tree.appendChild(rock, SongText("c.mp3"));
        live = tree.appendChild(demo, SongText("Live.mp3", "3"));
        tree.appendChild(demo, SongText("B.mp3"));
        const NodeId second =
            tree.appendChild(root, collection::VolumeText("SECOND", 0, 0, 0, 3, 1, 2));
        tree.appendChild(second, SongText("b.mp3"));
        tree.appendChild(second, SongText("c.mp3"));
    }

    ResultsSource Source(std::string driveRoot = {})
    {
        return {tree, results, table, services, dialogs, wait, lastSaveDir, std::move(driveRoot)};
    }

    search::SearchScope Scope() { return {tree, services, progress, {}, {}, {}}; }

    QString SaveAnswer(const std::string& name) { return QString::fromStdString(dir.file(name)); }

    velmora::testing::TestDir dir;
    collection::CollectionTree tree;
    NodeId liveAtHome = collection::kNoNode;
    NodeId live = collection::kNoNode;
    search::ResultList results;
    texts::TextTable table;
    fakes::FaultyFileSystem files;
    fakes::FakeLocale locale;
    fakes::FakeVolumes volumes;
    fakes::FakeClock clock;
    Services services{files, volumes, locale, clock};
    NoProgress progress;
    FakeUserDialogs dialogs;
    QWidget owner;
    texts::ActiveTexts activeTexts;
    WaitWindow wait{&owner, activeTexts};
    QString lastSaveDir = QStringLiteral("/start/");
};

TEST_F(ResultWindowsTest, ModelShowsTheUsedColumnsAndComputesItsCells)
{
    results.add("4", liveAtHome);
    results.add("7", live);
    ResultsModel model(tree, results, table, "/media/u/AUDIO");
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.ShowAll();
    search::TagCriteria tag;
    tag.texts[collection::kTrack] = " 1 ";
    model.SetTagColumns(tag);
    ASSERT_EQ(model.columnCount(), 3);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Directory"));
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Track"));
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("live at home.mp3"));
    // After a search on a drive the path is the real folder.
    EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("/media/u/AUDIO/Rock/"));
    EXPECT_EQ(model.index(1, 2).data().toString(), QStringLiteral("3"));

    search::PropertyCriteria property;
    property.sampleRate.used = true;
    model.SetPropertyColumns(property);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Sample rate"));
    EXPECT_EQ(model.index(0, 2).data().toString(), QStringLiteral("44100 Hz"));

    model.ShowEntries({1});
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.nodeAt(0), live);
    EXPECT_EQ(model.nodeAt(1), collection::kNoNode);
}

TEST_F(ResultWindowsTest, DoubleClickAndEnterHandTheRowsNodeBack)
{
    search::NameCriteria criteria;
    criteria.text = "live";
    ASSERT_TRUE(search::NameSearch(Scope(), criteria, -1, results).found);
    ASSERT_EQ(results.size(), 2u);

    NodeId handed = collection::kNoNode;
    NameResults clicked(Source(), criteria);
    EXPECT_EQ(clicked.windowTitle(), QStringLiteral("Found: Name (live)"));
    EXPECT_FALSE(wait.isOpen());
    clicked.setNodeChosen([&handed](NodeId node) { handed = node; });
    clicked.show();
    QTableView* list = clicked.controls().list;
    EXPECT_EQ(list->currentIndex().row(), 0);
    const QPoint second = list->visualRect(list->model()->index(1, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(handed, live);
    EXPECT_EQ(clicked.chosenNode(), live);
    EXPECT_FALSE(clicked.isVisible());
    EXPECT_FALSE(clicked.searchAgain());

    NameResults entered(Source(), criteria);
    entered.setNodeChosen([&handed](NodeId node) { handed = node; });
    entered.show();
    QTest::keyClick(entered.controls().list, Qt::Key_Return);
    EXPECT_EQ(handed, liveAtHome);
    EXPECT_FALSE(entered.isVisible());

    NameResults again(Source(), criteria);
    again.show();
    again.controls().search->click();
    EXPECT_TRUE(again.searchAgain());
    EXPECT_EQ(again.chosenNode(), collection::kNoNode);
    EXPECT_FALSE(again.isVisible());
}

TEST_F(ResultWindowsTest, SaveWritesTheSavedListAndCancelWritesNothing)
{
    search::NameCriteria criteria;
    criteria.text = "live";
    ASSERT_TRUE(search::NameSearch(Scope(), criteria, -1, results).found);
    NameResults window(Source(), criteria);

    dialogs.saveAnswers.push_back(QString());
    window.Save();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("Save as"));
    EXPECT_EQ(dialogs.saveRequests[0].folder, QStringLiteral("/start/"));
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("txt"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(lastSaveDir, QStringLiteral("/start/"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    const QString path = SaveAnswer("found.txt");
    dialogs.saveAnswers.push_back(path);
    dialogs.messageAnswers.push_back(1);
    window.Save();
    const std::string expected = search::NameResultsFile(tree, results, criteria, table);
    EXPECT_EQ(velmora::testing::ReadBytes(path.toStdString()), expected);
    EXPECT_EQ(expected, "Found: Name\r\n\r\nText: live\r\nMatch case: No\r\n\r\n"
                        "DEMO CD\\Rock\\live at home.mp3\r\nDEMO CD\\Live.mp3\r\n");
    EXPECT_EQ(lastSaveDir, QString::fromStdString(dir.path().string() + "/"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("The report successfully created in the file: ") + path);
    EXPECT_FALSE(wait.isOpen());

    files.failCreate = true;
    dialogs.saveAnswers.push_back(SaveAnswer("other.txt"));
    dialogs.messageAnswers.push_back(1);
    window.Save();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].icon, MessageIcon::Error);
    EXPECT_EQ(dialogs.messages[1].text,
              QStringLiteral("Can not save in the file: ") + SaveAnswer("other.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("other.txt")));
    EXPECT_EQ(dialogs.unscripted, 0);
}

TEST_F(ResultWindowsTest, DuplicateGroupPickShowsThatGroupsRowsSortedByName)
{
    search::DuplicateCriteria criteria;
    ASSERT_TRUE(search::DuplicateSearch(Scope(), criteria, -1, results).found);
    DuplicatesResults window(Source(), criteria);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Found: Duplicates"));
    QComboBox* groups = window.groups();
    ASSERT_EQ(groups->count(), 2);
    EXPECT_EQ(groups->maxVisibleItems(), 15);
    EXPECT_EQ(groups->itemText(0), QStringLiteral("b.mp3"));
    EXPECT_EQ(groups->itemText(1), QStringLiteral("c.mp3"));

    const ResultsModel& model = window.model();
    const auto row = [&model](int r) {
        return model.index(r, 1).data().toString() + model.index(r, 0).data().toString();
    };
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(window.controls().count->text(), QStringLiteral("Found: 3"));
    EXPECT_EQ(row(0), QStringLiteral("DEMO CD\\B.mp3"));
    EXPECT_EQ(row(1), QStringLiteral("DEMO CD\\Rock\\b.mp3"));
    EXPECT_EQ(row(2), QStringLiteral("SECOND\\b.mp3"));

    groups->setCurrentIndex(1);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(window.controls().count->text(), QStringLiteral("Found: 2"));
    EXPECT_EQ(row(0), QStringLiteral("DEMO CD\\Rock\\c.mp3"));
    EXPECT_EQ(row(1), QStringLiteral("SECOND\\c.mp3"));
    EXPECT_EQ(window.controls().list->currentIndex().row(), 0);

    const QString path = SaveAnswer("duplicates.txt");
    dialogs.saveAnswers.push_back(path);
    window.Save();
    EXPECT_EQ(velmora::testing::ReadBytes(path.toStdString()),
              "Found: Duplicates\r\n\r\nb.mp3\r\nDEMO CD\\Rock\\b.mp3\r\nDEMO CD\\B.mp3\r\n"
              "SECOND\\b.mp3\r\n\r\nc.mp3\r\nDEMO CD\\Rock\\c.mp3\r\nSECOND\\c.mp3\r\n");
}

} // namespace
} // namespace velmora::gui
