// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "system/Worker.h"
#include "texts/TextIds.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <optional>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velmora::texts {
class TextTable;
}

namespace velmora::gui {

/// How often every progress window looks at its task's latest progress.
inline constexpr int kProgressPollMilliseconds = 40;

/// How long a task runs before its window shows the time elapsed.
inline constexpr int kShowElapsedAfterSeconds = 3;

/// The time a task has run as its window shows it: "m:ss" below an hour,
/// "h:mm:ss" from then on (7 s: "0:07"; 3723 s: "1:02:03").
QString ElapsedText(qint64 seconds);

/// What a progress window shows of its task's latest progress.
struct ProgressLayout {
    /// The part of the progress a line shows.
    enum class Part { Title, Phase, Object };
    struct Line {
        Part part = Part::Phase;
        /// The line's label: with `prefixed`, the line always reads the
        /// label, ": " and the part; without, the label and ": " stand until
        /// the part has a text (which then brings its own label).
        std::optional<texts::TextId> label;
        bool prefixed = false;
    };
    std::vector<Line> lines;
    /// Lines of this many "x" wide; 0: the wait window's narrow, centred text
    /// of two lines, wrapped at 25 columns (a single line of the phase).
    int lineWidth = 60;
    /// A bar from the start; else one that shows once a total is known.
    bool barFromStart = false;
    /// With `barFromStart`: the bar shows that work goes on, without a share
    /// done, until a total is known (rather than standing empty).
    bool busyUntilTotal = false;
    bool cancellable = true;
    /// The window's title follows the title of the progress.
    bool titleFollows = false;

    /// The wait window's: the title, and the phase as its text.
    static ProgressLayout Wait(bool cancellable);
};

/// The one window of long work: it starts a task on its worker and shows,
/// modally, its latest progress read on a timer, so that neither waits on
/// the other; the program's other windows are painted meanwhile and take no
/// input. Cancel, Escape and the close box ask the task to stop; the window
/// closes once the task has ended, which the task's end notice tells at
/// once and the timer finds otherwise. At the end the caption becomes
/// "Please wait" and Cancel is disabled. A task that runs longer than
/// kShowElapsedAfterSeconds gets a line below the bar with the time since
/// it started ("Elapsed time: 0:07", see ElapsedText()).
///
/// Shown without a task (Show()), it is the wait window of a short step of
/// the interface thread: painted when the event loop next runs.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    ProgressWindow(const QString& title, ProgressLayout layout, const texts::TextTable& texts,
                   QWidget* parent);
    ~ProgressWindow() override;

    /// Starts `task` and shows the window until it has ended. False when
    /// the user cancelled it, or it could not start (it ran before).
    [[nodiscard]] bool Run(WorkerTask& task);

    /// Sets the text of the first line (the wait window's text).
    void SetText(const QString& text);
    QString text() const;
    QString lineText(int line) const;
    /// The elapsed-time line; empty until the task has run a few seconds.
    QString elapsedText() const;

    /// How often the progress is looked at (tests use less).
    void setPollInterval(int milliseconds) { timer_.setInterval(milliseconds); }
    /// Whether the user cancelled the last run.
    bool cancelled() const { return cancelled_; }
    QPushButton* cancelButton() const { return cancel_; }
    QProgressBar* progressBar() const { return bar_; }

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Poll();
    void ShowProgress(const ProgressSnapshot& latest);
    void ShowElapsed();

    const ProgressLayout layout_;
    const texts::TextTable& texts_;
    std::vector<QLabel*> lines_;
    QProgressBar* bar_ = nullptr;
    QLabel* elapsed_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTimer timer_;
    QElapsedTimer running_;
    qint64 shownSeconds_ = -1;
    WorkerTask* task_ = nullptr;
    ProgressSnapshot shown_;
    bool cancelled_ = false;
};

} // namespace velmora::gui
