#pragma once

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
class ReportCommands {
public:
    /// Everything passed must outlive the commands; `window` is the parent
    /// of the dialogs, `lastSaveDir` the folder the save dialogs share.
    ReportCommands(Application& app, QString& lastSaveDir, QWidget* window);

    /// The whole command; returns when its last window has closed.
    void Report();

private:
    /// The save dialog; an empty path when it was cancelled.
    QString ChooseFile(reports::ReportSettings& report);

    Application& app_;
    QString& lastSaveDir_;
    QWidget* window_;
};

/// Registers the Report command (Collection menu, tool button), enabled
/// while the collection holds a volume.
void RegisterReportCommands(CommandTable& table, ReportCommands& commands);

} // namespace velmora::gui
