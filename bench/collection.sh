#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks in a Release tree (build-bench), makes the synthetic
# collection of one million nodes once (bench/out/, not in git) and measures
# loading and saving it against the floor. Extra arguments go to the
# benchmark, for example: bench/collection.sh --runs 9
set -eu

cd "$(dirname "$0")/.."
build=build-bench
file=bench/out/collection-1M.col

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target velmora-bench-generate velmora-bench-collection

mkdir -p bench/out
if [ ! -f "$file" ]; then
    "$build/bench/velmora-bench-generate" "$file" --nodes 1000000
fi

"$build/bench/velmora-bench-collection" "$file" "$@"

echo
echo "reproduce: bench/collection.sh${*:+ $*}"
echo "   (runs: $build/bench/velmora-bench-collection $file${*:+ $*})"
