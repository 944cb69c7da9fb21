// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/StatusTexts.h"

#include "collection/ListOrder.h"
#include "collection/NodeText.h"
#include "display/Formats.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <cstdlib>

namespace velmora::display {

using texts::TextId;

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
    const auto withUnit = [&table](std::string text, TextId unit) {
        text += ' ';
        text += table.Text(unit);
        return text;
    };

    std::array<std::string, 6> panels;
    panels[0] = withUnit(MegabytesShortest(size, decimalSeparator), TextId::MegabytesUnit);
    panels[1] = DurationText(table, duration);

    if (tree.hasChildren(node) || tree.level(node) <= 1) {
        panels[2] = AverageRateText(table, size, duration);
        panels[3] = withUnit(std::to_string(numbers[kFolderCount]), TextId::FoldersUnit);
        panels[4] = withUnit(std::to_string(numbers[kFileCount]), TextId::FilesUnit);
        NodeId volume = node;
        while (volume != kNoNode && tree.level(volume) > 1)
            volume = tree.parent(volume);
        Numbers volumeNumbers{};
        if (volume != kNoNode)
            ReadNumbers(tree.text(volume), volumeNumbers);
        panels[5] = FormatDay(static_cast<std::int32_t>(volumeNumbers[kScanDate]), dateSeparator);
        return panels;
    }

    panels[2] = FileRateText(table, size, duration, numbers[kVersionCode], numbers[kLayerCode]);
    panels[3] = SampleRateText(table, numbers[kSampleRate10]);
    panels[4] = std::string(ChannelText(table, numbers[kChannelCode]));
    panels[5] = MpegText(table, numbers[kVersionCode], numbers[kLayerCode]);
    return panels;
}

std::string ListDetailText(const collection::CollectionTree& tree, collection::NodeId node,
                           int column, const texts::TextTable& table,
                           std::string_view decimalSeparator)
{
    using namespace collection;
    Numbers numbers{};
    ReadNumbers(tree.text(node), numbers);
    const int detail = column - kListColumnCount;
    if (detail == 0) {
        std::string text = MegabytesShortest(numbers[kSizeKB], decimalSeparator);
        text += ' ';
        text += table.Text(TextId::MegabytesUnit);
        return text;
    }
    if (detail == 1)
        return FormatHMS(AbsClamped(numbers[kDuration]));
    if (tree.hasChildren(node))
        return {};
    switch (detail) {
    case 2:
        return FileRateText(table, numbers[kSizeKB], numbers[kDuration], numbers[kVersionCode],
                            numbers[kLayerCode]);
    case 3:
        return SampleRateText(table, numbers[kSampleRate10]);
    case 4:
        return std::string(ChannelText(table, numbers[kChannelCode]));
    default:
        return {};
    }
}

} // namespace velmora::display
