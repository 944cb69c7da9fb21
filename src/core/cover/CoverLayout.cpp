// SPDX-License-Identifier: GPL-3.0-or-later
#include "cover/CoverLayout.h"

#include <cstdlib>

namespace velmora::cover {

namespace {

// The date and the label are set in the listing font at these sizes; the
// label drops to the smaller one when it would not fit across a spine.
constexpr int kDatePoints = 18;
constexpr int kLabelPoints = 28;
constexpr int kSmallLabelPoints = 26;

CoverFont Resized(const CoverFont& font, int points, int pixelsPerInch)
{
    CoverFont resized = font;
    resized.height = CharacterHeight(points, pixelsPerInch);
    return resized;
}

// One listing: folder names, one per line from the top of `box`, each line
// as high as the font plus a quarter; the list ends before the first line
// whose bottom would pass `limit`.
void AddListing(std::vector<DrawOp>& ops, const std::vector<std::string>& folders, bool numeration,
                const CoverFont& font, int left, int right, int top, int limit)
{
    const int height = std::abs(font.height);
    const int pitch = height + height / 4;
    int lineTop = top;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const int lineBottom = lineTop + pitch;
        if (lineBottom > limit)
            return;
        std::string text = FolderPrefix(static_cast<int>(i) + 1, folders.size(), numeration);
        text += folders[i];
        ops.emplace_back(TextOp{.text = std::move(text),
                                .font = font,
                                .origin = {left, lineTop},
                                .clip = Box{left, lineTop, right, lineBottom}});
        lineTop = lineBottom;
    }
}

} // namespace

int Stretched(int length, int stretch)
{
    const long long product = static_cast<long long>(length) * stretch;
    long long whole = product / 100;
    const long long twiceRest = (product % 100) * 2;
    if (twiceRest > 100 || (twiceRest == 100 && stretch > 100))
        ++whole;
    return static_cast<int>(whole);
}

CoverDimensions Dimensions(int horizontalStretch, int verticalStretch)
{
    return {.frontWidth = Stretched(1205, horizontalStretch),
            .frontHeight = Stretched(1255, verticalStretch),
            .backWidth = Stretched(1515, horizontalStretch),
            .backHeight = Stretched(1225, verticalStretch),
            .spine = Stretched(70, horizontalStretch),
            .marginX = Stretched(50, horizontalStretch),
            .marginY = Stretched(50, verticalStretch)};
}

int CharacterHeight(int points, int pixelsPerInch)
{
    const long long product = static_cast<long long>(points) * pixelsPerInch;
    const long long height = (product + (product >= 0 ? 36 : -36)) / 72;
    return height < 1 ? 1 : static_cast<int>(height);
}

std::string FolderPrefix(int number, std::size_t count, bool numeration)
{
    if (!numeration)
        return {};
    std::string prefix;
    if (count >= 10 && number < 10)
        prefix += '0';
    prefix += std::to_string(number);
    prefix += ". ";
    return prefix;
}

std::vector<DrawOp> LayoutCover(const CoverDimensions& d, const Box& page,
                                const CoverFont& listingFont, int pixelsPerInch,
                                const CoverContent& content, const TextMeasure& measure)
{
    const int left = page.left;
    const int top = page.top;
    const int frontX = left + (page.right - page.left - d.frontWidth) / 2;
    const int backX = left + (page.right - page.left - d.backWidth) / 2;
    const int backTop = top + d.frontHeight;
    const int backBottom = backTop + d.backHeight;

    std::vector<DrawOp> ops;
    // The front's frame reaches one unit further down, onto the back's top
    // edge, so that the two parts share their cutting line.
    ops.emplace_back(RectangleOp{{frontX, top, frontX + d.frontWidth, backTop + 1}});
    ops.emplace_back(RectangleOp{{backX, backTop, backX + d.backWidth, backBottom}});
    const int leftSpine = backX + d.spine;
    const int rightSpine = backX + d.backWidth - d.spine;
    ops.emplace_back(LineOp{{leftSpine, backTop}, {leftSpine, backBottom}});
    ops.emplace_back(LineOp{{rightSpine, backTop}, {rightSpine, backBottom}});

    if (!content.folders)
        return ops;
    const std::vector<std::string>& folders = *content.folders;
    AddListing(ops, folders, content.numeration, listingFont, frontX + d.marginX,
               frontX + d.frontWidth - d.marginX, top + d.marginY, backTop - d.marginY / 4);
    AddListing(ops, folders, content.numeration, listingFont, leftSpine + d.marginX,
               rightSpine - d.marginX, backTop + d.marginY, backBottom - d.marginY / 4);

    if (!content.date.empty()) {
        const CoverFont font = Resized(listingFont, kDatePoints, pixelsPerInch);
        const TextSize size = measure.measure(font, content.date);
        const int x = backX + (d.backWidth - size.width) / 2;
        const int y = backBottom - (size.height + d.marginY) / 2;
        ops.emplace_back(TextOp{.text = content.date,
                                .font = font,
                                .origin = {x, y},
                                .clip = Box{x, y, x + size.width, backBottom - 1}});
    }

    if (!content.label.empty()) {
        CoverFont font = Resized(listingFont, kLabelPoints, pixelsPerInch);
        int height = measure.measure(font, content.label).height;
        if (height >= d.spine) {
            font = Resized(listingFont, kSmallLabelPoints, pixelsPerInch);
            height = measure.measure(font, content.label).height;
        }
        const int across = (d.spine - height) / 2;
        ops.emplace_back(TextOp{.text = content.label,
                                .font = font,
                                .origin = {backX + across, backBottom - d.marginX},
                                .angle = 90,
                                .clip = std::nullopt});
        ops.emplace_back(TextOp{.text = content.label,
                                .font = font,
                                .origin = {backX + d.backWidth - across, backTop + d.marginX},
                                .angle = 270,
                                .clip = std::nullopt});
    }
    return ops;
}

} // namespace velmora::cover
