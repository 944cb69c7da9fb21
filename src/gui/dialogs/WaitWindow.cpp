#include "gui/dialogs/WaitWindow.h"

#include "gui/dialogs/WordWrap.h"
#include "platform/QtText.h"

#include <QEventLoop>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora::gui {

WaitWindow::WaitWindow(QWidget* owner) : owner_(owner) {}

WaitWindow::~WaitWindow()
{
    Close();
}

void WaitWindow::Show(const QString& title, bool blocking)
{
    Close();
    // A dialog-type window with a title but without system buttons: it
    // cannot be closed by the user.
    auto* window = new QWidget(owner_, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setWindowTitle(title);
    window->setWindowModality(blocking ? Qt::ApplicationModal : Qt::NonModal);
    auto* layout = new QVBoxLayout(window);
    label_ = new QLabel(window);
    label_->setAlignment(Qt::AlignCenter);
    label_->setTextFormat(Qt::PlainText);
    const QFontMetrics metrics(label_->font());
    label_->setFixedSize(metrics.horizontalAdvance(QString(kWaitWrapColumns + 2, u'M')) * 2 / 3,
                         metrics.lineSpacing() * 2 + 4);
    layout->addWidget(label_);
    window->setFixedSize(window->sizeHint());
    if (owner_ != nullptr) {
        const QRect frame = owner_->frameGeometry();
        window->move(frame.center() - window->rect().center());
    }
    window_ = window;
    window->show();
    // show() has asked the window system to map the window. Qt paints it only
    // once the first expose event has come through the event loop, which does
    // not run until the operation has ended: it is taken as mapped now.
    window->setAttribute(Qt::WA_Mapped);
    Paint();
}

void WaitWindow::SetText(const QString& text)
{
    if (window_.isNull())
        return;
    label_->setText(
        WrapText(text, kWaitWrapColumns).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Paint();
}

void WaitWindow::Close()
{
    if (window_.isNull())
        return;
    delete window_.data();
    label_ = nullptr;
}

QString WaitWindow::title() const
{
    return window_.isNull() ? QString() : window_->windowTitle();
}

QString WaitWindow::text() const
{
    return label_ == nullptr ? QString() : label_->text();
}

void WaitWindow::Paint()
{
    // The window and its label, now; no event is run.
    window_->repaint();
}

void WaitProgress::setTitle(std::string_view title)
{
    window_.Show(platform::ToQString(title));
}

void WaitProgress::step(std::uint64_t, std::uint64_t, std::string_view text)
{
    window_.SetText(platform::ToQString(text));
}

void RunInWaitWindow(WaitWindow& window, const QString& title, const QString& text, Worker::Job job)
{
    QEventLoop loop;
    QTimer timer;
    ProgressSnapshot shown;
    shown.title = title.toStdString();
    shown.phase = text.toStdString();
    window.Show(title, true);
    window.SetText(text);
    // Declared last: it is destroyed (joined) first.
    Worker worker;
    const auto poll = [&] {
        const ProgressSnapshot latest = worker.progress().Latest();
        if (!latest.title.empty() && latest.title != shown.title) {
            window.Show(platform::ToQString(latest.title), true);
            shown.title = latest.title;
            shown.phase.clear();
        }
        if (!latest.phase.empty() && latest.phase != shown.phase) {
            window.SetText(platform::ToQString(latest.phase));
            shown.phase = latest.phase;
        }
        if (worker.finished())
            loop.quit();
    };
    QObject::connect(&timer, &QTimer::timeout, &loop, poll);
    timer.start(40);
    // The end notice comes on the worker thread; it is posted to the loop.
    const bool started = worker.Start(std::move(job), [&loop, &poll] {
        QMetaObject::invokeMethod(&loop, poll, Qt::QueuedConnection);
    });
    if (started && !worker.finished())
        loop.exec();
    timer.stop();
    worker.Wait();
    window.Close();
}

} // namespace velmora::gui
