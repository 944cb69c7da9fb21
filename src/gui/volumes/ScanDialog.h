#pragma once

#include "gui/dialogs/WorkerDialog.h"
#include "scan/ScanThread.h"

#include <memory>

class QLabel;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The scan window: runs one TScanThread over the collection tree and shows
/// its three progress lines (volume, folder, file: the title, phase and
/// object of the worker's latest progress); see WorkerDialog for Cancel and
/// the end.
class ScanDialog : public WorkerDialog {
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

protected:
    bool ShowProgress() override;
    void StopWorker() override;

private:
    collection::CollectionTree& tree_;
    const Services services_;
    const scan::ScanRequest request_;
    const texts::TextTable& texts_;
    std::unique_ptr<scan::TScanThread> worker_;
    scan::ScanOutcome outcome_;
    ProgressSnapshot shown_;
    QLabel* volume_ = nullptr;
    QLabel* folder_ = nullptr;
    QLabel* file_ = nullptr;
};

} // namespace velmora::gui
