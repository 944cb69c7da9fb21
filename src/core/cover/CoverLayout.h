// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora::cover {

// Cover geometry. Every position is in tenths of a millimetre on the paper,
// x to the right and y downward from the paper's top-left corner.

/// A rectangle; `right` and `bottom` lie just outside it.
struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const Box&) const = default;
};

struct Point {
    int x = 0;
    int y = 0;

    bool operator==(const Point&) const = default;
};

/// The cover's paper: A4 portrait, 2100 x 2970.
inline constexpr int kPaperWidth = 2100;
inline constexpr int kPaperHeight = 2970;
/// The paper less its margins (left 60, top 180, right 60, bottom 60).
inline constexpr Box kCoverPage{60, 180, 2040, 2910};

/// The smallest and largest stretch, in percent.
inline constexpr int kMinStretch = 95;
inline constexpr int kMaxStretch = 105;

/// `length` scaled by `stretch` percent and rounded to the nearest integer;
/// an exact half goes down below 100 % and up above it (95 % of 50 is 47,
/// 105 % of 50 is 53).
int Stretched(int length, int stretch);

/// The sizes of the cover's two parts for a horizontal and a vertical
/// stretch in percent.
struct CoverDimensions {
    int frontWidth = 0;  ///< W1: the front booklet
    int frontHeight = 0; ///< H1
    int backWidth = 0;   ///< W2: the back inlay, both spines included
    int backHeight = 0;  ///< H2
    int spine = 0;       ///< S: the width of each spine
    int marginX = 0;     ///< MX: horizontal text margin
    int marginY = 0;     ///< MY: vertical text margin

    bool operator==(const CoverDimensions&) const = default;
};
CoverDimensions Dimensions(int horizontalStretch, int verticalStretch);

/// A font of the cover. Sizes are character heights in cover units: the
/// height of the font's em without its internal leading, as if one cover
/// unit were one pixel of the display (see CharacterHeight).
struct CoverFont {
    std::string name; ///< family name, UTF-8
    int height = 48;  ///< character height in cover units, at least 1
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    /// Colour as stored in the settings: red in the low byte, then green,
    /// then blue (0x00BBGGRR); 0 is black.
    std::uint32_t color = 0;

    bool operator==(const CoverFont&) const = default;
};

/// The character height of a font of `points` on a display of
/// `pixelsPerInch` (36 points at 96 pixels per inch give 48), rounded to
/// the nearest integer, halves away from zero; at least 1.
int CharacterHeight(int points, int pixelsPerInch);

/// What a text measures in a font, in cover units: its advance width and
/// its line height (internal leading included).
struct TextSize {
    int width = 0;
    int height = 0;
};

/// Text measures of the device that draws the cover: the window's real
/// fonts, or fixed metrics in tests.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    /// The size of `text` (UTF-8) set in `font`, unrotated.
    virtual TextSize measure(const CoverFont& font, std::string_view text) const = 0;
};

/// A rectangle outlined with a thin black line and filled white.
struct RectangleOp {
    Box box;
    bool operator==(const RectangleOp&) const = default;
};

/// A thin black line from `from` to `to`, both ends included.
struct LineOp {
    Point from;
    Point to;
    bool operator==(const LineOp&) const = default;
};

/// A line of text whose unrotated top-left corner is at `origin`. The text
/// runs to the right for angle 0, upward for 90 and downward for 270.
struct TextOp {
    std::string text; ///< UTF-8
    CoverFont font;
    Point origin;
    int angle = 0;
    /// Nothing of the text outside this box is drawn.
    std::optional<Box> clip;
    bool operator==(const TextOp&) const = default;
};

/// One drawing step. A cover is a list of them, replayed in order onto the
/// preview, a printer or a PDF alike.
using DrawOp = std::variant<RectangleOp, LineOp, TextOp>;

/// What the cover shows besides its frames.
struct CoverContent {
    /// The folder names of the disc's root in their order, as UTF-8;
    /// std::nullopt when they could not be read: the cover then shows its
    /// frames only.
    std::optional<std::vector<std::string>> folders;
    bool numeration = false;
    /// The date on the back; empty: none.
    std::string date;
    /// The label on both spines; empty: none.
    std::string label;
};

/// The prefix of folder `number` (from 1) of `count`: empty without
/// numeration, else "1. " and so on, with a leading "0" below 10 when there
/// are ten or more folders ("01. " to "09. ").
std::string FolderPrefix(int number, std::size_t count, bool numeration);

/// The drawing of a cover: the front booklet on top and the back inlay with
/// its two spines directly below, both centred on `page`; the folder list on
/// each, as many lines as fit (the back starts again with the first
/// folder); the date centred at the foot of the back; the label along both
/// spines, unclipped. `listingFont` sets the font of the listings; the date
/// and the label take its name and styles at 18 and 28 (or 26) points of a
/// display of `pixelsPerInch`.
std::vector<DrawOp> LayoutCover(const CoverDimensions& dimensions, const Box& page,
                                const CoverFont& listingFont, int pixelsPerInch,
                                const CoverContent& content, const TextMeasure& measure);

} // namespace velmora::cover
