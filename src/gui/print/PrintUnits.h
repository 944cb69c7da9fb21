// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPageSize>
#include <array>
#include <cstdint>

namespace velmora::gui {

/// The unit of every length a print preview stores and of the coordinates
/// of its drawing surface.
enum class TUnits {
    mmPixel,     ///< one device pixel (the printer's, or the screen's without a printer)
    mmLoMetric,  ///< 0.1 mm, 254 per inch
    mmHiMetric,  ///< 0.01 mm, 2540 per inch
    mmLoEnglish, ///< 0.01 inch, 100 per inch
    mmHiEnglish, ///< 0.001 inch, 1000 per inch
    mmTWIPS,     ///< 1/1440 inch
};

/// Units per inch of `units`; for mmPixel, `devicePpi` (the device's pixels
/// per inch along the axis in question).
[[nodiscard]] constexpr int UnitsPerInch(TUnits units, int devicePpi)
{
    switch (units) {
    case TUnits::mmPixel:
        return devicePpi;
    case TUnits::mmLoMetric:
        return 254;
    case TUnits::mmHiMetric:
        return 2540;
    case TUnits::mmLoEnglish:
        return 100;
    case TUnits::mmHiEnglish:
        return 1000;
    case TUnits::mmTWIPS:
        return 1440;
    }
    return devicePpi;
}

/// Converts the length `n` from `from` to `to`: n × (to per inch) ÷ (from
/// per inch), rounded to the nearest integer with halves away from zero.
/// `devicePpi` is the device's pixels per inch along the length's axis (the
/// vertical one for font sizes); it matters only for mmPixel and must then
/// be positive. The exact steps are computed directly: 0.1 mm to 0.01 mm
/// (and 0.01 inch to 0.001 inch) multiplies by 10, the way back divides by
/// 10 dropping the remainder, so that a round trip upward and back returns
/// the value it started from.
[[nodiscard]] int ConvertUnits(int n, TUnits from, TUnits to, int devicePpi);

/// n × numerator ÷ denominator rounded to the nearest integer, halves away
/// from zero (denominator not 0), computed without overflow for int inputs.
[[nodiscard]] int MulDivRound(std::int64_t n, std::int64_t numerator, std::int64_t denominator);

/// Paper types: each but pCustom is a standard paper with a numeric code
/// (the codes printers of the Windows world know as DMPAPER_*) and a
/// portrait size. pCustom means the size was set directly.
enum class TPaperType {
    pLetter,
    pLetterSmall,
    pTabloid,
    pLedger,
    pLegal,
    pStatement,
    pExecutive,
    pA3,
    pA4,
    pA4Small,
    pA5,
    pB4,
    pB5,
    pFolio,
    pQuatro,
    p10x14,
    p11x17,
    pNote,
    pEnv9,
    pEnv10,
    pEnv11,
    pEnv12,
    pEnv14,
    pCSheet,
    pDSheet,
    pESheet,
    pEnvDL,
    pEnvC5,
    pEnvC3,
    pEnvC4,
    pEnvC6,
    pEnvC65,
    pEnvB4,
    pEnvB5,
    pEnvB6,
    pEnvItaly,
    pEnvMonarch,
    pEnvPersonal,
    pFanfoldUSStd,
    pFanfoldGermanStd,
    pFanfoldGermanLegal,
    pB4ISO,
    pJapanesePostcard,
    p9x11,
    p10x11,
    p15x11,
    pEnvInvite,
    pLetterExtra,
    pLegalExtra,
    TabloidExtra,
    pA4Extra,
    pLetterTransverse,
    pA4Transverse,
    pLetterExtraTransverse,
    pAPlus,
    pBPlus,
    pLetterPlus,
    pA4Plus,
    pA5Transverse,
    pB5Transverse,
    pA3Extra,
    pA5Extra,
    pB5Extra,
    pA2,
    pA3Transverse,
    pA3ExtraTransverse,
    pCustom,
};

inline constexpr int kPaperTypeCount = 67;

/// One row of the paper table: the type, its paper code, its portrait size
/// in 0.1 mm, and Qt's page size of the same paper.
///
/// Qt's id is the paper of the same name and size (within 0.5 mm); these
/// have none and are printed as a custom size of their own dimensions:
/// pB4 (250 × 354 mm: Qt's B4 is ISO 250 × 353, its JIS B4 257 × 364),
/// pFolio (215.9 × 330.2 mm; Qt's Folio is 210 × 330), pQuatro (215 ×
/// 275 mm; Qt's Quarto is 215.9 × 275.1), pLetterExtra and
/// pLetterExtraTransverse (235.5 × 304.8 mm; Qt's LetterExtra is 241.3 ×
/// 304.8), pLegalExtra (235.5 × 381; Qt's 241.3 × 381), TabloidExtra (296.9
/// × 457.2; Qt's 304.8 × 457.2), pLetterTransverse (210.1 × 279.4), and
/// pCustom. The transverse papers map to the paper they turn (same portrait
/// size); the C, D and E sheets are Qt's ANSI sizes.
struct PaperInfo {
    TPaperType type;
    std::int16_t code;
    std::int16_t width;
    std::int16_t height;
    QPageSize::PageSizeId pageSizeId;
};

/// All 67 rows, in the order of TPaperType.
[[nodiscard]] const std::array<PaperInfo, kPaperTypeCount>& PaperTable();
/// The row of `type`.
[[nodiscard]] const PaperInfo& PaperInfoOf(TPaperType type);

} // namespace velmora::gui
