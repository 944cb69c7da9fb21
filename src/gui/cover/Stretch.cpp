// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/cover/Stretch.h"

#include "gui/dialogs/Messages.h"
#include "gui/dialogs/Mnemonics.h"
#include "texts/TextIds.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace velmora::gui {

using texts::TextId;

namespace {

constexpr int kMaxLabelLength = 30;

QSpinBox* StretchBox(int value, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(cover::kMinStretch, cover::kMaxStretch);
    box->setSingleStep(1);
    box->setSuffix(QStringLiteral(" %"));
    box->setValue(std::clamp(value, cover::kMinStretch, cover::kMaxStretch));
    // Only the arrows change it: its text cannot be typed over.
    if (auto* edit = box->findChild<QLineEdit*>())
        edit->setReadOnly(true);
    return box;
}

} // namespace

Stretch::Stretch(const texts::TextTable& texts, const cover::CoverOptions& options, QWidget* parent)
    : QDialog(parent), options_(options)
{
    setWindowTitle(TextOf(texts, TextId::OptionsGroup));

    auto* misc = new QGroupBox(TextOf(texts, TextId::MiscellaneousGroup), this);
    controls_.numeration = new QCheckBox(TextOf(texts, TextId::NumberDirectories), misc);
    controls_.numeration->setChecked(options.numeration);
    controls_.addDate = new QCheckBox(TextOf(texts, TextId::AddCurrentDate), misc);
    controls_.addDate->setChecked(options.addDate);
    controls_.customLabel = new QCheckBox(TextOf(texts, TextId::CdLabelLabel), misc);
    controls_.customLabel->setChecked(options.customLabel);
    controls_.labelText = new QLineEdit(QString::fromUtf8(options.labelText), misc);
    controls_.labelText->setMaxLength(kMaxLabelLength);
    controls_.labelText->setEnabled(options.customLabel);
    connect(controls_.customLabel, &QCheckBox::toggled, controls_.labelText,
            &QLineEdit::setEnabled);
    auto* miscLayout = new QVBoxLayout(misc);
    miscLayout->addWidget(controls_.numeration);
    miscLayout->addWidget(controls_.addDate);
    miscLayout->addWidget(controls_.customLabel);
    miscLayout->addWidget(controls_.labelText);

    auto* stretch = new QGroupBox(TextOf(texts, TextId::StretchOption), this);
    controls_.horizontal = StretchBox(options.horizontalStretch, stretch);
    controls_.vertical = StretchBox(options.verticalStretch, stretch);
    auto* stretchLayout = new QFormLayout(stretch);
    stretchLayout->addRow(TextOf(texts, TextId::HorizontalOption), controls_.horizontal);
    stretchLayout->addRow(TextOf(texts, TextId::VerticalOption), controls_.vertical);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(TextOf(texts, TextId::OkButton), QDialogButtonBox::AcceptRole)
        ->setDefault(true);
    buttons->addButton(TextOf(texts, TextId::CancelButton), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &Stretch::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &Stretch::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(misc);
    layout->addWidget(stretch);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    AssignMnemonics(this);
}

void Stretch::accept()
{
    options_.numeration = controls_.numeration->isChecked();
    options_.addDate = controls_.addDate->isChecked();
    options_.customLabel = controls_.customLabel->isChecked();
    options_.labelText = controls_.labelText->text().toStdString();
    options_.horizontalStretch = controls_.horizontal->value();
    options_.verticalStretch = controls_.vertical->value();
    QDialog::accept();
}

} // namespace velmora::gui
