// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/cover/PrintCover.h"

#include "collection/CollectionStore.h"
#include "gui/app/Application.h"
#include "gui/cover/Stretch.h"
#include "gui/dialogs/Messages.h"
#include "gui/dialogs/Mnemonics.h"
#include "gui/dialogs/ModalFocus.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/print/PrintPreview.h"
#include "gui/render/CoverPainter.h"
#include "platform/QtText.h"
#include "settings/Settings.h"
#include "system/Services.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace velmora::gui {

using texts::TextId;

namespace {

constexpr std::array<int, 4> kZoomPercents = {25, 50, 100, 200};
constexpr std::array<TZoomState, 3> kZoomStates = {
    TZoomState::zsZoomToFit, TZoomState::zsZoomToHeight, TZoomState::zsZoomToWidth};

int ScreenPixelsPerInch(const QWidget* widget)
{
    const QScreen* screen = widget->screen();
    return screen != nullptr ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

} // namespace

PrintCover::PrintCover(Application& app, QWidget* parent) : QDialog(parent), app_(app)
{
    const texts::TextTable& texts = app.texts().table();
    const settings::Settings& settings = app.settings();
    setWindowTitle(TextOf(texts, TextId::CdCoverCommand));

    volumes_ = new QComboBox(this);
    auto* volumeLabel = new QLabel(TextOf(texts, TextId::CdRomDriveLabel), this);
    volumeLabel->setBuddy(volumes_);
    zoom_ = new QComboBox(this);
    for (const int percent : kZoomPercents)
        zoom_->addItem(QStringLiteral("%1 %").arg(percent));
    for (const TextId id : {TextId::ZoomToFit, TextId::ZoomToHeight, TextId::ZoomToWidth})
        zoom_->addItem(TextOf(texts, id));
    auto* zoomLabel = new QLabel(TextOf(texts, TextId::PageZoomLabel), this);
    zoomLabel->setBuddy(zoom_);

    auto* print = new QPushButton(TextOf(texts, TextId::PrintCommand), this);
    // Many desktops have no printer; a PDF always works.
    auto* pdf = new QPushButton(QStringLiteral("PDF"), this);
    pdf->setToolTip(QStringLiteral("Save as PDF"));
    auto* font = new QPushButton(TextOf(texts, TextId::FontCommand), this);
    auto* options = new QPushButton(TextOf(texts, TextId::OptionsGroup), this);
    auto* close = new QPushButton(TextOf(texts, TextId::CloseButton), this);
    for (QPushButton* button : {print, pdf, font, options, close})
        button->setAutoDefault(false);

    preview_ = new TPrintPreview(this);
    preview_->SetUnits(TUnits::mmLoMetric);
    preview_->SetPaperType(TPaperType::pA4);
    preview_->SetOrientation(QPageLayout::Portrait);
    preview_->SetMargins(cover::kCoverPage.left, cover::kCoverPage.top,
                         cover::kPaperWidth - cover::kCoverPage.right,
                         cover::kPaperHeight - cover::kCoverPage.bottom);
    preview_->SetPrintJobTitle(TextOf(texts, TextId::CdCoverCommand));

    auto* bar = new QHBoxLayout;
    bar->addWidget(volumeLabel);
    bar->addWidget(volumes_, 1);
    bar->addWidget(zoomLabel);
    bar->addWidget(zoom_);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {print, pdf, font, options})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(preview_, 1);
    layout->addLayout(buttons);
    AssignMnemonics(this);
    resize(720, 860);

    FillVolumes();
    if (!settings.fontName.empty() && settings.fontSize > 0) {
        QFont stored(QString::fromStdString(settings.fontName));
        stored.setPointSize(settings.fontSize);
        stored.setBold(settings.fontStyle[0]);
        stored.setItalic(settings.fontStyle[1]);
        stored.setUnderline(settings.fontStyle[2]);
        stored.setStrikeOut(settings.fontStyle[3]);
        font_ = stored;
    } else {
        font_ = QFont(QStringLiteral("Arial"));
        font_.setPointSize(36);
    }
    ChooseZoom(std::clamp(settings.lastZoom, 0, kZoomChoices - 1));
    Redraw();

    connect(volumes_, &QComboBox::activated, this, [this] { Redraw(); });
    connect(zoom_, &QComboBox::activated, this, &PrintCover::ChooseZoom);
    connect(print, &QPushButton::clicked, this, &PrintCover::PrintPage);
    connect(pdf, &QPushButton::clicked, this, &PrintCover::SaveAsPdf);
    connect(font, &QPushButton::clicked, this, &PrintCover::ChooseFont);
    connect(options, &QPushButton::clicked, this, &PrintCover::ShowOptions);
    connect(close, &QPushButton::clicked, this, &PrintCover::CloseAndStore);
    connect(preview_, &TPrintPreview::abort, this, &PrintCover::TellPrintFailure);
}

PrintCover::~PrintCover() = default;

void PrintCover::FillVolumes()
{
    const Services& services = app_.services();
    const std::vector<VolumeInfo> mounted = services.volumes.list();
    for (const VolumeInfo& volume : mounted) {
        QString text = platform::NativePath(volume.root);
        if (!volume.label.empty())
            text += QStringLiteral("  (%1)").arg(QString::fromStdString(volume.label));
        volumes_->addItem(text, platform::NativePath(volume.root));
    }
    const std::string home = services.volumes.rootOf(app_.startFolder());
    const std::string chosen =
        cover::ChooseCoverVolume(mounted, app_.settings().lastDrive, services.files, home);
    if (volumes_->findData(platform::NativePath(chosen)) < 0 && !chosen.empty())
        volumes_->addItem(platform::NativePath(chosen), platform::NativePath(chosen));
    ChooseVolume(platform::NativePath(chosen));
}

void PrintCover::ChooseVolume(const QString& root)
{
    const int index = volumes_->findData(root);
    if (index >= 0)
        volumes_->setCurrentIndex(index);
}

QString PrintCover::chosenVolume() const
{
    return volumes_->currentData().toString();
}

cover::CoverOptions PrintCover::Options() const
{
    const settings::Settings& s = app_.settings();
    return {.numeration = s.numeration,
            .addDate = s.addDate,
            .customLabel = s.customLabel,
            .labelText = s.labelText,
            .horizontalStretch = std::clamp(s.stretch[0], cover::kMinStretch, cover::kMaxStretch),
            .verticalStretch = std::clamp(s.stretch[1], cover::kMinStretch, cover::kMaxStretch)};
}

cover::CoverFont PrintCover::CoverFontOf(const QFont& font) const
{
    const int points = font.pointSize() > 0 ? font.pointSize() : 36;
    return {.name = font.family().toStdString(),
            .height = cover::CharacterHeight(points, ScreenPixelsPerInch(this)),
            .bold = font.bold(),
            .italic = font.italic(),
            .underline = font.underline(),
            .strikeOut = font.strikeOut(),
            .color = static_cast<std::uint32_t>(app_.settings().fontColor) & 0xFFFFFFu};
}

void PrintCover::Redraw()
{
    const Services& services = app_.services();
    const cover::CoverOptions options = Options();
    const cover::CoverSources sources{services.files, services.volumes, services.locale,
                                      services.clock, &app_.store().tree()};
    const cover::CoverContent content =
        cover::ReadCoverContent(sources, platform::PathBytes(chosenVolume()), options);
    const QRect page = preview_->PageRect();
    const cover::Box box{page.left(), page.top(), page.left() + page.width(),
                         page.top() + page.height()};
    const QtTextMeasure measure;
    drawn_ =
        cover::LayoutCover(cover::Dimensions(options.horizontalStretch, options.verticalStretch),
                           box, CoverFontOf(font_), ScreenPixelsPerInch(this), content, measure);

    preview_->Clear();
    if (!preview_->BeginDoc()) {
        MessageRequest request = ErrorMessage(app_.texts().table(), TextId::CdCoverCommand);
        request.text = preview_->LastError();
        app_.dialogs().Message(request);
        return;
    }
    if (QPainter* canvas = preview_->Canvas())
        PaintCover(*canvas, drawn_);
    preview_->EndDoc();
}

void PrintCover::ChooseZoom(int index)
{
    if (index < 0 || index >= kZoomChoices)
        return;
    zoom_->setCurrentIndex(index);
    if (index < static_cast<int>(kZoomPercents.size()))
        preview_->SetZoom(kZoomPercents[static_cast<std::size_t>(index)]);
    else
        preview_->SetZoomState(kZoomStates[static_cast<std::size_t>(index) - kZoomPercents.size()]);
}

void PrintCover::SetListingFont(const QFont& font)
{
    font_ = font;
    Redraw();
}

void PrintCover::ChooseFont()
{
    const QFont before = font_;
    QFontDialog dialog(font_, this);
    connect(&dialog, &QFontDialog::currentFontChanged, this, &PrintCover::SetListingFont);
    if (ExecModal(dialog) == QDialog::Accepted)
        SetListingFont(dialog.selectedFont());
    else
        SetListingFont(before);
}

void PrintCover::ShowOptions()
{
    Stretch dialog(app_.texts().table(), Options(), this);
    if (ExecModal(dialog) == QDialog::Accepted) {
        const cover::CoverOptions& chosen = dialog.options();
        settings::Settings& s = app_.settings();
        s.numeration = chosen.numeration;
        s.addDate = chosen.addDate;
        s.customLabel = chosen.customLabel;
        s.labelText = chosen.labelText;
        s.stretch = {chosen.horizontalStretch, chosen.verticalStretch};
    }
    Redraw();
}

void PrintCover::PrintPage()
{
    // The dialog offers Qt's PDF output beside the printers, so it opens
    // even where no printer is installed.
    dialogJob_ = preview_->ShowPrintDialog(this, 1, 1);
}

void PrintCover::TellPrintFailure()
{
    if (!dialogJob_)
        return;
    dialogJob_ = false;
    const texts::TextTable& texts = app_.texts().table();
    const QString file = preview_->PrintDialogOutputFile();
    app_.dialogs().Message(file.isEmpty() ? ErrorMessage(texts, TextId::PrintCommand, windowTitle())
                                          : CannotSaveMessage(texts, file, std::nullopt));
}

void PrintCover::SaveAsPdf()
{
    const texts::TextTable& texts = app_.texts().table();
    FileRequest request;
    request.title = TextOf(texts, TextId::CdCoverCommand);
    request.folder = app_.folders().lastSave;
    request.fileName = TextOf(texts, TextId::CdCoverCommand) + QStringLiteral(".pdf");
    request.filter = QStringLiteral("PDF (*.pdf)");
    request.defaultSuffix = QStringLiteral("pdf");
    const QString path = app_.dialogs().SaveFileName(request);
    if (path.isEmpty())
        return;
    app_.folders().lastSave = QFileInfo(path).absolutePath();
    (void)WritePdf(path);
}

bool PrintCover::WritePdf(const QString& path)
{
    dialogJob_ = false;
    if (preview_->PrintToPdf(path, 1, 1))
        return true;
    app_.dialogs().Message(CannotSaveMessage(app_.texts().table(), path, std::nullopt));
    return false;
}

void PrintCover::CloseAndStore()
{
    settings::Settings& s = app_.settings();
    s.lastZoom = zoom_->currentIndex();
    s.lastDrive = platform::PathBytes(chosenVolume());
    s.fontName = font_.family().toStdString();
    s.fontSize = font_.pointSize() > 0 ? font_.pointSize() : s.fontSize;
    s.fontStyle = {font_.bold(), font_.italic(), font_.underline(), font_.strikeOut()};
    // The colour and the character set are kept as they were stored.
    accept();
}

void PrintCover::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        CloseAndStore();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velmora::gui
