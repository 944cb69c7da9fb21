#pragma once

#include "scan/ScanThread.h"

#include <QDialog>
#include <QTimer>
#include <memory>

class QLabel;
class QPushButton;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The scan window: runs one TScanThread over the collection tree and shows
/// its three progress lines (volume, folder, file: the title, phase and
/// object of the worker's latest progress), read by a timer, so the window
/// never waits on the worker. Cancel, Escape and the close box ask the worker
/// to stop; the window closes once the worker has ended, which the worker's
/// end notice tells at once and the timer finds otherwise. At the end the
/// caption becomes "Please wait" and Cancel is disabled.
class ScanDialog : public QDialog {
    Q_OBJECT
public:
    /// Nothing may touch `tree` until Run() returned.
    ScanDialog(collection::CollectionTree& tree, const Services& services,
               scan::ScanRequest request, const texts::TextTable& texts, QWidget* parent = nullptr);
    ~ScanDialog() override;

    /// Shows the window modally while the worker scans. False when the user
    /// cancelled.
    bool Run();
    const scan::ScanOutcome& outcome() const { return outcome_; }

    /// How often the progress lines are looked at (tests use less).
    void setPollInterval(int milliseconds) { timer_.setInterval(milliseconds); }

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Poll();

    collection::CollectionTree& tree_;
    const Services services_;
    const scan::ScanRequest request_;
    const texts::TextTable& texts_;
    std::unique_ptr<scan::TScanThread> worker_;
    scan::ScanOutcome outcome_;
    ProgressSnapshot shown_;
    bool cancelled_ = false;
    QTimer timer_;
    QLabel* volume_ = nullptr;
    QLabel* folder_ = nullptr;
    QLabel* file_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace velmora::gui
