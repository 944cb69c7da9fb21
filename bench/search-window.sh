#!/bin/sh
# Builds the search result windows' benchmark in a Release tree
# (build-bench), makes the synthetic collection of one million nodes once
# (bench/out/, not in git) and measures, in one run, the opening of a name
# search's result window against the search itself, scrolling its list, and
# switching groups in a duplicates window of 50,000 groups. Runs on Qt's
# offscreen platform unless QT_QPA_PLATFORM is set. Extra arguments go to the
# benchmark, for example: bench/search-window.sh --runs 9 --word love
set -eu

cd "$(dirname "$0")/.."
build=build-bench
file=bench/out/collection-1M.col

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target velmora-bench-generate velmora-bench-search-window

mkdir -p bench/out
if [ ! -f "$file" ]; then
    "$build/bench/velmora-bench-generate" "$file" --nodes 1000000
fi

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export QT_QPA_PLATFORM
status=0
"$build/bench/velmora-bench-search-window" "$file" "$@" || status=$?

echo
echo "reproduce: bench/search-window.sh${*:+ $*}"
echo "   (runs: QT_QPA_PLATFORM=$QT_QPA_PLATFORM $build/bench/velmora-bench-search-window $file${*:+ $*})"
exit $status
