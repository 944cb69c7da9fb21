#include "gui/volumes/ScanDialog.h"

#include "gui/dialogs/Messages.h"
#include "platform/QtText.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::gui {
namespace {
using texts::TextId;
constexpr int kPollMilliseconds = 40;
} // namespace

ScanDialog::ScanDialog(collection::CollectionTree& tree, const Services& services,
                       scan::ScanRequest request, const texts::TextTable& texts, QWidget* parent)
    : QDialog(parent), tree_(tree), services_(services), request_(std::move(request)), texts_(texts)
{
    setWindowTitle(TextOf(texts, TextId::ScanningTitle));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    const int width = QFontMetrics(font()).horizontalAdvance(QString(60, u'x'));
    for (QLabel** label : {&volume_, &folder_, &file_}) {
        *label = new QLabel(this);
        (*label)->setTextFormat(Qt::PlainText);
        (*label)->setFixedWidth(width);
        layout->addWidget(*label);
    }
    cancel_ = new QPushButton(TextOf(texts, TextId::CancelButton), this);
    connect(cancel_, &QPushButton::clicked, this, &ScanDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    timer_.setInterval(kPollMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &ScanDialog::Poll);
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
    // The end notice comes on the worker thread: it is posted to this
    // window's thread, and dropped if the window has gone by then.
    worker_->Start(
        [this] { QMetaObject::invokeMethod(this, &ScanDialog::Poll, Qt::QueuedConnection); });
    timer_.start();
    exec();
    timer_.stop();
    worker_->Wait();
    outcome_ = worker_->Outcome();
    worker_.reset();
    return !cancelled_;
}

void ScanDialog::Poll()
{
    // A late end notice after Run() has returned finds no worker.
    if (!worker_)
        return;
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
    if (worker_->Finished() && timer_.isActive()) {
        timer_.stop();
        setWindowTitle(TextOf(texts_, TextId::PleaseWaitStep));
        cancel_->setEnabled(false);
        QDialog::accept();
    }
}

void ScanDialog::reject()
{
    // Cancel and Escape: the worker stops before its next folder or file;
    // the window closes when it has ended.
    cancelled_ = true;
    if (worker_)
        worker_->RequestStop();
    cancel_->setEnabled(false);
}

void ScanDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}

} // namespace velmora::gui
