// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-bench-sort FILE [--locales en_US,de_DE,tr_TR,C] [--compare]
//
// Sorts the names of every node of a collection (the benchmark's million
// nodes) in each locale and each of the two orders (case ignored with
// folders first, as "Sort all" and reports sort; with case, as the sort by
// name does), through sort keys (LocaleSort over QtLocale), and prints the
// time of each. With --compare it also sorts them the way the program did
// before sort keys, one collator comparison per step of std::stable_sort,
// prints that time and checks that both orders are the same, position by
// position: exit status 1 when they differ anywhere.

#include "BenchSupport.h"
#include "collection/CollectionStore.h"
#include "collection/NodeText.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtLocale.h"
#include "platform/fakes/FakeClock.h"
#include "system/LocaleSort.h"
#include "system/Progress.h"
#include "texts/TextTable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

namespace {

using velmora::CaseOrder;
using velmora::bench::TimeOnce;

std::vector<std::string> Split(const std::string& list)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (comma > start)
            parts.push_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return parts;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmora-bench-sort FILE [--locales A,B] [--compare]\n");
        return 2;
    }
    std::vector<std::string> locales = {"en_US", "de_DE", "tr_TR", "C"};
    bool compare = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--compare") == 0)
            compare = true;
        else if (std::strcmp(argv[i], "--locales") == 0 && i + 1 < argc)
            locales = Split(argv[++i]);
    }

    velmora::platform::PosixFileSystem files;
    const velmora::fakes::FakeClock clock;
    const velmora::texts::TextTable texts;
    velmora::collection::CollectionStore store(files, clock, texts);
    velmora::NoProgress progress;
    if (store.LoadCollection(argv[1], progress).status != velmora::collection::LoadStatus::Loaded) {
        std::fprintf(stderr, "velmora-bench-sort: cannot load %s\n", argv[1]);
        return 1;
    }
    const velmora::collection::CollectionTree& tree = store.tree();
    std::vector<std::string_view> names;
    std::vector<std::uint8_t> ranks;
    for (const velmora::collection::NodeId node : tree.preOrder()) {
        names.push_back(velmora::collection::NodeName(tree.text(node)));
        ranks.push_back(tree.hasChildren(node) ? 0 : 1);
    }
    std::printf("collection: %s, %zu names\n\n", argv[1], names.size());
    std::printf("%-8s %-24s %10s %12s %8s\n", "locale", "order", "keys (ms)",
                compare ? "compare (ms)" : "", compare ? "same" : "");

    bool allSame = true;
    for (const std::string& name : locales) {
        const velmora::platform::QtLocale locale{QLocale(QString::fromStdString(name))};
        for (const CaseOrder order : {CaseOrder::IgnoreCase, CaseOrder::RespectCase}) {
            const bool ignoreCase = order == CaseOrder::IgnoreCase;
            const auto rankOf = [&](std::uint32_t i) {
                return ignoreCase ? ranks[i] : std::uint8_t{0};
            };
            std::vector<std::uint32_t> byKeys(names.size());
            std::iota(byKeys.begin(), byKeys.end(), 0U);
            velmora::LocaleSort sorter(locale, order);
            const double keyed = TimeOnce([&] {
                sorter.sort(
                    byKeys, [&](std::uint32_t i) { return names[i]; }, rankOf);
            });
            std::printf("%-8s %-24s %10.0f", name.c_str(),
                        ignoreCase ? "case ignored, folders 1st" : "with case", keyed);
            if (!compare) {
                std::printf("\n");
                continue;
            }
            std::vector<std::uint32_t> compared(names.size());
            std::iota(compared.begin(), compared.end(), 0U);
            const double old = TimeOnce([&] {
                std::stable_sort(
                    compared.begin(), compared.end(), [&](std::uint32_t a, std::uint32_t b) {
                        if (rankOf(a) != rankOf(b))
                            return rankOf(a) < rankOf(b);
                        const int c = ignoreCase ? locale.compareIgnoreCase(names[a], names[b])
                                                 : locale.compare(names[a], names[b]);
                        return c < 0;
                    });
            });
            const bool same = compared == byKeys;
            allSame = allSame && same;
            std::printf(" %12.0f %8s\n", old, same ? "yes" : "NO");
        }
    }
    return allSame ? 0 : 1;
}
