// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportThread.h"

#include "collection/NodeText.h"
#include "display/Formats.h"
#include "reports/HelperThread.h"
#include "reports/ReportCells.h"
#include "reports/ReportFormats.h"
#include "reports/ReportRows.h"
#include "system/FileSystem.h"
#include "system/Locale.h"
#include "texts/Encoding.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace velmora::reports {

namespace {

using collection::CollectionTree;
using collection::kNoNode;
using collection::NodeId;
using collection::NodeKind;
using collection::Numbers;

using texts::TextId;

constexpr std::string_view kCrLf = "\r\n";
// Formatted lines are handed to the file in blocks of about this many bytes.
constexpr std::size_t kLineBlock = std::size_t{1} << 20;

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

// Rows go to the helper thread in chunks of this many; reports of fewer
// rows than two chunks do without it.
constexpr std::size_t kChunkRows = 1024;

// A chunk of rows whose widths the helper takes in.
struct WidthJob {
    struct Row {
        NodeId node;
        std::uint32_t volume;
        std::uint32_t depth;
    };
    std::vector<Row> rows;
    ColumnWidths widths{};
};

// A chunk of rows in output order, [first, last), that the helper formats.
struct FormatJob {
    std::size_t first = 0;
    std::size_t last = 0;
    std::string lines;
    std::vector<std::size_t> ends; // where each row's line ends in `lines`
};

class ReportRun {
public:
    ReportRun(const ReportSources& sources, const ReportSettings& settings, Progress& progress,
              const std::atomic<bool>& stop)
        : tree_(sources.tree), sources_(sources), settings_(settings), texts_(sources.texts),
          progress_(progress),
          stop_(stop), fill_{sources.tree, settings, sources.texts,
                             // A DIF or CSV number is read the same everywhere: the
                             // spreadsheet shows it with the reader's own separator.
                             settings.format == ReportFormat::Dif ||
                                     settings.format == ReportFormat::Csv
                                 ? std::string(".")
                                 : sources.services.locale.decimalSeparator(),
                             sources.services.locale.dateSeparator(),
                             Joined(sources.texts.Text(TextId::CollectionMenu),
                                    FileNameOf(sources.collectionPath)),
                             nullptr},
          filler_(fill_)
    {
    }

    ReportOutcome Run()
    {
        if (stop_)
            return ReportOutcome::StoppedBeforeWriting;
        SetPhase(TextId::CopySelectedObjectsStep);
        if (!Collect())
            return ClearBuffer(ReportOutcome::StoppedBeforeWriting);
        if (settings_.sorting) {
            SetPhase(TextId::SortingTitle);
            rows_.sort(SortRuleFor(settings_), sources_.services.locale);
        }
        SetPhase(TextId::FormatReportStep);
        if (DefaultExtension(settings_.format).empty())
            return ClearBuffer(ReportOutcome::UnknownFormat);
        const ReportOutcome formatted = Format();
        if (formatted != ReportOutcome::Written)
            return ClearBuffer(formatted);
        SetPhase(TextId::WriteReportStep);
        return ClearBuffer(Write());
    }

private:
    void SetPhase(TextId text)
    {
        std::string label(texts_.Text(TextId::ProcessLabel));
        label += ": ";
        label += texts_.Text(text);
        progress_.setPhase(label);
    }

    // The range of the current pass, then how far it has come.
    void SetMaximum(std::uint64_t maximum) { maximum_ = maximum; }
    void SetPosition(std::uint64_t position) { progress_.step(position, maximum_, {}); }

    ReportOutcome ClearBuffer(ReportOutcome outcome)
    {
        SetPhase(TextId::ClearBufferStep);
        rows_.clear();
        // An unfinished replacement file goes; the file at the path stays as
        // it was.
        out_.reset();
        std::string().swap(pending_);
        std::vector<std::uint64_t>().swap(lineEnds_);
        return outcome;
    }

    bool CollectionRowOnly() const
    {
        return settings_.collectionRow && !settings_.volumeRows && !settings_.folderRows &&
               !settings_.fileRows;
    }

    // Raises the widths to the rows of a chunk; false when `quit` came first.
    static bool TakeInWidths(CellFiller& filler, const WidthJob& job, ColumnWidths& widths,
                             const std::atomic<bool>& quit)
    {
        for (const WidthJob::Row& row : job.rows) {
            if (quit)
                return false;
            filler.Measure(row.node, row.volume);
            RaiseWidths(widths, filler.lengths(), row.depth);
        }
        return true;
    }

    // Whether the rows' cells can change what is written before the rows
    // are formatted. Text lines are padded to the widths of the columns.
    // DIF and HTML take only which columns to write, those that are on and
    // have a cell of some length: when every such column has a heading,
    // that is settled by the heading row alone.
    bool CellsNeedMeasuring() const
    {
        if (settings_.format != ReportFormat::Dif && settings_.format != ReportFormat::Html)
            return true;
        for (int id = 1; id <= kColumnCount; ++id) {
            if (settings_.columnOn(id) && heading_.cells[static_cast<std::size_t>(id)].empty())
                return true;
        }
        return false;
    }

    // Rows are added to the tree as the nodes are read; their cells, which
    // only the widths need yet, are filled a chunk at a time, by the helper
    // thread when it is free and else here, unless the heading row settles
    // what the widths decide.
    bool Collect()
    {
        heading_ = HeadingRow(settings_, texts_);
        for (std::string& cell : heading_.cells)
            EncodeCell(cell, settings_.format);
        widths_ = HeadingWidths(heading_);
        const bool measure = CellsNeedMeasuring();
        rows_.setHeading(heading_.cells[0]);
        // At most one row per node, and growing by doubling would copy them.
        rows_.reserve(tree_.size() + 1);
        const std::size_t volumeCount = tree_.empty() ? 0 : tree_.childCount(tree_.root());
        fill_.volumes = std::make_unique<VolumeCells[]>(volumeCount);
        std::uint32_t volumes = 0;
        std::uint32_t c = 0;
        std::uint32_t v = 0;

        // The helper's filler goes after the helper, which may still use it.
        std::unique_ptr<CellFiller> helperFiller;
        std::unique_ptr<HelperThread<WidthJob>> helper;
        if (measure && tree_.size() >= 2 * kChunkRows) {
            helperFiller = std::make_unique<CellFiller>(fill_);
            helper = std::make_unique<HelperThread<WidthJob>>(
                [filler = helperFiller.get()](WidthJob& job, const std::atomic<bool>& quit) {
                    TakeInWidths(*filler, job, job.widths, quit);
                    std::vector<WidthJob::Row>().swap(job.rows);
                });
        }
        WidthJob chunk;
        const auto passOn = [&] {
            if (helper && helper->ready()) {
                helper->give(std::move(chunk));
                chunk = WidthJob{};
                chunk.rows.reserve(kChunkRows);
            } else {
                TakeInWidths(filler_, chunk, widths_, stop_);
                chunk.rows.clear();
            }
        };
        chunk.rows.reserve(kChunkRows);

        SetMaximum(tree_.empty() ? 0 : tree_.size() - 1);
        const std::string objectPrefix = std::string(texts_.Text(TextId::ObjectLabel)) + ": ";
        std::string object;
        const bool selectedOnly = settings_.scanning == ReportScanning::SelectedOnly;
        std::uint32_t volume = 0;
        std::uint64_t i = 0;
        for (NodeId node = tree_.root(); node != kNoNode; node = tree_.nextInPreOrder(node), ++i) {
            if (stop_)
                return false;
            SetPosition(i);
            const std::uint32_t level = tree_.level(node);
            const std::string_view name = collection::NodeName(tree_.text(node));
            if (level == 1) {
                Numbers n{};
                collection::ReadNumbers(tree_.text(node), n);
                volume = volumes++;
                VolumeCells& current = fill_.volumes[volume];
                current.label = name.substr(0, name.find('\\'));
                current.date = display::FormatDay(
                    static_cast<std::int32_t>(n[collection::kScanDate]), fill_.dateSeparator);
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
                rows_.add(depth, kind == NodeKind::Collection ? fill_.collectionName : name,
                          {node, volume});
                if (measure) {
                    chunk.rows.push_back({node, volume, depth});
                    if (chunk.rows.size() == kChunkRows)
                        passOn();
                }
            }
            if (CollectionRowOnly())
                break;
        }
        if (!TakeInWidths(filler_, chunk, widths_, stop_))
            return false;
        while (helper && helper->given() > 0) {
            const WidthJob done = helper->take();
            for (std::size_t k = 0; k < kCellCount; ++k)
                widths_[k] = std::max(widths_[k], done.widths[k]);
        }
        progress_.setObject(objectPrefix);
        return !stop_;
    }

    // Hands the pending bytes to the file.
    bool Send()
    {
        const bool written = out_->write(pending_);
        pending_.clear();
        return written;
    }

    // Formats rows [first, last) of `order` and appends their lines, each
    // with its CR LF, to `lines`; calls `ended(i, size of lines)` after each
    // row. False when `quit` came first.
    template <class Ended>
    bool FormatRows(CellFiller& filler, const std::vector<ReportRowTree::Index>& order,
                    std::size_t first, std::size_t last, std::string& lines,
                    const std::atomic<bool>& quit, Ended ended) const
    {
        // Sorted rows and their nodes lie anywhere in memory: each row is
        // fetched three steps before its node's record is, and that three
        // steps before its text, which is needed eight steps later.
        constexpr std::size_t kAhead = 8;
        for (std::size_t i = first; i < last; ++i) {
            if (quit)
                return false;
            if (i + 3 * kAhead < order.size())
                rows_.prefetch(order[i + 3 * kAhead]);
            if (i + 2 * kAhead < order.size())
                tree_.prefetch(rows_.source(order[i + 2 * kAhead]).node, true);
            if (i + kAhead < order.size())
                tree_.prefetch(rows_.source(order[i + kAhead]).node, false);
            const ReportRowTree::Index row = order[i];
            const ReportRowTree::Source source = rows_.source(row);
            filler.Fill(source.node, source.volume);
            AppendLine(lines, settings_.format, filler.cells(), filler.lengths(), rows_.depth(row),
                       layout_, false);
            lines += kCrLf;
            ended(i, lines.size());
        }
        return true;
    }

    // Formats every row and writes the lines into a replacement file beside
    // the report file, which stays hidden until Write() puts it in place:
    // the whole report exists before the file at the path is touched, and
    // little of it is in memory at a time (see FormatChunks()). lineEnds_[i] is where line i ends
    // in the file (0 stands for the head block and the second line).
    ReportOutcome Format()
    {
        const std::vector<ReportRowTree::Index> order = rows_.preOrder();
        SetMaximum(order.size() - 1);
        layout_.widths = widths_;
        layout_.columns = WrittenColumns(settings_, widths_);

        WriteError error = WriteError::None;
        out_ = sources_.output
                   ? sources_.output()
                   : sources_.services.files.createReplacement(settings_.lastReportFile, error);
        if (!out_)
            return ReportOutcome::CannotWrite;
        const std::string heading =
            FormatLine(settings_.format, ViewsOf(heading_), 1, layout_, true);
        switch (settings_.format) {
        case ReportFormat::Text:
            pending_ = heading;
            pending_ += kCrLf;
            pending_.append(TextLength(heading), '-');
            break;
        case ReportFormat::Dif:
            pending_ = DifHead(layout_.columns.size() + 1, order.size());
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
        case ReportFormat::Csv:
            pending_ = heading;
            break;
        }
        pending_ += kCrLf;
        lineEnds_.assign(order.size(), 0);
        lineEnds_[0] = pending_.size();
        if (!FormatChunks(order))
            return stop_ ? ReportOutcome::StoppedBeforeWriting : ReportOutcome::CannotWrite;
        return Send() ? ReportOutcome::Written : ReportOutcome::CannotWrite;
    }

    // Formats the rows a chunk at a time and hands their lines to the file;
    // false when stopped or the file failed (stop_ says which). In a large
    // report every other chunk is formatted by the helper, which keeps up to
    // three of its own in hand.
    bool FormatChunks(const std::vector<ReportRowTree::Index>& order)
    {
        // The helper's filler goes after the helper, which may still use it.
        std::unique_ptr<CellFiller> helperFiller;
        std::unique_ptr<HelperThread<FormatJob>> helper;
        if (order.size() > 2 * kChunkRows) {
            helperFiller = std::make_unique<CellFiller>(fill_);
            helper = std::make_unique<HelperThread<FormatJob>>(
                [this, &order, filler = helperFiller.get()](FormatJob& job,
                                                            const std::atomic<bool>& quit) {
                    FormatRows(*filler, order, job.first, job.last, job.lines, quit,
                               [&job](std::size_t, std::size_t end) { job.ends.push_back(end); });
                });
        }
        const auto mine = [&](std::size_t first) {
            return !helper || (first - 1) / kChunkRows % 2 == 0;
        };
        std::size_t next = 1; // the first row of the next chunk to give
        const auto give = [&](FormatJob job) {
            while (next < order.size() && mine(next))
                next += kChunkRows;
            if (next >= order.size())
                return;
            job.first = next;
            job.last = std::min(next + kChunkRows, order.size());
            next += kChunkRows;
            job.lines.clear();
            job.ends.clear();
            helper->give(std::move(job));
        };
        for (int i = 0; helper && i < 3; ++i)
            give({});

        std::uint64_t sent = 0; // bytes handed to the file
        for (std::size_t first = 1; first < order.size(); first += kChunkRows) {
            const std::size_t last = std::min(first + kChunkRows, order.size());
            if (mine(first)) {
                const bool done = FormatRows(filler_, order, first, last, pending_, stop_,
                                             [&](std::size_t i, std::size_t end) {
                                                 SetPosition(i);
                                                 lineEnds_[i] = sent + end;
                                             });
                if (!done)
                    return false;
                if (pending_.size() >= kLineBlock) {
                    sent += pending_.size();
                    if (!Send())
                        return false;
                }
                continue;
            }
            FormatJob job = helper->take();
            for (std::size_t i = first; i < last; ++i) {
                if (stop_)
                    return false;
                SetPosition(i);
                lineEnds_[i] = sent + pending_.size() + job.ends[i - first];
            }
            if (pending_.size() + job.lines.size() >= kLineBlock) {
                sent += pending_.size() + job.lines.size();
                if (!Send() || !out_->write(job.lines))
                    return false;
            } else {
                pending_ += job.lines;
            }
            give(std::move(job));
        }
        return true;
    }

    // Puts the formatted report in the file's place. A stop keeps the lines
    // before the row it comes at, without the tail block.
    ReportOutcome Write()
    {
        SetMaximum(lineEnds_.size() - 1);
        bool stopped = false;
        for (std::size_t line = 1; line < lineEnds_.size(); ++line) {
            if (stop_) {
                stopped = true;
                if (!out_->truncate(lineEnds_[line - 1]))
                    return ReportOutcome::CannotWrite;
                break;
            }
            SetPosition(line);
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
    Progress& progress_;
    std::uint64_t maximum_ = 0;
    const std::atomic<bool>& stop_;

    FillSources fill_;
    CellFiller filler_;
    ReportRowTree rows_;
    ReportRow heading_;
    ColumnWidths widths_{};
    ReportLayout layout_;
    std::unique_ptr<OutputFile> out_;
    std::string pending_; // formatted lines not yet handed to the file
    std::vector<std::uint64_t> lineEnds_;
    std::string tail_;
};

} // namespace

ReportOutcome RunReport(const ReportSources& sources, const ReportSettings& settings,
                        Progress& progress, const std::atomic<bool>& stop)
{
    return ReportRun(sources, settings, progress, stop).Run();
}

TReportThread::TReportThread(const ReportSources& sources, ReportSettings settings)
    : Task([&tree = sources.tree, path = sources.collectionPath,
            texts = texts::TextTable(sources.texts), &services = sources.services,
            output = sources.output, settings = std::move(settings)](ProgressState& progress) {
          // The report reads its own copy of the texts: the interface thread
          // may replace the active table while the report runs.
          const ReportSources own{tree, path, texts, services, output};
          return RunReport(own, settings, progress, progress.stopFlag());
      })
{
}

} // namespace velmora::reports
