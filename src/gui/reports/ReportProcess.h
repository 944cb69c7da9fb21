#pragma once

#include "reports/ReportThread.h"

#include <QDialog>
#include <QTimer>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The report's progress window: runs one TReportThread and shows its phase
/// ("Process: ..."), the object being read ("Object: ...") and a progress
/// bar, read from the worker's latest progress by a timer, so the window
/// never waits on the worker and the worker never waits on the window.
/// Cancel, Escape and the close box ask the report to stop; the window
/// closes once the worker has ended. At the end the caption becomes "Please
/// wait" and Cancel is disabled.
class ReportProcess : public QDialog {
    Q_OBJECT
public:
    /// The references in `sources` must outlive the window; nothing may
    /// change the tree until Run() returned.
    ReportProcess(const reports::ReportSources& sources, reports::ReportSettings settings,
                  const texts::TextTable& texts, QWidget* parent = nullptr);
    ~ReportProcess() override;

    /// Shows the window modally while the report runs; returns how it ended.
    reports::ReportOutcome Run();
    /// Whether the user cancelled (the outcome then tells what was left).
    bool cancelled() const { return cancelled_; }

    /// How often the progress is looked at (tests use less).
    void setPollInterval(int milliseconds) { timer_.setInterval(milliseconds); }

    QPushButton* cancelButton() const { return cancel_; }
    QProgressBar* progressBar() const { return bar_; }

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Poll();

    const reports::ReportSources sources_;
    const reports::ReportSettings settings_;
    const texts::TextTable& texts_;
    std::unique_ptr<reports::TReportThread> worker_;
    ProgressSnapshot shown_;
    bool cancelled_ = false;
    QTimer timer_;
    QLabel* phase_ = nullptr;
    QLabel* object_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace velmora::gui
