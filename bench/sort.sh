#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the sort benchmark in a Release tree (build-bench), makes the
# synthetic collection of one million nodes once (bench/out/, not in git),
# sorts all its names through sort keys in en_US, de_DE, tr_TR and C, each
# way (case ignored with folders first, and with case), against one collator
# comparison per step as the program sorted before, and checks that both
# orders agree name by name (exit status 1 when not). Then times
# `velmora-cli sort` of the whole collection. About a minute.
set -eu

cd "$(dirname "$0")/.."
build=build-bench
file=bench/out/collection-1M.col

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target velmora-bench-generate velmora-bench-sort velmora-cli

mkdir -p bench/out
if [ ! -f "$file" ]; then
    "$build/bench/velmora-bench-generate" "$file" --nodes 1000000
fi

"$build/bench/velmora-bench-sort" "$file" --compare "$@"

# The sort command over a copy (it saves the collection in place).
copy=bench/out/.sort-$$.col
trap 'rm -f "$copy" "$copy.time"' EXIT
echo
echo "velmora-cli sort -c (load, sort every level, save), one run each:"
for locale in C.UTF-8 en_US.UTF-8; do
    cp "$file" "$copy"
    LC_ALL=$locale /usr/bin/time -f "%U %S %e %M" -o "$copy.time" \
        "$build/src/cli/velmora-cli" sort -c "$copy" >/dev/null
    read -r user system wall peak <"$copy.time"
    printf '  %-12s cpu %6.2f s  wall %6.2f s  peak %5d MiB\n' "$locale" \
        "$(echo "$user + $system" | bc)" "$wall" $((peak / 1024))
done

echo
echo "reproduce: bench/sort.sh${*:+ $*}"
echo "   (runs: $build/bench/velmora-bench-sort $file --compare${*:+ $*};"
echo "    LC_ALL=en_US.UTF-8 $build/src/cli/velmora-cli sort -c COPY.col)"
