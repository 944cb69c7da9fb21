// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "collection/CollectionTree.h"
#include "reports/ReportSettings.h"
#include "system/FileSystem.h"
#include "system/Services.h"
#include "system/Worker.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

namespace velmora::texts {
class TextTable;
}

namespace velmora::reports {

/// What a report reads and where it writes. The references must outlive the
/// report, and nobody may change the tree while it runs.
struct ReportSources {
    /// The collection tree; its root is the collection node.
    const collection::CollectionTree& tree;
    /// The current collection file ("/" separated); the collection row shows
    /// its name without folder.
    std::string collectionPath;
    /// Read by the thread that runs the report (TReportThread gives its
    /// worker a copy).
    const texts::TextTable& texts;
    /// The locale gives the separators of the sizes and dates and the order
    /// of sorted rows; the files take the report file.
    const Services& services;
    /// Where the report is written instead of a replacement of the report
    /// file (a command line's standard output); empty: that replacement.
    /// Called once, at the start of the formatting pass.
    std::function<std::unique_ptr<OutputFile>()> output = {};
};

/// How a report ended.
enum class ReportOutcome {
    /// The report file is complete at the last report file's path.
    Written,
    /// Stopped before the writing pass: no file was created and a file at the
    /// path is as it was.
    StoppedBeforeWriting,
    /// Stopped during the writing pass: the lines written so far replaced the
    /// file at the path, without the tail block.
    StoppedWhileWriting,
    /// The file could not be created, written or put in place; a file at the
    /// path is as it was.
    CannotWrite,
    /// The format is none of 1 to 4: nothing to write, no file was created.
    UnknownFormat,
};

/// Runs a report on the calling thread: the collection pass, the sort when
/// it is on, the formatting pass and the writing pass into
/// `settings.lastReportFile`. The formatting pass writes the lines into a
/// hidden replacement file beside the target, so that a report far larger
/// than memory costs no more than a block of it; the writing pass puts that
/// file in the target's place, whole, or up to the row where a stop came.
/// Nothing at the path changes before the writing pass. `stop` is read
/// before each node of the collection pass and each row of the formatting
/// and writing passes; the sort and the head and tail blocks are not
/// interrupted.
///
/// Rows: the collection row (CollectionMenu "Collection", a blank and the
/// collection file's name), one per volume, folder and file as the row flags
/// say; with "Selected only" the volumes, folders and files that carry no
/// selected mark give none. Lines end with CR LF. Text and HTML reports are
/// UTF-8 (the page says so), node texts that are not valid UTF-8 read as
/// Windows-1252; a DIF report, which has no way to name its character set,
/// is Windows-1252, as spreadsheets read it ("?" for what it lacks), and its
/// numbers have a full stop for decimal separator. A CSV report is UTF-8
/// with a full stop too: a heading record, then one record per row, its
/// level first (see AppendCsvRecord()).
///
/// Progress, given from the calling thread, once per node and per row:
/// - the phase is ProcessLabel "Process", ": " and the current phase's text:
///   CopySelectedObjectsStep "Copy all selected objects", SortingTitle
///   "Sorting", FormatReportStep "Format report", WriteReportStep "Write
///   report in file" and, last, ClearBufferStep "Clear buffer";
/// - the object is ObjectLabel "Object", ": " and the name of the node being
///   read (as UTF-8, see texts::DisplayText()); the prefix alone after the
///   collection pass;
/// - each step's `done` of `total` counts the nodes of the collection pass,
///   then the rows of the formatting and writing passes; its text is empty.
[[nodiscard]] ReportOutcome RunReport(const ReportSources& sources, const ReportSettings& settings,
                                      Progress& progress, const std::atomic<bool>& stop);

/// Runs RunReport() on a Worker: its progress() holds the latest phase,
/// object and position, its stop flag stops the report. The tree must not be
/// touched by anyone else until Wait() returned.
class TReportThread : public Task<ReportOutcome> {
public:
    /// The tree and the services of `sources` must outlive the object. The
    /// texts are copied here, on the calling thread: the report runs on the
    /// table it was made with, and the caller's table (the active one) may
    /// be replaced while it runs.
    TReportThread(const ReportSources& sources, ReportSettings settings);
};

} // namespace velmora::reports
