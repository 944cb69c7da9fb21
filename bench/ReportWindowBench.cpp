// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-report-window COLLECTION [--runs N]
//
// Measures what the report's progress window adds to a report: a text
// report of every row kind and every column, sorted, of the loaded
// collection, written beside COLLECTION, through RunReport on this thread
// and through ReportProcess (the modal window polling the worker's progress
// on its timer, on Qt's offscreen platform unless QT_QPA_PLATFORM says
// otherwise), alternately, each figure the median of N runs (default 3).
// Between them, RunReport again reporting into a ProgressState, the
// worker's latest-value progress, on this thread: what the progress alone
// costs. The collection is loaded once; all write the same bytes.
//
// Bar: the window at most 1.1 times RunReport. Exits 1 when it is missed or
// a report fails.

#include "BenchSupport.h"
#include "collection/CollectionStore.h"
#include "gui/reports/ReportProcess.h"
#include "platform/LinuxVolumes.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtLocale.h"
#include "platform/fakes/FakeClock.h"
#include "reports/ReportThread.h"
#include "system/Progress.h"
#include "texts/TextTable.h"

#include <QApplication>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

// The CPU time of the whole process (every thread, user and system) spent in
// `body`, in milliseconds: what the window costs apart from the disk's
// varying fsync.
double CpuOnce(const std::function<void()>& body)
{
    const auto cpu = [] {
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
        return ms(usage.ru_utime) + ms(usage.ru_stime);
    };
    const double before = cpu();
    body();
    return cpu() - before;
}

namespace col = velmora::collection;
namespace rep = velmora::reports;
using velmora::bench::Median;
using velmora::bench::TimeOnce;

constexpr double kWindowBar = 1.1;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "velmora-bench-report-window: %s\n", what.c_str());
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        Fail("usage: velmora-bench-report-window COLLECTION [--runs N]");
    int runs = 3;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else
            Fail(std::string("unknown option ") + argv[i]);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    velmora::platform::PosixFileSystem files;
    velmora::platform::LinuxVolumes volumes;
    velmora::platform::QtLocale locale;
    velmora::fakes::FakeClock clock;
    const velmora::Services services{files, volumes, locale, clock};
    const velmora::texts::TextTable texts;
    col::CollectionStore store(files, clock, texts);
    velmora::NoProgress quiet;
    if (store.LoadCollection(argv[1], quiet).status != col::LoadStatus::Loaded)
        Fail(std::string("cannot load ") + argv[1]);

    const std::string target = std::string(argv[1]) + ".report-window.txt";
    rep::ReportSettings settings;
    settings.collectionRow = settings.volumeRows = settings.folderRows = settings.fileRows = true;
    settings.columnEnabled.fill(true);
    settings.format = rep::ReportFormat::Text;
    settings.sorting = true;
    settings.lastReportFile = target;
    const rep::ReportSources sources{store.tree(), argv[1], texts, services};

    std::vector<double> direct;
    std::vector<double> windowed;
    std::vector<double> tracked;
    std::vector<double> directCpu;
    std::vector<double> windowedCpu;
    for (int run = 0; run < runs; ++run) {
        std::atomic<bool> stop{false};
        rep::ReportOutcome outcome = rep::ReportOutcome::CannotWrite;
        directCpu.push_back(CpuOnce([&] {
            direct.push_back(
                TimeOnce([&] { outcome = rep::RunReport(sources, settings, quiet, stop); }));
        }));
        if (outcome != rep::ReportOutcome::Written)
            Fail("RunReport did not write the report");
        tracked.push_back(TimeOnce([&] {
            velmora::ProgressState state;
            outcome = rep::RunReport(sources, settings, state, stop);
        }));
        windowedCpu.push_back(CpuOnce([&] {
            windowed.push_back(TimeOnce([&] {
                velmora::gui::ReportProcess window(sources, settings, texts);
                outcome = window.Run();
            }));
        }));
        if (outcome != rep::ReportOutcome::Written)
            Fail("the progress window did not write the report");
    }
    std::remove(target.c_str());

    const double plain = Median(direct);
    const double shown = Median(windowed);
    std::printf("text report of every row and column, sorted, %zu nodes\n", store.tree().size());
    std::printf("  RunReport          %8.0f ms\n", plain);
    std::printf("  with ProgressState %8.0f ms\n", Median(tracked));
    std::printf("  progress window    %8.0f ms  = %.3f x RunReport (bar %.1f)\n", shown,
                shown / plain, kWindowBar);
    const double plainCpu = Median(directCpu);
    const double shownCpu = Median(windowedCpu);
    std::printf("  CPU time, all threads: RunReport %.0f ms, progress window %.0f ms = %.3f x\n",
                plainCpu, shownCpu, shownCpu / plainCpu);
    std::printf("  fastest runs: RunReport %.0f ms, progress window %.0f ms = %.3f x\n",
                *std::min_element(direct.begin(), direct.end()),
                *std::min_element(windowed.begin(), windowed.end()),
                *std::min_element(windowed.begin(), windowed.end()) /
                    *std::min_element(direct.begin(), direct.end()));
    if (shown > kWindowBar * plain) {
        std::printf("MISSED: the progress window adds more than %.0f%%\n",
                    (kWindowBar - 1.0) * 100.0);
        return 1;
    }
    return 0;
}
