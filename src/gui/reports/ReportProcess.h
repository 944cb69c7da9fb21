#pragma once

#include "gui/dialogs/WorkerDialog.h"
#include "reports/ReportThread.h"

#include <memory>

class QLabel;
class QProgressBar;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The report's progress window: runs one TReportThread and shows its phase
/// ("Process: ..."), the object being read ("Object: ...") and a progress
/// bar, from the worker's latest progress; see WorkerDialog for Cancel and
/// the end.
class ReportProcess : public WorkerDialog {
    Q_OBJECT
public:
    /// The references in `sources` must outlive the window; nothing may
    /// change the tree until Run() returned.
    ReportProcess(const reports::ReportSources& sources, reports::ReportSettings settings,
                  const texts::TextTable& texts, QWidget* parent = nullptr);
    ~ReportProcess() override;

    /// Shows the window modally while the report runs; returns how it ended
    /// (cancelled() tells whether the user cancelled).
    reports::ReportOutcome Run();

    QProgressBar* progressBar() const { return bar_; }

protected:
    bool ShowProgress() override;
    void StopWorker() override;

private:
    const reports::ReportSources sources_;
    const reports::ReportSettings settings_;
    std::unique_ptr<reports::TReportThread> worker_;
    ProgressSnapshot shown_;
    QLabel* phase_ = nullptr;
    QLabel* object_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

} // namespace velmora::gui
