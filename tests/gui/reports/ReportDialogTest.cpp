// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/reports/ReportDialog.h"

#include "gui/reports/ReportColumns.h"
#include "texts/TextTable.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QMimeData>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace velmora::gui {
namespace {

using reports::ReportFormat;
using reports::ReportScanning;
using reports::ReportSettings;

std::vector<int> ListedIds(const ReportDialog& dialog)
{
    std::vector<int> ids;
    const ReportColumnsModel* model = dialog.controls().columnsModel;
    for (int row = 0; row < model->rowCount(); ++row)
        ids.push_back(model->idAt(row));
    return ids;
}

void Select(const ReportDialog& dialog, int row)
{
    dialog.controls().columns->setCurrentIndex(dialog.controls().columnsModel->index(row));
}

QPoint CentreOf(const ReportDialog& dialog, int row)
{
    const ReportColumnList* list = dialog.controls().columns;
    return list->visualRect(dialog.controls().columnsModel->index(row)).center();
}

void SendDrag(QWidget* viewport, QEvent::Type type, QPoint at, const QMimeData* data)
{
    if (type == QEvent::Drop) {
        QDropEvent drop(at, Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
    } else if (type == QEvent::DragEnter) {
        QDragEnterEvent enter(at, Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
    } else {
        QDragMoveEvent move(at, Qt::MoveAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
    }
}

// Entries move with their ids and check marks by Up, Down and a live drag;
// OK writes the order and the marks, and the next opening lists them so.
TEST(ReportDialogTest, ReorderedColumnsAreKeptByOk)
{
    const texts::TextTable table;
    const ReportSettings stored;
    ReportDialog dialog(table, stored);
    const auto& c = dialog.controls();
    QAbstractItemModelTester tester(c.columnsModel,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    dialog.show();
    ASSERT_EQ(ListedIds(dialog),
              (std::vector<int>{1, 2, 3, 13, 14, 15, 16, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(c.columnsModel->index(7).data().toString(), QStringLiteral("Sample rate"));
    EXPECT_EQ(c.columnsModel->index(11).data().toString(), QStringLiteral("ID3-Tag: Artist"));

    Select(dialog, 0);
    c.up->click();
    c.down->click();
    Select(dialog, 15);
    c.down->click();
    c.up->click();
    EXPECT_EQ(ListedIds(dialog),
              (std::vector<int>{2, 1, 3, 13, 14, 15, 16, 4, 5, 6, 7, 8, 9, 10, 12, 11}));
    EXPECT_EQ(c.columns->currentIndex().row(), 14);

    // Press on "Volume" (id 16), drag it over the entry two rows up, then
    // over the one above that: the list follows the pointer.
    QWidget* viewport = c.columns->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, CentreOf(dialog, 6));
    const std::unique_ptr<QMimeData> data(c.columnsModel->mimeData({c.columnsModel->index(6)}));
    SendDrag(viewport, QEvent::DragEnter, CentreOf(dialog, 6), data.get());
    SendDrag(viewport, QEvent::DragMove, CentreOf(dialog, 4), data.get());
    EXPECT_EQ(c.columnsModel->idAt(4), 16);
    SendDrag(viewport, QEvent::DragMove, CentreOf(dialog, 3), data.get());
    SendDrag(viewport, QEvent::Drop, CentreOf(dialog, 3), data.get());
    EXPECT_EQ(c.columns->currentIndex().row(), 3);
    // Nothing is recorded after the drop: a further drag is refused.
    SendDrag(viewport, QEvent::DragMove, CentreOf(dialog, 0), data.get());
    EXPECT_EQ(c.columnsModel->idAt(3), 16);

    c.columnsModel->setData(c.columnsModel->index(0), Qt::Unchecked, Qt::CheckStateRole);
    c.columnsModel->setData(c.columnsModel->index(8), Qt::Checked, Qt::CheckStateRole);
    c.ok->click();

    ReportSettings expected = stored;
    expected.columnOrder = {2, 1, 3, 16, 13, 14, 15, 4, 5, 6, 7, 8, 9, 10, 12, 11};
    expected.columnEnabled = {true,  false, true,  false, true,  false, false, false,
                              false, false, false, false, false, false, false, true};
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.report() == expected);

    const ReportDialog next(table, dialog.report());
    EXPECT_EQ(ListedIds(next),
              (std::vector<int>{2, 1, 3, 16, 13, 14, 15, 4, 5, 6, 7, 8, 9, 10, 12, 11}));
    EXPECT_EQ(next.controls().columnsModel->index(3).data(Qt::CheckStateRole), Qt::Checked);
    EXPECT_EQ(next.controls().columnsModel->index(0).data(Qt::CheckStateRole), Qt::Unchecked);
}

TEST(ReportDialogTest, CancelAndEscapeLeaveTheSettings)
{
    const texts::TextTable table;
    ReportSettings stored;
    stored.format = ReportFormat::Dif;
    stored.lastReportFile = "/tmp/old.dif";
    for (const bool escape : {false, true}) {
        ReportDialog dialog(table, stored);
        const auto& c = dialog.controls();
        dialog.show();
        c.rows[0]->setChecked(true);
        c.format->button(4)->setChecked(true);
        c.scanning->button(2)->setChecked(true);
        c.sorting->setChecked(false);
        Select(dialog, 2);
        c.up->click();
        c.columnsModel->setData(c.columnsModel->index(5), Qt::Checked, Qt::CheckStateRole);
        if (escape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            c.cancel->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(dialog.report() == stored);
    }
}

// A stored format or scanning that no choice stands for selects none, and
// OK keeps it; CSV is stored as format 4.
TEST(ReportDialogTest, StoredValuesOutOfRangeAreKept)
{
    const texts::TextTable table;
    ReportSettings stored;
    stored.format = static_cast<ReportFormat>(5);
    stored.scanning = static_cast<ReportScanning>(0);
    ReportDialog dialog(table, stored);
    EXPECT_EQ(dialog.controls().format->checkedId(), -1);
    EXPECT_EQ(dialog.controls().scanning->checkedId(), -1);
    dialog.controls().ok->click();
    EXPECT_EQ(static_cast<int>(dialog.report().format), 5);
    EXPECT_EQ(static_cast<int>(dialog.report().scanning), 0);

    stored.format = static_cast<ReportFormat>(4);
    stored.scanning = ReportScanning::SelectedOnly;
    ReportDialog csv(table, stored);
    EXPECT_EQ(csv.controls().format->checkedButton()->text().remove(u'&'), QStringLiteral("CSV"));
    EXPECT_EQ(csv.controls().scanning->checkedId(), 2);
    csv.controls().format->button(3)->setChecked(true);
    csv.controls().scanning->button(1)->setChecked(true);
    csv.controls().ok->click();
    EXPECT_EQ(csv.report().format, ReportFormat::Html);
    EXPECT_EQ(csv.report().scanning, ReportScanning::AllItems);
}

TEST(ReportDialogTest, OkNeedsAKindOfRow)
{
    const texts::TextTable table;
    ReportSettings stored;
    stored.folderRows = false;
    ReportDialog dialog(table, stored);
    const auto& c = dialog.controls();
    dialog.show();
    EXPECT_FALSE(c.ok->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    for (QCheckBox* row : c.rows) {
        row->click();
        EXPECT_TRUE(c.ok->isEnabled());
        row->click();
        EXPECT_FALSE(c.ok->isEnabled());
    }
    c.rows[3]->click();
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.report().fileRows);
}

// Every control is reached by its own Alt letter; the column list by the
// title of its group.
TEST(ReportDialogTest, EveryControlHasItsOwnAltLetter)
{
    const texts::TextTable table;
    ReportDialog dialog(table, ReportSettings{});
    QSet<QChar> taken;
    const auto take = [&taken](const QString& text) {
        const qsizetype at = text.indexOf(u'&');
        ASSERT_TRUE(at >= 0 && at + 1 < text.size()) << text.toStdString();
        EXPECT_FALSE(taken.contains(text[at + 1].toUpper())) << text.toStdString();
        taken.insert(text[at + 1].toUpper());
    };
    const QList<QAbstractButton*> buttons = dialog.findChildren<QAbstractButton*>();
    for (const QAbstractButton* button : buttons)
        take(button->text());
    const auto* group = qobject_cast<QGroupBox*>(dialog.controls().columns->parentWidget());
    ASSERT_NE(group, nullptr);
    take(group->title());
    EXPECT_EQ(buttons.size() + 1, 16);

    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, group->title()[group->title().indexOf(u'&') + 1].toLower().unicode(),
                    Qt::AltModifier);
    EXPECT_TRUE(dialog.controls().columns->hasFocus());
}

} // namespace
} // namespace velmora::gui
