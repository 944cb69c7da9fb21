// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/dialogs/ProgressWindow.h"
#include "reports/ReportThread.h"

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The report's progress window: runs one TReportThread and shows its phase
/// ("Process: ..."), the object being read ("Object: ...") and a progress
/// bar, from the task's latest progress.
class ReportProcess : public ProgressWindow {
    Q_OBJECT
public:
    /// The references in `sources` must outlive the window; nothing may
    /// change the tree until Run() returned.
    ReportProcess(const reports::ReportSources& sources, reports::ReportSettings settings,
                  const texts::TextTable& texts, QWidget* parent = nullptr);

    /// Shows the window modally while the report runs; returns how it ended
    /// (cancelled() tells whether the user cancelled).
    [[nodiscard]] reports::ReportOutcome Run();

private:
    const reports::ReportSources sources_;
    const reports::ReportSettings settings_;
};

} // namespace velmora::gui
