#include "reports/ReportThread.h"

#include "collection/NodeText.h"
#include "reports/ReportFormats.h"
#include "reports/ReportRows.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "texts/Encoding.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

namespace velmora::reports {

namespace {

using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;
using collection::NodeKind;
using collection::Numbers;

constexpr std::size_t kCollectionName = 1;
constexpr std::size_t kAverageRate = 65;
constexpr std::size_t kVariableRate = 66;
constexpr std::size_t kLayer = 76;
constexpr std::size_t kSortingPhase = 111;
constexpr std::size_t kClearPhase = 118;
constexpr std::size_t kConstantRate = 148;
constexpr std::size_t kObjectPrefix = 166;
constexpr std::size_t kProcessPrefix = 180;
constexpr std::size_t kCollectPhase = 182;
constexpr std::size_t kFormatPhase = 183;
constexpr std::size_t kWritePhase = 184;

constexpr std::string_view kCrLf = "\r\n";
// Formatted lines are kept, and handed to the file, in blocks of about this
// many bytes.
constexpr std::size_t kLineBlock = std::size_t{1} << 20;

std::int64_t Magnitude(std::int64_t value)
{
    if (value == std::numeric_limits<std::int64_t>::min())
        return std::numeric_limits<std::int64_t>::max();
    return value < 0 ? -value : value;
}

std::string Joined(std::string_view a, std::string_view b)
{
    std::string out(a);
    out += ' ';
    out += b;
    return out;
}

std::string_view FileNameOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

class ReportRun {
public:
    ReportRun(const ReportSources& sources, const ReportSettings& settings,
              ReportProgress& progress, const std::atomic<bool>& stop)
        : tree_(sources.tree), sources_(sources), settings_(settings), texts_(sources.texts),
          progress_(progress), stop_(stop),
          // A DIF number is read the same everywhere: the spreadsheet shows
          // it with the reader's own separator.
          decimal_(settings.format == ReportFormat::Dif ? std::string(".")
                                                        : sources.locale.decimalSeparator()),
          dateSeparator_(sources.locale.dateSeparator())
    {
    }

    ReportOutcome Run()
    {
        if (stop_)
            return ReportOutcome::StoppedBeforeWriting;
        SetPhase(kCollectPhase);
        if (!Collect())
            return ClearBuffer(ReportOutcome::StoppedBeforeWriting);
        if (settings_.sorting) {
            SetPhase(kSortingPhase);
            rows_.sort(SortRuleFor(settings_), sources_.locale);
        }
        SetPhase(kFormatPhase);
        if (DefaultExtension(settings_.format).empty())
            return ClearBuffer(ReportOutcome::UnknownFormat);
        if (!Format())
            return ClearBuffer(ReportOutcome::StoppedBeforeWriting);
        SetPhase(kWritePhase);
        return ClearBuffer(Write());
    }

private:
    void SetPhase(std::size_t text)
    {
        std::string label(texts_.Text(kProcessPrefix));
        label += ": ";
        label += texts_.Text(text);
        progress_.setPhase(label);
    }

    ReportOutcome ClearBuffer(ReportOutcome outcome)
    {
        SetPhase(kClearPhase);
        rows_.clear();
        std::vector<LineBlock>().swap(blocks_);
        std::vector<ReportRowTree::FreedChunk>().swap(spare_);
        std::vector<std::uint32_t>().swap(lineEnds_);
        return outcome;
    }

    std::string Day(std::int64_t dayNumber) const
    {
        return collection::FormatDay(static_cast<std::int32_t>(dayNumber), dateSeparator_);
    }

    bool AnyOfCollectionVolumeFolderRows() const
    {
        return settings_.collectionRow || settings_.volumeRows || settings_.folderRows;
    }

    bool CollectionRowOnly() const
    {
        return settings_.collectionRow && !settings_.volumeRows && !settings_.folderRows &&
               !settings_.fileRows;
    }

    void SetCell(ReportRow& row, int column, std::string_view value) const
    {
        if (settings_.columnOn(column))
            row.cells[static_cast<std::size_t>(column)].assign(value);
    }

    // The cells every row kind but the file has: sizes, duration, the
    // average rate and the two counts.
    void FillTotals(ReportRow& row, const Numbers& n) const
    {
        using namespace collection;
        SetCell(row, kSizeColumn, SizeText(n[kSizeKB], decimal_));
        SetCell(row, kDurationColumn, FormatHMS(Magnitude(n[kDuration])));
        SetCell(row, kBitRateColumn,
                Joined(texts_.Text(kAverageRate),
                       std::to_string(AverageBitRate(n[kSizeKB], n[kDuration]))));
        SetCell(row, kFolderCountColumn, std::to_string(n[kFolderCount]));
        SetCell(row, kFileCountColumn, std::to_string(n[kFileCount]));
    }

    void FillFile(ReportRow& row, std::string_view text, const Numbers& n) const
    {
        using namespace collection;
        SetCell(row, kSizeColumn, SizeText(n[kSizeKB], decimal_));
        SetCell(row, kDurationColumn, FormatHMS(Magnitude(n[kDuration])));
        if (settings_.columnOn(kBitRateColumn)) {
            const std::int64_t duration = n[kDuration];
            const std::int64_t average = AverageBitRate(n[kSizeKB], duration);
            std::string rate;
            if (duration > 0)
                rate = Joined(
                    texts_.Text(kConstantRate),
                    std::to_string(StandardBitRate(average, n[kVersionCode], n[kLayerCode])));
            else if (duration < 0)
                rate = Joined(texts_.Text(kVariableRate), std::to_string(average));
            else
                rate = Joined(texts_.Text(kConstantRate), "0");
            SetCell(row, kBitRateColumn, std::move(rate));
        }
        SetCell(row, kSampleRateColumn, std::to_string(n[kSampleRate10] * 10));
        SetCell(row, kChannelModeColumn, ChannelText(texts_, n[kChannelCode]));
        SetCell(row, kVersionColumn,
                Joined(Joined(VersionText(n[kVersionCode]), texts_.Text(kLayer)),
                       std::to_string(n[kLayerCode])));
        Tags tags;
        ReadTags(text, tags);
        for (int j = 0; j < 6; ++j)
            SetCell(row, kTitleColumn + j, tags[static_cast<std::size_t>(j)]);
        SetCell(row, kDateColumn, volumeDate_);
        SetCell(row, kVolumeColumn, volumeLabel_);
    }

    // Text and HTML reports are UTF-8, like every file the program writes;
    // a DIF file cannot say what it holds, and spreadsheets read it as
    // Windows-1252. Node texts from Windows collections are Windows-1252.
    void Encode(std::string& cell) const
    {
        if (texts::IsAscii(cell))
            return;
        const bool utf8 = texts::IsValidUtf8(cell);
        if (settings_.format == ReportFormat::Dif) {
            if (utf8)
                cell = texts::Utf8ToWindows1252(cell);
        } else if (!utf8) {
            cell = texts::Windows1252ToUtf8(cell);
        }
    }

    void Keep(ReportRow& row)
    {
        for (std::string& cell : row.cells)
            Encode(cell);
        RaiseWidths(widths_, row);
        rows_.add(row);
    }

    bool Collect()
    {
        ReportRow heading = HeadingRow(settings_, texts_);
        for (std::string& cell : heading.cells)
            Encode(cell);
        widths_ = HeadingWidths(heading);
        rows_.setHeading(heading);
        // At most one row per node, and growing by doubling would copy them.
        rows_.reserve(tree_.size() + 1);
        std::uint32_t c = 0;
        std::uint32_t v = 0;

        progress_.setMaximum(tree_.empty() ? 0 : tree_.size() - 1);
        const std::string objectPrefix = std::string(texts_.Text(kObjectPrefix)) + ": ";
        std::string object;
        const bool selectedOnly = settings_.scanning == ReportScanning::SelectedOnly;
        // One row object for all nodes, so that its cells keep their memory.
        ReportRow row;
        std::uint64_t i = 0;
        for (NodeId node = tree_.root(); node != kNoNode; node = tree_.nextInPreOrder(node), ++i) {
            if (stop_)
                return false;
            progress_.setPosition(i);
            const std::string_view text = tree_.text(node);
            const std::string_view name = collection::NodeName(text);
            Numbers n{};
            collection::ReadNumbers(text, n);
            const std::uint32_t level = tree_.level(node);
            if (level == 1) {
                volumeLabel_ = name.substr(0, name.find('\\'));
                volumeDate_ = Day(n[collection::kScanDate]);
            }
            object.assign(objectPrefix);
            if (texts::IsAscii(name) || texts::IsValidUtf8(name))
                object += name;
            else
                object += texts::Windows1252ToUtf8(name);
            progress_.setObject(object);

            // Kinds go by level for the collection and the volumes, so that
            // neither is ever taken for a file, even without children.
            const NodeKind kind = collection::KindOf(tree_, node);
            for (std::string& cell : row.cells)
                cell.clear();
            row.depth = 0;
            bool wanted = false;
            if (kind != NodeKind::File && AnyOfCollectionVolumeFolderRows()) {
                FillTotals(row, n);
                if (kind == NodeKind::Collection && settings_.collectionRow) {
                    row.cells[0] =
                        Joined(texts_.Text(kCollectionName), FileNameOf(sources_.collectionPath));
                    SetCell(row, kDateColumn, Day(n[collection::kLastChange]));
                    row.depth = 1;
                    c = 1;
                    wanted = true;
                } else if (kind == NodeKind::Volume && settings_.volumeRows) {
                    SetCell(row, kDateColumn, volumeDate_);
                    row.depth = c + 1;
                    v = 1;
                    wanted = true;
                } else if (kind == NodeKind::Folder && settings_.folderRows) {
                    SetCell(row, kDateColumn, volumeDate_);
                    SetCell(row, kVolumeColumn, volumeLabel_);
                    row.depth = c + v + (level - 1);
                    wanted = true;
                }
            } else if (kind == NodeKind::File && settings_.fileRows) {
                FillFile(row, text, n);
                row.depth = settings_.folderRows ? c + v + (level - 1) : c + v + 1;
                wanted = true;
            }
            if (level >= 1 && selectedOnly && !tree_.selected(node))
                continue;
            if (wanted) {
                if (kind != NodeKind::Collection)
                    row.cells[0] = name;
                Keep(row);
            }
            if (CollectionRowOnly())
                break;
        }
        progress_.setObject(objectPrefix);
        return true;
    }

    struct LineBlock {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
        std::size_t capacity = 0;
    };

    // A block for lines, with room for at least `needed` bytes: a freed
    // chunk when one is large enough, else fresh memory.
    LineBlock& NewBlock(std::size_t needed)
    {
        LineBlock& block = blocks_.emplace_back();
        if (!spare_.empty() && spare_.back().size >= needed) {
            block.bytes = std::move(spare_.back().bytes);
            block.capacity = spare_.back().size;
            spare_.pop_back();
        } else {
            block.capacity = std::max(needed, kLineBlock);
            block.bytes = std::make_unique_for_overwrite<char[]>(block.capacity);
        }
        return block;
    }

    bool Format()
    {
        const std::vector<ReportRowTree::Index> order = rows_.preOrder();
        progress_.setMaximum(order.size() - 1);
        ReportLayout layout;
        layout.widths = widths_;
        layout.columns = WrittenColumns(settings_, widths_);
        // Lines go one after the other, each with its CR LF, into blocks;
        // lineEnds_[i] is where line i ends in its block. Rows are formatted
        // in about the order their cells were stored, so the chunks of
        // formatted rows come free early and take lines: the report then
        // needs little more fresh memory than its lines.
        const std::string heading = FormatLine(settings_.format, rows_.cells(0), 1, layout, true);
        lineEnds_.assign(order.size(), 0);
        std::string line;
        LineBlock* block = nullptr;
        for (std::size_t i = 1; i < order.size(); ++i) {
            if (stop_)
                return false;
            progress_.setPosition(i);
            const ReportRowTree::Index row = order[i];
            line.clear();
            AppendLine(line, settings_.format, rows_.cells(row), rows_.depth(row), layout, false);
            line += kCrLf;
            ReportRowTree::FreedChunk freed = rows_.releaseCells(row);
            if (freed.bytes)
                spare_.push_back(std::move(freed));
            if (block == nullptr || block->capacity - block->size < line.size())
                block = &NewBlock(line.size());
            std::copy(line.begin(), line.end(), block->bytes.get() + block->size);
            block->size += line.size();
            lineEnds_[i] = static_cast<std::uint32_t>(block->size);
        }
        // The rows are all in lines now.
        rows_.clear();

        switch (settings_.format) {
        case ReportFormat::Text:
            head_ = heading;
            second_ = std::string(TextLength(heading), '-');
            break;
        case ReportFormat::Dif:
            head_ = DifHead(layout.columns.size() + 1, order.size());
            second_ = heading;
            tail_ = kDifTail;
            break;
        case ReportFormat::Html:
            head_ = kHtmlHead;
            second_ = heading;
            tail_ = kHtmlTail;
            break;
        }
        return true;
    }

    ReportOutcome Write()
    {
        progress_.setMaximum(lineEnds_.size() - 1);
        const std::unique_ptr<OutputFile> out =
            sources_.files.createReplacement(settings_.lastReportFile);
        if (!out)
            return ReportOutcome::CannotWrite;

        std::string start = head_;
        start += kCrLf;
        start += second_;
        start += kCrLf;
        if (!out->write(start))
            return ReportOutcome::CannotWrite;
        bool stopped = false;
        std::size_t line = 1;
        for (LineBlock& block : blocks_) {
            std::uint32_t written = 0; // bytes of the block before the current line
            while (line < lineEnds_.size()) {
                if (stop_) {
                    stopped = true;
                    break;
                }
                progress_.setPosition(line);
                const std::uint32_t end = lineEnds_[line];
                ++line;
                written = end;
                if (end == block.size)
                    break;
            }
            if (!out->write(std::string_view(block.bytes.get(), written)))
                return ReportOutcome::CannotWrite;
            block.bytes.reset();
            if (stopped)
                break;
        }
        if (!stopped && !tail_.empty()) {
            if (!out->write(tail_) || !out->write(kCrLf))
                return ReportOutcome::CannotWrite;
        }
        if (!out->flush() || !out->commit())
            return ReportOutcome::CannotWrite;
        return stopped ? ReportOutcome::StoppedWhileWriting : ReportOutcome::Written;
    }

    const CollectionTree& tree_;
    const ReportSources& sources_;
    const ReportSettings& settings_;
    const texts::TextTable& texts_;
    ReportProgress& progress_;
    const std::atomic<bool>& stop_;
    const std::string decimal_;
    const std::string dateSeparator_;

    ReportRowTree rows_;
    ColumnWidths widths_{};
    // The current volume's label and formatted scan date, in force for the
    // nodes below it.
    std::string volumeLabel_;
    std::string volumeDate_;
    std::vector<LineBlock> blocks_; // the formatted lines, see Format()
    std::vector<ReportRowTree::FreedChunk> spare_;
    std::vector<std::uint32_t> lineEnds_; // by output position; 0 is the heading
    std::string head_;
    std::string second_;
    std::string tail_;
};

} // namespace

ReportOutcome RunReport(const ReportSources& sources, const ReportSettings& settings,
                        ReportProgress& progress, const std::atomic<bool>& stop)
{
    return ReportRun(sources, settings, progress, stop).Run();
}

TReportThread::TReportThread(const ReportSources& sources, ReportSettings settings,
                             ReportProgress& progress)
    : sources_(sources), settings_(std::move(settings)), progress_(progress)
{
}

TReportThread::~TReportThread()
{
    RequestStop();
    Wait();
}

void TReportThread::Start(std::function<void()> onEnd)
{
    worker_ = std::thread([this, onEnd = std::move(onEnd)] {
        outcome_ = RunReport(sources_, settings_, progress_, stop_);
        finished_ = true;
        if (onEnd)
            onEnd();
    });
}

void TReportThread::Wait()
{
    if (worker_.joinable())
        worker_.join();
}

} // namespace velmora::reports
