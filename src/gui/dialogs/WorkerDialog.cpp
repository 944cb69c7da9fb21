#include "gui/dialogs/WorkerDialog.h"

#include "gui/dialogs/Messages.h"
#include "texts/TextIds.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::gui {
namespace {

using texts::TextId;
constexpr int kPollMilliseconds = 40;

} // namespace

WorkerDialog::WorkerDialog(const QString& title, const texts::TextTable& texts, QWidget* parent)
    : QDialog(parent), texts_(texts)
{
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    lines_ = new QVBoxLayout;
    layout->addLayout(lines_);
    cancel_ = new QPushButton(TextOf(texts, TextId::CancelButton), this);
    connect(cancel_, &QPushButton::clicked, this, &WorkerDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    timer_.setInterval(kPollMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &WorkerDialog::Poll);
}

Worker::EndNotice WorkerDialog::EndNotice()
{
    // The subclass waits for its worker before it is destroyed, so the
    // window is there when the notice is posted; a notice still queued when
    // the window goes is dropped with it.
    return [this] { QMetaObject::invokeMethod(this, &WorkerDialog::Poll, Qt::QueuedConnection); };
}

void WorkerDialog::ExecWhileWorking()
{
    cancelled_ = false;
    cancel_->setEnabled(true);
    timer_.start();
    exec();
    timer_.stop();
}

void WorkerDialog::Poll()
{
    if (ShowProgress() && timer_.isActive()) {
        timer_.stop();
        setWindowTitle(TextOf(texts_, TextId::PleaseWaitStep));
        cancel_->setEnabled(false);
        QDialog::accept();
    }
}

void WorkerDialog::reject()
{
    // Cancel and Escape: the worker stops before its next item; the window
    // closes when it has ended.
    cancelled_ = true;
    StopWorker();
    cancel_->setEnabled(false);
}

void WorkerDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}

} // namespace velmora::gui
