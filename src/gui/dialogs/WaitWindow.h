#pragma once

#include "system/Progress.h"
#include "system/Worker.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;

namespace velmora::gui {

/// The small window that long operations on the interface thread show: a
/// title and a status text of at most two lines, word-wrapped at 25 columns.
/// It has no close box and takes no input. At most one exists at a time.
///
/// It paints synchronously (QWidget::repaint()): the event loop does not
/// run while the operation holds the interface thread, so nothing else is
/// painted and no input is taken until it has ended, and nothing waits.
class WaitWindow {
public:
    /// `owner` is the window it is centred on; it must outlive this object.
    explicit WaitWindow(QWidget* owner);
    ~WaitWindow();
    WaitWindow(const WaitWindow&) = delete;
    WaitWindow& operator=(const WaitWindow&) = delete;

    /// Creates the window with the title and an empty text (replacing one
    /// that is open) and paints it at once. A blocking window takes the
    /// input of every other window of the program while it is open (used
    /// while the event loop runs, see RunInWaitWindow).
    void Show(const QString& title, bool blocking = false);
    /// Sets the wrapped text and paints it at once.
    void SetText(const QString& text);
    /// Closes and destroys the window; nothing happens when none is open.
    void Close();

    bool isOpen() const { return !window_.isNull(); }
    QString title() const;
    QString text() const;

private:
    void Paint();

    QWidget* owner_;
    QPointer<QWidget> window_;
    QLabel* label_ = nullptr;
};

/// Progress of a core operation shown in a wait window: the title opens it,
/// each step's text goes into it. Never cancelled; the caller closes the
/// window when the operation returns.
class WaitProgress : public Progress {
public:
    explicit WaitProgress(WaitWindow& window) : window_(window) {}
    void setTitle(std::string_view title) override;
    void step(std::uint64_t done, std::uint64_t total, std::string_view text) override;
    bool cancelled() const override { return false; }

private:
    WaitWindow& window_;
};

/// Runs `job` on a worker thread while the wait window shows `title` and
/// `text` at once, then the job's latest progress (its title, and its phase
/// as the text), read every 40 ms. The event loop runs meanwhile, so the
/// window is painted and moved as usual, but from before the job starts the
/// window blocks the input of every other window. Returns when the job has
/// ended, with the wait window closed. Whatever the job touches must not be
/// touched by the interface thread until then.
void RunInWaitWindow(WaitWindow& window, const QString& title, const QString& text,
                     Worker::Job job);

} // namespace velmora::gui
