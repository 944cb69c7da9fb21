// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/ProgressWindow.h"

#include "gui/dialogs/Messages.h"
#include "gui/dialogs/WordWrap.h"
#include "platform/QtText.h"
#include "texts/TextTable.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace velmora::gui {
namespace {

using texts::TextId;
/// The bar's range until the task tells its total.
constexpr int kFirstMaximum = 100;

const std::string& PartOf(const ProgressSnapshot& snapshot, ProgressLayout::Part part)
{
    switch (part) {
    case ProgressLayout::Part::Title:
        return snapshot.title;
    case ProgressLayout::Part::Object:
        return snapshot.object;
    default:
        return snapshot.phase;
    }
}

} // namespace

QString ElapsedText(qint64 seconds)
{
    const qint64 hours = seconds / 3600;
    const qint64 minutes = seconds / 60 % 60;
    const QString secondsPart = QStringLiteral("%1").arg(seconds % 60, 2, 10, QChar(u'0'));
    if (hours == 0)
        return QStringLiteral("%1:%2").arg(minutes).arg(secondsPart);
    return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes, 2, 10, QChar(u'0')).arg(secondsPart);
}

ProgressLayout ProgressLayout::Wait(bool cancellable)
{
    ProgressLayout layout;
    layout.lines = {{Part::Phase, std::nullopt, false}};
    layout.lineWidth = 0;
    layout.cancellable = cancellable;
    layout.titleFollows = true;
    return layout;
}

ProgressWindow::ProgressWindow(const QString& title, ProgressLayout layout,
                               const texts::TextTable& texts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          (layout.cancellable ? Qt::WindowCloseButtonHint : Qt::WindowType(0))),
      layout_(std::move(layout)), texts_(texts)
{
    setWindowTitle(title);
    setModal(true);
    auto* box = new QVBoxLayout(this);
    const QFontMetrics metrics(font());
    for (const ProgressLayout::Line& line : layout_.lines) {
        auto* label = new QLabel(this);
        label->setTextFormat(Qt::PlainText);
        if (layout_.lineWidth > 0) {
            label->setFixedWidth(metrics.horizontalAdvance(QString(layout_.lineWidth, u'x')));
        } else {
            label->setAlignment(Qt::AlignCenter);
            label->setFixedSize(metrics.horizontalAdvance(QString(kWaitWrapColumns + 2, u'M')) * 2 /
                                    3,
                                metrics.lineSpacing() * 2 + 4);
        }
        if (line.label)
            label->setText(TextOf(texts_, *line.label) + QStringLiteral(": "));
        lines_.push_back(label);
        box->addWidget(label);
    }
    bar_ = new QProgressBar(this);
    bar_->setRange(0, kFirstMaximum);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    bar_->setVisible(layout_.barFromStart);
    if (layout_.barFromStart && layout_.busyUntilTotal)
        bar_->setRange(0, 0);
    box->addWidget(bar_);
    elapsed_ = new QLabel(this);
    elapsed_->setTextFormat(Qt::PlainText);
    if (layout_.lineWidth == 0)
        elapsed_->setAlignment(Qt::AlignCenter);
    // Short tasks never show it: the window grows by the line when it comes.
    elapsed_->setVisible(false);
    box->addWidget(elapsed_);
    cancel_ = new QPushButton(TextOf(texts_, TextId::CancelButton), this);
    cancel_->setVisible(layout_.cancellable);
    connect(cancel_, &QPushButton::clicked, this, &ProgressWindow::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    buttons->addStretch();
    box->addLayout(buttons);
    box->setSizeConstraint(QLayout::SetFixedSize);
    if (parent != nullptr) {
        adjustSize();
        move(parent->window()->frameGeometry().center() - rect().center());
    }
    timer_.setInterval(kProgressPollMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &ProgressWindow::Poll);
}

ProgressWindow::~ProgressWindow()
{
    if (task_ != nullptr) {
        task_->RequestStop();
        task_->Wait();
    }
}

bool ProgressWindow::Run(WorkerTask& task)
{
    cancelled_ = false;
    cancel_->setEnabled(layout_.cancellable);
    shown_ = ProgressSnapshot();
    shownSeconds_ = -1;
    elapsed_->clear();
    elapsed_->setVisible(false);
    task_ = &task;
    running_.start();
    // The window waits for the task before Run() returns, so it is there
    // when the notice is posted; a notice still queued when the window goes
    // is dropped with it.
    if (!task.Start([this] {
            QMetaObject::invokeMethod(this, &ProgressWindow::Poll, Qt::QueuedConnection);
        })) {
        task_ = nullptr;
        return false;
    }
    timer_.start();
    exec();
    timer_.stop();
    task.Wait();
    task_ = nullptr;
    return !cancelled_;
}

void ProgressWindow::SetText(const QString& text)
{
    if (lines_.empty())
        return;
    lines_.front()->setText(layout_.lineWidth > 0
                                ? text
                                : WrapText(text, kWaitWrapColumns)
                                      .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

QString ProgressWindow::text() const
{
    return lineText(0);
}

QString ProgressWindow::elapsedText() const
{
    return elapsed_->text();
}

QString ProgressWindow::lineText(int line) const
{
    return line >= 0 && static_cast<std::size_t>(line) < lines_.size()
               ? lines_[static_cast<std::size_t>(line)]->text()
               : QString();
}

void ProgressWindow::Poll()
{
    // A late end notice after Run() has returned finds no task.
    if (task_ == nullptr)
        return;
    ShowProgress(task_->progress().Latest());
    ShowElapsed();
    if (task_->Finished() && timer_.isActive()) {
        timer_.stop();
        setWindowTitle(TextOf(texts_, TextId::PleaseWaitStep));
        cancel_->setEnabled(false);
        QDialog::accept();
    }
}

void ProgressWindow::ShowProgress(const ProgressSnapshot& latest)
{
    if (latest == shown_)
        return;
    if (layout_.titleFollows && !latest.title.empty() && latest.title != shown_.title)
        setWindowTitle(platform::ToQString(latest.title));
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const ProgressLayout::Line& line = layout_.lines[i];
        const std::string& value = PartOf(latest, line.part);
        if (value == PartOf(shown_, line.part))
            continue;
        if (line.prefixed && line.label)
            lines_[i]->setText(TextOf(texts_, *line.label) + QStringLiteral(": ") +
                               platform::ToQString(value));
        else if (!value.empty() && i == 0)
            SetText(platform::ToQString(value));
        else if (!value.empty())
            lines_[i]->setText(platform::ToQString(value));
    }
    if (latest.maximum > 0) {
        // The bar counts in ints: large counts are scaled down.
        constexpr std::uint64_t kLimit = std::numeric_limits<int>::max();
        const std::uint64_t scale = latest.maximum / kLimit + 1;
        bar_->setMaximum(static_cast<int>(latest.maximum / scale));
        bar_->setValue(static_cast<int>(std::min(latest.position, latest.maximum) / scale));
        bar_->setVisible(true);
    }
    shown_ = latest;
}

void ProgressWindow::ShowElapsed()
{
    const qint64 seconds = running_.elapsed() / 1000;
    if (seconds < kShowElapsedAfterSeconds || seconds == shownSeconds_)
        return;
    shownSeconds_ = seconds;
    elapsed_->setText(TextOf(texts_, TextId::ElapsedTime) + QStringLiteral(": ") +
                      ElapsedText(seconds));
    elapsed_->setVisible(true);
}

void ProgressWindow::reject()
{
    // Cancel and Escape: the task stops before its next item; the window
    // closes when it has ended. A window that cannot be cancelled waits.
    if (!layout_.cancellable || task_ == nullptr)
        return;
    cancelled_ = true;
    task_->RequestStop();
    cancel_->setEnabled(false);
}

void ProgressWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}

} // namespace velmora::gui
