// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/cover/CoverCommands.h"

#include "gui/app/CommandTable.h"
#include "gui/cover/PrintCover.h"
#include "gui/dialogs/ModalFocus.h"

namespace velmora::gui {

CoverCommands::CoverCommands(const FeatureContext& context)
    : app_(context.app), window_(context.window)
{
}

void CoverCommands::Register(CommandTable& table)
{
    table.Add({.id = Command::CdCover,
               .text = texts::TextId::CdCoverCommand,
               .shortcut = QKeySequence(Qt::CTRL | Qt::Key_C),
               .icon = ThemeIcon("document-print", QStyle::SP_DriveCDIcon),
               .handler = [this](bool) { ShowCover(); }});
}

void CoverCommands::ShowCover()
{
    PrintCover cover(app_, window_);
    ExecModal(cover);
}

} // namespace velmora::gui
