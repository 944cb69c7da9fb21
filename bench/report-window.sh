#!/bin/sh
# Builds the report progress window's benchmark in a Release tree
# (build-bench), makes the synthetic collection of one million nodes once
# (bench/out/, not in git) and times, in one run, a report of every row and
# column through the progress window against the same report through
# RunReport. Runs on Qt's offscreen platform unless QT_QPA_PLATFORM is set.
# Extra arguments go to the benchmark, for example:
# bench/report-window.sh --runs 5
set -eu

cd "$(dirname "$0")/.."
build=build-bench
file=bench/out/collection-1M.col

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target velmora-bench-generate velmora-bench-report-window

mkdir -p bench/out
if [ ! -f "$file" ]; then
    "$build/bench/velmora-bench-generate" "$file" --nodes 1000000
fi

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export QT_QPA_PLATFORM
status=0
"$build/bench/velmora-bench-report-window" "$file" "$@" || status=$?

echo
echo "reproduce: bench/report-window.sh${*:+ $*}"
echo "   (runs: QT_QPA_PLATFORM=$QT_QPA_PLATFORM $build/bench/velmora-bench-report-window $file${*:+ $*})"
exit $status
