#include "gui/app/WaitingCommands.h"

#include "gui/app/CommandTable.h"

namespace velmora::gui {

using texts::TextId;

void WaitingCommands::Register(CommandTable& table)
{
    table.Add({.id = Command::Options,
               .text = TextId::OptionsCommand,
               .icon = ThemeIcon("configure", QStyle::SP_ComputerIcon)});
    table.Add({.id = Command::Info, .text = TextId::InfoCommand});
    table.Add({.id = Command::History, .text = TextId::HistoryCommand});
    table.Add({.id = Command::License, .text = TextId::LicenseCommand});
    table.Add({.id = Command::Homepage, .text = TextId::HomepageCommand});
    table.Add({.id = Command::Feedback, .text = TextId::FeedbackCommand});
    table.Add({.id = Command::Donation, .text = TextId::DonationCommand});
    table.Add({.id = Command::About,
               .text = TextId::AboutCommand,
               .icon = ThemeIcon("help-about", QStyle::SP_MessageBoxInformation)});
}

} // namespace velmora::gui
