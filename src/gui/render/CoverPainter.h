// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cover/CoverRenderer.h"

#include <QFont>
#include <QString>
#include <memory>
#include <vector>

class QGuiApplication;
class QPainter;

namespace velmora::gui {

/// The Qt font of a cover font: its character height becomes the pixel
/// size, in the painter's units.
QFont CoverQFont(const cover::CoverFont& font);

/// Text measures from Qt's fonts, taken in cover units: a font of pixel size
/// n measures as the display draws it n pixels high.
class QtTextMeasure : public cover::TextMeasure {
public:
    cover::TextSize measure(const cover::CoverFont& font, std::string_view text) const override;
};

/// Replays `ops` onto `painter`, whose coordinates must be cover units
/// (tenths of a millimetre from the paper's top-left corner).
void PaintCover(QPainter& painter, const std::vector<cover::DrawOp>& ops);

/// Maps cover units onto the whole of `painter`'s device, an A4 page.
void SetCoverUnits(QPainter& painter);

/// Covers drawn into PDF documents with Qt's PDF output, for the command
/// line. The first use starts Qt's offscreen platform when no application
/// object exists, so that no display is needed.
class QtCoverRenderer : public cover::CoverRenderer {
public:
    QtCoverRenderer();
    ~QtCoverRenderer() override;

    const cover::TextMeasure& measure() const override;
    int pixelsPerInch() const override;
    [[nodiscard]] bool renderPdf(const std::vector<cover::DrawOp>& ops, std::string_view title,
                                 std::string& pdf) override;

private:
    void EnsureApplication() const;

    QtTextMeasure measure_;
    mutable std::unique_ptr<QGuiApplication> application_;
};

} // namespace velmora::gui
