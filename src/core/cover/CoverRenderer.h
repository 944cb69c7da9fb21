// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cover/CoverLayout.h"

#include <string>
#include <string_view>
#include <vector>

namespace velmora::cover {

/// A device that measures and draws covers without a window: the command
/// line's way to a PDF file.
class CoverRenderer {
public:
    virtual ~CoverRenderer() = default;

    /// The text measures of the device's fonts.
    virtual const TextMeasure& measure() const = 0;
    /// Pixels per inch of the display that font sizes are taken for.
    virtual int pixelsPerInch() const = 0;
    /// Draws `ops` as one A4 page of a PDF document titled `title` (UTF-8)
    /// into `pdf`. False when the document cannot be made.
    [[nodiscard]] virtual bool renderPdf(const std::vector<DrawOp>& ops, std::string_view title,
                                         std::string& pdf) = 0;
};

} // namespace velmora::cover
