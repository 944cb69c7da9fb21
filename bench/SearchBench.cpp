// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-search FILE [--runs N] [--word WORD] [--only KIND]
//
// Times the searches over a loaded collection against grep over the same
// file, measured in the same run, each figure the median of N runs (default
// 5). The file is read once beforehand, so grep finds it in the page cache;
// our searches run on the collection already loaded, as in the program.
//
//   grep            grep -c -i -F WORD FILE (one process, counting lines)
//   name            the name search for WORD, not matching case, all nodes
//   name, case      the same matching case
//   tag             the tag search for WORD in the artist field
//   property        bit rate below 128 or mono (two terms, OR-combined)
//   duplicates      by name, by size and duration, by both, all nodes
//
// The locale is the desktop's (QtLocale over the system locale), as the
// program uses it. Bars: the name search at most 3 times grep; duplicates by
// name under 1.5 seconds. --only name (or tag, property, duplicates) runs
// that kind alone, for a profiler.

#include "BenchSupport.h"
#include "collection/CollectionStore.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtLocale.h"
#include "platform/fakes/FakeClock.h"
#include "platform/fakes/FakeVolumes.h"
#include "search/SearchCriteria.h"
#include "search/Searches.h"
#include "settings/Settings.h"
#include "system/Progress.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

using velmora::bench::Clock;
using velmora::bench::Median;
using velmora::bench::Milliseconds;
namespace search = velmora::search;

double Measure(int runs, const std::function<void()>& body)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point start = Clock::now();
        body();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return Median(times);
}

// Runs grep -c -i -F word file with its output to /dev/null; false when it
// could not be run.
bool Grep(const std::string& word, const std::string& file)
{
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        ::execlp("grep", "grep", "-c", "-i", "-F", word.c_str(), file.c_str(),
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    // grep exits 1 when nothing matched, which is still a full run.
    return WIFEXITED(status) && WEXITSTATUS(status) <= 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmora-bench-search FILE [--runs N] [--word WORD]\n");
        return 2;
    }
    const std::string path = argv[1];
    int runs = 5;
    std::string word = "love";
    std::string only;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--word") == 0)
            word = argv[i + 1];
        else if (std::strcmp(argv[i], "--only") == 0)
            only = argv[i + 1];
    }

    velmora::platform::PosixFileSystem files;
    const velmora::fakes::FakeClock clock;
    const velmora::texts::TextTable texts;
    velmora::collection::CollectionStore store(files, clock, texts);
    velmora::NoProgress progress;
    if (store.LoadCollection(path, progress).status != velmora::collection::LoadStatus::Loaded) {
        std::fprintf(stderr, "velmora-bench-search: cannot load %s\n", path.c_str());
        return 1;
    }
    const velmora::collection::CollectionTree& tree = store.tree();
    const velmora::platform::QtLocale locale;
    const velmora::fakes::FakeVolumes volumes;
    const velmora::Services services{files, volumes, locale, clock};
    const search::SearchScope scope{tree, services, progress, {}, {}, {}};

    if (!Grep(word, path)) { // also brings the file into the page cache
        std::fprintf(stderr, "velmora-bench-search: cannot run grep\n");
        return 1;
    }
    const double grep = Measure(runs, [&] { Grep(word, path); });

    std::size_t found = 0;
    const auto timed = [&](const char* what, const std::function<bool(search::ResultList&)>& run) {
        if (!only.empty() && std::string_view(what).substr(0, only.size()) != only)
            return 0.0;
        const double ms = Measure(runs, [&] {
            search::ResultList results;
            run(results);
            found = results.size();
        });
        std::printf("%-28s %10.1f ms  %8.2fx grep  (%zu found)\n", what, ms, ms / grep, found);
        return ms;
    };

    std::printf("collection: %s, %zu nodes; word \"%s\"; median of %d runs\n\n", path.c_str(),
                tree.size(), word.c_str(), runs);
    std::printf("%-28s %10.1f ms\n", "grep -c -i -F", grep);

    velmora::settings::Settings s;
    s.nameText = word;
    s.nameArea = 1;
    const search::NameCriteria nameCriteria = search::NameCriteriaFrom(s);
    const double name = timed("name", [&](search::ResultList& r) {
        return search::NameSearch(scope, nameCriteria, -1, r).found;
    });
    velmora::settings::Settings cased = s;
    cased.nameCase = true;
    const search::NameCriteria casedCriteria = search::NameCriteriaFrom(cased);
    timed("name, match case", [&](search::ResultList& r) {
        return search::NameSearch(scope, casedCriteria, -1, r).found;
    });
    velmora::settings::Settings tag;
    tag.tagText = {};
    tag.tagText[1] = word;
    const search::TagCriteria tagCriteria = search::TagCriteriaFrom(tag);
    timed("tag (artist)", [&](search::ResultList& r) {
        return search::TagSearch(scope, tagCriteria, -1, r).found;
    });
    velmora::settings::Settings property;
    property.property = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const search::PropertyCriteria propertyCriteria = search::PropertyCriteriaFrom(property);
    timed("property (rate<128 or mono)", [&](search::ResultList& r) {
        return search::PropertySearch(scope, propertyCriteria, -1, r).found;
    });
    double byName = 0;
    for (const auto& [label, compareName, compareProperty] :
         {std::tuple{"duplicates by name", true, false},
          std::tuple{"duplicates by size+duration", false, true},
          std::tuple{"duplicates by both", true, true}}) {
        velmora::settings::Settings d;
        d.compareName = compareName;
        d.compareProperty = compareProperty;
        d.duplicateArea = 1;
        const search::DuplicateCriteria duplicateCriteria = search::DuplicateCriteriaFrom(d);
        const double ms = timed(label, [&](search::ResultList& r) {
            return search::DuplicateSearch(scope, duplicateCriteria, -1, r).found;
        });
        if (compareName && !compareProperty)
            byName = ms;
    }

    const bool namePass = name <= 3.0 * grep;
    const bool duplicatesPass = byName < 1500.0;
    std::printf("\nname / grep: %.2f (bar 3.0) %s\n", name / grep, namePass ? "PASS" : "FAIL");
    std::printf("duplicates by name: %.0f ms (bar 1500 ms) %s\n", byName,
                duplicatesPass ? "PASS" : "FAIL");
    return namePass && duplicatesPass ? 0 : 1;
}
