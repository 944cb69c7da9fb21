#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The common part of the desktop benchmarks (gui.sh, search-window.sh,
# report-window.sh): builds BENCH and the targets named by --with in a Release
# tree (build-bench), makes the synthetic collection of one million nodes once
# (bench/out/, not in git), runs BENCH on it, after the --fixed arguments and
# then the caller's, on Qt's offscreen platform unless QT_QPA_PLATFORM is set,
# and prints how to repeat the run.
# Usage: bench/offscreen-bench.sh SCRIPT BENCH [--with TARGET]... [--fixed ARG]... -- [ARG]...
set -eu

script=$1
bench=$2
shift 2
targets="velmora-bench-generate $bench"
fixed=""
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    case "$1" in
        --with) targets="$targets $2" ;;
        --fixed) fixed="$fixed $2" ;;
        *) echo "offscreen-bench.sh: unknown option $1" >&2; exit 2 ;;
    esac
    shift 2
done
[ $# -gt 0 ] && shift

cd "$(dirname "$0")/.."
build=build-bench
file=bench/out/collection-1M.col

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
# shellcheck disable=SC2086 # the targets are words
cmake --build "$build" --target $targets

mkdir -p bench/out
if [ ! -f "$file" ]; then
    "$build/bench/velmora-bench-generate" "$file" --nodes 1000000
fi

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export QT_QPA_PLATFORM
status=0
# shellcheck disable=SC2086 # the fixed arguments are words without blanks
"$build/bench/$bench" "$file" $fixed "$@" || status=$?

echo
echo "reproduce: bench/$script${*:+ $*}"
echo "   (runs: QT_QPA_PLATFORM=$QT_QPA_PLATFORM $build/bench/$bench $file$fixed${*:+ $*})"
exit $status
