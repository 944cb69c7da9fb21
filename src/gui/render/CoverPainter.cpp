// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/render/CoverPainter.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>
#include <cstdio>

namespace velmora::gui {

namespace {

QColor CoverColor(std::uint32_t color)
{
    // Stored red first, in the low byte.
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QString Utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void PaintText(QPainter& painter, const cover::TextOp& op)
{
    painter.save();
    if (op.clip) {
        const cover::Box& clip = *op.clip;
        painter.setClipRect(
            QRect(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top),
            Qt::IntersectClip);
    }
    const QFont font = CoverQFont(op.font);
    painter.setFont(font);
    painter.setPen(CoverColor(op.font.color));
    painter.translate(op.origin.x, op.origin.y);
    // Angles turn counter-clockwise as seen on the page; Qt's turn the
    // other way, y pointing down.
    if (op.angle != 0)
        painter.rotate(-op.angle);
    painter.drawText(QPointF(0, QFontMetricsF(font).ascent()), Utf8(op.text));
    painter.restore();
}

// Qt's notes about its own set-up (no runtime folder, no display, fonts it
// substituted) are nothing a user of the command line can act on.
void DropQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

QFont CoverQFont(const cover::CoverFont& font)
{
    QFont qfont(Utf8(font.name));
    qfont.setPixelSize(std::max(1, std::abs(font.height)));
    qfont.setBold(font.bold);
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    // Metrics taken on the screen must hold on a printer of any resolution.
    qfont.setHintingPreference(QFont::PreferNoHinting);
    return qfont;
}

cover::TextSize QtTextMeasure::measure(const cover::CoverFont& font, std::string_view text) const
{
    const QFontMetricsF metrics(CoverQFont(font));
    return {static_cast<int>(std::lround(metrics.horizontalAdvance(Utf8(text)))),
            static_cast<int>(std::lround(metrics.height()))};
}

void SetCoverUnits(QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    painter.setViewport(0, 0, device->width(), device->height());
    painter.setWindow(0, 0, cover::kPaperWidth, cover::kPaperHeight);
}

void PaintCover(QPainter& painter, const std::vector<cover::DrawOp>& ops)
{
    painter.save();
    // Cutting lines one device pixel wide: 1/96 inch on paper.
    QPen thin(Qt::black, 1);
    thin.setCosmetic(true);
    for (const cover::DrawOp& op : ops) {
        if (const auto* rectangle = std::get_if<cover::RectangleOp>(&op)) {
            const cover::Box& b = rectangle->box;
            const QRect area(b.left, b.top, b.right - b.left, b.bottom - b.top);
            painter.fillRect(area, Qt::white);
            painter.setPen(thin);
            painter.setBrush(Qt::NoBrush);
            // The outline lies on the rectangle's last row and column, not
            // beyond them.
            painter.drawRect(area.adjusted(0, 0, -1, -1));
        } else if (const auto* line = std::get_if<cover::LineOp>(&op)) {
            painter.setPen(thin);
            painter.drawLine(line->from.x, line->from.y, line->to.x, line->to.y);
        } else {
            PaintText(painter, std::get<cover::TextOp>(op));
        }
    }
    painter.restore();
}

QtCoverRenderer::QtCoverRenderer() = default;
QtCoverRenderer::~QtCoverRenderer() = default;

void QtCoverRenderer::EnsureApplication() const
{
    if (QGuiApplication::instance() != nullptr)
        return;
    static int argc = 3;
    static char name[] = "velmora-cli";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    qInstallMessageHandler(DropQtNotes);
    application_ = std::make_unique<QGuiApplication>(argc, argv);
}

const cover::TextMeasure& QtCoverRenderer::measure() const
{
    EnsureApplication();
    return measure_;
}

int QtCoverRenderer::pixelsPerInch() const
{
    // The offscreen platform has no display of its own: the common one.
    return 96;
}

bool QtCoverRenderer::renderPdf(const std::vector<cover::DrawOp>& ops, std::string_view title,
                                std::string& pdf)
{
    EnsureApplication();
    QBuffer buffer;
    if (!buffer.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(Utf8(title));
        writer.setCreator(QStringLiteral("Velmora"));
        // The preview's pages print at this resolution too; the page is
        // vector drawing all the same.
        writer.setResolution(96);
        if (!writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                              QMarginsF(0, 0, 0, 0))))
            return false;
        QPainter painter;
        if (!painter.begin(&writer))
            return false;
        SetCoverUnits(painter);
        PaintCover(painter, ops);
        if (!painter.end())
            return false;
    }
    const QByteArray& bytes = buffer.data();
    pdf.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return !pdf.empty();
}

} // namespace velmora::gui
