// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/tags/ItemTag.h"

#include "gui/dialogs/Messages.h"
#include "gui/dialogs/Mnemonics.h"
#include "gui/tags/TagFields.h"
#include "tags/ItemTag.h"
#include "texts/TextIds.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace velmora::gui {

using texts::TextId;

ItemTag::ItemTag(const texts::TextTable& texts, const QString& nodeName, const Fields& fields,
                 QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(TextOf(texts, TextId::TagInfoTitle) + QStringLiteral(": ") + nodeName);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < controls_.fields.size(); ++i) {
        auto* field = new QLineEdit(this);
        // A longer text already stored is not cut by showing it.
        field->setMaxLength(std::max(tags::kItemTagLengths[i], static_cast<int>(fields[i].size())));
        field->setText(fields[i]);
        DropControlCharacters(field);
        auto* label = new QLabel(TextOf(texts, texts::After(TextId::TitleColumn, i)), this);
        label->setBuddy(field);
        form->addRow(label, field);
        controls_.fields[i] = field;
    }
    const TagButtons buttons = MakeTagButtons(texts, this);
    controls_.save = buttons.save;
    controls_.remove = buttons.remove;
    controls_.close = buttons.close;
    connect(controls_.save, &QPushButton::clicked, this, &ItemTag::Confirm);
    connect(controls_.remove, &QPushButton::clicked, this, &ItemTag::RemoveTag);
    connect(controls_.close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons.row);
    resize(420, sizeHint().height());
    AssignMnemonics(this);
    controls_.close->setFocus();
}

ItemTag::Fields ItemTag::fields() const
{
    Fields texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = controls_.fields[i]->text();
    return texts;
}

void ItemTag::Confirm()
{
    confirmed_ = true;
    accept();
}

void ItemTag::RemoveTag()
{
    for (QLineEdit* field : controls_.fields)
        field->clear();
    Confirm();
}

} // namespace velmora::gui
