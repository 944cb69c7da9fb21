// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/tags/TagFields.h"

#include "gui/dialogs/Messages.h"
#include "texts/TextIds.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

namespace velmora::gui {
namespace {

class NoControlCharacters : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override
    {
        for (qsizetype i = input.size(); i-- > 0;) {
            if (input.at(i).unicode() < 32) {
                input.remove(i, 1);
                if (i < position)
                    --position;
            }
        }
        return Acceptable;
    }
};

} // namespace

void DropControlCharacters(QLineEdit* field)
{
    field->setValidator(new NoControlCharacters(field));
}

TagButtons MakeTagButtons(const texts::TextTable& texts, QWidget* parent)
{
    using texts::TextId;
    TagButtons buttons;
    buttons.save = new QPushButton(TextOf(texts, TextId::SaveButton), parent);
    buttons.remove = new QPushButton(TextOf(texts, TextId::RemoveButton), parent);
    buttons.close = new QPushButton(TextOf(texts, TextId::CloseButton), parent);
    buttons.row = new QHBoxLayout;
    buttons.row->addStretch(1);
    buttons.row->addWidget(buttons.save);
    buttons.row->addWidget(buttons.remove);
    buttons.row->addWidget(buttons.close);
    return buttons;
}

} // namespace velmora::gui
