#include "gui/reports/ReportProcess.h"

#include "gui/dialogs/Messages.h"
#include "platform/QtText.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace velmora::gui {
namespace {

using texts::TextId;
/// The bar's range until the worker tells its maximum.
constexpr int kFirstMaximum = 100;

} // namespace

ReportProcess::ReportProcess(const reports::ReportSources& sources,
                             reports::ReportSettings settings, const texts::TextTable& texts,
                             QWidget* parent)
    : WorkerDialog(TextOf(texts, TextId::BuildingTitle), texts, parent), sources_(sources),
      settings_(std::move(settings))
{
    const int width = QFontMetrics(font()).horizontalAdvance(QString(60, u'x'));
    for (QLabel** label : {&phase_, &object_}) {
        *label = new QLabel(this);
        (*label)->setTextFormat(Qt::PlainText);
        (*label)->setFixedWidth(width);
        lines()->addWidget(*label);
    }
    phase_->setText(TextOf(texts, TextId::ProcessLabel) + QStringLiteral(": "));
    object_->setText(TextOf(texts, TextId::ObjectLabel) + QStringLiteral(": "));
    bar_ = new QProgressBar(this);
    bar_->setRange(0, kFirstMaximum);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    lines()->addWidget(bar_);
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
    if (worker_->Start(EndNotice()))
        ExecWhileWorking();
    worker_->Wait();
    const reports::ReportOutcome outcome = worker_->Outcome();
    worker_.reset();
    return outcome;
}

bool ReportProcess::ShowProgress()
{
    // A late end notice after Run() has returned finds no worker.
    if (!worker_)
        return false;
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
    return worker_->Finished();
}

void ReportProcess::StopWorker()
{
    if (worker_)
        worker_->RequestStop();
}

} // namespace velmora::gui
