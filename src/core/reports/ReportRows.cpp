// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportRows.h"

#include "display/Formats.h"
#include "system/LocaleSort.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>

namespace velmora::reports {

namespace {

using texts::TextId;

// Which row flags a column's heading needs.
enum HeadedWhen : std::uint8_t {
    kAlways,
    kWithFileRows,
    kWithCollectionVolumeOrFolderRows,
    kWithFolderOrFileRows,
};

struct Column {
    TextId heading;
    HeadedWhen headedWhen;
};

constexpr std::array<Column, kColumnCount> kColumns = {{
    {TextId::MegabytesUnit, kAlways},                         // Size: "Mb"
    {TextId::HoursMinutesSecondsUnit, kAlways},               // Duration: "H:M:S"
    {TextId::KbpsUnit, kAlways},                              // Bit rate: "Kbps"
    {TextId::HertzUnit, kWithFileRows},                       // Sample rate: "Hz"
    {TextId::ChannelModeCriterion, kWithFileRows},            // Channel mode
    {TextId::MpegPrefix, kWithFileRows},                      // MPEG version/layer: "MPEG"
    {TextId::TitleColumn, kWithFileRows},                     // Title
    {TextId::ArtistColumn, kWithFileRows},                    // Artist
    {TextId::AlbumColumn, kWithFileRows},                     // Album
    {TextId::TrackColumn, kWithFileRows},                     // Track
    {TextId::YearColumn, kWithFileRows},                      // Year
    {TextId::CommentColumn, kWithFileRows},                   // Comment
    {TextId::FoldersUnit, kWithCollectionVolumeOrFolderRows}, // "Folder(s)"
    {TextId::FilesUnit, kWithCollectionVolumeOrFolderRows},   // "File(s)"
    {TextId::DateLabel, kAlways},                             // Date
    {TextId::VolumeLabel, kWithFolderOrFileRows},             // Volume
}};

bool HeadingPresent(HeadedWhen when, const ReportSettings& s)
{
    switch (when) {
    case kAlways:
        return true;
    case kWithFileRows:
        return s.fileRows;
    case kWithCollectionVolumeOrFolderRows:
        return s.collectionRow || s.volumeRows || s.folderRows;
    case kWithFolderOrFileRows:
        return s.folderRows || s.fileRows;
    }
    return false;
}

} // namespace

std::string SizeText(std::int64_t sizeKB, std::string_view decimalSeparator)
{
    return display::MegabytesTwoDecimals(sizeKB, decimalSeparator);
}

ReportRow HeadingRow(const ReportSettings& settings, const texts::TextTable& table)
{
    ReportRow heading;
    heading.cells[0] = table.Text(TextId::NameColumn);
    for (int id = 1; id <= kColumnCount; ++id) {
        const Column& column = kColumns[static_cast<std::size_t>(id - 1)];
        if (settings.columnOn(id) && HeadingPresent(column.headedWhen, settings))
            heading.cells[static_cast<std::size_t>(id)] = table.Text(column.heading);
    }
    return heading;
}

std::size_t TextLength(std::string_view text)
{
    if (texts::IsAscii(text))
        return text.size();
    if (!texts::IsValidUtf8(text))
        return text.size();
    // Every code point has exactly one byte that is not a continuation byte.
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

CellViews ViewsOf(const ReportRow& row)
{
    CellViews views;
    for (std::size_t k = 0; k < kCellCount; ++k)
        views[k] = row.cells[k];
    return views;
}

CellLengths LengthsOf(const CellViews& cells)
{
    CellLengths lengths{};
    for (std::size_t k = 0; k < kCellCount; ++k)
        lengths[k] = TextLength(cells[k]);
    return lengths;
}

ColumnWidths HeadingWidths(const ReportRow& heading)
{
    return LengthsOf(ViewsOf(heading));
}

void RaiseWidths(ColumnWidths& widths, const CellLengths& lengths, std::uint32_t depth)
{
    const std::size_t indent = depth > 0 ? depth - 1 : 0;
    widths[0] = std::max(widths[0], lengths[0] + indent);
    for (std::size_t k = 1; k < kCellCount; ++k)
        widths[k] = std::max(widths[k], lengths[k]);
}

void RaiseWidths(ColumnWidths& widths, const ReportRow& row)
{
    RaiseWidths(widths, LengthsOf(ViewsOf(row)), row.depth);
}

std::vector<int> WrittenColumns(const ReportSettings& settings, const ColumnWidths& widths)
{
    std::vector<int> written;
    for (const std::int32_t id : NormalColumnOrder(settings.columnOrder)) {
        if (settings.columnOn(id) && widths[static_cast<std::size_t>(id)] > 0)
            written.push_back(id);
    }
    return written;
}

SortRule SortRuleFor(const ReportSettings& settings)
{
    return settings.folderRows && settings.fileRows ? SortRule::FoldersFirst : SortRule::ByName;
}

void ReportRowTree::clear()
{
    // Swapping with empty vectors gives the memory back, which clear() would
    // keep.
    std::vector<Row>().swap(rows_);
    std::vector<Index>().swap(lastAtDepth_);
    std::vector<Index>().swap(sortedChildren_);
    std::vector<std::uint32_t>().swap(childrenAt_);
}

void ReportRowTree::setHeading(std::string_view name)
{
    rows_.clear();
    lastAtDepth_.clear();
    sortedChildren_.clear();
    childrenAt_.clear();
    Row& heading = rows_.emplace_back();
    heading.name = name.data();
    heading.nameSize = static_cast<std::uint32_t>(name.size());
    lastAtDepth_.push_back(0);
}

void ReportRowTree::add(std::uint32_t depth, std::string_view name, Source source)
{
    depth = std::max<std::uint32_t>(depth, 1);
    std::size_t parentDepth = std::min<std::size_t>(depth - 1, lastAtDepth_.size() - 1);
    while (lastAtDepth_[parentDepth] == kNone)
        --parentDepth;
    const Index parent = lastAtDepth_[parentDepth];
    const auto index = static_cast<Index>(rows_.size());
    sortedChildren_.clear();
    childrenAt_.clear();
    Row& row = rows_.emplace_back();
    row.name = name.data();
    row.nameSize = static_cast<std::uint32_t>(name.size());
    row.depth = depth;
    row.source = source;
    row.parent = parent;

    Row& up = rows_[parent];
    if (up.lastChild == kNone)
        up.firstChild = index;
    else
        rows_[up.lastChild].nextSibling = index;
    up.lastChild = index;

    if (lastAtDepth_.size() <= depth)
        lastAtDepth_.resize(depth + 1, kNone);
    lastAtDepth_[depth] = index;
}

void ReportRowTree::sort(SortRule rule, const Locale& locale)
{
    const bool byName = rule == SortRule::ByName;
    LocaleSort sorter(locale, byName ? CaseOrder::RespectCase : CaseOrder::IgnoreCase);
    const auto nameOf = [this](Index row) { return name(row); };
    const auto rankOf = [this, byName](Index row) {
        return static_cast<std::uint8_t>(byName || hasChildren(row) ? 0 : 1);
    };
    // Each row's children form their own list, so the lists can be sorted in
    // any order of the rows.
    sortedChildren_.clear();
    sortedChildren_.reserve(rows_.size());
    childrenAt_.clear();
    childrenAt_.reserve(rows_.size() + 1);
    std::vector<Index> children;
    for (Row& row : rows_) {
        childrenAt_.push_back(static_cast<std::uint32_t>(sortedChildren_.size()));
        children.clear();
        for (Index c = row.firstChild; c != kNone; c = rows_[c].nextSibling)
            children.push_back(c);
        if (children.size() >= 2) {
            sorter.sort(children, nameOf, rankOf);
            row.firstChild = children.front();
            row.lastChild = children.back();
            for (std::size_t i = 0; i + 1 < children.size(); ++i)
                rows_[children[i]].nextSibling = children[i + 1];
            rows_[children.back()].nextSibling = kNone;
        }
        sortedChildren_.insert(sortedChildren_.end(), children.begin(), children.end());
    }
    childrenAt_.push_back(static_cast<std::uint32_t>(sortedChildren_.size()));
}

std::vector<ReportRowTree::Index> ReportRowTree::preOrder() const
{
    std::vector<Index> order;
    if (rows_.empty())
        return order;
    order.reserve(rows_.size());
    if (!childrenAt_.empty()) {
        // The children lists of sort(): a stack of the unvisited parts of the
        // lists on the way down, each a range of sortedChildren_.
        struct Range {
            std::uint32_t next;
            std::uint32_t end;
        };
        std::vector<Range> stack;
        order.push_back(0);
        stack.push_back({childrenAt_[0], childrenAt_[1]});
        while (!stack.empty()) {
            Range& range = stack.back();
            if (range.next == range.end) {
                stack.pop_back();
                continue;
            }
            if (range.next + 8 < range.end)
                __builtin_prefetch(&childrenAt_[sortedChildren_[range.next + 8]]);
            const Index row = sortedChildren_[range.next++];
            order.push_back(row);
            if (childrenAt_[row] != childrenAt_[row + 1])
                stack.push_back({childrenAt_[row], childrenAt_[row + 1]});
        }
        return order;
    }
    Index at = 0;
    while (at != kNone) {
        order.push_back(at);
        if (rows_[at].firstChild != kNone) {
            at = rows_[at].firstChild;
            continue;
        }
        while (at != kNone && rows_[at].nextSibling == kNone)
            at = rows_[at].parent;
        if (at != kNone)
            at = rows_[at].nextSibling;
    }
    return order;
}

} // namespace velmora::reports
