// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-collection FILE [--runs N]
//
// Measures loading and saving a collection file against what the hardware
// allows for the same bytes (the "floor"), with a warm page cache, each
// figure the median of N runs (default 5):
//
//   floor load   one read() of the whole file into a buffer, then splitting it
//                into lines (std::string_view per line, '\r' stripped)
//   our load     CollectionStore::LoadCollection through PosixFileSystem
//   floor save   the file's bytes written to a new file in the same folder in
//                1 MiB blocks, fsync, close; and the same without fsync
//   our save     CollectionStore::SaveCollection to a new path in that folder
//   peak memory  in a child process (this program run with --load-only FILE):
//                peak resident size (VmHWM) during LoadCollection minus the
//                resident size before it
//
// The saved file is compared with the input: with the clock set to the
// input's LastChange the bytes must be identical.

#include "BenchSupport.h"
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "platform/PosixFileSystem.h"
#include "platform/fakes/FakeClock.h"
#include "system/Progress.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace col = velmora::collection;
using velmora::bench::ChildOutput;
using velmora::bench::Clock;
using velmora::bench::Median;
using velmora::bench::Milliseconds;
using velmora::bench::StatusKB;

constexpr double kBar = 3.0;
constexpr std::size_t kBlockBytes = 1 << 20;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "velmora-bench-collection: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

// Runs `prepare` (untimed), then `body` (timed), then `cleanup` (untimed),
// `runs` times; the median of the body's times in milliseconds.
double Measure(int runs, const std::function<void()>& prepare, const std::function<void()>& body,
               const std::function<void()>& cleanup)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const Clock::time_point start = Clock::now();
        body();
        times.push_back(Milliseconds(Clock::now() - start));
        cleanup();
    }
    return Median(times);
}

struct Bytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::string_view view() const { return {data.get(), size}; }
};

// The whole file with one read() into a buffer of the file's size.
Bytes ReadAll(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        Fail("cannot open " + path);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        Fail("cannot stat " + path);
    Bytes bytes;
    bytes.size = static_cast<std::size_t>(st.st_size);
    bytes.data = std::make_unique_for_overwrite<char[]>(bytes.size);
    std::size_t done = 0;
    while (done < bytes.size) {
        const ssize_t n = ::read(fd, bytes.data.get() + done, bytes.size - done);
        if (n <= 0)
            Fail("cannot read " + path);
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return bytes;
}

std::vector<std::string_view> SplitLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        const char* lf =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* stop = lf ? lf : end;
        const char* lineEnd = stop > p && stop[-1] == '\r' ? stop - 1 : stop;
        lines.emplace_back(p, static_cast<std::size_t>(lineEnd - p));
        p = lf ? lf + 1 : end;
    }
    return lines;
}

void WriteAll(const std::string& path, std::string_view bytes, bool sync)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        Fail("cannot create " + path);
    while (!bytes.empty()) {
        const std::size_t chunk = std::min(bytes.size(), kBlockBytes);
        const ssize_t n = ::write(fd, bytes.data(), chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("cannot write " + path);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    if (sync && ::fsync(fd) != 0)
        Fail("cannot fsync " + path);
    if (::close(fd) != 0)
        Fail("cannot close " + path);
}

// Flushes a file written without fsync, so that its write-back does not run
// into the next measurement.
void SyncFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The child's part: load once and print "RSS_BEFORE_KB HWM_KB RSS_AFTER_KB".
int LoadOnly(const std::string& path)
{
    velmora::platform::PosixFileSystem files;
    const velmora::fakes::FakeClock clock;
    const velmora::texts::TextTable texts;
    velmora::NoProgress progress;
    col::CollectionStore store(files, clock, texts);
    const long before = StatusKB("VmRSS");
    const col::LoadResult result = store.LoadCollection(path, progress);
    const long peak = StatusKB("VmHWM");
    const long after = StatusKB("VmRSS");
    if (result.status != col::LoadStatus::Loaded)
        return 1;
    std::printf("%ld %ld %ld %zu\n", before, peak, after, store.tree().size());
    return 0;
}

// PosixFileSystem with the fsync of the written file skipped (the rename and
// the fsync of the folder stay), to see what a save costs besides that fsync.
class NoFileSyncFileSystem final : public velmora::FileSystem {
public:
    bool readFile(const std::string& p, velmora::ByteBuffer& out) const override
    {
        return posix_.readFile(p, out);
    }
    bool readHead(const std::string& p, std::size_t max, std::string& out) const override
    {
        return posix_.readHead(p, max, out);
    }
    bool fileExists(const std::string& p) const override { return posix_.fileExists(p); }
    bool folderExists(const std::string& p) const override { return posix_.folderExists(p); }
    bool removeFile(const std::string& p) override { return posix_.removeFile(p); }
    bool renameFile(const std::string& from, const std::string& to) override
    {
        return posix_.renameFile(from, to);
    }
    bool linkFile(const std::string& from, const std::string& to) override
    {
        return posix_.linkFile(from, to);
    }
    std::unique_ptr<velmora::RandomAccessFile> openFile(const std::string& p, bool writable,
                                                        int& error) override
    {
        return posix_.openFile(p, writable, error);
    }
    bool listFolder(const std::string& p, std::vector<velmora::FolderEntry>& entries) const override
    {
        return posix_.listFolder(p, entries);
    }
    bool fileStatus(const std::string& p, velmora::FileStatus& status) const override
    {
        return posix_.fileStatus(p, status);
    }
    std::unique_ptr<velmora::OutputFile> createReplacement(const std::string& target,
                                                           velmora::WriteError& error) override
    {
        std::unique_ptr<velmora::OutputFile> inner = posix_.createReplacement(target, error);
        if (!inner)
            return nullptr;
        return std::make_unique<Output>(std::move(inner));
    }
    void removeLeftoverReplacement(const std::string& target) override
    {
        posix_.removeLeftoverReplacement(target);
    }
    std::unique_ptr<velmora::FileLock>
    lockFile(const std::string& p, std::chrono::milliseconds timeout, int& error) override
    {
        return posix_.lockFile(p, timeout, error);
    }
    std::string linkTarget(const std::string& p) const override { return posix_.linkTarget(p); }

private:
    class Output final : public velmora::OutputFile {
    public:
        explicit Output(std::unique_ptr<velmora::OutputFile> inner) : inner_(std::move(inner)) {}
        bool write(std::string_view bytes) override { return inner_->write(bytes); }
        bool truncate(std::uint64_t size) override { return inner_->truncate(size); }
        bool flush() override { return true; }
        bool commit() override { return inner_->commit(); }

    private:
        std::unique_ptr<velmora::OutputFile> inner_;
    };
    velmora::platform::PosixFileSystem posix_;
};

struct Memory {
    long beforeKB = 0;
    long peakKB = 0;
    long afterKB = 0;
};

Memory MeasureMemory(const std::string& path)
{
    const std::optional<std::string> out = ChildOutput("/proc/self/exe", {"--load-only", path});
    Memory m;
    std::size_t nodes = 0;
    if (!out || std::sscanf(out->c_str(), "%ld %ld %ld %zu", &m.beforeKB, &m.peakKB, &m.afterKB,
                            &nodes) != 4) {
        std::fprintf(stderr, "velmora-bench-collection: the memory child failed\n");
        std::exit(1);
    }
    return m;
}

int Usage()
{
    std::fprintf(stderr, "usage: velmora-bench-collection FILE [--runs N]\n");
    return 2;
}

const char* Verdict(double ratio)
{
    return ratio <= kBar ? "PASS" : "FAIL";
}

} // namespace

int main(int argc, char** argv)
{
    std::string path;
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--load-only" && i + 1 < argc)
            return LoadOnly(argv[i + 1]);
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
            if (runs < 1)
                return Usage();
        } else if (path.empty() && !arg.starts_with("--")) {
            path = arg;
        } else {
            return Usage();
        }
    }
    if (path.empty())
        return Usage();

    const std::string folder =
        path.find('/') == std::string::npos ? "." : path.substr(0, path.rfind('/'));
    const std::string floorPath = folder + "/.bench-floor-save.col";
    const std::string ourPath = folder + "/.bench-our-save.col";

    // Warm the page cache and keep the bytes for the floor save.
    const Bytes input = ReadAll(path);
    const std::size_t lineCount = SplitLines(input.view()).size();

    velmora::platform::PosixFileSystem files;
    const velmora::texts::TextTable texts;
    velmora::NoProgress progress;

    // With the clock on the input's own date, a save rebuilds the same root.
    velmora::fakes::FakeClock clock;
    {
        col::Numbers rootNumbers{};
        const std::string_view firstLine = input.view().substr(0, input.view().find('\r'));
        col::ReadNumbers(firstLine, rootNumbers);
        clock.setToday(static_cast<std::int32_t>(rootNumbers[col::kLastChange]));
    }

    const auto nothing = [] {};

    // Load: floor and ours.
    std::vector<std::string_view> lines;
    Bytes floorBytes;
    const double floorLoad = Measure(
        runs, nothing,
        [&] {
            floorBytes = ReadAll(path);
            lines = SplitLines(floorBytes.view());
        },
        [&] {
            lines = {};
            floorBytes = {};
        });

    std::unique_ptr<col::CollectionStore> store;
    std::size_t loadedNodes = 0;
    const double ourLoad = Measure(
        runs, [&] { store = std::make_unique<col::CollectionStore>(files, clock, texts); },
        [&] {
            if (store->LoadCollection(path, progress).status != col::LoadStatus::Loaded) {
                std::fprintf(stderr, "velmora-bench-collection: %s did not load\n", path.c_str());
                std::exit(1);
            }
        },
        [&] {
            loadedNodes = store->tree().size();
            store.reset();
        });

    // Save: floor with and without fsync, then ours from a loaded store.
    const auto removeFloor = [&] { ::unlink(floorPath.c_str()); };
    const double floorSave = Measure(
        runs, removeFloor, [&] { WriteAll(floorPath, input.view(), true); }, removeFloor);
    const double floorSaveNoSync = Measure(
        runs, removeFloor, [&] { WriteAll(floorPath, input.view(), false); },
        [&] {
            SyncFile(floorPath);
            removeFloor();
        });

    store = std::make_unique<col::CollectionStore>(files, clock, texts);
    if (store->LoadCollection(path, progress).status != col::LoadStatus::Loaded)
        Fail("cannot load " + path);
    const auto removeOurs = [&] { ::unlink(ourPath.c_str()); };
    const double ourSave = Measure(
        runs, removeOurs,
        [&] {
            if (!store->SaveCollection(ourPath, progress).saved())
                Fail("cannot save " + ourPath);
        },
        nothing);
    const bool identical = ReadAll(ourPath).view() == input.view();
    removeOurs();
    store.reset();

    NoFileSyncFileSystem noSyncFiles;
    col::CollectionStore noSyncStore(noSyncFiles, clock, texts);
    if (noSyncStore.LoadCollection(path, progress).status != col::LoadStatus::Loaded)
        Fail("cannot load " + path);
    const double ourSaveNoSync = Measure(
        runs, removeOurs,
        [&] {
            if (!noSyncStore.SaveCollection(ourPath, progress).saved())
                Fail("cannot save " + ourPath);
        },
        [&] {
            SyncFile(ourPath);
            removeOurs();
        });

    const Memory memory = MeasureMemory(path);
    const double peakMB = static_cast<double>(memory.peakKB - memory.beforeKB) / 1024.0;
    const double fileMB = static_cast<double>(input.size) / (1024.0 * 1024.0);

    const double loadRatio = ourLoad / floorLoad;
    const double saveRatio = ourSave / floorSave;
    const double saveRatioNoSync = ourSave / floorSaveNoSync;
    const double memoryRatio = peakMB / fileMB;

    std::printf("Velmora collection benchmark\n");
    std::printf(
        "file: %s (%zu nodes, %zu bytes = %.1f MiB), median of %d runs, warm page cache\n\n",
        path.c_str(), lineCount, input.size, fileMB, runs);
    std::printf("| measure                         |      ms |\n");
    std::printf("|---------------------------------|--------:|\n");
    std::printf("| floor load (read + split lines) | %7.1f |\n", floorLoad);
    std::printf("| our load (LoadCollection)       | %7.1f |\n", ourLoad);
    std::printf("| floor save (write + fsync)      | %7.1f |\n", floorSave);
    std::printf("| floor save (write, no fsync)    | %7.1f |\n", floorSaveNoSync);
    std::printf("| our save (SaveCollection)       | %7.1f |\n", ourSave);
    std::printf("| our save, file fsync skipped *  | %7.1f |\n\n", ourSaveNoSync);
    std::printf("| ratio                           | value | bar | result |\n");
    std::printf("|---------------------------------|------:|----:|--------|\n");
    std::printf("| load / floor load               | %5.2f | %.1f | %s   |\n", loadRatio, kBar,
                Verdict(loadRatio));
    std::printf("| save / floor save (fsync)       | %5.2f | %.1f | %s   |\n", saveRatio, kBar,
                Verdict(saveRatio));
    std::printf("| save / floor save (no fsync)    | %5.2f | %.1f | %s   |\n", saveRatioNoSync,
                kBar, Verdict(saveRatioNoSync));
    std::printf("| peak memory / file size         | %5.2f | %.1f | %s   |\n\n", memoryRatio, kBar,
                Verdict(memoryRatio));
    std::printf(
        "* diagnostic only: SaveCollection through PosixFileSystem with its file fsync skipped;\n"
        "  %.2f x the floor without fsync\n",
        ourSaveNoSync / floorSaveNoSync);
    std::printf(
        "peak memory of a load: %.1f MiB above %.1f MiB before (resident after: %.1f MiB above)\n",
        peakMB, static_cast<double>(memory.beforeKB) / 1024.0,
        static_cast<double>(memory.afterKB - memory.beforeKB) / 1024.0);
    std::printf("nodes loaded: %zu; saved file identical to the input: %s\n", loadedNodes,
                identical ? "yes" : "NO");
    return identical && loadedNodes == lineCount ? 0 : 1;
}
