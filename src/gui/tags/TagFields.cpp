#include "gui/tags/TagFields.h"

#include <QLineEdit>
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

} // namespace velmora::gui
