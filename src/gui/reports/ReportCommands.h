// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/app/Feature.h"

#include <QString>

class QWidget;

namespace velmora::reports {
struct ReportSettings;
}

namespace velmora::gui {

class Application;
class CommandTable;

/// The Report command: the report dialog, the save dialog for the chosen
/// format, the test of the path, the report in its progress window and the
/// message that tells how it ended. The report settings live in the
/// application's settings record; a cancelled save dialog keeps what the
/// report dialog confirmed. "Selected only" reports the nodes carrying the
/// Selected mark of the main window.
class ReportCommands : public Feature {
public:
    explicit ReportCommands(const FeatureContext& context);

    /// The Report command (Collection menu, tool button), enabled while the
    /// collection holds a volume.
    void Register(CommandTable& table) override;

    /// The whole command; returns when its last window has closed.
    void Report();

private:
    /// The save dialog; an empty path when it was cancelled.
    QString ChooseFile(reports::ReportSettings& report);

    Application& app_;
    QString& lastSaveDir_;
    QWidget* window_;
};

} // namespace velmora::gui
