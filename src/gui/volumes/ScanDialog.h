// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/dialogs/ProgressWindow.h"
#include "scan/ScanThread.h"

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// The scan's progress window: runs one TScanThread over the collection
/// tree and shows its three lines (volume, folder, file: the title, phase
/// and object of the task's latest progress), and a bar of the files
/// analysed of the files found, busy while they are counted.
class ScanDialog : public ProgressWindow {
    Q_OBJECT
public:
    /// Nothing may touch `tree` until Run() returned.
    ScanDialog(collection::CollectionTree& tree, const Services& services,
               scan::ScanRequest request, const texts::TextTable& texts, QWidget* parent = nullptr);

    /// Shows the window modally while the task scans. False when the user
    /// cancelled.
    [[nodiscard]] bool Run();
    const scan::ScanOutcome& outcome() const { return outcome_; }

private:
    collection::CollectionTree& tree_;
    const Services services_;
    const scan::ScanRequest request_;
    scan::ScanOutcome outcome_;
};

} // namespace velmora::gui
