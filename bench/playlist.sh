#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the playlist benchmark in a Release tree (build-bench) and times the
# playlist of a volume of 100,000 files against writing the same bytes. The
# volume is mounted (through fake volumes) at a fresh folder under bench/out/,
# removed afterwards. Extra arguments go to the benchmark, for example:
# bench/playlist.sh --runs 5
set -eu

cd "$(dirname "$0")/.."
build=build-bench

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target velmora-bench-playlist

mkdir -p bench/out
folder=$(mktemp -d "$PWD/bench/out/playlist-XXXXXX")
trap 'rm -rf "$folder"' EXIT

status=0
"$build/bench/velmora-bench-playlist" "$folder" "$@" || status=$?

echo
echo "reproduce: bench/playlist.sh${*:+ $*}"
echo "   (runs: $build/bench/velmora-bench-playlist FOLDER${*:+ $*})"
exit $status
