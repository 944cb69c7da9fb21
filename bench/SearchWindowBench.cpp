// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-search-window COLLECTION [--runs N] [--word WORD]
//
// Measures the search result windows against the searches that fill them,
// in one run, each figure the median of N runs (default 5), on Qt's
// offscreen platform unless QT_QPA_PLATFORM says otherwise:
//
//   name search     NameSearch for WORD (default "ro", about 137,000 rows
//                   of the one-million-node collection), not matching case
//   window open     building NameResults over those results, showing it and
//                   painting its list (the wait window of the filling
//                   included), until it is mapped and its list painted
//   scrolling       moving the list's current row by pages from the first
//                   row to the last, with a repaint after each move: the
//                   slowest and the median move
//   group switch    in a DuplicatesResults window over 50,000 groups of two
//                   files (a collection built in memory), choosing a group
//                   and painting its rows: the slowest and the median of 200
//                   switches spread over the list; the window's opening and
//                   the opening of the group list too
//
// Bars: window open at most 2 times the name search; every group switch
// under 50 ms. Exits 1 when a bar is missed or a step fails.

#include "BenchSupport.h"
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "gui/dialogs/UserDialogs.h"
#include "gui/dialogs/WaitWindow.h"
#include "gui/search/DuplicatesResults.h"
#include "gui/search/ResultWindows.h"
#include "gui/search/ResultsModel.h"
#include "platform/LinuxVolumes.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtLocale.h"
#include "platform/fakes/FakeClock.h"
#include "search/Searches.h"
#include "system/Progress.h"
#include "texts/ActiveTexts.h"
#include "texts/TextTable.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace col = velmora::collection;
namespace gui = velmora::gui;
namespace search = velmora::search;
using velmora::bench::Clock;
using velmora::bench::Median;
using velmora::bench::Milliseconds;
using velmora::bench::TimeOnce;

constexpr double kOpenBar = 2.0;
constexpr double kSwitchBarMs = 50.0;
constexpr std::size_t kGroups = 50000;
constexpr int kSwitches = 200;

[[noreturn]] void Fail(const std::string& what)
{
    std::fprintf(stderr, "velmora-bench-search-window: %s\n", what.c_str());
    std::exit(1);
}

// A collection of one volume with two folders holding the same kGroups file
// names: kGroups duplicate groups of two by name.
void BuildDuplicates(col::CollectionTree& tree)
{
    const col::NodeId root = tree.addRoot(col::CollectionText(0, 0, 2 * kGroups, 1, 45000));
    const col::NodeId volume =
        tree.appendChild(root, col::VolumeText("DUPS", 0, 0, 2, 2 * kGroups, 45000, 1));
    for (const char* folderName : {"A", "B"}) {
        const col::NodeId folder =
            tree.appendChild(volume, col::FolderText(folderName, 0, 0, 0, kGroups));
        char name[32];
        for (std::size_t i = 0; i < kGroups; ++i) {
            std::snprintf(name, sizeof name, "%06zu Song.mp3", i);
            tree.appendChild(folder, col::FileText(name, {4000, 240, 4410, 2, 1, 3}, {}));
        }
    }
}

// Shows the window, lets it be exposed (the offscreen platform maps it in
// the event loop) and paints its list.
void ShowAndPaint(gui::ResultsWindow& window)
{
    window.show();
    QWidget* viewport = window.controls().list->viewport();
    for (int i = 0; i < 1000 && !window.testAttribute(Qt::WA_Mapped); ++i)
        QCoreApplication::processEvents();
    if (!window.testAttribute(Qt::WA_Mapped))
        Fail("the result window was not mapped");
    viewport->repaint();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        Fail("usage: velmora-bench-search-window COLLECTION [--runs N] [--word WORD]");
    int runs = 5;
    std::string word = "ro";
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--word") == 0)
            word = argv[i + 1];
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

    struct NoDialogs : gui::UserDialogs {
        int Message(const gui::MessageRequest&) override { return 1; }
        QString OpenFileName(const gui::FileRequest&) override { return {}; }
        QString SaveFileName(const gui::FileRequest&) override { return {}; }
        bool TextInput(const gui::TextRequest&, QString&) override { return false; }
    } dialogs;
    QWidget owner;
    const velmora::texts::ActiveTexts activeTexts;
    gui::WaitWindow wait(&owner, activeTexts);
    QString lastSaveDir;

    // The name search and the window it fills, alternately.
    search::NameCriteria criteria;
    criteria.text = word;
    search::ResultList results;
    std::vector<double> searchMs;
    std::vector<double> openMs;
    std::vector<double> moveMs;
    std::size_t rows = 0;
    for (int run = 0; run < runs; ++run) {
        results.reset();
        const search::SearchScope scope{store.tree(), services, quiet, {}, {}, {}};
        // Nothing stops the searches here: only their time counts.
        searchMs.push_back(
            TimeOnce([&] { static_cast<void>(search::NameSearch(scope, criteria, -1, results)); }));
        rows = results.size();
        const gui::ResultsSource source{store.tree(), results, texts,       services,
                                        dialogs,      wait,    lastSaveDir, {}};
        std::unique_ptr<gui::NameResults> window;
        openMs.push_back(TimeOnce([&] {
            window = std::make_unique<gui::NameResults>(source, criteria);
            ShowAndPaint(*window);
        }));
        if (window->model().rowCount() != static_cast<int>(rows))
            Fail("the window does not list every result");
        if (run == 0) {
            // Page by page to the end, painting each page.
            QTableView* list = window->controls().list;
            const int page =
                std::max(1, list->viewport()->height() /
                                std::max(1, list->verticalHeader()->defaultSectionSize()));
            const int step = std::max(page, static_cast<int>(rows) / 500);
            for (int row = 0; row < static_cast<int>(rows); row += step) {
                moveMs.push_back(TimeOnce([&] {
                    list->setCurrentIndex(window->model().index(row, 0));
                    list->viewport()->repaint();
                }));
            }
        }
    }
    const double search = Median(searchMs);
    const double open = Median(openMs);
    const double moveMax = *std::max_element(moveMs.begin(), moveMs.end());
    std::printf("name search \"%s\": %zu rows of %zu nodes\n", word.c_str(), rows,
                store.tree().size());
    std::printf("  name search      %8.1f ms\n", search);
    std::printf("  window open      %8.1f ms  = %.2f x the search (bar %.1f)\n", open,
                open / search, kOpenBar);
    std::printf("  scrolling        %8.2f ms median, %.2f ms slowest of %zu page moves\n",
                Median(moveMs), moveMax, moveMs.size());

    // The duplicates window over kGroups groups.
    col::CollectionTree duplicates;
    BuildDuplicates(duplicates);
    search::ResultList groups;
    const search::SearchScope scope{duplicates, services, quiet, {}, {}, {}};
    search::DuplicateCriteria byName;
    const double duplicateSearch =
        TimeOnce([&] { static_cast<void>(search::DuplicateSearch(scope, byName, -1, groups)); });
    const gui::ResultsSource source{duplicates, groups, texts,       services,
                                    dialogs,    wait,   lastSaveDir, {}};
    std::unique_ptr<gui::DuplicatesResults> window;
    const double duplicateOpen = TimeOnce([&] {
        window = std::make_unique<gui::DuplicatesResults>(source, byName);
        ShowAndPaint(*window);
    });
    if (window->groups()->count() != static_cast<int>(kGroups))
        Fail("the duplicates window does not show every group");
    std::vector<double> switchMs;
    for (int i = 0; i < kSwitches; ++i) {
        const int group = static_cast<int>((static_cast<std::size_t>(i) * 7919u) % kGroups);
        switchMs.push_back(TimeOnce([&] {
            window->groups()->setCurrentIndex(group);
            window->controls().list->viewport()->repaint();
        }));
        if (window->model().rowCount() != 2)
            Fail("a group does not list its two files");
    }
    const double switchMax = *std::max_element(switchMs.begin(), switchMs.end());
    const double popup = TimeOnce([&] {
        window->groups()->showPopup();
        QCoreApplication::processEvents();
        window->groups()->hidePopup();
    });
    std::printf("duplicates: %zu groups of 2\n", kGroups);
    std::printf("  duplicate search %8.1f ms\n", duplicateSearch);
    std::printf("  window open      %8.1f ms\n", duplicateOpen);
    std::printf("  group switch     %8.2f ms median, %.2f ms slowest of %d (bar %.0f ms)\n",
                Median(switchMs), switchMax, kSwitches, kSwitchBarMs);
    std::printf("  group list       %8.1f ms to open and close it\n", popup);

    bool met = true;
    if (open > kOpenBar * search) {
        std::printf("MISSED: the result window opens in more than %.1f x the search\n", kOpenBar);
        met = false;
    }
    if (switchMax >= kSwitchBarMs) {
        std::printf("MISSED: a group switch took %.0f ms or more\n", kSwitchBarMs);
        met = false;
    }
    return met ? 0 : 1;
}
