#!/bin/sh
# Builds the desktop program and its benchmark in a Release tree
# (build-bench), makes the synthetic collection of one million nodes once
# (bench/out/, not in git, as collection.sh does) and measures, in one run,
# the start to a ready window against the core's load of that file, choosing
# a folder of 10,000 files and a view tree of 100,000 folders. Runs on Qt's
# offscreen platform unless QT_QPA_PLATFORM is set. Extra arguments go to the
# benchmark, for example: bench/gui.sh --runs 9
set -eu

cd "$(dirname "$0")/.."
build=build-bench
file=bench/out/collection-1M.col

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target velmora velmora-bench-generate velmora-bench-gui

mkdir -p bench/out
if [ ! -f "$file" ]; then
    "$build/bench/velmora-bench-generate" "$file" --nodes 1000000
fi

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export QT_QPA_PLATFORM
status=0
"$build/bench/velmora-bench-gui" "$file" --velmora "$build/src/gui/velmora" "$@" || status=$?

echo
echo "reproduce: bench/gui.sh${*:+ $*}"
echo "   (runs: QT_QPA_PLATFORM=$QT_QPA_PLATFORM $build/bench/velmora-bench-gui $file --velmora $build/src/gui/velmora${*:+ $*})"
exit $status
