// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-gui COLLECTION --velmora PROGRAM [--runs N]
//
// Measures the desktop program against the core, with a warm page cache and
// the Qt platform "offscreen" (unless QT_QPA_PLATFORM says otherwise), each
// time the median of N runs (default 5; 9 for the list):
//
//   start        wall time of `PROGRAM --screenshot PNG COLLECTION` from
//                spawning to its exit: start, open the collection, select the
//                first volume, render the window into a PNG
//   core load    CollectionStore::LoadCollection of COLLECTION with
//                PosixFileSystem (as velmora-bench-collection measures it);
//                runs alternate with the start runs
//   list fill    in a MainWindow over a collection of one folder holding
//                10,000 files with tag texts (written in shuffled name order,
//                so the list has to sort them): selecting that folder in the
//                view tree until the list model is filled, sorted and its
//                view has painted (viewport repaint, then processEvents)
//   view tree    in a child process (this program with --tree-child FILE),
//                a MainWindow over a collection of 100,000 folders: the time
//                of RebuildViewTree() with the tree view's repaint, the
//                process's peak resident size (VmHWM), and the number of
//                QObject descendants of the tree view after expanding every
//                item, compared with the same for a collection of 10 folders
//
// Bars: start / core load at most 2; list fill under 100 ms; the tree view's
// QObject count the same for 10 and 100,000 folders. Exits 1 when a bar is
// missed or a step fails. Its collections are written to a temporary folder
// that is removed afterwards.

#include "BenchSupport.h"
#include "collection/CollectionFile.h"
#include "collection/CollectionStore.h"
#include "collection/CollectionTree.h"
#include "collection/NodeText.h"
#include "gui/app/Application.h"
#include "gui/collection/CollectionCommands.h"
#include "gui/dialogs/QtUserDialogs.h"
#include "gui/mainwindow/FileListModel.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/ViewTreeModel.h"
#include "platform/LinuxVolumes.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtLocale.h"
#include "platform/SystemClock.h"
#include "platform/fakes/FakeClock.h"
#include "system/Progress.h"
#include "texts/TextTable.h"

#include <QApplication>
#include <QTableView>
#include <QTreeView>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace col = velmora::collection;
namespace gui = velmora::gui;
using velmora::bench::Clock;
using velmora::bench::Median;
using velmora::bench::Milliseconds;
using velmora::bench::StatusKB;
using velmora::bench::TimeOnce;

constexpr double kStartBar = 2.0;
constexpr double kListBarMs = 100.0;
constexpr int kListFiles = 10000;
constexpr int kListRuns = 9;
constexpr std::size_t kManyFolders = 100000;
constexpr std::size_t kFewFolders = 10;
constexpr std::size_t kFoldersPerArtist = 100; // the artist folder and 99 albums
constexpr std::size_t kMaxVolumes = 10;
constexpr int kTreeRuns = 5;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "velmora-bench-gui: %s\n", what.c_str());
    std::exit(1);
}

// SplitMix64: a fixed seed gives the same collections everywhere.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }

private:
    std::uint64_t state_;
};

constexpr std::array<std::string_view, 24> kWords = {
    "Love", "Night", "Blue",  "Road",  "Heart",  "Fire",  "Rain",   "Dream",
    "Song", "Light", "Time",  "River", "Summer", "Black", "Golden", "Wild",
    "Home", "Angel", "Storm", "Moon",  "Street", "Dance", "Silver", "Echo"};

std::string Words(Rng& rng, std::size_t count)
{
    std::string out(kWords[rng.below(kWords.size())]);
    for (std::size_t i = 1; i < count; ++i)
        out += ' ' + std::string(kWords[rng.below(kWords.size())]);
    return out;
}

constexpr std::int64_t kSizeKB = 4000;
constexpr std::int64_t kSeconds = 240;
constexpr std::int64_t kScanDay = 45000;

// One file node with numbers of a plain MP3 and all six tag fields filled.
std::string SongText(Rng& rng, std::string_view name, int track)
{
    const col::Numbers numbers{kSizeKB, kSeconds, 4410, 2, 1, 3};
    std::array<std::string, 6> tags;
    tags[col::kTitle] = Words(rng, 3);
    tags[col::kArtist] = Words(rng, 2);
    tags[col::kAlbum] = Words(rng, 2);
    tags[col::kTrack] = std::to_string(track);
    tags[col::kYear] = std::to_string(1960 + static_cast<int>(rng.below(50)));
    tags[col::kComment] = "Ripped by EAC";
    return col::FileText(name, numbers, tags);
}

void WriteTree(const col::CollectionTree& tree, const std::string& rootText,
               const std::string& path)
{
    velmora::platform::PosixFileSystem files;
    velmora::WriteError error = velmora::WriteError::None;
    const std::unique_ptr<velmora::OutputFile> file = files.createReplacement(path, error);
    if (!file || !col::WriteCollection(tree, rootText, *file) || !file->flush() || !file->commit())
        Fail("cannot write " + path);
}

// One volume "LIST TEST" holding the folder "Many" with kListFiles files in
// shuffled name order and one loose file.
void WriteListCollection(const std::string& path)
{
    Rng rng(0x4C495354);
    std::vector<std::string> names;
    names.reserve(kListFiles);
    for (int i = 0; i < kListFiles; ++i)
        names.push_back(Words(rng, 2) + " - " + Words(rng, 3) + " " + std::to_string(i) + ".mp3");
    for (std::size_t i = names.size(); i > 1; --i)
        std::swap(names[i - 1], names[rng.below(i)]);

    col::CollectionTree tree;
    tree.reserve(kListFiles + 4);
    const col::NodeId root = tree.addRoot("");
    const std::int64_t files = kListFiles + 1;
    const col::NodeId volume =
        tree.appendChild(root, col::VolumeText("LIST TEST", files * kSizeKB, files * kSeconds, 1,
                                               files, kScanDay, 1));
    const col::NodeId folder =
        tree.appendChild(volume, col::FolderText("Many", kListFiles * kSizeKB,
                                                 kListFiles * kSeconds, 0, kListFiles));
    for (int i = 0; i < kListFiles; ++i)
        tree.appendChild(folder, SongText(rng, names[static_cast<std::size_t>(i)], i % 20 + 1));
    tree.appendChild(volume, SongText(rng, "loose.mp3", 1));
    WriteTree(tree, col::CollectionText(files * kSizeKB, files * kSeconds, 1, files, kScanDay),
              path);
}

// `folders` folders, each holding one file: groups of an artist folder with
// up to 99 album folders, spread over up to ten volumes.
void WriteFolderCollection(const std::string& path, std::size_t folders)
{
    Rng rng(0x54524545);
    const std::size_t groups = (folders + kFoldersPerArtist - 1) / kFoldersPerArtist;
    const std::size_t volumeCount = std::clamp<std::size_t>(groups, 1, kMaxVolumes);
    col::CollectionTree tree;
    tree.reserve(folders * 2 + volumeCount + 1);
    const col::NodeId root = tree.addRoot("");
    std::vector<col::NodeId> volumes;
    for (std::size_t v = 0; v < volumeCount; ++v)
        volumes.push_back(tree.appendChild(root, ""));
    std::vector<std::int64_t> volumeFolders(volumeCount, 0);
    std::size_t left = folders;
    for (std::size_t g = 0; g < groups; ++g) {
        const std::size_t v = g * volumeCount / groups;
        const std::size_t albums = std::min(left, kFoldersPerArtist) - 1;
        const std::int64_t files = static_cast<std::int64_t>(albums) + 1;
        const col::NodeId artist =
            tree.appendChild(volumes[v], col::FolderText("Artist " + std::to_string(g),
                                                         files * kSizeKB, files * kSeconds,
                                                         static_cast<std::int64_t>(albums), files));
        for (std::size_t a = 0; a < albums; ++a) {
            const col::NodeId album =
                tree.appendChild(artist, col::FolderText(Words(rng, 2) + " " + std::to_string(a),
                                                         kSizeKB, kSeconds, 0, 1));
            tree.appendChild(album, SongText(rng, "01 - " + Words(rng, 3) + ".mp3", 1));
        }
        tree.appendChild(artist, SongText(rng, "bonus.mp3", 1));
        volumeFolders[v] += files;
        left -= albums + 1;
    }
    const std::int64_t files = static_cast<std::int64_t>(folders);
    for (std::size_t v = 0; v < volumeCount; ++v) {
        const std::int64_t n = volumeFolders[v];
        tree.setText(volumes[v],
                     col::VolumeText("FOLDERS " + std::to_string(v), n * kSizeKB, n * kSeconds, n,
                                     n, kScanDay, static_cast<std::int32_t>(v + 1)));
    }
    WriteTree(tree,
              col::CollectionText(files * kSizeKB, files * kSeconds,
                                  static_cast<std::int64_t>(volumeCount), files, kScanDay),
              path);
}

// A main window over the platform's services and dialogs, as main.cpp builds
// it, with no settings store and no wait pauses. The loads here ask nothing.
struct Window {
    Window()
        : application(velmora::Services{files, volumes, locale, clock}, dialogs, "/tmp"),
          window(application)
    {
        dialogs.setParent(&window);
        window.StartUp(QString());
        window.show();
        QCoreApplication::processEvents();
    }
    void Load(const std::string& path)
    {
        if (window.commands().LoadCollection(QString::fromStdString(path)) !=
            velmora::gui::CollectionCommands::LoadOutcome::Loaded)
            Fail("cannot load " + path);
        QCoreApplication::processEvents();
    }

    velmora::platform::PosixFileSystem files;
    velmora::platform::SystemClock clock;
    velmora::platform::QtLocale locale;
    const velmora::platform::LinuxVolumes volumes;
    gui::QtUserDialogs dialogs;
    gui::Application application;
    gui::MainWindow window;
};

// Child mode: loads FILE into a window and prints
// "loadMs rebuildMs items treeObjects hwmKB rssBeforeKB".
int TreeChild(const std::string& path)
{
    Window w;
    const long rssBefore = StatusKB("VmRSS");
    const double loadMs = TimeOnce([&] { w.Load(path); });
    w.window.SelectFirstVolume();
    QCoreApplication::processEvents();
    QTreeView* tree = w.window.treeView();
    std::vector<double> rebuilds;
    for (int i = 0; i < kTreeRuns; ++i) {
        rebuilds.push_back(TimeOnce([&] {
            w.window.RebuildViewTree();
            tree->viewport()->repaint();
            QCoreApplication::processEvents();
        }));
    }
    tree->expandAll();
    tree->viewport()->repaint();
    QCoreApplication::processEvents();
    const auto objects = tree->findChildren<QObject*>().size();
    std::printf("%.3f %.3f %zu %lld %ld %ld\n", loadMs, Median(rebuilds),
                w.window.treeModel()->itemCount(), static_cast<long long>(objects),
                StatusKB("VmHWM"), rssBefore);
    return 0;
}

struct TreeFigures {
    double loadMs = 0;
    double rebuildMs = 0;
    std::size_t items = 0;
    long long objects = 0;
    long hwmKB = 0;
    long rssBeforeKB = 0;
};

// Runs `self --tree-child path` and reads its line of figures.
TreeFigures RunTreeChild(const std::string& self, const std::string& path)
{
    const std::string command = "'" + self + "' --tree-child '" + path + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        Fail("cannot run " + command);
    TreeFigures f;
    const int read = std::fscanf(pipe, "%lf %lf %zu %lld %ld %ld", &f.loadMs, &f.rebuildMs,
                                 &f.items, &f.objects, &f.hwmKB, &f.rssBeforeKB);
    if (::pclose(pipe) != 0 || read != 6)
        Fail("the tree child failed for " + path);
    return f;
}

// Spawns the program with stdout and stderr on /dev/null; its exit status.
int Spawn(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        Fail("cannot start " + args[0] + ": " + std::strerror(error));
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        Fail("cannot wait for " + args[0]);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

const char* Verdict(bool pass)
{
    return pass ? "PASS" : "FAIL";
}

int Usage()
{
    std::fprintf(stderr, "usage: velmora-bench-gui COLLECTION --velmora PROGRAM [--runs N]\n"
                         "       velmora-bench-gui --tree-child COLLECTION\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string collection;
    std::string program;
    std::string treeChild;
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--velmora" && i + 1 < argc) {
            program = argv[++i];
        } else if (arg == "--tree-child" && i + 1 < argc) {
            treeChild = argv[++i];
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
            if (runs < 1)
                return Usage();
        } else if (collection.empty() && !arg.starts_with("--")) {
            collection = arg;
        } else {
            return Usage();
        }
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (!treeChild.empty())
        return TreeChild(treeChild);
    if (collection.empty() || program.empty())
        return Usage();

    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    const std::string work = std::filesystem::temp_directory_path() /
                             ("velmora-bench-gui." + std::to_string(::getpid()));
    std::filesystem::create_directories(work);
    const std::string png = work + "/screenshot.png";

    // 1. Start to ready window against the core's load, runs alternating.
    velmora::platform::PosixFileSystem files;
    const velmora::fakes::FakeClock fakeClock;
    const velmora::texts::TextTable texts;
    velmora::NoProgress progress;
    std::size_t nodes = 0;
    const auto coreLoad = [&] {
        col::CollectionStore store(files, fakeClock, texts);
        const double ms = TimeOnce([&] {
            if (store.LoadCollection(collection, progress).status != col::LoadStatus::Loaded)
                Fail("the core cannot load " + collection);
        });
        nodes = store.tree().size();
        return ms;
    };
    const std::vector<std::string> startArgs = {program, "--screenshot", png, collection};
    const auto start = [&] {
        const double ms = TimeOnce([&] {
            if (Spawn(startArgs) != 0)
                Fail(program + " --screenshot failed");
        });
        if (!std::filesystem::exists(png))
            Fail(program + " --screenshot wrote no picture");
        std::filesystem::remove(png);
        return ms;
    };
    coreLoad(); // warm the page cache and the allocator
    start();
    std::vector<double> coreTimes;
    std::vector<double> startTimes;
    for (int i = 0; i < runs; ++i) {
        coreTimes.push_back(coreLoad());
        startTimes.push_back(start());
    }
    const double coreMs = Median(coreTimes);
    const double startMs = Median(startTimes);

    // 2. Choosing a folder of 10,000 files.
    const std::string listFile = work + "/list.col";
    WriteListCollection(listFile);
    double listMs = 0;
    double fillMs = 0;
    int listed = 0;
    {
        Window w;
        w.window.resize(1000, 700);
        w.Load(listFile);
        QTreeView* tree = w.window.treeView();
        QTableView* list = w.window.listView();
        gui::ViewTreeModel* model = w.window.treeModel();
        const QModelIndex volume = model->index(0, 0);
        const QModelIndex folder = model->index(0, 0, volume);
        if (!folder.isValid())
            Fail("the list collection has no folder item");
        std::vector<double> times;
        std::vector<double> fills;
        for (int i = 0; i < kListRuns + 1; ++i) {
            tree->setCurrentIndex(volume);
            list->viewport()->repaint();
            QCoreApplication::processEvents();
            const double ms = TimeOnce([&] {
                tree->setCurrentIndex(folder);
                list->viewport()->repaint();
                QCoreApplication::processEvents();
            });
            listed = w.window.listModel()->rowCount();
            // The model alone, for the breakdown.
            const col::NodeId node = model->nodeOf(folder);
            const double fill = TimeOnce([&] { w.window.listModel()->Fill(node); });
            if (i > 0) { // the first run warms up
                times.push_back(ms);
                fills.push_back(fill);
            }
        }
        listMs = Median(times);
        fillMs = Median(fills);
    }
    if (listed != kListFiles)
        Fail("the list shows " + std::to_string(listed) + " rows, not " +
             std::to_string(kListFiles));

    // 3. The view tree of 100,000 folders against 10, each in its own process.
    const std::string manyFile = work + "/folders-many.col";
    const std::string fewFile = work + "/folders-few.col";
    WriteFolderCollection(manyFile, kManyFolders);
    WriteFolderCollection(fewFile, kFewFolders);
    const TreeFigures few = RunTreeChild(self, fewFile);
    const TreeFigures many = RunTreeChild(self, manyFile);
    std::filesystem::remove_all(work);

    const double startRatio = startMs / coreMs;
    const bool startPass = startRatio <= kStartBar;
    const bool listPass = listMs < kListBarMs;
    const bool treePass = many.objects == few.objects;

    std::printf("Velmora desktop benchmark (QT_QPA_PLATFORM=%s)\n", std::getenv("QT_QPA_PLATFORM"));
    std::printf("file: %s (%zu nodes); start and core load: median of %d runs, alternating; "
                "list: median of %d\n\n",
                collection.c_str(), nodes, runs, kListRuns);
    const auto row = [](const std::string& label, double ms) {
        std::printf("| %-52s | %9.2f |\n", label.c_str(), ms);
    };
    const std::string fileCount = std::to_string(kListFiles);
    std::printf("| %-52s | %9s |\n", "measure", "ms");
    std::printf("|------------------------------------------------------|----------:|\n");
    row("core load (CollectionStore::LoadCollection)", coreMs);
    row("start to ready window (velmora --screenshot)", startMs);
    row("choose a folder of " + fileCount + " files (select to painted)", listMs);
    row("  of which FileListModel::Fill (fill and sort) *", fillMs);
    row("load " + std::to_string(kManyFolders) + " folders into the window *", many.loadMs);
    row("view tree rebuild, " + std::to_string(many.items) + " items, with repaint",
        many.rebuildMs);
    row("view tree rebuild, " + std::to_string(few.items) + " items, with repaint", few.rebuildMs);
    std::printf("\n| view tree            | items  | tree view QObjects | peak memory (VmHWM) | "
                "resident before load |\n");
    std::printf("|----------------------|-------:|-------------------:|--------------------:|"
                "---------------------:|\n");
    std::printf("| %6zu folders       | %6zu | %18lld | %15.1f MiB | %16.1f MiB |\n", kFewFolders,
                few.items, few.objects, few.hwmKB / 1024.0, few.rssBeforeKB / 1024.0);
    std::printf("| %6zu folders       | %6zu | %18lld | %15.1f MiB | %16.1f MiB |\n", kManyFolders,
                many.items, many.objects, many.hwmKB / 1024.0, many.rssBeforeKB / 1024.0);
    const auto goal = [](const std::string& label, const std::string& value, const std::string& bar,
                         bool pass) {
        std::printf("| %-40s | %-13s | %-9s | %-6s |\n", label.c_str(), value.c_str(), bar.c_str(),
                    Verdict(pass));
    };
    char text[64];
    std::printf("\n| %-40s | %-13s | %-9s | result |\n", "goal", "value", "bar");
    std::printf(
        "|------------------------------------------|---------------|-----------|--------|\n");
    std::snprintf(text, sizeof text, "%.2f", startRatio);
    char bar[32];
    std::snprintf(bar, sizeof bar, "<= %.1f", kStartBar);
    goal("start / core load", text, bar, startPass);
    std::snprintf(text, sizeof text, "%.2f ms", listMs);
    std::snprintf(bar, sizeof bar, "< %.0f ms", kListBarMs);
    goal("choose a folder of " + fileCount + " files", text, bar, listPass);
    std::snprintf(text, sizeof text, "%lld / %lld", many.objects, few.objects);
    goal("tree view QObjects, " + std::to_string(kManyFolders) + " / " +
             std::to_string(kFewFolders) + " folders",
         text, "equal", treePass);
    std::printf("\n* diagnostic only\n");
    return startPass && listPass && treePass ? 0 : 1;
}
