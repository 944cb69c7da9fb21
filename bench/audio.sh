#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Release benchmark tree (build-bench), makes the tree of 20,000
# .mp3 files once (bench/out/audio-tree, not in git) and measures, with a warm
# page cache, how fast files are analysed:
#   (a) ours     velmora-bench-analyse: the per-file record a scan stores,
#                over the same walk as the floor, in one process; also, for
#                information, velmora-cli analyse over every file through
#                xargs (which adds a process start per batch)
#   (b) mp3info  the Debian tool printing bit rate, sample rate, mode,
#                duration and tag fields for every file (through xargs)
#   (d) scan     velmora-cli scan of the whole tree into a new collection,
#                saved: one process, the real command; its peak memory too
#   (c) floor    velmora-bench-floor: open, read the first 4 KiB and the
#                last 128 bytes, close; nothing parsed
# Each is run once untimed, then timed 3 times; the median counts. Bars:
# ours/mp3info at least 10, ours/floor at least 0.5 (in files per second).
# Exits 1 when a bar is missed. mp3info is a bench-only tool: it is installed
# here with apt-get when missing, not by scripts/deps.sh.
#
# bench/audio.sh --real: the same over bench/out/real-audio-tree, 20,000
# hard links of full-length encodes (3 to 10 MB; ID3v2 tags up to a 300 KB
# picture, VBR with Xing, CBR without, junk before the first frame) that
# bench/make_real_sources.sh makes once with lame, sox and twolame. mp3info
# is left out there (it reads whole VBR files). Bars: ours/floor at least
# 0.7, scan/floor at least 0.5.
set -euo pipefail

cd "$(dirname "$0")/.."
real=0
[ "${1:-}" = "--real" ] && real=1
build=build-bench
tree=bench/out/audio-tree
[ "$real" -eq 1 ] && tree=bench/out/real-audio-tree
runs=3
cli="$build/src/cli/velmora-cli"
floor="$build/bench/velmora-bench-floor"
analyse="$build/bench/velmora-bench-analyse"
mp3info_format='%r %Q %o %S %t %a %l %n %y %c\n'

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" --target velmora-bench-floor velmora-bench-analyse

# (a) needs the analyse command; until it exists, (b) and (c) still run.
have_cli=0
cli_note=""
if ! cmake --build "$build" --target velmora-cli >"$build/velmora-cli-build.log" 2>&1; then
  cli_note="velmora-cli does not build (see $build/velmora-cli-build.log)"
elif ! lines=$("$cli" analyse tests/data/audio/mpeg1_l3_cbr128_44k_js.mp3 2>/dev/null) ||
  [ "$(printf '%s\n' "$lines" | wc -l)" -ne 1 ]; then
  cli_note="velmora-cli has no working 'analyse' command yet (one file must give one line)"
else
  have_cli=1
fi

if [ "$real" -eq 0 ] && ! command -v mp3info >/dev/null; then
  echo "installing mp3info (bench only)"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y -qq --no-install-recommends mp3info >/dev/null ||
    { $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends mp3info >/dev/null; }
fi

if [ ! -x /usr/bin/time ]; then
  echo "installing GNU time (bench only, for the peak memory)"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends time >/dev/null
fi

if [ ! -d "$tree" ]; then
  rm -rf "$tree.part"
  if [ "$real" -eq 1 ]; then
    bench/make_real_sources.sh bench/out/real-sources
    bench/make_audio_tree.sh "$tree.part" 20000 bench/out/real-sources
  else
    bench/make_audio_tree.sh "$tree.part"
  fi
  mv "$tree.part" "$tree"
fi
files=$(find "$tree" -type f -name '*.mp3' | wc -l)

run_ours() { "$analyse" "$tree"; }
run_cli() { find "$tree" -type f -name '*.mp3' -print0 | xargs -0 "$cli" analyse; }
scan_out=bench/out/scan-bench.col
run_scan() {
  rm -f "$scan_out"
  "$cli" scan "$tree" -c "$scan_out" --label BENCH --serial 1
}
# mp3info exits non-zero for files without an ID3v1 tag; that is not a failure.
run_mp3info() {
  find "$tree" -type f -name '*.mp3' -print0 | xargs -0 mp3info -p "$mp3info_format" 2>/dev/null ||
    true
}
run_floor() { "$floor" "$tree"; }

# Median wall time in seconds of $runs runs of the function $1, after one
# untimed run that warms the page cache.
median_seconds() {
  "$1" >/dev/null
  local times=() start end
  for ((i = 0; i < runs; ++i)); do
    start=$(date +%s%N)
    "$1" >/dev/null
    end=$(date +%s%N)
    times+=("$(((end - start) / 1000))")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%.3f", t[int((NR + 1) / 2)] / 1e6 }'
}

rate() { awk -v n="$files" -v s="$1" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }'; }
verdict() { # RATIO BAR
  awk -v r="$1" -v b="$2" 'BEGIN { print (r >= b ? "PASS" : "FAIL") }'
}

# The figures and bars of --real: ours and scan against the floor.
real_bars() {
  if [ "$have_cli" -ne 1 ]; then
    echo "ours: NOT MEASURED: $cli_note"
    return 1
  fi
  local ours_s scan_s vs_floor scan_vs_floor v1 v2
  ours_s=$(median_seconds run_ours)
  scan_s=$(median_seconds run_scan)
  printf '%-10s %9s s %10s files/s\n' "ours" "$ours_s" "$(rate "$ours_s")"
  printf '%-10s %9s s %10s files/s\n' "scan" "$scan_s" "$(rate "$scan_s")"
  vs_floor=$(awk -v a="$ours_s" -v b="$floor_s" 'BEGIN { printf "%.2f", b / a }')
  scan_vs_floor=$(awk -v a="$scan_s" -v b="$floor_s" 'BEGIN { printf "%.2f", b / a }')
  v1=$(verdict "$vs_floor" 0.7)
  v2=$(verdict "$scan_vs_floor" 0.5)
  echo
  echo "ours/floor   (files/s): $vs_floor  bar >= 0.7  $v1"
  echo "scan/floor   (files/s): $scan_vs_floor  bar >= 0.5  $v2"
  echo
  echo "reproduce: bench/audio.sh --real"
  echo "   (ours:    $analyse $tree)"
  echo "   (scan:    $cli scan $tree -c $scan_out --label BENCH --serial 1)"
  echo "   (floor:   $floor $tree)"
  [ "$v1" = PASS ] && [ "$v2" = PASS ]
}

echo
echo "tree: $tree, $files .mp3 files; page cache warm; median of $runs runs"
echo

floor_s=$(median_seconds run_floor)
printf '%-10s %9s s %10s files/s\n' "floor" "$floor_s" "$(rate "$floor_s")"
if [ "$real" -eq 1 ]; then
  real_bars
  exit $?
fi
mp3info_s=$(median_seconds run_mp3info)
printf '%-10s %9s s %10s files/s\n' "mp3info" "$mp3info_s" "$(rate "$mp3info_s")"
# Ours reads at least what the floor reads, so this is about the most that
# ours/mp3info can reach on this machine.
ceiling=$(awk -v a="$floor_s" -v b="$mp3info_s" 'BEGIN { printf "%.2f", b / a }')

status=0
if [ "$have_cli" -eq 1 ]; then
  records=$(run_cli | wc -l)
  if [ "$records" -ne "$files" ]; then
    echo "velmora-cli analyse printed $records lines for $files files" >&2
    status=1
  fi
  ours_s=$(median_seconds run_ours)
  cli_s=$(median_seconds run_cli)
  printf '%-10s %9s s %10s files/s\n' "ours" "$ours_s" "$(rate "$ours_s")"
  printf '%-10s %9s s %10s files/s  (information: velmora-cli through xargs)\n' "ours-cli" "$cli_s" "$(rate "$cli_s")"
  scan_s=$(median_seconds run_scan)
  scan_kb=$(/usr/bin/time -f %M "$cli" scan "$tree" -c "$scan_out.peak" --label BENCH --serial 1 2>&1 >/dev/null | tail -n 1)
  rm -f "$scan_out.peak"
  printf '%-10s %9s s %10s files/s  peak memory %s KiB, collection %s bytes\n' "scan" "$scan_s" "$(rate "$scan_s")" \
    "$scan_kb" "$(stat -c %s "$scan_out" 2>/dev/null || echo 0)"
  echo
  vs_mp3info=$(awk -v a="$ours_s" -v b="$mp3info_s" 'BEGIN { printf "%.2f", b / a }')
  vs_floor=$(awk -v a="$ours_s" -v b="$floor_s" 'BEGIN { printf "%.2f", b / a }')
  v1=$(verdict "$vs_mp3info" 10)
  v2=$(verdict "$vs_floor" 0.5)
  echo "ours/mp3info (files/s): $vs_mp3info  bar >= 10   $v1"
  echo "ours/floor   (files/s): $vs_floor  bar >= 0.5  $v2"
  scan_vs_mp3info=$(awk -v a="$scan_s" -v b="$mp3info_s" 'BEGIN { printf "%.2f", b / a }')
  scan_vs_floor=$(awk -v a="$scan_s" -v b="$floor_s" 'BEGIN { printf "%.2f", b / a }')
  v3=$(verdict "$scan_vs_mp3info" 10)
  v4=$(verdict "$scan_vs_floor" 0.4)
  echo "scan/mp3info (files/s): $scan_vs_mp3info  bar >= 10   $v3"
  echo "scan/floor   (files/s): $scan_vs_floor  bar >= 0.4  $v4"
  echo "floor/mp3info (files/s): $ceiling  (the most ours/mp3info can be here)"
  [ "$v1" = PASS ] && [ "$v2" = PASS ] || status=1
else
  echo
  echo "ours: NOT MEASURED: $cli_note"
  echo "floor/mp3info (files/s): $ceiling  (the most ours/mp3info can be here)"
fi

echo
echo "reproduce: bench/audio.sh"
echo "   (ours:    $analyse $tree)"
echo "   (scan:    $cli scan $tree -c $scan_out --label BENCH --serial 1)"
echo "   (ours-cli: find $tree -type f -name '*.mp3' -print0 | xargs -0 $cli analyse)"
echo "   (mp3info: find $tree -type f -name '*.mp3' -print0 | xargs -0 mp3info -p '$mp3info_format')"
echo "   (floor:   $floor $tree)"
exit "$status"
