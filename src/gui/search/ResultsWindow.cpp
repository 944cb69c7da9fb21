// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/ResultsWindow.h"

#include "gui/collection/CollectionCommands.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/Mnemonics.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/dialogs/WaitWindow.h"
#include "gui/search/ResultsModel.h"
#include "platform/QtText.h"
#include "system/FileSystem.h"
#include "system/Services.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace velmora::gui {

using texts::TextId;

namespace {

/// The rows whose texts decide the widths of the columns.
constexpr int kRowsMeasured = 200;

} // namespace

ResultsWindow::ResultsWindow(const ResultsSource& source, const QString& title, QWidget* parent)
    : QDialog(parent), source_(source)
{
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    model_ = new ResultsModel(source.tree, source.results, source.texts, source.driveRoot, this);

    auto* list = new QTableView(this);
    list->setModel(model_);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->setWordWrap(false);
    list->setShowGrid(false);
    list->verticalHeader()->hide();
    // Fixed rows: a list of a million rows never asks each row its height.
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 6);
    // Column widths fit the first rows, not every row.
    list->horizontalHeader()->setResizeContentsPrecision(kRowsMeasured);
    list->horizontalHeader()->setSectionsClickable(false);
    list->horizontalHeader()->setStretchLastSection(true);
    list->installEventFilter(this);
    connect(list, &QAbstractItemView::doubleClicked, this, [this] { ChooseSelected(); });
    controls_.list = list;

    const texts::TextTable& texts = source.texts;
    controls_.close = new QPushButton(TextOf(texts, TextId::CloseButton), this);
    controls_.save = new QPushButton(TextOf(texts, TextId::SaveButton), this);
    controls_.search = new QPushButton(TextOf(texts, TextId::SearchMenu), this);
    connect(controls_.close, &QPushButton::clicked, this, &QDialog::reject);
    connect(controls_.save, &QPushButton::clicked, this, &ResultsWindow::Save);
    connect(controls_.search, &QPushButton::clicked, this, [this] {
        searchAgain_ = true;
        reject();
    });

    controls_.count = new QLabel(this);
    connect(model_, &QAbstractItemModel::modelReset, this, &ResultsWindow::ShowRowCount);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &ResultsWindow::ShowRowCount);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &ResultsWindow::ShowRowCount);
    ShowRowCount();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(controls_.count);
    buttons->addStretch(1);
    buttons->addWidget(controls_.close);
    buttons->addWidget(controls_.save);
    buttons->addWidget(controls_.search);
    layout_ = new QVBoxLayout(this);
    layout_->addWidget(list, 1);
    layout_->addLayout(buttons);
    AssignMnemonics(this);
    // The list takes the keys at once: arrows move, Enter chooses, Escape
    // closes.
    list->setFocus();
    resize(640, 420);
}

ResultsWindow::~ResultsWindow() = default;

QString ResultsWindow::FoundTitle(const texts::TextTable& texts, TextId what)
{
    return TextOf(texts, TextId::FoundLabel) + QStringLiteral(": ") + TextOf(texts, what);
}

void ResultsWindow::ShowRowCount()
{
    // The model's texts, like the headings: the window keeps one language.
    controls_.count->setText(TextOf(model_->texts(), TextId::FoundLabel) + QStringLiteral(": ") +
                             QString::number(model_->rowCount()));
}

void ResultsWindow::AddAboveList(QWidget* widget)
{
    layout_->insertWidget(layout_->indexOf(controls_.list), widget);
}

void ResultsWindow::SelectFirstRow()
{
    // The columns before the last fit their texts, the name at most half
    // the list's width; the last takes the rest.
    QTableView* list = controls_.list;
    for (int column = 0; column + 1 < model_->columnCount(); ++column) {
        list->resizeColumnToContents(column);
        if (column == 0)
            list->setColumnWidth(0, std::min(list->columnWidth(0), width() / 2));
    }
    if (model_->rowCount() == 0)
        return;
    controls_.list->setCurrentIndex(model_->index(0, 0));
    controls_.list->selectRow(0);
}

void ResultsWindow::ShowBuildingWait()
{
    source_.wait.Show(TextOf(source_.texts, TextId::BuildingTitle));
    source_.wait.SetText(platform::ToQString(source_.texts.Step(TextId::PleaseWaitStep)));
}

void ResultsWindow::CloseWait()
{
    source_.wait.Close();
}

void ResultsWindow::ChooseSelected()
{
    const QModelIndexList selected = controls_.list->selectionModel()->selectedRows();
    chosenNode_ = selected.isEmpty() ? collection::kNoNode : model_->nodeAt(selected.front().row());
    accept();
    if (chosenNode_ != collection::kNoNode && nodeChosen_)
        nodeChosen_(chosenNode_);
}

bool ResultsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == controls_.list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (!controls_.list->selectionModel()->selectedRows().isEmpty())
                ChooseSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ResultsWindow::Save()
{
    const texts::TextTable& texts = source_.texts;
    FileRequest request;
    request.title = TextOf(texts, TextId::SaveAsCommand);
    request.folder = source_.lastSaveDir;
    request.filter = TextOf(texts, TextId::TextFormat) + QStringLiteral(" (*.txt)");
    request.defaultSuffix = QStringLiteral("txt");
    const QString path = source_.dialogs.SaveFileName(request);
    if (path.isEmpty())
        return;
    source_.lastSaveDir = FolderOf(path);
    if (RefuseCollectionFile(path, source_.collectionPath, source_.services.files, source_.dialogs,
                             texts))
        return;

    source_.wait.Show(TextOf(texts, TextId::SavingTitle));
    source_.wait.SetText(platform::ToQString(texts.Step(TextId::PleaseWaitStep)));
    const std::string bytes = SavedText();
    // Written through a replacement, so a failure leaves an existing file
    // as it was.
    WriteError error = WriteError::None;
    const std::unique_ptr<OutputFile> file =
        source_.services.files.createReplacement(QFile::encodeName(path).toStdString(), error);
    const bool saved = file && file->write(bytes) && file->flush() && file->commit();
    source_.wait.Close();
    if (saved) {
        source_.dialogs.Message(InformationMessage(texts, TextId::ReportCreated, path));
        return;
    }
    source_.dialogs.Message(CannotSaveMessage(texts, path, ReasonTextOf(error)));
}

} // namespace velmora::gui
