#include "gui/reports/ReportProcess.h"

#include "gui/dialogs/Messages.h"
#include "platform/QtText.h"
#include "texts/TextIds.h"
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
constexpr int kPollMilliseconds = 40;
/// The bar's range until the worker tells its maximum.
constexpr int kFirstMaximum = 100;

} // namespace

ReportProcess::ReportProcess(const reports::ReportSources& sources,
                             reports::ReportSettings settings, const texts::TextTable& texts,
                             QWidget* parent)
    : QDialog(parent), sources_(sources), settings_(std::move(settings)), texts_(texts)
{
    setWindowTitle(TextOf(texts, TextId::BuildingTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    const int width = QFontMetrics(font()).horizontalAdvance(QString(60, u'x'));
    for (QLabel** label : {&phase_, &object_}) {
        *label = new QLabel(this);
        (*label)->setTextFormat(Qt::PlainText);
        (*label)->setFixedWidth(width);
        layout->addWidget(*label);
    }
    phase_->setText(TextOf(texts, TextId::ProcessLabel) + QStringLiteral(": "));
    object_->setText(TextOf(texts, TextId::ObjectLabel) + QStringLiteral(": "));
    bar_ = new QProgressBar(this);
    bar_->setRange(0, kFirstMaximum);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    layout->addWidget(bar_);
    cancel_ = new QPushButton(TextOf(texts, TextId::CancelButton), this);
    connect(cancel_, &QPushButton::clicked, this, &ReportProcess::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    timer_.setInterval(kPollMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &ReportProcess::Poll);
}

ReportProcess::~ReportProcess()
{
    if (worker_) {
        worker_->RequestStop();
        worker_->Wait();
    }
}

reports::ReportOutcome ReportProcess::Run()
{
    worker_ = std::make_unique<reports::TReportThread>(sources_, settings_);
    shown_ = ProgressSnapshot();
    // The end notice comes on the worker thread: it is posted to this
    // window's thread, and dropped if the window has gone by then.
    worker_->Start(
        [this] { QMetaObject::invokeMethod(this, &ReportProcess::Poll, Qt::QueuedConnection); });
    timer_.start();
    exec();
    timer_.stop();
    worker_->Wait();
    const reports::ReportOutcome outcome = worker_->Outcome();
    worker_.reset();
    return outcome;
}

void ReportProcess::Poll()
{
    // A late end notice after Run() has returned finds no worker.
    if (!worker_)
        return;
    ProgressSnapshot latest = worker_->progress().Latest();
    if (latest != shown_) {
        if (latest.phase != shown_.phase)
            phase_->setText(platform::ToQString(latest.phase));
        if (latest.object != shown_.object)
            object_->setText(platform::ToQString(latest.object));
        if (latest.maximum > 0) {
            // The bar counts in ints: large counts are scaled down.
            constexpr std::uint64_t kLimit = std::numeric_limits<int>::max();
            const std::uint64_t scale = latest.maximum / kLimit + 1;
            bar_->setMaximum(static_cast<int>(latest.maximum / scale));
            bar_->setValue(static_cast<int>(std::min(latest.position, latest.maximum) / scale));
        }
        shown_ = std::move(latest);
    }
    if (worker_->Finished() && timer_.isActive()) {
        timer_.stop();
        setWindowTitle(TextOf(texts_, TextId::PleaseWaitStep));
        cancel_->setEnabled(false);
        QDialog::accept();
    }
}

void ReportProcess::reject()
{
    // Cancel and Escape: the worker stops before its next node or row; the
    // window closes when it has ended.
    cancelled_ = true;
    if (worker_)
        worker_->RequestStop();
    cancel_->setEnabled(false);
}

void ReportProcess::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}

} // namespace velmora::gui
