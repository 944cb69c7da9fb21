// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/Icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QSvgRenderer>
#include <memory>

// Resources of a static library are registered by hand.
static void InitVelmoraResources()
{
    Q_INIT_RESOURCE(velmora);
}

namespace velmora::gui {
namespace {

// Draws an SVG at whatever size is asked, optionally a second SVG for the
// selected state, and optionally the selected-mark overlay in the lower left
// quarter.
class SvgIconEngine : public QIconEngine {
public:
    SvgIconEngine(QString normal, QString selected, bool overlay)
        : normal_(std::make_shared<QSvgRenderer>(normal)),
          selected_(selected.isEmpty() ? normal_ : std::make_shared<QSvgRenderer>(selected)),
          overlay_(overlay ? std::make_shared<QSvgRenderer>(QStringLiteral(":/icons/selected.svg"))
                           : nullptr)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const std::shared_ptr<QSvgRenderer>& renderer =
            mode == QIcon::Selected ? selected_ : normal_;
        renderer->render(painter, rect);
        if (overlay_) {
            const int side = std::max(6, rect.width() * 5 / 9);
            overlay_->render(painter, QRect(rect.left(), rect.bottom() + 1 - side, side, side));
        }
        if (mode == QIcon::Disabled) {
            painter->setCompositionMode(QPainter::CompositionMode_SourceAtop);
            painter->fillRect(rect, QColor(255, 255, 255, 140));
        }
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new SvgIconEngine(*this); }

private:
    std::shared_ptr<QSvgRenderer> normal_;
    std::shared_ptr<QSvgRenderer> selected_;
    std::shared_ptr<QSvgRenderer> overlay_;
};

// Shows a base icon as it is, except that the disabled picture is made from
// the enabled one: grey, at a third of its opacity.
class CommandIconEngine : public QIconEngine {
public:
    explicit CommandIconEngine(QIcon base) : base_(std::move(base)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(
            rect, scaledPixmap(rect.size(), mode, state,
                               painter->device() ? painter->device()->devicePixelRatioF() : 1.0));
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State state) override
    {
        return base_.actualSize(size, QIcon::Normal, state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        if (mode != QIcon::Disabled)
            return base_.pixmap(size, scale, mode, state);
        QImage image = base_.pixmap(size, scale, QIcon::Normal, state)
                           .toImage()
                           .convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grey = qGray(line[x]);
                line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 3);
            }
        }
        return QPixmap::fromImage(std::move(image));
    }

    QIconEngine* clone() const override { return new CommandIconEngine(*this); }

private:
    QIcon base_;
};

QIcon Svg(const char* name, bool overlay = false, const char* selected = nullptr)
{
    const QString path = QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name));
    const QString selectedPath =
        selected ? QStringLiteral(":/icons/%1.svg").arg(QLatin1String(selected)) : QString();
    return QIcon(new SvgIconEngine(path, selectedPath, overlay));
}

} // namespace

Icons::Icons()
{
    InitVelmoraResources();
    volume_ = Svg("volume");
    volumeMarked_ = Svg("volume", true);
    folder_ = Svg("folder", false, "folder-open");
    folderMarked_ = Svg("folder", true, "folder-open");
    listFolder_ = Svg("folder");
    listFolderMarked_ = Svg("folder", true);
    file_ = Svg("file");
    fileMarked_ = Svg("file", true);
    sortMark_ = Svg("sort");
    window_ = Svg("velmora");
    new_ = Svg("new");
}

QIcon Icons::CommandIcon(const QIcon& base)
{
    return QIcon(new CommandIconEngine(base));
}

} // namespace velmora::gui
