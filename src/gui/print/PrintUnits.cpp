// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/print/PrintUnits.h"

#include <cstdlib>

namespace velmora::gui {
namespace {

using enum TPaperType;
using Id = QPageSize::PageSizeId;

constexpr std::array<PaperInfo, kPaperTypeCount> kPapers{{
    {pLetter, 1, 2159, 2794, Id::Letter},
    {pLetterSmall, 2, 2159, 2794, Id::LetterSmall},
    {pTabloid, 3, 2794, 4318, Id::Tabloid},
    {pLedger, 4, 4318, 2794, Id::Ledger},
    {pLegal, 5, 2159, 3556, Id::Legal},
    {pStatement, 6, 1397, 2159, Id::Statement},
    {pExecutive, 7, 1842, 2667, Id::ExecutiveStandard},
    {pA3, 8, 2970, 4200, Id::A3},
    {pA4, 9, 2100, 2970, Id::A4},
    {pA4Small, 10, 2100, 2970, Id::A4Small},
    {pA5, 11, 1480, 2100, Id::A5},
    {pB4, 12, 2500, 3540, Id::Custom},
    {pB5, 13, 1820, 2570, Id::JisB5},
    {pFolio, 14, 2159, 3302, Id::Custom},
    {pQuatro, 15, 2150, 2750, Id::Custom},
    {p10x14, 16, 2540, 3556, Id::Imperial10x14},
    {p11x17, 17, 2794, 4318, Id::Tabloid},
    {pNote, 18, 2159, 2794, Id::Note},
    {pEnv9, 19, 984, 2254, Id::Envelope9},
    {pEnv10, 20, 1048, 2413, Id::Envelope10},
    {pEnv11, 21, 1143, 2635, Id::Envelope11},
    {pEnv12, 22, 1207, 2794, Id::Envelope12},
    {pEnv14, 23, 1270, 2921, Id::Envelope14},
    {pCSheet, 24, 4318, 5588, Id::AnsiC},
    {pDSheet, 25, 5588, 8636, Id::AnsiD},
    {pESheet, 26, 8636, 11176, Id::AnsiE},
    {pEnvDL, 27, 1100, 2200, Id::EnvelopeDL},
    {pEnvC5, 28, 1620, 2290, Id::EnvelopeC5},
    {pEnvC3, 29, 3240, 4580, Id::EnvelopeC3},
    {pEnvC4, 30, 2290, 3240, Id::EnvelopeC4},
    {pEnvC6, 31, 1140, 1620, Id::EnvelopeC6},
    {pEnvC65, 32, 1140, 2290, Id::EnvelopeC65},
    {pEnvB4, 33, 2500, 3530, Id::EnvelopeB4},
    {pEnvB5, 34, 1760, 2500, Id::EnvelopeB5},
    {pEnvB6, 35, 1760, 1250, Id::EnvelopeB6},
    {pEnvItaly, 36, 1100, 2300, Id::EnvelopeItalian},
    {pEnvMonarch, 37, 984, 1905, Id::EnvelopeMonarch},
    {pEnvPersonal, 38, 920, 1651, Id::EnvelopePersonal},
    {pFanfoldUSStd, 39, 3778, 2794, Id::FanFoldUS},
    {pFanfoldGermanStd, 40, 2159, 3048, Id::FanFoldGerman},
    {pFanfoldGermanLegal, 41, 2159, 3302, Id::FanFoldGermanLegal},
    {pB4ISO, 42, 2500, 3530, Id::B4},
    {pJapanesePostcard, 43, 1000, 1480, Id::Postcard},
    {p9x11, 44, 2286, 2794, Id::Imperial9x11},
    {p10x11, 45, 2540, 2794, Id::Imperial10x11},
    {p15x11, 46, 3810, 2794, Id::Imperial15x11},
    {pEnvInvite, 47, 2200, 2200, Id::EnvelopeInvite},
    {pLetterExtra, 50, 2355, 3048, Id::Custom},
    {pLegalExtra, 51, 2355, 3810, Id::Custom},
    {TabloidExtra, 52, 2969, 4572, Id::Custom},
    {pA4Extra, 53, 2354, 3223, Id::A4Extra},
    {pLetterTransverse, 54, 2101, 2794, Id::Custom},
    {pA4Transverse, 55, 2100, 2970, Id::A4},
    {pLetterExtraTransverse, 56, 2355, 3048, Id::Custom},
    {pAPlus, 57, 2270, 3560, Id::SuperA},
    {pBPlus, 58, 3050, 4870, Id::SuperB},
    {pLetterPlus, 59, 2159, 3223, Id::LetterPlus},
    {pA4Plus, 60, 2100, 3300, Id::A4Plus},
    {pA5Transverse, 61, 1480, 2100, Id::A5},
    {pB5Transverse, 62, 1820, 2570, Id::JisB5},
    {pA3Extra, 63, 3220, 4450, Id::A3Extra},
    {pA5Extra, 64, 1740, 2350, Id::A5Extra},
    {pB5Extra, 65, 2010, 2760, Id::B5Extra},
    {pA2, 66, 4200, 5940, Id::A2},
    {pA3Transverse, 67, 2970, 4200, Id::A3},
    {pA3ExtraTransverse, 68, 3220, 4450, Id::A3Extra},
    {pCustom, 255, 0, 0, Id::Custom},
}};

constexpr bool InTypeOrder()
{
    for (std::size_t i = 0; i < kPapers.size(); ++i) {
        if (static_cast<std::size_t>(kPapers[i].type) != i)
            return false;
    }
    return true;
}
static_assert(InTypeOrder(), "the paper table is indexed by TPaperType");

} // namespace

int MulDivRound(std::int64_t n, std::int64_t numerator, std::int64_t denominator)
{
    std::int64_t product = n * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    product = std::llabs(product);
    denominator = std::llabs(denominator);
    const std::int64_t rounded = (2 * product + denominator) / (2 * denominator);
    return static_cast<int>(negative ? -rounded : rounded);
}

int ConvertUnits(int n, TUnits from, TUnits to, int devicePpi)
{
    if (from == to)
        return n;
    // The tenfold steps within one system are exact, and the way down
    // truncates, as integer division does.
    if ((from == TUnits::mmLoMetric && to == TUnits::mmHiMetric) ||
        (from == TUnits::mmLoEnglish && to == TUnits::mmHiEnglish))
        return n * 10;
    if ((from == TUnits::mmHiMetric && to == TUnits::mmLoMetric) ||
        (from == TUnits::mmHiEnglish && to == TUnits::mmLoEnglish))
        return n / 10;
    return MulDivRound(n, UnitsPerInch(to, devicePpi), UnitsPerInch(from, devicePpi));
}

const std::array<PaperInfo, kPaperTypeCount>& PaperTable()
{
    return kPapers;
}

const PaperInfo& PaperInfoOf(TPaperType type)
{
    return kPapers[static_cast<std::size_t>(type)];
}

} // namespace velmora::gui
