// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/reports/ReportDialog.h"

#include "gui/dialogs/ButtonGroups.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/Mnemonics.h"
#include "gui/reports/ReportColumns.h"
#include "texts/TextIds.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace velmora::gui {
namespace {

using reports::ReportFormat;
using reports::ReportScanning;
using texts::TextId;

constexpr std::int32_t Stored(ReportFormat format)
{
    return static_cast<std::int32_t>(format);
}

constexpr std::int32_t Stored(ReportScanning scanning)
{
    return static_cast<std::int32_t>(scanning);
}

struct Choice {
    std::optional<TextId> text; ///< none: the name is the same in every language
    std::int32_t stored;
};

constexpr std::array<Choice, 4> kFormats = {{
    {TextId::TextFormat, Stored(ReportFormat::Text)},
    {TextId::DifFormat, Stored(ReportFormat::Dif)},
    {TextId::HtmlFormat, Stored(ReportFormat::Html)},
    // The table has no text for CSV: the format's own name is used as is.
    {std::nullopt, Stored(ReportFormat::Csv)},
}};

constexpr std::array<Choice, 2> kScannings = {{
    {TextId::AllItemsOption, Stored(ReportScanning::AllItems)},
    {TextId::SelectedOnlyOption, Stored(ReportScanning::SelectedOnly)},
}};

/// A group of choices titled `title`, one radio button per choice with its
/// stored value as id.
template <std::size_t N>
QGroupBox* ChoiceGroup(const texts::TextTable& texts, TextId title,
                       const std::array<Choice, N>& choices, QButtonGroup*& group, QWidget* parent)
{
    auto* box = new QGroupBox(TextOf(texts, title), parent);
    auto* layout = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    for (const Choice& choice : choices) {
        const QString label = choice.text ? TextOf(texts, *choice.text) : QStringLiteral("CSV");
        auto* button = new QRadioButton(label, box);
        group->addButton(button, choice.stored);
        layout->addWidget(button);
    }
    layout->addStretch();
    return box;
}

} // namespace

ReportDialog::ReportDialog(const texts::TextTable& texts, const reports::ReportSettings& report,
                           QWidget* parent)
    : QDialog(parent), report_(report)
{
    setWindowTitle(TextOf(texts, TextId::ReportCommand));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* panels = new QHBoxLayout;
    panels->addWidget(ChoicesPanel(texts));
    panels->addWidget(ColumnsPanel(texts), 1);

    controls_.ok = new QPushButton(TextOf(texts, TextId::OkButton), this);
    controls_.cancel = new QPushButton(TextOf(texts, TextId::CancelButton), this);
    controls_.ok->setDefault(true);
    connect(controls_.ok, &QPushButton::clicked, this, &ReportDialog::Confirm);
    connect(controls_.cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(controls_.ok);
    buttons->addWidget(controls_.cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panels);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ShowSettings();
    for (QCheckBox* row : controls_.rows)
        connect(row, &QCheckBox::toggled, this, &ReportDialog::UpdateOk);
    UpdateOk();
    AssignMnemonics(this);
    controls_.ok->setFocus();
}

QWidget* ReportDialog::ChoicesPanel(const texts::TextTable& texts)
{
    auto* panel = new QWidget(this);

    auto* rows = new QGroupBox(TextOf(texts, TextId::ObjectLabel), panel);
    auto* rowsLayout = new QVBoxLayout(rows);
    const std::array<TextId, 4> rowTexts = {TextId::CollectionMenu, TextId::VolumeLabel,
                                            TextId::FolderLabel, TextId::FileLabel};
    for (std::size_t i = 0; i < rowTexts.size(); ++i) {
        controls_.rows[i] = new QCheckBox(TextOf(texts, rowTexts[i]), rows);
        rowsLayout->addWidget(controls_.rows[i]);
    }
    rowsLayout->addStretch();

    QGroupBox* format =
        ChoiceGroup(texts, TextId::ReportFormatLabel, kFormats, controls_.format, panel);
    QGroupBox* scanning =
        ChoiceGroup(texts, TextId::ScanningTitle, kScannings, controls_.scanning, panel);

    auto* options = new QGroupBox(TextOf(texts, TextId::OptionsGroup), panel);
    controls_.sorting = new QCheckBox(TextOf(texts, TextId::SortAllCommand), options);
    auto* optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(controls_.sorting);
    optionsLayout->addStretch();

    auto* layout = new QGridLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(rows, 0, 0);
    layout->addWidget(format, 0, 1);
    layout->addWidget(scanning, 1, 0);
    layout->addWidget(options, 1, 1);
    return panel;
}

QWidget* ReportDialog::ColumnsPanel(const texts::TextTable& texts)
{
    auto* panel = new QGroupBox(TextOf(texts, TextId::InformationLabel), this);
    controls_.columnsModel = new ReportColumnsModel(texts, report_, this);
    controls_.columns = new ReportColumnList(panel);
    controls_.columns->setModel(controls_.columnsModel);
    // The group's title is the list's label and gives it its Alt letter.
    panel->setFocusProxy(controls_.columns);

    controls_.up = new QPushButton(TextOf(texts, TextId::UpButton), panel);
    controls_.down = new QPushButton(TextOf(texts, TextId::DownButton), panel);
    // Up and Down are pressed again and again; Enter stays with OK.
    controls_.up->setAutoDefault(false);
    controls_.down->setAutoDefault(false);
    connect(controls_.up, &QPushButton::clicked, this, &ReportDialog::MoveUp);
    connect(controls_.down, &QPushButton::clicked, this, &ReportDialog::MoveDown);
    auto* moves = new QHBoxLayout;
    moves->addWidget(controls_.up);
    moves->addWidget(controls_.down);

    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(controls_.columns, 1);
    layout->addLayout(moves);
    return panel;
}

void ReportDialog::ShowSettings()
{
    const std::array<bool, 4> rows = {report_.collectionRow, report_.volumeRows, report_.folderRows,
                                      report_.fileRows};
    for (std::size_t i = 0; i < rows.size(); ++i)
        controls_.rows[i]->setChecked(rows[i]);
    controls_.sorting->setChecked(report_.sorting);
    CheckButtonOf(controls_.format, static_cast<std::int32_t>(report_.format));
    CheckButtonOf(controls_.scanning, static_cast<std::int32_t>(report_.scanning));
}

void ReportDialog::UpdateOk()
{
    controls_.ok->setEnabled(std::any_of(controls_.rows.begin(), controls_.rows.end(),
                                         [](const QCheckBox* row) { return row->isChecked(); }));
}

void ReportDialog::MoveUp()
{
    MoveSelected(-1);
}

void ReportDialog::MoveDown()
{
    MoveSelected(1);
}

void ReportDialog::MoveSelected(int step)
{
    const QModelIndexList selected = controls_.columns->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const int row = selected.front().row();
    if (!controls_.columnsModel->MoveEntry(row, row + step))
        return;
    controls_.columns->setCurrentIndex(controls_.columnsModel->index(row + step));
}

void ReportDialog::Confirm()
{
    if (!controls_.ok->isEnabled())
        return;
    report_.collectionRow = controls_.rows[0]->isChecked();
    report_.volumeRows = controls_.rows[1]->isChecked();
    report_.folderRows = controls_.rows[2]->isChecked();
    report_.fileRows = controls_.rows[3]->isChecked();
    report_.sorting = controls_.sorting->isChecked();
    controls_.columnsModel->StoreInto(report_);
    if (const int scanning = controls_.scanning->checkedId(); scanning > 0)
        report_.scanning = static_cast<ReportScanning>(scanning);
    if (const int format = controls_.format->checkedId(); format > 0)
        report_.format = static_cast<ReportFormat>(format);
    accept();
}

} // namespace velmora::gui
