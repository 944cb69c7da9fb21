#include "gui/StatusTexts.h"

#include "collection/NodeText.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <cstdlib>

namespace velmora::gui {
namespace {

using texts::TextId;

std::string Join(std::string_view a, std::string_view b)
{
    std::string joined(a);
    joined += ' ';
    joined += b;
    return joined;
}

} // namespace

std::string MegabytesText(std::int64_t sizeKB, std::string_view decimalSeparator)
{
    const bool negative = sizeKB < 0;
    const std::uint64_t kb =
        negative ? 0 - static_cast<std::uint64_t>(sizeKB) : static_cast<std::uint64_t>(sizeKB);
    // Hundredths of a megabyte: kb * 100 / 1024, the remainder deciding the
    // rounding (exactly half goes to the even neighbour). Whole megabytes
    // and the rest are scaled apart, so that no stored size overflows.
    std::uint64_t hundredths = kb / 1024 * 100 + kb % 1024 * 100 / 1024;
    const std::uint64_t remainder = kb % 1024 * 100 % 1024;
    if (remainder * 2 > 1024 || (remainder * 2 == 1024 && hundredths % 2 == 1))
        ++hundredths;
    std::string text = negative && hundredths != 0 ? "-" : "";
    text += std::to_string(hundredths / 100);
    const std::uint64_t fraction = hundredths % 100;
    if (fraction != 0) {
        text += decimalSeparator;
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0)
            text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

std::array<std::string, 6> StatusPanelTexts(const collection::CollectionTree& tree,
                                            collection::NodeId node, const texts::TextTable& table,
                                            std::string_view decimalSeparator,
                                            std::string_view dateSeparator)
{
    using namespace collection;
    Numbers numbers{};
    ReadNumbers(tree.text(node), numbers);
    const std::int64_t size = numbers[kSizeKB];
    const std::int64_t duration = numbers[kDuration];
    const std::int64_t average = AverageBitRate(size, duration);

    std::array<std::string, 6> panels;
    panels[0] = Join(MegabytesText(size, decimalSeparator), table.Text(TextId::MegabytesUnit));
    panels[1] = Join(FormatHMS(AbsClamped(duration)), table.Text(TextId::HoursMinutesSecondsUnit));
    const std::string kbps(table.Text(TextId::KbpsUnit));

    if (tree.hasChildren(node) || tree.level(node) <= 1) {
        panels[2] = Join(Join(table.Text(TextId::AverageRate), std::to_string(average)), kbps);
        panels[3] = Join(std::to_string(numbers[kFolderCount]), table.Text(TextId::FoldersUnit));
        panels[4] = Join(std::to_string(numbers[kFileCount]), table.Text(TextId::FilesUnit));
        NodeId volume = node;
        while (volume != kNoNode && tree.level(volume) > 1)
            volume = tree.parent(volume);
        Numbers volumeNumbers{};
        if (volume != kNoNode)
            ReadNumbers(tree.text(volume), volumeNumbers);
        panels[5] = FormatDay(static_cast<std::int32_t>(volumeNumbers[kScanDate]), dateSeparator);
        return panels;
    }

    if (duration < 0) {
        panels[2] = Join(Join(table.Text(TextId::VariableRate), std::to_string(average)), kbps);
    } else {
        const std::int64_t standard =
            StandardBitRate(average, numbers[kVersionCode], numbers[kLayerCode]);
        panels[2] = Join(Join(table.Text(TextId::ConstantRate), std::to_string(standard)), kbps);
    }
    panels[3] = Join(std::to_string(MultiplyClamped(numbers[kSampleRate10], 10)),
                     table.Text(TextId::HertzUnit));
    panels[4] = std::string(ChannelText(table, numbers[kChannelCode]));
    panels[5] = Join(Join(Join(table.Text(TextId::MpegPrefix), VersionText(numbers[kVersionCode])),
                          table.Text(TextId::LayerPrefix)),
                     std::to_string(numbers[kLayerCode]));
    return panels;
}

} // namespace velmora::gui
