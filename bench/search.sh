#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the search benchmark in a Release tree (build-bench, or the folder
# named by VELMORA_BENCH_BUILD), makes the synthetic collection of one
# million nodes once (bench/out/, not in git), times every search kind
# against grep over the same file, then runs each kind once in a process of
# its own under /usr/bin/time for its peak memory. Extra arguments go to
# every run, for example: bench/search.sh --runs 9 --word love
set -eu

cd "$(dirname "$0")/.."
build=${VELMORA_BENCH_BUILD:-build-bench}
file=bench/out/collection-1M.col
bench="$build/bench/velmora-bench-search"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target velmora-bench-generate velmora-bench-search

mkdir -p bench/out
if [ ! -f "$file" ]; then
    "$build/bench/velmora-bench-generate" "$file" --nodes 1000000
fi

status=0
"$bench" "$file" "$@" || status=$?

# Peak resident memory (maximum RSS) of a process that loads the collection
# and runs one kind once; "none" only loads it.
echo
printf '%-18s %10s %14s\n' "peak memory" "MiB" "over loading"
peaks=$(mktemp)
trap 'rm -f "$peaks"' EXIT
loaded=
for kind in none name name-case tag property duplicates-name duplicates-size duplicates-both; do
    # Exit status 1 is a missed bar, which the timing run above reports.
    rc=0
    /usr/bin/time -f %M -o "$peaks" "$bench" "$file" "$@" --only "$kind" --runs 1 >/dev/null ||
        rc=$?
    if [ "$rc" -gt 1 ]; then
        echo "$kind: the run failed" >&2
        status=1
        continue
    fi
    kib=$(tail -n 1 "$peaks")
    [ -n "$loaded" ] || loaded=$kib
    awk -v kind="$kind" -v kib="$kib" -v loaded="$loaded" \
        'BEGIN { printf "%-18s %10.1f %14.1f\n", kind, kib / 1024, (kib - loaded) / 1024 }'
done

echo
echo "reproduce: bench/search.sh${*:+ $*}"
echo "   (runs: $bench $file${*:+ $*})"
exit "$status"
