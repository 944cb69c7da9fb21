// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/print/PrintPreview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QTransform>
#include <algorithm>
#include <utility>

namespace velmora::gui {
namespace {

/// Free space kept between the sheet and the area's edges when the sheet
/// does not fit, on each side.
constexpr int kEdge = 6;
constexpr int kSmallStep = 8;

QString NewPageErrorText()
{
    return QStringLiteral("Not enough memory to create a new page");
}

} // namespace

TPrintPreview::TPrintPreview(QWidget* parent)
    : QAbstractScrollArea(parent), sheet_(new TPaperPreview(viewport()))
{
    font_.setFamily(QStringLiteral("Arial"));
    font_.setPixelSize(200);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setSingleStep(kSmallStep);
    verticalScrollBar()->setSingleStep(kSmallStep);
    sheet_->setFocusPolicy(Qt::NoFocus);
    sheet_->installEventFilter(this);
    sheet_->hide();
    connect(sheet_, &TPaperPreview::paintPage, this, &TPrintPreview::PaintSheet);
    UpdateDeviceMetrics();
}

TPrintPreview::~TPrintPreview()
{
    // The dialog works on this object's printer.
    delete printDialog_.data();
    // The sheet's painting reads the pages; it must not outlive them.
    sheet_->removeEventFilter(this);
    disconnect(sheet_, nullptr, this, nullptr);
}

// --- units and paper ---

void TPrintPreview::SetUnits(TUnits units)
{
    if (units == units_)
        return;
    const int dpiX = deviceDpi_.width();
    const int dpiY = deviceDpi_.height();
    const auto x = [&](int n) { return ConvertUnits(n, units_, units, dpiX); };
    const auto y = [&](int n) { return ConvertUnits(n, units_, units, dpiY); };
    minimumMargin_ = x(minimumMargin_);
    marginLeft_ = x(marginLeft_);
    marginRight_ = x(marginRight_);
    marginTop_ = y(marginTop_);
    marginBottom_ = y(marginBottom_);
    paperWidth_ = x(paperWidth_);
    paperHeight_ = y(paperHeight_);
    font_.setPixelSize(std::max(1, y(font_.pixelSize())));
    if (recorder_) {
        QFont font = recorder_->font();
        if (font.pixelSize() > 0)
            font.setPixelSize(std::max(1, y(font.pixelSize())));
        recorder_->setFont(font);
        // A cosmetic pen's width is in device pixels, not in units.
        QPen pen = recorder_->pen();
        if (!pen.isCosmetic()) {
            pen.setWidth(std::max(1, x(pen.width())));
            recorder_->setPen(pen);
        }
    }
    units_ = units;
    if (recorder_)
        ApplyRecordingTransform();
}

void TPrintPreview::SetPaperType(TPaperType type)
{
    paperType_ = type;
    if (type == TPaperType::pCustom)
        return;
    const PaperInfo& paper = PaperInfoOf(type);
    int width = ConvertUnits(paper.width, TUnits::mmLoMetric, units_, deviceDpi_.width());
    int height = ConvertUnits(paper.height, TUnits::mmLoMetric, units_, deviceDpi_.height());
    if (orientation_ == QPageLayout::Landscape)
        std::swap(width, height);
    paperWidth_ = width;
    paperHeight_ = height;
    UpdateDeviceMetrics();
    UpdateLayout();
}

void TPrintPreview::SetPaperSize(int width, int height)
{
    paperType_ = TPaperType::pCustom;
    paperWidth_ = width;
    paperHeight_ = height;
    UpdateDeviceMetrics();
    UpdateLayout();
}

void TPrintPreview::SetOrientation(QPageLayout::Orientation orientation)
{
    if (state_ == TPreviewState::Recording || orientation == orientation_)
        return;
    orientation_ = orientation;
    std::swap(paperWidth_, paperHeight_);
    UpdateDeviceMetrics();
    UpdateLayout();
}

void TPrintPreview::SetMargins(int left, int top, int right, int bottom)
{
    SetMarginLeft(left);
    SetMarginTop(top);
    SetMarginRight(right);
    SetMarginBottom(bottom);
}

void TPrintPreview::SetMarginLeft(int value)
{
    marginLeft_ = std::max(value, minimumMargin_);
}

void TPrintPreview::SetMarginTop(int value)
{
    marginTop_ = std::max(value, minimumMargin_);
}

void TPrintPreview::SetMarginRight(int value)
{
    marginRight_ = std::max(value, minimumMargin_);
}

void TPrintPreview::SetMarginBottom(int value)
{
    marginBottom_ = std::max(value, minimumMargin_);
}

QRect TPrintPreview::PageRect() const
{
    return QRect(QPoint(marginLeft_, marginTop_),
                 QPoint(paperWidth_ - marginRight_ - 1, paperHeight_ - marginBottom_ - 1));
}

// --- zoom and layout ---

void TPrintPreview::SetZoom(int percent)
{
    zoom_ = std::max(1, percent);
    zoomState_ = TZoomState::zsZoomOther;
    UpdateLayout();
}

void TPrintPreview::SetZoomState(TZoomState state)
{
    zoomState_ = state;
    UpdateLayout();
}

void TPrintPreview::UpdateDeviceMetrics()
{
    // Without a printer the screen stands in for it, so that a page drawn
    // in pixels looks on the screen as it was drawn.
    if (PrinterInstalled() && state_ != TPreviewState::Printing) {
        QPrinter& printer = SelectedPrinter();
        printer.setPageOrientation(orientation_);
        deviceDpi_ = QSize(printer.resolution(), printer.resolution());
    } else if (!PrinterInstalled()) {
        deviceDpi_ = QSize(logicalDpiX(), logicalDpiY());
    }
    devicePageSize_ =
        QSize(ConvertUnits(paperWidth_, units_, TUnits::mmPixel, deviceDpi_.width()),
              ConvertUnits(paperHeight_, units_, TUnits::mmPixel, deviceDpi_.height()));
}

void TPrintPreview::UpdateLayout()
{
    // Setting the ranges can show or hide a scroll bar, which resizes the
    // viewport and lands here again; that pass sees the new inner size.
    if (inLayout_)
        return;
    inLayout_ = true;
    QSize inner;
    for (int pass = 0; pass < 4 && inner != viewport()->size(); ++pass) {
        inner = viewport()->size();
        QScrollBar* const hbar = horizontalScrollBar();
        QScrollBar* const vbar = verticalScrollBar();

        const QSize device = devicePageSize_.expandedTo(QSize(1, 1));
        const int extra = 2 * sheet_->BorderSize() + sheet_->ShadowSize();
        TZoomState state = zoomState_;
        if (state == TZoomState::zsZoomToFit) {
            const double areaRatio = double(inner.height()) / std::max(1, inner.width());
            const double pageRatio = double(device.height()) / device.width();
            state = areaRatio > pageRatio ? TZoomState::zsZoomToWidth : TZoomState::zsZoomToHeight;
        }
        int pageWidth = 0;
        int pageHeight = 0;
        switch (state) {
        case TZoomState::zsZoomOther:
            pageWidth = MulDivRound(device.width(), std::int64_t(logicalDpiX()) * zoom_,
                                    std::int64_t(deviceDpi_.width()) * 100);
            pageHeight = MulDivRound(device.height(), std::int64_t(logicalDpiY()) * zoom_,
                                     std::int64_t(deviceDpi_.height()) * 100);
            break;
        case TZoomState::zsZoomToWidth:
        case TZoomState::zsZoomToFit:
            pageWidth = std::max(0, inner.width() - 2 * kEdge - extra);
            pageHeight = MulDivRound(pageWidth, device.height(), device.width());
            break;
        case TZoomState::zsZoomToHeight:
            pageHeight = std::max(0, inner.height() - 2 * kEdge - extra);
            pageWidth = MulDivRound(pageHeight, device.width(), device.height());
            break;
        }
        sheet_->SetPaperSize(pageWidth, pageHeight);

        const QSize sheet = sheet_->size();
        const auto range = [](int sheetLength, int innerLength) {
            return sheetLength < innerLength - 2 * kEdge ? 0
                                                         : sheetLength - innerLength + 2 * kEdge;
        };
        hbar->setRange(0, range(sheet.width(), inner.width()));
        vbar->setRange(0, range(sheet.height(), inner.height()));
        hbar->setPageStep(inner.width());
        vbar->setPageStep(inner.height());
        // Each bar shows exactly when it has a range; Qt's own rule would
        // decide later, from a queued call, and the sizes above need the
        // inner size that follows from it now.
        setHorizontalScrollBarPolicy(hbar->maximum() > 0 ? Qt::ScrollBarAlwaysOn
                                                         : Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(vbar->maximum() > 0 ? Qt::ScrollBarAlwaysOn
                                                       : Qt::ScrollBarAlwaysOff);
        const bool scrolls = hbar->maximum() > 0 || vbar->maximum() > 0;
        sheet_->setCursor(scrolls ? Qt::OpenHandCursor : Qt::ArrowCursor);
        PlaceSheet();
    }
    sheet_->update();
    inLayout_ = false;
}

void TPrintPreview::PlaceSheet()
{
    const QSize inner = viewport()->size();
    const QSize sheet = sheet_->size();
    const QScrollBar* const hbar = horizontalScrollBar();
    const QScrollBar* const vbar = verticalScrollBar();
    const int x = sheet.width() < inner.width() - 2 * kEdge ? (inner.width() - sheet.width()) / 2
                                                            : kEdge - hbar->value();
    const int y = sheet.height() < inner.height() - 2 * kEdge
                      ? (inner.height() - sheet.height()) / 2
                      : kEdge - vbar->value();
    sheet_->move(x, y);
}

void TPrintPreview::scrollContentsBy(int, int)
{
    PlaceSheet();
}

void TPrintPreview::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateLayout();
}

// --- keyboard and mouse ---

void TPrintPreview::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (modifiers != Qt::NoModifier && modifiers != Qt::ControlModifier) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const bool ctrl = modifiers == Qt::ControlModifier;
    QScrollBar* const hbar = horizontalScrollBar();
    QScrollBar* const vbar = verticalScrollBar();
    QScrollBar* const homeBar = ctrl ? vbar : hbar;
    switch (event->key()) {
    case Qt::Key_Home:
        homeBar->setValue(homeBar->minimum());
        break;
    case Qt::Key_End:
        homeBar->setValue(homeBar->maximum());
        break;
    case Qt::Key_Left:
        hbar->setValue(hbar->value() - (ctrl ? hbar->pageStep() : kSmallStep));
        break;
    case Qt::Key_Right:
        hbar->setValue(hbar->value() + (ctrl ? hbar->pageStep() : kSmallStep));
        break;
    case Qt::Key_Up:
        vbar->setValue(vbar->value() - (ctrl ? vbar->pageStep() : kSmallStep));
        break;
    case Qt::Key_Down:
        vbar->setValue(vbar->value() + (ctrl ? vbar->pageStep() : kSmallStep));
        break;
    case Qt::Key_PageUp:
        SetCurrentPage(ctrl ? 1 : currentPage_ - 1);
        break;
    case Qt::Key_PageDown:
        SetCurrentPage(ctrl ? PageCount() : currentPage_ + 1);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool TPrintPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != sheet_)
        return QAbstractScrollArea::eventFilter(watched, event);
    // The sheet takes no mouse event itself: after this, each one travels
    // on to this widget as its own.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (isEnabled() && !hasFocus())
            setFocus(Qt::MouseFocusReason);
        dragOrigin_ = mouse->position().toPoint();
        dragging_ = mouse->button() == Qt::LeftButton;
        break;
    }
    case QEvent::MouseButtonDblClick:
        dragging_ = false;
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            dragging_ = false;
        break;
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (dragging_ && (mouse->buttons() & Qt::LeftButton)) {
            // The sheet moves with the scroll position, so the pointer's
            // place on it is where the grabbed point must come back to.
            const QPoint at = mouse->position().toPoint();
            QScrollBar* const hbar = horizontalScrollBar();
            QScrollBar* const vbar = verticalScrollBar();
            hbar->setValue(dragOrigin_.x() + hbar->value() - at.x());
            vbar->setValue(dragOrigin_.y() + vbar->value() - at.y());
        }
        break;
    }
    default:
        break;
    }
    return false;
}

// --- document ---

void TPrintPreview::SetFont(const QFont& font)
{
    font_ = FontForUnits(font);
}

QFont TPrintPreview::FontForUnits(const QFont& font) const
{
    if (font.pixelSize() > 0)
        return font;
    QFont sized = font;
    sized.setPixelSize(
        std::max(1, MulDivRound(qRound(font.pointSizeF() * 1000), logicalDpiY(), 72 * 1000)));
    return sized;
}

void TPrintPreview::Clear()
{
    recorder_.reset();
    recording_.reset();
    pages_.clear();
    state_ = TPreviewState::Idle;
    currentPage_ = 0;
    aborted_ = false;
    sheet_->hide();
    emit changed();
}

bool TPrintPreview::BeginDoc()
{
    if (state_ == TPreviewState::Recording)
        return true;
    Clear();
    UpdateDeviceMetrics();
    state_ = TPreviewState::Recording;
    emit beginDoc();
    return StartPage();
}

bool TPrintPreview::NewPage()
{
    if (state_ != TPreviewState::Recording)
        return true;
    return StartPage();
}

bool TPrintPreview::StartPage()
{
    if (recorder_)
        FinishPage();
    auto picture = std::make_unique<QPicture>();
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(picture.get())) {
        lastError_ = NewPageErrorText();
        return false;
    }
    recording_ = std::move(picture);
    recorder_ = std::move(painter);
    recordingDeviceSize_ = devicePageSize_;
    recorder_->setFont(font_);
    // Qt draws a line thinner than a pixel in a paler colour; a cosmetic
    // pen of 1 is black and one device pixel wide at every zoom, as thin
    // default lines are expected to look.
    QPen pen(Qt::black, 1);
    pen.setCosmetic(true);
    recorder_->setPen(pen);
    ApplyRecordingTransform();
    emit newPage();
    return true;
}

void TPrintPreview::ApplyRecordingTransform()
{
    const double sx = double(recordingDeviceSize_.width()) / std::max(1, paperWidth_);
    const double sy = double(recordingDeviceSize_.height()) / std::max(1, paperHeight_);
    recorder_->setTransform(QTransform::fromScale(sx, sy));
}

void TPrintPreview::FinishPage()
{
    recorder_->end();
    recorder_.reset();
    pages_.push_back(Page{std::move(*recording_), recordingDeviceSize_});
    recording_.reset();
    if (pages_.size() == 1) {
        currentPage_ = 1;
        UpdateLayout();
        sheet_->show();
        sheet_->update();
    }
    emit changed();
}

void TPrintPreview::EndDoc()
{
    if (state_ != TPreviewState::Recording)
        return;
    if (recorder_)
        FinishPage();
    else
        emit changed();
    emit endDoc();
    state_ = TPreviewState::Idle;
}

QPainter* TPrintPreview::Canvas() const
{
    if (state_ == TPreviewState::Recording)
        return recorder_.get();
    if (state_ == TPreviewState::Printing)
        return printPainter_;
    return nullptr;
}

void TPrintPreview::SetCurrentPage(int page)
{
    if (pages_.empty())
        return;
    page = std::clamp(page, 1, PageCount());
    if (page == currentPage_)
        return;
    currentPage_ = page;
    sheet_->update();
    emit changed();
}

void TPrintPreview::RenderPage(int page, QPainter& painter, const QRectF& target) const
{
    if (page < 1 || page > PageCount())
        return;
    const Page& recorded = pages_[static_cast<std::size_t>(page - 1)];
    const QSize device = recorded.deviceSize.expandedTo(QSize(1, 1));
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / device.width(), target.height() / device.height());
    painter.drawPicture(0, 0, recorded.picture);
    painter.restore();
}

void TPrintPreview::PaintSheet(QPainter& painter, const QRect& pageRect)
{
    if (currentPage_ > 0)
        RenderPage(currentPage_, painter, pageRect);
}

} // namespace velmora::gui
