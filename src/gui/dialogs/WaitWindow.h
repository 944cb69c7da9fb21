// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/Progress.h"
#include "system/Worker.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace velmora::texts {
class ActiveTexts;
}

namespace velmora::gui {

class ProgressWindow;

/// The wait window of the main window: a progress window (see
/// ProgressWindow::Wait()) with a title and a text of at most two lines,
/// word-wrapped at 25 columns. At most one is open at a time.
///
/// Run() shows it modally while a job runs on a worker; Show() opens it
/// without one, for a short step on the interface thread, and Close() ends
/// that.
class WaitWindow {
public:
    /// `owner` is the window it is centred on; both must outlive this object.
    WaitWindow(QWidget* owner, const texts::ActiveTexts& texts);
    ~WaitWindow();
    WaitWindow(const WaitWindow&) = delete;
    WaitWindow& operator=(const WaitWindow&) = delete;

    /// Runs `job` on a worker while the window shows `title` and `text`,
    /// then the job's latest progress (its title, its phase as the text, a
    /// bar once it tells a total). The program's other windows are painted
    /// meanwhile and take no input. With `cancellable` the window has a
    /// Cancel button, which asks the job to stop. Returns when the job has
    /// ended; false when it was cancelled. Whatever the job touches must not
    /// be touched by the interface thread until then. A job that runs more
    /// than a few seconds gets the time elapsed below its text (see
    /// ProgressWindow).
    bool Run(const QString& title, const QString& text, Worker::Job job, bool cancellable = false);

    /// Opens the window with the title and an empty text (replacing one
    /// that is open), for a step of the interface thread.
    void Show(const QString& title);
    /// Sets the wrapped text.
    void SetText(const QString& text);
    /// Closes and destroys the window; nothing happens when none is open.
    void Close();

    bool isOpen() const { return !window_.isNull(); }
    QString title() const;
    QString text() const;

private:
    QWidget* owner_;
    const texts::ActiveTexts& texts_;
    QPointer<ProgressWindow> window_;
};

/// Progress of a core operation on the interface thread shown in a wait
/// window: the title opens it, each step's text goes into it. Never
/// cancelled; the caller closes the window when the operation returns.
class WaitProgress : public Progress {
public:
    explicit WaitProgress(WaitWindow& window) : window_(window) {}
    void setTitle(std::string_view title) override;
    void step(std::uint64_t done, std::uint64_t total, std::string_view text) override;
    bool cancelled() const override { return false; }

private:
    WaitWindow& window_;
};

} // namespace velmora::gui
