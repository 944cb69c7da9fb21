// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-playlist FOLDER [--runs N] [--files N]
//
// Times writing the playlist of a whole volume of N files (default 100,000:
// 100 artist folders of 10 albums of N / 1000 files) against a floor, each
// figure the median of N runs (default 3), alternating:
//
//   ours    LocateAndPlay in Playlist mode on the volume node: finding the
//           volume among the (fake) mounted volumes, walking the branch with
//           its progress steps while its lines go into the M3U file through
//           a replacement file (fsync, rename), with PosixFileSystem
//   floor   what cannot be done without: every file's existence tested
//           (one stat each), then the same M3U bytes, built beforehand,
//           written through the same replacement file: write, fsync, rename
//
// The volume is mounted at FOLDER, which must exist; its folders and empty
// files are made there first (untimed), since a playlist holds only files
// found on disk. Both playlists are written into FOLDER and removed.
//
// Bar: ours at most 2 times the floor. It also checks that both files hold
// the same bytes and that the collection reported progress more than once
// while it ran. Exits 1 when a check fails.

#include "BenchSupport.h"
#include "collection/CollectionTree.h"
#include "collection/NodeText.h"
#include "platform/PosixFileSystem.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeLocale.h"
#include "platform/fakes/FakeVolumes.h"
#include "playback/Playback.h"
#include "system/Progress.h"
#include "system/Services.h"
#include "texts/TextTable.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace col = velmora::collection;
namespace play = velmora::playback;
using velmora::bench::Median;
using velmora::bench::TimeOnce;

constexpr std::int32_t kSerial = 0x1234ABCD;

// Counts the steps of the listing and runs it at once.
class CountingUser final : public play::PlaybackUser {
public:
    class Counter final : public velmora::Progress {
    public:
        void step(std::uint64_t done, std::uint64_t total, std::string_view) override
        {
            ++steps;
            last = done;
            maximum = total;
        }
        bool cancelled() const override { return false; }
        std::uint64_t steps = 0;
        std::uint64_t last = 0;
        std::uint64_t maximum = 0;
    };

    void ShowError(const std::string& message) override
    {
        std::fprintf(stderr, "velmora-bench-playlist: %s\n", message.c_str());
        failed = true;
    }
    void RunListing(const std::function<void(velmora::Progress&)>& job) override
    {
        counter = Counter();
        job(counter);
    }
    void ShowLeftOut(const std::string& message) override
    {
        std::fprintf(stderr, "velmora-bench-playlist: %s\n", message.c_str());
        failed = true;
    }
    void Open(const std::string&) override {}
    void Enqueue(const std::string&) override {}

    Counter counter;
    bool failed = false;
};

// One volume named "BENCH" of `files` files in artist and album folders,
// with names of the usual length, made on disk below `root` as well (empty
// files); false when they cannot be made.
bool BuildVolume(col::CollectionTree& tree, int files, const std::string& root, col::NodeId& volume)
{
    tree.addRoot(col::CollectionText(0, 0, 1, files, 45000));
    volume =
        tree.appendChild(tree.root(), col::VolumeText("BENCH", 0, 0, 1100, files, 45000, kSerial));
    std::error_code error;
    constexpr int kArtists = 100;
    constexpr int kAlbums = 10;
    const int perAlbum = std::max(1, files / (kArtists * kAlbums));
    col::Numbers numbers{3921, 245, 4410, 2, 1, 3};
    char name[128];
    int number = 0;
    for (int a = 0; a < kArtists; ++a) {
        std::snprintf(name, sizeof name, "The Artist Number %03d", a);
        const col::NodeId artist = tree.appendChild(volume, col::FolderText(name, 0, 0, 0, 0));
        const std::string artistPath = root + "/" + name;
        for (int b = 0; b < kAlbums; ++b) {
            std::snprintf(name, sizeof name, "Album %02d of Artist %03d (19%02d)", b, a,
                          60 + (a + b) % 40);
            const col::NodeId album = tree.appendChild(artist, col::FolderText(name, 0, 0, 0, 0));
            const std::string albumPath = artistPath + "/" + name;
            std::filesystem::create_directories(albumPath, error);
            if (error)
                return false;
            for (int f = 0; f < perAlbum; ++f) {
                std::snprintf(name, sizeof name, "%02d - A Song Called Number %06d.mp3", f + 1,
                              number++);
                tree.appendChild(album, col::FileText(name, numbers, {}));
                if (!std::ofstream(albumPath + "/" + name))
                    return false;
            }
        }
    }
    return true;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmora-bench-playlist FOLDER [--runs N] [--files N]\n");
        return 2;
    }
    const std::string folder = argv[1];
    int runs = 3;
    int fileCount = 100000;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--files") == 0)
            fileCount = std::max(1000, std::atoi(argv[i + 1]));
    }

    velmora::platform::PosixFileSystem files;
    velmora::VolumeInfo mount;
    mount.root = folder;
    mount.label = "BENCH";
    mount.serial = static_cast<std::uint32_t>(kSerial);
    const velmora::fakes::FakeVolumes volumes({mount});
    const velmora::fakes::FakeLocale locale;
    const velmora::fakes::FakeClock clock;
    const velmora::Services services{files, volumes, locale, clock};
    const velmora::texts::TextTable table;

    col::CollectionTree tree;
    col::NodeId volume = col::kNoNode;
    if (!BuildVolume(tree, fileCount, folder, volume)) {
        std::fprintf(stderr, "velmora-bench-playlist: cannot make the files in %s\n",
                     folder.c_str());
        return 1;
    }
    const std::string ours = folder + "/bench-ours.m3u";
    const std::string floorFile = folder + "/bench-floor.m3u";

    // The floor's paths and bytes, built once outside the timing.
    velmora::NoProgress quiet;
    const std::vector<std::string> paths =
        play::CollectBranch(tree, volume, folder, files, quiet).paths;
    const std::string bytes = play::PlaylistBytes(paths, play::PlaylistFormat::M3u);

    CountingUser user;
    std::vector<double> oursMs;
    std::vector<double> floorMs;
    bool written = true;
    bool floorWritten = true;
    for (int run = 0; run < runs; ++run) {
        oursMs.push_back(TimeOnce([&] {
            written = play::LocateAndPlay(tree, volume, ours, play::PlayMode::Playlist, services,
                                          table, user) &&
                      written;
        }));
        floorMs.push_back(TimeOnce([&] {
            for (const std::string& path : paths)
                floorWritten = files.fileExists(path) && floorWritten;
            velmora::WriteError error = velmora::WriteError::None;
            const std::unique_ptr<velmora::OutputFile> out =
                files.createReplacement(floorFile, error);
            floorWritten =
                out && out->write(bytes) && out->flush() && out->commit() && floorWritten;
        }));
    }

    // Diagnostic: the paths of the branch as separate strings (what
    // `velmora-cli locate` prints), which ours does without.
    std::vector<double> collectMs;
    for (int run = 0; run < runs; ++run) {
        collectMs.push_back(TimeOnce(
            [&] { static_cast<void>(play::CollectBranch(tree, volume, folder, files, quiet)); }));
    }

    const bool same = ReadAll(ours) == ReadAll(floorFile);
    // The bench's own files: one left behind changes no figure.
    static_cast<void>(files.removeFile(ours));
    static_cast<void>(files.removeFile(floorFile));

    const double oursMedian = Median(oursMs);
    const double floorMedian = Median(floorMs);
    const double ratio = floorMedian > 0 ? oursMedian / floorMedian : 0;
    const bool fast = ratio <= 2.0;
    const bool stepped = user.counter.steps > 2 && user.counter.last == user.counter.maximum;
    std::printf("playlist of %d files (%.1f MiB), median of %d runs\n", fileCount,
                static_cast<double>(bytes.size()) / (1024.0 * 1024.0), runs);
    std::printf("  ours   %9.1f ms   (LocateAndPlay, mode Playlist)\n", oursMedian);
    std::printf("  floor  %9.1f ms   (a stat per file, the same bytes: write, fsync, rename)\n",
                floorMedian);
    std::printf("  ours / floor  %.2f   bar 2.0   %s\n", ratio, fast ? "PASS" : "FAIL");
    std::printf("  progress steps during the listing: %llu (last %llu of %llu)   %s\n",
                static_cast<unsigned long long>(user.counter.steps),
                static_cast<unsigned long long>(user.counter.last),
                static_cast<unsigned long long>(user.counter.maximum), stepped ? "PASS" : "FAIL");
    std::printf("  CollectBranch %9.1f ms   (diagnostic: the paths as separate strings)\n",
                Median(collectMs));
    std::size_t fileNodes = 0;
    for (const col::NodeId node : tree.preOrder())
        fileNodes += tree.level(node) > 1 && !tree.hasChildren(node) ? 1 : 0;
    const bool all = paths.size() == fileNodes;
    std::printf("  same bytes as the floor: %s, every file listed: %s\n", same ? "yes" : "NO",
                all ? "yes" : "NO");
    const bool ok = written && floorWritten && !user.failed && same && all && fast && stepped;
    return ok ? 0 : 1;
}
