// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QButtonGroup;

namespace velmora::gui {

/// Checks the button of `id` in an exclusive group; an id of no button
/// leaves every button unchecked, so that the group shows no choice.
void CheckButtonOf(QButtonGroup* group, int id);

} // namespace velmora::gui
