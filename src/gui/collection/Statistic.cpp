// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/collection/Statistic.h"

#include "gui/app/Application.h"
#include "gui/app/CommandTable.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/ModalFocus.h"
#include "platform/QtText.h"
#include "reports/Statistic.h"
#include "system/Locale.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::gui {
namespace {
using texts::TextId;
} // namespace

Statistic::Statistic(std::string_view rootText, const texts::TextTable& texts,
                     std::string_view decimalSeparator, std::string_view dateSeparator,
                     QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(TextOf(texts, TextId::StatisticsCommand));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const auto rows = reports::StatisticRows(rootText, texts, decimalSeparator, dateSeparator);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    for (int i = 0; i < 6; ++i) {
        const auto& row = rows[static_cast<std::size_t>(i)];
        captions_[i] = new QLabel(platform::ToQString(row.caption), this);
        values_[i] = new QLabel(platform::ToQString(row.value), this);
        values_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        values_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(captions_[i], i, 0);
        grid->addWidget(values_[i], i, 1);
    }
    auto* ok = new QPushButton(TextOf(texts, TextId::OkButton), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString Statistic::caption(int row) const
{
    return captions_[row]->text();
}

QString Statistic::value(int row) const
{
    return values_[row]->text();
}

void StatisticCommand::Register(CommandTable& table)
{
    table.Add({.id = Command::Statistics,
               .text = TextId::StatisticsCommand,
               .icon = ThemeIcon("view-statistics", QStyle::SP_FileDialogInfoView),
               .handler = [&application = app_, parent = window_](bool) {
                   const collection::CollectionTree& tree = application.store().tree();
                   const Locale& locale = application.services().locale;
                   Statistic window(tree.text(tree.root()), application.texts().table(),
                                    locale.decimalSeparator(), locale.dateSeparator(), parent);
                   ExecModal(window);
               }});
}

} // namespace velmora::gui
