#pragma once

#include "system/Worker.h"

#include <QDialog>
#include <QTimer>

class QPushButton;
class QVBoxLayout;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The modal window of a long operation on a worker thread (the scan, the
/// report): the subclass's progress lines above a centred Cancel. The
/// progress is read from the worker by a timer, so the window never waits on
/// the worker and the worker never waits on the window. Cancel, Escape and
/// the close box ask the worker to stop; the window closes once the worker
/// has ended, which its end notice tells at once and the timer finds
/// otherwise. At the end the caption becomes "Please wait" and Cancel is
/// disabled.
class WorkerDialog : public QDialog {
    Q_OBJECT
public:
    /// How often the progress is looked at (tests use less).
    void setPollInterval(int milliseconds) { timer_.setInterval(milliseconds); }
    /// Whether the user cancelled the last run.
    bool cancelled() const { return cancelled_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    /// The subclass puts its lines into lines(); Cancel goes below them.
    WorkerDialog(const QString& title, const texts::TextTable& texts, QWidget* parent);

    /// The layout the subclass adds its lines to.
    QVBoxLayout* lines() const { return lines_; }
    /// The end notice to give the worker: it runs on the worker thread and
    /// posts a look at the progress to this window. The subclass stops and
    /// waits for its worker in its destructor.
    Worker::EndNotice EndNotice();
    /// Shows the window modally until the worker has ended.
    void ExecWhileWorking();

    /// Shows the worker's latest progress where it changed; true once the
    /// worker has ended. Also called after the run (a late end notice), when
    /// there may be no worker any more.
    virtual bool ShowProgress() = 0;
    /// Asks the worker, if any, to stop.
    virtual void StopWorker() = 0;

    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Poll();

    const texts::TextTable& texts_;
    QVBoxLayout* lines_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTimer timer_;
    bool cancelled_ = false;
};

} // namespace velmora::gui
