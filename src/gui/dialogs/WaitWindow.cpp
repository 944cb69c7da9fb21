// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/WaitWindow.h"

#include "gui/dialogs/ProgressWindow.h"
#include "platform/QtText.h"
#include "texts/ActiveTexts.h"

namespace velmora::gui {
namespace {

/// A job as a task.
class JobTask final : public WorkerTask {
public:
    explicit JobTask(Worker::Job job) : job_(std::move(job)) {}
    ~JobTask() override { StopAndWait(); }

protected:
    void Run(ProgressState& progress) override { job_(progress); }

private:
    Worker::Job job_;
};

} // namespace

WaitWindow::WaitWindow(QWidget* owner, const texts::ActiveTexts& texts)
    : owner_(owner), texts_(texts)
{
}

WaitWindow::~WaitWindow()
{
    Close();
}

bool WaitWindow::Run(const QString& title, const QString& text, Worker::Job job, bool cancellable)
{
    Close();
    auto* window =
        new ProgressWindow(title, ProgressLayout::Wait(cancellable), texts_.table(), owner_);
    window_ = window;
    window->SetText(text);
    JobTask task(std::move(job));
    const bool finished = window->Run(task);
    Close();
    return finished;
}

void WaitWindow::Show(const QString& title)
{
    Close();
    auto* window = new ProgressWindow(title, ProgressLayout::Wait(false), texts_.table(), owner_);
    window->setModal(false);
    window_ = window;
    window->show();
}

void WaitWindow::SetText(const QString& text)
{
    if (!window_.isNull())
        window_->SetText(text);
}

void WaitWindow::Close()
{
    if (window_.isNull())
        return;
    delete window_.data();
}

QString WaitWindow::title() const
{
    return window_.isNull() ? QString() : window_->windowTitle();
}

QString WaitWindow::text() const
{
    return window_.isNull() ? QString() : window_->text();
}

void WaitProgress::setTitle(std::string_view title)
{
    window_.Show(platform::ToQString(title));
}

void WaitProgress::step(std::uint64_t, std::uint64_t, std::string_view text)
{
    window_.SetText(platform::ToQString(text));
}

} // namespace velmora::gui
