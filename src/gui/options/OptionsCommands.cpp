// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/options/OptionsCommands.h"

#include "gui/app/Application.h"
#include "gui/app/CommandTable.h"
#include "gui/dialogs/ModalFocus.h"
#include "gui/options/Options.h"
#include "texts/LanguagePacks.h"

namespace velmora::gui {

OptionsCommands::OptionsCommands(const FeatureContext& context)
    : app_(context.app), window_(context.window)
{
}

void OptionsCommands::Register(CommandTable& table)
{
    table.Add({.id = Command::Options,
               .text = texts::TextId::OptionsCommand,
               .icon = ThemeIcon("configure", QStyle::SP_ComputerIcon),
               .handler = [this](bool) { ShowOptions(); }});
}

bool OptionsCommands::ShowOptions()
{
    const Services& services = app_.services();
    Options options(app_.texts().table(), app_.settings(),
                    texts::ListPacks(services.files, app_.dataFolder(), services.locale),
                    services.files, window_);
    if (ExecModal(options) != QDialog::Accepted)
        return false;
    app_.settings() = options.settings();
    app_.ApplyLanguage();
    return true;
}

} // namespace velmora::gui
