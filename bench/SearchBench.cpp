// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-search FILE [--runs N] [--word WORD] [--only KIND]
//
// Times the searches over a loaded collection against grep over the same
// file, measured in the same run, each figure the median of N runs (default
// 5). The file is read once beforehand, so grep finds it in the page cache;
// our searches run on the collection already loaded, as in the program.
//
//   grep              grep -c -i -F WORD FILE (one process counting the
//                     matching lines of the whole file into a pipe we read)
//   name              the name search for WORD, not matching case, all nodes
//   name-case         the same matching case
//   tag               the tag search for WORD in the artist field
//   property          bit rate below 128 or mono (two terms, OR-combined)
//   duplicates-name   the duplicate search by name, all nodes
//   duplicates-size   by size and duration
//   duplicates-both   by both
//
// The locale is the desktop's (QtLocale over the system locale), as the
// program uses it. Bars: the name search at most 1.2 times grep, the tag and
// property searches at most 2 times grep, duplicates by name at most 500 ms,
// by size and duration at most 300 ms; the program exits 1 when one is
// missed. --only KIND runs one of the kinds above alone (none: the
// collection is only loaded), for a profiler or a peak memory figure; only
// the bars of what ran are judged.

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
#include <optional>
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

// Runs grep -c -i -F word file with its output into a pipe read to the end,
// so that grep counts over the whole file (with its output to /dev/null it
// would stop at the first match); the count it printed, or nothing when it
// could not run or printed no count.
std::optional<long> Grep(const std::string& word, const std::string& file)
{
    // grep exits 1 when nothing matched, which is still a full run.
    std::optional<std::string> printed =
        velmora::bench::ChildOutput("grep", {"-c", "-i", "-F", word, file}, 1);
    if (!printed)
        return std::nullopt;
    std::string& out = *printed;
    if (out.empty() || out.back() != '\n' || out.size() > 20)
        return std::nullopt;
    out.pop_back();
    if (out.empty() ||
        !std::all_of(out.begin(), out.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::strtol(out.c_str(), nullptr, 10);
}

struct Bar {
    const char* what;
    double value;
    double limit;
    bool milliseconds; ///< a time; otherwise a ratio to grep
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: velmora-bench-search FILE [--runs N] [--word WORD] [--only KIND]\n");
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
    const auto runsKind = [&only](std::string_view kind) { return only.empty() || only == kind; };

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

    std::printf("collection: %s, %zu nodes; word \"%s\"; median of %d runs\n\n", path.c_str(),
                tree.size(), word.c_str(), runs);
    double grep = 0;
    if (runsKind("grep")) {
        // The first run also brings the file into the page cache.
        const std::optional<long> lines = Grep(word, path);
        if (!lines) {
            std::fprintf(stderr, "velmora-bench-search: cannot run grep or read its count\n");
            return 1;
        }
        bool counted = true;
        grep = Measure(runs, [&] { counted = Grep(word, path) == lines && counted; });
        if (!counted) {
            std::fprintf(stderr, "velmora-bench-search: grep's count changed between runs\n");
            return 1;
        }
        std::printf("%-28s %10.1f ms  (%ld lines)\n", "grep -c -i -F", grep, *lines);
    }

    std::size_t found = 0;
    // The median time of the kind in ms, or nothing when it does not run.
    const auto timed = [&](const char* kind, const char* what,
                           const std::function<bool(search::ResultList&)>& run) {
        std::optional<double> ms;
        if (!runsKind(kind))
            return ms;
        ms = Measure(runs, [&] {
            search::ResultList results;
            run(results);
            found = results.size();
        });
        if (grep > 0) {
            std::printf("%-28s %10.1f ms  %8.2fx grep  (%zu found)\n", what, *ms, *ms / grep,
                        found);
        } else {
            std::printf("%-28s %10.1f ms  (%zu found)\n", what, *ms, found);
        }
        return ms;
    };

    velmora::settings::Settings s;
    s.nameText = word;
    s.nameArea = 1;
    const search::NameCriteria nameCriteria = search::NameCriteriaFrom(s);
    const std::optional<double> name = timed("name", "name", [&](search::ResultList& r) {
        return search::NameSearch(scope, nameCriteria, -1, r).found;
    });
    velmora::settings::Settings cased = s;
    cased.nameCase = true;
    const search::NameCriteria casedCriteria = search::NameCriteriaFrom(cased);
    timed("name-case", "name, match case", [&](search::ResultList& r) {
        return search::NameSearch(scope, casedCriteria, -1, r).found;
    });
    velmora::settings::Settings tag;
    tag.tagText = {};
    tag.tagText[1] = word;
    const search::TagCriteria tagCriteria = search::TagCriteriaFrom(tag);
    const std::optional<double> tagMs = timed("tag", "tag (artist)", [&](search::ResultList& r) {
        return search::TagSearch(scope, tagCriteria, -1, r).found;
    });
    velmora::settings::Settings property;
    property.property = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const search::PropertyCriteria propertyCriteria = search::PropertyCriteriaFrom(property);
    const std::optional<double> propertyMs =
        timed("property", "property (rate<128 or mono)", [&](search::ResultList& r) {
            return search::PropertySearch(scope, propertyCriteria, -1, r).found;
        });
    std::optional<double> byName;
    std::optional<double> bySize;
    for (const auto& [kind, label, compareName, compareProperty] :
         {std::tuple{"duplicates-name", "duplicates by name", true, false},
          std::tuple{"duplicates-size", "duplicates by size+duration", false, true},
          std::tuple{"duplicates-both", "duplicates by both", true, true}}) {
        velmora::settings::Settings d;
        d.compareName = compareName;
        d.compareProperty = compareProperty;
        d.duplicateArea = 1;
        const search::DuplicateCriteria duplicateCriteria = search::DuplicateCriteriaFrom(d);
        const std::optional<double> ms = timed(kind, label, [&](search::ResultList& r) {
            return search::DuplicateSearch(scope, duplicateCriteria, -1, r).found;
        });
        if (compareName && !compareProperty)
            byName = ms;
        else if (compareProperty && !compareName)
            bySize = ms;
    }

    std::vector<Bar> bars;
    if (grep > 0) {
        if (name)
            bars.push_back({"name / grep", *name / grep, 1.2, false});
        if (tagMs)
            bars.push_back({"tag / grep", *tagMs / grep, 2.0, false});
        if (propertyMs)
            bars.push_back({"property / grep", *propertyMs / grep, 2.0, false});
    }
    if (byName)
        bars.push_back({"duplicates by name", *byName, 500.0, true});
    if (bySize)
        bars.push_back({"duplicates by size+duration", *bySize, 300.0, true});
    bool pass = true;
    if (!bars.empty())
        std::printf("\n");
    for (const Bar& bar : bars) {
        const bool held = bar.value <= bar.limit;
        pass = pass && held;
        if (bar.milliseconds) {
            std::printf("%-28s %7.0f ms (bar %.0f ms) %s\n", bar.what, bar.value, bar.limit,
                        held ? "PASS" : "FAIL");
        } else {
            std::printf("%-28s %7.2f    (bar %.1f)   %s\n", bar.what, bar.value, bar.limit,
                        held ? "PASS" : "FAIL");
        }
    }
    return pass ? 0 : 1;
}
