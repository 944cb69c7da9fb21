#include "gui/volumes/ScanDialog.h"

#include "gui/dialogs/Messages.h"
#include "platform/QtText.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QFontMetrics>
#include <QLabel>
#include <QVBoxLayout>

namespace velmora::gui {

using texts::TextId;

ScanDialog::ScanDialog(collection::CollectionTree& tree, const Services& services,
                       scan::ScanRequest request, const texts::TextTable& texts, QWidget* parent)
    : WorkerDialog(TextOf(texts, TextId::ScanningTitle), texts, parent), tree_(tree),
      services_(services), request_(std::move(request)), texts_(texts)
{
    const int width = QFontMetrics(font()).horizontalAdvance(QString(60, u'x'));
    for (QLabel** label : {&volume_, &folder_, &file_}) {
        *label = new QLabel(this);
        (*label)->setTextFormat(Qt::PlainText);
        (*label)->setFixedWidth(width);
        lines()->addWidget(*label);
    }
}

ScanDialog::~ScanDialog()
{
    if (worker_) {
        worker_->RequestStop();
        worker_->Wait();
    }
}

bool ScanDialog::Run()
{
    const QString prefix = QStringLiteral(": ");
    volume_->setText(TextOf(texts_, TextId::VolumeLabel) + prefix);
    folder_->setText(TextOf(texts_, TextId::DirectoryLabel) + prefix);
    file_->setText(TextOf(texts_, TextId::FileLabel) + prefix);
    worker_ = std::make_unique<scan::TScanThread>(tree_, services_, request_);
    shown_ = ProgressSnapshot();
    if (worker_->Start(EndNotice()))
        ExecWhileWorking();
    worker_->Wait();
    outcome_ = worker_->Outcome();
    worker_.reset();
    return !cancelled();
}

bool ScanDialog::ShowProgress()
{
    // A late end notice after Run() has returned finds no worker.
    if (!worker_)
        return false;
    ProgressSnapshot lines = worker_->progress().Latest();
    if (lines != shown_) {
        const QString prefix = QStringLiteral(": ");
        volume_->setText(TextOf(texts_, TextId::VolumeLabel) + prefix +
                         platform::ToQString(lines.title));
        folder_->setText(TextOf(texts_, TextId::DirectoryLabel) + prefix +
                         platform::ToQString(lines.phase));
        file_->setText(TextOf(texts_, TextId::FileLabel) + prefix +
                       platform::ToQString(lines.object));
        shown_ = std::move(lines);
    }
    return worker_->Finished();
}

void ScanDialog::StopWorker()
{
    if (worker_)
        worker_->RequestStop();
}

} // namespace velmora::gui
