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
cmake --build "$build" --target velmora-bench-generate velmora-bench-report

mkdir -p bench/out
if [ ! -f "$file" ]; then
    "$build/bench/velmora-bench-generate" "$file" --nodes 1000000
fi

"$build/bench/velmora-bench-report" "$file" "$@"

echo
echo "reproduce: bench/report.sh${*:+ $*}"
echo "   (runs: $build/bench/velmora-bench-report $file${*:+ $*})"
