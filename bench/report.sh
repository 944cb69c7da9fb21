#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the report benchmark in a Release tree (build-bench), makes the
# synthetic collection of one million nodes once (bench/out/, not in git) and
# times a report of every row kind and column in each format against a floor.
# Extra arguments go to the benchmark, for example: bench/report.sh --runs 5
set -eu

cd "$(dirname "$0")/.."
build=build-bench
file=bench/out/collection-1M.col

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target velmora-bench-generate velmora-bench-report velmora-cli

mkdir -p bench/out
if [ ! -f "$file" ]; then
    "$build/bench/velmora-bench-generate" "$file" --nodes 1000000
fi

"$build/bench/velmora-bench-report" "$file" "$@" || status=$?

# File rows only, sorted as one list, against the same report unsorted: the
# global sort's share of a report (one run each, CPU seconds and wall time),
# in the C locale (code-unit order, no ICU) and in en_US (ICU's collation).
cli="$build/src/cli/velmora-cli"
out=bench/out/.file-rows-$$.csv
trap 'rm -f "$out"' EXIT
echo
echo "file rows only (--rows file --columns size,title, csv), one run each:"
# One report; prints its figures and leaves its CPU seconds in $cpu.
run_file_rows() {
    locale=$1
    shift
    LC_ALL=$locale /usr/bin/time -f "%U %S %e %M" -o "$out.time" \
        "$cli" report "$file" -o "$out" --format csv --rows file --columns size,title "$@" \
        >/dev/null
    read -r user system wall peak <"$out.time"
    rm -f "$out.time"
    cpu=$(echo "$user + $system" | bc)
    printf '  %-12s %-10s cpu %6.2f s  wall %6.2f s  peak %5d MiB\n' "$locale" "${1:-sorted}" \
        "$cpu" "$wall" $((peak / 1024))
}
for locale in C.UTF-8 en_US.UTF-8; do
    run_file_rows "$locale"
    sorted=$cpu
    run_file_rows "$locale" --no-sort
    echo "  sorted / --no-sort (cpu) in $locale: $(echo "scale=2; $sorted / $cpu" | bc)" \
        "(goal: at most 2)"
done
echo
echo "reproduce: bench/report.sh${*:+ $*}"
echo "   (runs: $build/bench/velmora-bench-report $file${*:+ $*};"
echo "    LC_ALL=en_US.UTF-8 $cli report $file -o r.csv --format csv --rows file --columns size,title [--no-sort])"
exit "${status:-0}"
