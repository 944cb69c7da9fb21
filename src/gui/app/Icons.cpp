// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/app/Icons.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <memory>

// Resources of a static library are registered by hand, once.
static void InitVelmoraResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(velmora);
        return true;
    }();
    static_cast<void>(registered);
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

// Whether the desktop's icon theme has a picture for every command.
bool ThemeHasEveryCommandIcon()
{
    // Asked again only when the theme changes.
    static QString theme;
    static bool complete = false;
    static bool asked = false;
    if (!asked || theme != QIcon::themeName()) {
        theme = QIcon::themeName();
        complete =
            std::all_of(Icons::kCommandIconNames.begin(), Icons::kCommandIconNames.end(),
                        [](const char* name) { return QIcon::hasThemeIcon(QLatin1String(name)); });
        asked = true;
    }
    return complete;
}

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
    window_ = Svg("velmora");
}

const std::array<const char*, 16> Icons::kCommandIconNames = {
    "document-new",        "document-open",   "document-save",  "document-save-as",
    "document-import",     "view-statistics", "document-print", "document-print-preview",
    "document-edit",       "edit-find",       "list-add",       "list-remove",
    "view-sort-ascending", "configure",       "help-about",     "application-exit",
};

QIcon Icons::ForCommand(const char* name)
{
    const QLatin1String icon(name);
    if (ThemeHasEveryCommandIcon())
        return QIcon::fromTheme(icon);
    InitVelmoraResources();
    if (QFile::exists(QStringLiteral(":/icons/%1.svg").arg(icon)))
        return Svg(name);
    // A name outside the set: the theme's picture where it has one.
    return QIcon::fromTheme(icon);
}

QIcon Icons::CommandIcon(const QIcon& base)
{
    return QIcon(new CommandIconEngine(base));
}

} // namespace velmora::gui
