#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the search benchmark in a Release tree (build-bench), makes the
# synthetic collection of one million nodes once (bench/out/, not in git) and
# times every search kind against grep over the same file. Extra arguments go
# to the benchmark, for example: bench/search.sh --runs 9 --word love
set -eu

cd "$(dirname "$0")/.."
build=build-bench
file=bench/out/collection-1M.col

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target velmora-bench-generate velmora-bench-search

mkdir -p bench/out
if [ ! -f "$file" ]; then
    "$build/bench/velmora-bench-generate" "$file" --nodes 1000000
fi

"$build/bench/velmora-bench-search" "$file" "$@"

echo
echo "reproduce: bench/search.sh${*:+ $*}"
echo "   (runs: $build/bench/velmora-bench-search $file${*:+ $*})"
