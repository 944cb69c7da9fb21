// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/help/HelpCommands.h"

#include "Product.h"
#include "gui/app/Application.h"
#include "gui/app/CommandTable.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/ModalFocus.h"
#include "gui/help/About.h"
#include "gui/playback/Launcher.h"
#include "platform/QtText.h"
#include "system/FileSystem.h"
#include "texts/TextTable.h"

namespace velmora::gui {

using texts::TextId;

std::string FeedbackAddress(const texts::TextTable& texts)
{
    std::string address = "mailto:";
    address.append(kMailAddress).append("?subject=").append(kProductName);
    address.append(" ").append(kVersion).append(" (");
    address.append(texts.Text(TextId::LanguageName)).append(")");
    return address;
}

HelpCommands::HelpCommands(const FeatureContext& context)
    : app_(context.app), window_(context.window)
{
}

void HelpCommands::Register(CommandTable& table)
{
    const auto document = [this](std::string_view name) {
        return [this, name](bool) { OpenDocument(name); };
    };
    table.Add({.id = Command::Info,
               .text = TextId::InfoCommand,
               .shortcut = QKeySequence(Qt::Key_F1),
               .handler = document(kInfoDocument)});
    table.Add({.id = Command::History,
               .text = TextId::HistoryCommand,
               .handler = document(kHistoryDocument)});
    table.Add({.id = Command::License,
               .text = TextId::LicenseCommand,
               .handler = document(kLicenseDocument)});
    table.Add({.id = Command::Homepage, .text = TextId::HomepageCommand, .handler = [this](bool) {
                   OpenHomepage();
               }});
    table.Add({.id = Command::Feedback, .text = TextId::FeedbackCommand, .handler = [this](bool) {
                   SendFeedback();
               }});
    table.Add({.id = Command::Donation,
               .text = TextId::DonationCommand,
               .handler = document(kDonationDocument)});
    table.Add({.id = Command::About,
               .text = TextId::AboutCommand,
               .icon = ThemeIcon("help-about", QStyle::SP_MessageBoxInformation),
               .handler = [this](bool) { ShowAbout(); }});
}

void HelpCommands::OpenDocument(std::string_view name)
{
    const std::string path = app_.dataFolder() + std::string(name);
    if (!app_.services().files.fileExists(path)) {
        app_.dialogs().Message(
            ErrorMessage(app_.texts().table(), TextId::CannotOpenFile, platform::NativePath(path)));
        return;
    }
    // Whether a program was found for it is not looked at.
    app_.launcher().Open(path, {});
}

void HelpCommands::OpenHomepage()
{
    app_.launcher().OpenAddress(std::string(kHomepage));
}

void HelpCommands::SendFeedback()
{
    app_.launcher().OpenAddress(FeedbackAddress(app_.texts().table()));
}

void HelpCommands::ShowAbout()
{
    About about(app_, window_);
    ExecModal(about);
}

} // namespace velmora::gui
