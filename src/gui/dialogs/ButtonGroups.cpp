// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/ButtonGroups.h"

#include <QAbstractButton>
#include <QButtonGroup>

namespace velmora::gui {

void CheckButtonOf(QButtonGroup* group, int id)
{
    if (QAbstractButton* const button = group->button(id)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its checked button.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

} // namespace velmora::gui
