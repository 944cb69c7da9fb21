// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/app/Feature.h"

#include <string>
#include <string_view>

class QWidget;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

class Application;

/// The names of the help documents in the program's data folder.
inline constexpr std::string_view kInfoDocument = "info.txt";
inline constexpr std::string_view kHistoryDocument = "history.txt";
inline constexpr std::string_view kLicenseDocument = "license.txt";
inline constexpr std::string_view kDonationDocument = "donation.txt";

/// The feedback mail's address: "mailto:", the mail address, "?subject=",
/// the product's name and version and, in brackets, the language of the
/// active texts (text 000).
std::string FeedbackAddress(const texts::TextTable& texts);

/// The commands of the help menu: the four documents (Info also on F1),
/// the homepage, the feedback mail and the About box (also a tool button).
/// Documents and addresses go to the desktop's opener, which is not waited
/// for; a document that is missing is told with its path.
class HelpCommands : public Feature {
public:
    explicit HelpCommands(const FeatureContext& context);

    void Register(CommandTable& table) override;

    /// Opens the data folder's document `name`.
    void OpenDocument(std::string_view name);
    void OpenHomepage();
    void SendFeedback();
    /// Shows the About box; returns once it has closed.
    void ShowAbout();

private:
    Application& app_;
    QWidget* window_;
};

} // namespace velmora::gui
