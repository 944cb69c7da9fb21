// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

class QPainter;

namespace velmora::gui {

/// A sheet of paper on the screen: a page area framed by a border line and
/// a drop shadow offset down and to the right. Its owner draws the page
/// through paintPage(). All sizes are in screen pixels.
///
/// The widget is 2 × BorderSize() + ShadowSize() larger than the page area
/// in each direction; PageRect() is the page area in the widget's
/// coordinates. Painting covers every pixel of the widget (the two corners
/// beside the shadow in the widget's background colour), so the widget is
/// opaque and nothing is erased before it paints.
class TPaperPreview : public QWidget {
    Q_OBJECT

public:
    explicit TPaperPreview(QWidget* parent = nullptr);

    /// Fill of the page area; white by default.
    QColor PaperColor() const { return paperColor_; }
    void SetPaperColor(const QColor& color);
    /// Colour of the frame line; black by default.
    QColor BorderColor() const { return borderColor_; }
    void SetBorderColor(const QColor& color);
    /// Width of the frame line, 0 or more; 1 by default.
    int BorderSize() const { return borderSize_; }
    void SetBorderSize(int size);
    /// Colour of the drop shadow; the palette's Dark (the button shadow) by
    /// default.
    QColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(const QColor& color);
    /// Width of the drop shadow, 0 or more; 3 by default.
    int ShadowSize() const { return shadowSize_; }
    void SetShadowSize(int size);

    /// Size of the page area, 0 or more each; 105 × 148 by default. Setting
    /// it resizes the widget.
    int PaperWidth() const { return paperWidth_; }
    int PaperHeight() const { return paperHeight_; }
    void SetPaperSize(int width, int height);
    /// The widget's size for a page area of `paper`.
    QSize SheetSizeFor(QSize paper) const;

    /// From (BorderSize, BorderSize) to (width − ShadowSize − BorderSize,
    /// height − ShadowSize − BorderSize), the right and bottom edges
    /// excluded.
    QRect PageRect() const;

signals:
    /// Emitted while painting, after the paper is filled, with the painter
    /// clipped to `pageRect`. Connect directly: the painter lives only
    /// during the call.
    void paintPage(QPainter& painter, const QRect& pageRect);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Resize();

    QColor paperColor_{Qt::white};
    QColor borderColor_{Qt::black};
    int borderSize_ = 1;
    QColor shadowColor_;
    int shadowSize_ = 3;
    int paperWidth_ = 105;
    int paperHeight_ = 148;
};

} // namespace velmora::gui
