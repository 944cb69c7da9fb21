#pragma once

#include "system/Progress.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <chrono>

class QLabel;

namespace velmora::gui {

/// The small window that long operations on the interface thread show: a
/// title and a status text of at most two lines, word-wrapped at 25 columns.
/// It has no close box and takes no input. At most one exists at a time.
class WaitWindow {
public:
    /// `owner` is the window it is centred on; it must outlive this object.
    explicit WaitWindow(QWidget* owner);
    ~WaitWindow();
    WaitWindow(const WaitWindow&) = delete;
    WaitWindow& operator=(const WaitWindow&) = delete;

    /// How long SetText() holds the calling thread so that each step can be
    /// read: 200 ms unless set otherwise (tests and the screenshot use 0).
    void setPause(std::chrono::milliseconds pause) { pause_ = pause; }
    std::chrono::milliseconds pause() const { return pause_; }

    /// Creates the window with the title and an empty text (replacing one
    /// that is open) and paints it at once.
    void Show(const QString& title);
    /// Sets the wrapped text, paints it at once and pauses.
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
    std::chrono::milliseconds pause_{200};
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

} // namespace velmora::gui
