#include "reports/ReportThread.h"

#include "collection/NodeText.h"
#include "reports/ReportFormats.h"
#include "reports/ReportRows.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "texts/Encoding.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <charconv>
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
// Formatted lines are handed to the file in blocks of about this many bytes.
constexpr std::size_t kLineBlock = std::size_t{1} << 20;

std::int64_t Magnitude(std::int64_t value)
{
    if (value == std::numeric_limits<std::int64_t>::min())
        return std::numeric_limits<std::int64_t>::max();
    return value < 0 ? -value : value;
}

void AppendNumber(std::string& out, std::int64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, static_cast<std::size_t>(end - digits));
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
        const ReportOutcome formatted = Format();
        if (formatted != ReportOutcome::Written)
            return ClearBuffer(formatted);
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
        // An unfinished replacement file goes; the file at the path stays as
        // it was.
        out_.reset();
        std::string().swap(pending_);
        std::vector<std::uint64_t>().swap(lineEnds_);
        return outcome;
    }

    std::string Day(std::int64_t dayNumber) const
    {
        return collection::FormatDay(static_cast<std::int32_t>(dayNumber), dateSeparator_);
    }

    bool CollectionRowOnly() const
    {
        return settings_.collectionRow && !settings_.volumeRows && !settings_.folderRows &&
               !settings_.fileRows;
    }

    void SetCell(int column, std::string_view value)
    {
        if (settings_.columnOn(column))
            row_.cells[static_cast<std::size_t>(column)].assign(value);
    }

    void SetCell(int column, std::int64_t value)
    {
        if (settings_.columnOn(column))
            AppendNumber(row_.cells[static_cast<std::size_t>(column)], value);
    }

    // A text, a blank and a number, as in "ABR 139".
    void SetCell(int column, std::string_view text, std::int64_t value)
    {
        if (!settings_.columnOn(column))
            return;
        std::string& cell = row_.cells[static_cast<std::size_t>(column)];
        cell.assign(text);
        cell += ' ';
        AppendNumber(cell, value);
    }

    // The cells every row kind but the file has: sizes, duration, the
    // average rate and the two counts.
    void FillTotals(const Numbers& n)
    {
        using namespace collection;
        SetCell(kSizeColumn, SizeText(n[kSizeKB], decimal_));
        SetCell(kDurationColumn, FormatHMS(Magnitude(n[kDuration])));
        SetCell(kBitRateColumn, texts_.Text(kAverageRate),
                AverageBitRate(n[kSizeKB], n[kDuration]));
        SetCell(kFolderCountColumn, n[kFolderCount]);
        SetCell(kFileCountColumn, n[kFileCount]);
    }

    void FillFile(std::string_view text, const Numbers& n)
    {
        using namespace collection;
        SetCell(kSizeColumn, SizeText(n[kSizeKB], decimal_));
        SetCell(kDurationColumn, FormatHMS(Magnitude(n[kDuration])));
        if (settings_.columnOn(kBitRateColumn)) {
            const std::int64_t duration = n[kDuration];
            const std::int64_t average = AverageBitRate(n[kSizeKB], duration);
            if (duration > 0)
                SetCell(kBitRateColumn, texts_.Text(kConstantRate),
                        StandardBitRate(average, n[kVersionCode], n[kLayerCode]));
            else if (duration < 0)
                SetCell(kBitRateColumn, texts_.Text(kVariableRate), average);
            else
                SetCell(kBitRateColumn, texts_.Text(kConstantRate), 0);
        }
        SetCell(kSampleRateColumn, n[kSampleRate10] * 10);
        SetCell(kChannelModeColumn, ChannelText(texts_, n[kChannelCode]));
        if (settings_.columnOn(kVersionColumn)) {
            std::string& cell = row_.cells[kVersionColumn];
            cell.assign(VersionText(n[kVersionCode]));
            cell += ' ';
            cell += texts_.Text(kLayer);
            cell += ' ';
            AppendNumber(cell, n[kLayerCode]);
        }
        Tags tags;
        ReadTags(text, tags);
        for (int j = 0; j < 6; ++j)
            SetCell(kTitleColumn + j, tags[static_cast<std::size_t>(j)]);
    }

    // A volume's label and formatted scan date, in force for the nodes below
    // it.
    struct Volume {
        std::string label;
        std::string date;
    };

    // Fills row_ with the cells of the row for `node`, a node of the kind
    // whose row the settings ask for, below volume `volume` (none for the
    // collection node), and encodes them; lengths_ gets their lengths.
    void Fill(NodeId node, std::uint32_t volume)
    {
        for (std::string& cell : row_.cells)
            cell.clear();
        const std::string_view text = tree_.text(node);
        Numbers n{};
        collection::ReadNumbers(text, n);
        // Kinds go by level for the collection and the volumes, so that
        // neither is ever taken for a file, even without children.
        const NodeKind kind = collection::KindOf(tree_, node);
        if (kind == NodeKind::File) {
            FillFile(text, n);
        } else {
            FillTotals(n);
        }
        if (kind == NodeKind::Collection) {
            row_.cells[0] = collectionName_;
            SetCell(kDateColumn, Day(n[collection::kLastChange]));
        } else {
            row_.cells[0] = collection::NodeName(text);
            SetCell(kDateColumn, volumes_[volume].date);
            if (kind != NodeKind::Volume)
                SetCell(kVolumeColumn, volumes_[volume].label);
        }
        for (std::size_t k = 0; k < kCellCount; ++k)
            lengths_[k] = Encode(row_.cells[k]);
    }

    // Text and HTML reports are UTF-8, like every file the program writes;
    // a DIF file cannot say what it holds, and spreadsheets read it as
    // Windows-1252. Node texts from Windows collections are Windows-1252.
    // Returns the cell's length in characters.
    std::size_t Encode(std::string& cell) const
    {
        if (texts::IsAscii(cell))
            return cell.size();
        const bool utf8 = texts::IsValidUtf8(cell);
        if (settings_.format == ReportFormat::Dif) {
            if (utf8)
                cell = texts::Utf8ToWindows1252(cell);
        } else if (!utf8) {
            cell = texts::Windows1252ToUtf8(cell);
        }
        return TextLength(cell);
    }

    bool Collect()
    {
        heading_ = HeadingRow(settings_, texts_);
        for (std::string& cell : heading_.cells)
            Encode(cell);
        widths_ = HeadingWidths(heading_);
        rows_.setHeading(heading_.cells[0]);
        collectionName_ =
            Joined(texts_.Text(kCollectionName), FileNameOf(sources_.collectionPath));
        // At most one row per node, and growing by doubling would copy them.
        rows_.reserve(tree_.size() + 1);
        std::uint32_t c = 0;
        std::uint32_t v = 0;

        progress_.setMaximum(tree_.empty() ? 0 : tree_.size() - 1);
        const std::string objectPrefix = std::string(texts_.Text(kObjectPrefix)) + ": ";
        std::string object;
        const bool selectedOnly = settings_.scanning == ReportScanning::SelectedOnly;
        std::uint32_t volume = 0;
        std::uint64_t i = 0;
        for (NodeId node = tree_.root(); node != kNoNode; node = tree_.nextInPreOrder(node), ++i) {
            if (stop_)
                return false;
            progress_.setPosition(i);
            const std::uint32_t level = tree_.level(node);
            const std::string_view name = collection::NodeName(tree_.text(node));
            if (level == 1) {
                Numbers n{};
                collection::ReadNumbers(tree_.text(node), n);
                Volume& current = volumes_.emplace_back();
                current.label = name.substr(0, name.find('\\'));
                current.date = Day(n[collection::kScanDate]);
                volume = static_cast<std::uint32_t>(volumes_.size() - 1);
            }
            object.assign(objectPrefix);
            if (texts::IsAscii(name) || texts::IsValidUtf8(name))
                object += name;
            else
                object += texts::Windows1252ToUtf8(name);
            progress_.setObject(object);

            // The depth of the node's row, 0 when it has none. c and v become
            // 1 once a collection row or a volume row sits above the rows
            // that follow.
            const NodeKind kind = collection::KindOf(tree_, node);
            std::uint32_t depth = 0;
            if (kind == NodeKind::Collection && settings_.collectionRow) {
                depth = 1;
                c = 1;
            } else if (kind == NodeKind::Volume && settings_.volumeRows) {
                depth = c + 1;
                v = 1;
            } else if (kind == NodeKind::Folder && settings_.folderRows) {
                depth = c + v + (level - 1);
            } else if (kind == NodeKind::File && settings_.fileRows) {
                depth = settings_.folderRows ? c + v + (level - 1) : c + v + 1;
            }
            if (level >= 1 && selectedOnly && !tree_.selected(node))
                continue;
            if (depth > 0) {
                Fill(node, volume);
                RaiseWidths(widths_, lengths_, depth);
                rows_.add(depth, kind == NodeKind::Collection ? collectionName_ : name,
                          {node, volume});
            }
            if (CollectionRowOnly())
                break;
        }
        progress_.setObject(objectPrefix);
        return true;
    }

    // Hands the pending bytes to the file.
    bool Send()
    {
        const bool written = out_->write(pending_);
        pending_.clear();
        return written;
    }

    // Formats every row and writes the lines into a replacement file beside
    // the report file, which stays hidden until Write() puts it in place:
    // the whole report exists before the file at the path is touched, and
    // no more than one block of it is in memory at a time. lineEnds_[i] is
    // where line i ends in the file (0 stands for the head block and the
    // second line).
    ReportOutcome Format()
    {
        const std::vector<ReportRowTree::Index> order = rows_.preOrder();
        progress_.setMaximum(order.size() - 1);
        ReportLayout layout;
        layout.widths = widths_;
        layout.columns = WrittenColumns(settings_, widths_);

        out_ = sources_.files.createReplacement(settings_.lastReportFile);
        if (!out_)
            return ReportOutcome::CannotWrite;
        const std::string heading =
            FormatLine(settings_.format, ViewsOf(heading_), 1, layout, true);
        switch (settings_.format) {
        case ReportFormat::Text:
            pending_ = heading;
            pending_ += kCrLf;
            pending_.append(TextLength(heading), '-');
            break;
        case ReportFormat::Dif:
            pending_ = DifHead(layout.columns.size() + 1, order.size());
            pending_ += kCrLf;
            pending_ += heading;
            tail_ = kDifTail;
            break;
        case ReportFormat::Html:
            pending_ = kHtmlHead;
            pending_ += kCrLf;
            pending_ += heading;
            tail_ = kHtmlTail;
            break;
        }
        pending_ += kCrLf;
        lineEnds_.assign(order.size(), 0);
        std::uint64_t sent = 0;
        lineEnds_[0] = pending_.size();
        for (std::size_t i = 1; i < order.size(); ++i) {
            if (stop_)
                return ReportOutcome::StoppedBeforeWriting;
            progress_.setPosition(i);
            const ReportRowTree::Index row = order[i];
            const ReportRowTree::Source source = rows_.source(row);
            Fill(source.node, source.volume);
            AppendLine(pending_, settings_.format, ViewsOf(row_), lengths_, rows_.depth(row),
                       layout, false);
            pending_ += kCrLf;
            lineEnds_[i] = sent + pending_.size();
            if (pending_.size() >= kLineBlock) {
                sent += pending_.size();
                if (!Send())
                    return ReportOutcome::CannotWrite;
            }
        }
        if (!Send())
            return ReportOutcome::CannotWrite;
        return ReportOutcome::Written;
    }

    // Puts the formatted report in the file's place. A stop keeps the lines
    // before the row it comes at, without the tail block.
    ReportOutcome Write()
    {
        progress_.setMaximum(lineEnds_.size() - 1);
        bool stopped = false;
        for (std::size_t line = 1; line < lineEnds_.size(); ++line) {
            if (stop_) {
                stopped = true;
                if (!out_->truncate(lineEnds_[line - 1]))
                    return ReportOutcome::CannotWrite;
                break;
            }
            progress_.setPosition(line);
        }
        if (!stopped && !tail_.empty()) {
            if (!out_->write(tail_) || !out_->write(kCrLf))
                return ReportOutcome::CannotWrite;
        }
        if (!out_->flush() || !out_->commit())
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
    ReportRow heading_;
    std::string collectionName_;
    ColumnWidths widths_{};
    std::vector<Volume> volumes_;
    // One row for all nodes, so that its cells keep their memory.
    ReportRow row_;
    CellLengths lengths_{};
    std::unique_ptr<OutputFile> out_;
    std::string pending_; // formatted lines not yet handed to the file
    std::vector<std::uint64_t> lineEnds_;
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
