#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then checks the formatting, builds and runs
# every test: the normal build; the Release build, with the Debian package
# made from it, installed, tried and removed again; the AddressSanitizer +
# UndefinedBehaviorSanitizer build; the ThreadSanitizer build of the tests of
# code with worker threads (scans, reports and the worker runner); and the
# fuzz targets (seed corpus, then a short bounded run of each).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
jobs=$(nproc)
fuzz_seconds=${VELMORA_FUZZ_SECONDS:-20}

echo "== Formatting"
scripts/format.sh --check

echo "== Normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Release build and Debian package"
scripts/package.sh
ctest --test-dir build-release --output-on-failure -j "$jobs"

echo "== Installed package"
tests/packaging/installed.sh dist/velmora_*.deb

echo "== Sanitizer build (address, undefined)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON \
  -DVELMORA_BENCH=OFF >/dev/null
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== Thread sanitizer build (scans, reports and the worker)"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
  -DVELMORA_BENCH=OFF >/dev/null
cmake --build build-tsan --target scan_tests reports_tests system_tests
for suite in scan reports system; do
  TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/core/${suite}_tests --gtest_brief=1
done

echo "== Fuzz targets"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON -DVELMORA_SANITIZE=ON \
  -DVELMORA_QT=OFF -DVELMORA_BENCH=OFF >/dev/null
cmake --build build-fuzz
failed=0
for target in collection_reader older_format text_table audio id3v2; do
  corpus=tests/fuzz/corpus/$target
  work=$(mktemp -d)
  cp "$corpus"/* "$work"/
  echo "-- fuzz_$target: ${fuzz_seconds}s"
  if ! build-fuzz/tests/fuzz/fuzz_$target -max_total_time="$fuzz_seconds" -timeout=10 \
      -rss_limit_mb=4096 -print_final_stats=0 "$work" >"$work.log" 2>&1; then
    tail -n 40 "$work.log"
    failed=1
  else
    grep -E "^#[0-9]+.*DONE" "$work.log" || tail -n 2 "$work.log"
  fi
  rm -rf "$work" "$work.log"
done
if [ "$failed" -ne 0 ]; then
  echo "fuzzing found a crash"
  exit 1
fi
echo "All tests passed."
