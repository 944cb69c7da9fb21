// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/print/PaperPreview.h"

#include <QPainter>
#include <algorithm>

namespace velmora::gui {

TPaperPreview::TPaperPreview(QWidget* parent)
    : QWidget(parent), shadowColor_(palette().color(QPalette::Dark))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Resize();
}

void TPaperPreview::SetPaperColor(const QColor& color)
{
    paperColor_ = color;
    update();
}

void TPaperPreview::SetBorderColor(const QColor& color)
{
    borderColor_ = color;
    update();
}

void TPaperPreview::SetBorderSize(int size)
{
    borderSize_ = std::max(0, size);
    Resize();
}

void TPaperPreview::SetShadowColor(const QColor& color)
{
    shadowColor_ = color;
    update();
}

void TPaperPreview::SetShadowSize(int size)
{
    shadowSize_ = std::max(0, size);
    Resize();
}

void TPaperPreview::SetPaperSize(int width, int height)
{
    paperWidth_ = std::max(0, width);
    paperHeight_ = std::max(0, height);
    Resize();
}

QSize TPaperPreview::SheetSizeFor(QSize paper) const
{
    const int extra = 2 * borderSize_ + shadowSize_;
    return {std::max(0, paper.width()) + extra, std::max(0, paper.height()) + extra};
}

QRect TPaperPreview::PageRect() const
{
    return QRect(
        QPoint(borderSize_, borderSize_),
        QPoint(width() - shadowSize_ - borderSize_ - 1, height() - shadowSize_ - borderSize_ - 1));
}

void TPaperPreview::Resize()
{
    resize(SheetSizeFor({paperWidth_, paperHeight_}));
    update();
}

void TPaperPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const int b = borderSize_;
    const int s = shadowSize_;
    // The frame: a line of width b inside (0, 0)–(w − s, h − s), as four bars
    // so that it stays whole pixels at any width.
    if (b > 0) {
        const int fw = w - s;
        const int fh = h - s;
        painter.fillRect(0, 0, fw, b, borderColor_);
        painter.fillRect(0, fh - b, fw, b, borderColor_);
        painter.fillRect(0, 0, b, fh, borderColor_);
        painter.fillRect(fw - b, 0, b, fh, borderColor_);
    }
    // The shadow is an L along the right and bottom edges; its two outer
    // ends take the background, which offsets it down and to the right.
    if (s > 0) {
        painter.fillRect(w - s, s, s, h - s, shadowColor_);
        painter.fillRect(s, h - s, w - s, s, shadowColor_);
        const QColor background = palette().color(backgroundRole());
        painter.fillRect(w - s, 0, s, s, background);
        painter.fillRect(0, h - s, s, s, background);
    }
    const QRect page = PageRect();
    painter.fillRect(page, paperColor_);
    painter.save();
    painter.setClipRect(page);
    emit paintPage(painter, page);
    painter.restore();
}

} // namespace velmora::gui
