// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-report FILE [--runs N]
//
// Times a report of every row kind (collection, volumes, folders, files) and
// every column, sorted, of the collection FILE in each of the four formats,
// against a floor measured in the same run, each figure the median of N runs
// (default 3):
//
//   ours    in a child process: CollectionStore::LoadCollection, then
//           RunReport into a file beside FILE (a replacement file, fsync,
//           rename), with PosixFileSystem and QtLocale
//   floor   in a child process of its own, as fresh as ours: the same
//           LoadCollection, then writing as many bytes as the report has to a
//           new file beside FILE from one 1 MiB block, fsync, close
//   memory  in that child: peak resident size (VmHWM) at the end of the
//           report minus the resident size after loading, against the
//           report's size
//
//   phases  in the report's child: the time from the start of each phase
//           of the report to the start of the next (collection pass,
//           sorting, formatting and writing into the replacement file,
//           fsync and rename), each also against the floor, and the user
//           CPU time of all the child's threads in it: the report's own
//           work, without the kernel's copying and writing
//
// Bars: ours at most 3 times the floor; memory at most 4 times the report.
// With VELMORA_BENCH_PHASES set in the environment, the children show when
// each phase of the report starts, on stderr. The report and floor files are
// named after the benchmark's process, so that runs side by side do not meet.

#include "BenchSupport.h"
#include "collection/CollectionStore.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtLocale.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeVolumes.h"
#include "reports/ReportThread.h"
#include "system/Progress.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace col = velmora::collection;
namespace rep = velmora::reports;
using velmora::bench::ChildOutput;
using velmora::bench::Clock;
using velmora::bench::Median;
using velmora::bench::Milliseconds;
using velmora::bench::StatusKB;

constexpr double kTimeBar = 3.0;
constexpr double kMemoryBar = 4.0;

// User CPU time of every thread of this process so far.
double UserCpuMs()
{
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec) * 1000.0 +
           static_cast<double>(usage.ru_utime.tv_usec) / 1000.0;
}

// The phases of a sorted report, in the order RunReport() enters them:
// collection pass, sorting, formatting (and writing into the replacement
// file), writing (fsync and rename), clearing.
constexpr std::size_t kPhases = 5;
constexpr std::array<const char*, kPhases - 1> kPhaseNames = {
    "collection pass", "sorting", "formatting and writing", "fsync and rename"};

// Shows nothing but keeps when each phase started; with --phases, also each
// phase's start time on stderr.
class NoReportProgress final : public velmora::Progress {
public:
    explicit NoReportProgress(bool phases) : phases_(phases) {}
    void setPhase(std::string_view label) override
    {
        const Clock::time_point now = Clock::now();
        if (entered_ < kPhases) {
            starts_[entered_] = now;
            userMs_[entered_++] = UserCpuMs();
        }
        if (phases_)
            std::fprintf(stderr, "%8.0f ms  %.*s\n", Milliseconds(now - start_),
                         static_cast<int>(label.size()), label.data());
    }
    void step(std::uint64_t, std::uint64_t, std::string_view) override {}
    bool cancelled() const override { return false; }

    // Milliseconds from the start of phase i to the start of the next.
    double PhaseMs(std::size_t i) const
    {
        return i + 1 < entered_ ? Milliseconds(starts_[i + 1] - starts_[i]) : 0.0;
    }
    // User CPU milliseconds of the process from the start of phase i to the
    // start of the next.
    double PhaseUserMs(std::size_t i) const
    {
        return i + 1 < entered_ ? userMs_[i + 1] - userMs_[i] : 0.0;
    }

private:
    const bool phases_;
    const Clock::time_point start_ = Clock::now();
    std::array<Clock::time_point, kPhases> starts_{};
    std::array<double, kPhases> userMs_{};
    std::size_t entered_ = 0;
};

rep::ReportSettings Everything(rep::ReportFormat format, const std::string& target)
{
    rep::ReportSettings settings;
    settings.collectionRow = settings.volumeRows = settings.folderRows = settings.fileRows = true;
    settings.columnEnabled.fill(true);
    settings.format = format;
    settings.sorting = true;
    settings.lastReportFile = target;
    return settings;
}

struct ChildFigures {
    double loadMs = 0;
    double reportMs = 0;
    long peakKB = 0;
    long bytes = 0;
    std::array<double, kPhases - 1> phaseMs{};
    std::array<double, kPhases - 1> phaseUserMs{};
};

// The child's part: load, report, print "LOAD_MS REPORT_MS PEAK_KB BYTES"
// and the milliseconds of the four phases.
int ReportOnly(const std::string& path, rep::ReportFormat format, const std::string& target)
{
    velmora::platform::PosixFileSystem files;
    const velmora::fakes::FakeClock clock;
    const velmora::texts::TextTable texts;
    const velmora::platform::QtLocale locale;
    velmora::NoProgress progress;
    col::CollectionStore store(files, clock, texts);
    const Clock::time_point start = Clock::now();
    if (store.LoadCollection(path, progress).status != col::LoadStatus::Loaded)
        return 1;
    const Clock::time_point loaded = Clock::now();
    const long before = StatusKB("VmRSS");
    const velmora::fakes::FakeVolumes volumes;
    const velmora::Services services{files, volumes, locale, clock};
    const rep::ReportSources sources{store.tree(), path, texts, services};
    NoReportProgress shown(std::getenv("VELMORA_BENCH_PHASES") != nullptr);
    const std::atomic<bool> stop{false};
    if (rep::RunReport(sources, Everything(format, target), shown, stop) !=
        rep::ReportOutcome::Written)
        return 1;
    const Clock::time_point done = Clock::now();
    const long peak = StatusKB("VmHWM");
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0)
        return 1;
    std::printf("%f %f %ld %ld", Milliseconds(loaded - start), Milliseconds(done - loaded),
                peak - before, static_cast<long>(st.st_size));
    for (std::size_t i = 0; i + 1 < kPhases; ++i)
        std::printf(" %f %f", shown.PhaseMs(i), shown.PhaseUserMs(i));
    std::printf("\n");
    return 0;
}

// Runs this program again as `self MODE ARG1 ARG2 ARG3` and returns what it
// printed; ends the benchmark when the child fails.
std::string RunSelf(const char* self, const char* mode, const std::string& arg1,
                    const std::string& arg2, const std::string& arg3)
{
    const std::optional<std::string> out = ChildOutput(self, {mode, arg1, arg2, arg3});
    if (!out) {
        std::fprintf(stderr, "velmora-bench-report: the %s child failed\n", mode);
        std::exit(1);
    }
    return *out;
}

ChildFigures RunChild(const char* self, const std::string& path, int format,
                      const std::string& target)
{
    const std::string out = RunSelf(self, "--report-only", path, std::to_string(format), target);
    ChildFigures f;
    std::array<double, kPhases - 1>& p = f.phaseMs;
    std::array<double, kPhases - 1>& u = f.phaseUserMs;
    if (std::sscanf(out.c_str(), "%lf %lf %ld %ld %lf %lf %lf %lf %lf %lf %lf %lf", &f.loadMs,
                    &f.reportMs, &f.peakKB, &f.bytes, &p[0], &u[0], &p[1], &u[1], &p[2], &u[2],
                    &p[3], &u[3]) != 12)
        std::exit(1);
    return f;
}

// The floor child's part: load, write BYTES bytes, print the milliseconds.
int FloorOnly(const std::string& path, long bytes, const std::string& target)
{
    velmora::platform::PosixFileSystem files;
    const velmora::fakes::FakeClock clock;
    const velmora::texts::TextTable texts;
    velmora::NoProgress progress;
    const Clock::time_point start = Clock::now();
    col::CollectionStore store(files, clock, texts);
    if (store.LoadCollection(path, progress).status != col::LoadStatus::Loaded)
        return 1;
    const std::string block(1 << 20, 'x');
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return 1;
    for (long left = bytes; left > 0;) {
        const auto chunk = static_cast<std::size_t>(std::min<long>(left, 1 << 20));
        const ssize_t n = ::write(fd, block.data(), chunk);
        if (n <= 0)
            return 1;
        left -= n;
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0)
        return 1;
    std::printf("%f\n", Milliseconds(Clock::now() - start));
    return 0;
}

double FloorMs(const char* self, const std::string& path, long bytes, const std::string& target)
{
    const std::string out = RunSelf(self, "--floor-only", path, std::to_string(bytes), target);
    ::unlink(target.c_str());
    double ms = 0;
    if (std::sscanf(out.c_str(), "%lf", &ms) != 1)
        std::exit(1);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--floor-only") == 0)
        return FloorOnly(argv[2], std::atol(argv[3]), argv[4]);
    if (argc == 5 && std::strcmp(argv[1], "--report-only") == 0)
        return ReportOnly(argv[2], static_cast<rep::ReportFormat>(std::atoi(argv[3])), argv[4]);
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmora-bench-report FILE [--runs N]\n");
        return 2;
    }
    const std::string path = argv[1];
    int runs = 3;
    if (argc == 4 && std::strcmp(argv[2], "--runs") == 0)
        runs = std::max(1, std::atoi(argv[3]));
    const std::string folder =
        path.find('/') == std::string::npos ? "." : path.substr(0, path.rfind('/'));
    const std::string own = std::to_string(::getpid());

    std::printf("collection: %s; every row kind and column, sorted; median of %d runs\n\n",
                path.c_str(), runs);
    std::printf("%-6s %10s %10s %10s %10s %8s %10s %8s\n", "format", "load ms", "report ms",
                "ours ms", "floor ms", "ratio", "peak MiB", "mem/size");
    bool pass = true;
    constexpr std::array<const char*, 4> kNames = {"text", "dif", "html", "csv"};
    // Per format: the median of each phase and the floor, and of each
    // phase's user CPU time.
    std::array<std::array<double, kPhases>, 4> phases{};
    std::array<std::array<double, kPhases - 1>, 4> phasesUser{};
    for (int format = 1; format <= 4; ++format) {
        const std::string target =
            folder + "/.bench-report-" + own + "." + kNames[static_cast<std::size_t>(format - 1)];
        std::vector<double> ours;
        std::vector<double> floors;
        std::vector<double> loads;
        std::vector<double> reports;
        std::array<std::vector<double>, kPhases - 1> phaseRuns;
        std::array<std::vector<double>, kPhases - 1> phaseUserRuns;
        long peakKB = 0;
        long bytes = 0;
        for (int i = 0; i < runs; ++i) {
            const ChildFigures f = RunChild(argv[0], path, format, target);
            ::unlink(target.c_str());
            loads.push_back(f.loadMs);
            reports.push_back(f.reportMs);
            ours.push_back(f.loadMs + f.reportMs);
            for (std::size_t p = 0; p + 1 < kPhases; ++p) {
                phaseRuns[p].push_back(f.phaseMs[p]);
                phaseUserRuns[p].push_back(f.phaseUserMs[p]);
            }
            peakKB = std::max(peakKB, f.peakKB);
            bytes = f.bytes;
            floors.push_back(FloorMs(argv[0], path, bytes, target + ".floor"));
        }
        const double ratio = Median(ours) / Median(floors);
        std::array<double, kPhases>& shown = phases[static_cast<std::size_t>(format - 1)];
        for (std::size_t p = 0; p + 1 < kPhases; ++p) {
            shown[p] = Median(phaseRuns[p]);
            phasesUser[static_cast<std::size_t>(format - 1)][p] = Median(phaseUserRuns[p]);
        }
        shown[kPhases - 1] = Median(floors);
        const double memory = static_cast<double>(peakKB) * 1024.0 / static_cast<double>(bytes);
        pass = pass && ratio <= kTimeBar && memory <= kMemoryBar;
        std::printf("%-6s %10.0f %10.0f %10.0f %10.0f %8.2f %10.0f %8.2f  (%.1f MiB report)\n",
                    kNames[static_cast<std::size_t>(format - 1)], Median(loads), Median(reports),
                    Median(ours), Median(floors), ratio, static_cast<double>(peakKB) / 1024.0,
                    memory, static_cast<double>(bytes) / 1048576.0);
    }
    std::printf("\nphases: median ms, against the floor of the same format, and user CPU ms\n");
    std::printf("%-23s", "");
    for (const char* name : kNames)
        std::printf(" %8s %5s %6s", name, "ratio", "cpu");
    std::printf("\n");
    for (std::size_t p = 0; p < kPhases; ++p) {
        std::printf("%-23s", p + 1 < kPhases ? kPhaseNames[p] : "floor");
        for (std::size_t f = 0; f < phases.size(); ++f) {
            const std::array<double, kPhases>& shown = phases[f];
            std::printf(" %8.0f %5.2f", shown[p], shown[p] / shown[kPhases - 1]);
            if (p + 1 < kPhases)
                std::printf(" %6.0f", phasesUser[f][p]);
            else
                std::printf(" %6s", "");
        }
        std::printf("\n");
    }
    std::printf("\nbars: ours / floor at most %.1f, peak memory / report size at most %.1f: %s\n",
                kTimeBar, kMemoryBar, pass ? "PASS" : "FAIL");
    return pass ? 0 : 1;
}
