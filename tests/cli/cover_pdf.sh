#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The PDF cover of velmora-cli read back with poppler's tools: the folder
# names on both parts, the label on both spines, one A4 page. Skipped (77)
# without poppler-utils.
set -u
cli=$1
command -v pdftotext >/dev/null && command -v pdfinfo >/dev/null || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() { # description, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

mkdir -p "$work/disc"
for name in "Abbey Road" "Blue Train" "Zoë Keating" "Kind of Blue" .hidden; do
  mkdir "$work/disc/$name"
done
# No display: the cover is drawn offscreen.
env -u DISPLAY -u WAYLAND_DISPLAY "$cli" cover "$work/disc" -o "$work/cover.pdf" --numbered \
  --label "SUNDAY MIX" 2>"$work/err"
check "cover exit code" 0 $?
check "cover stderr" "" "$(cat "$work/err")"
pdftotext -layout "$work/cover.pdf" "$work/cover.txt"
for line in "1. Abbey Road" "2. Blue Train" "3. Kind of Blue" "4. Zoë Keating"; do
  check "\"$line\" on front and back" 2 "$(grep -c -F "$line" "$work/cover.txt")"
done
check "hidden folder left out" 0 "$(grep -c hidden "$work/cover.txt")"
check "label on both spines" 2 "$(pdftotext "$work/cover.pdf" - | grep -c -F "SUNDAY MIX")"
check "one A4 page" "1 A4" "$(pdfinfo "$work/cover.pdf" | awk '/^Pages:/ {p=$2} /^Page size:/ {s=$NF} END {print p, s}' | tr -d '()')"
check "title" "CD cover" "$(pdfinfo "$work/cover.pdf" | sed -n 's/^Title: *//p')"

printf 'old' >"$work/keep.pdf"
"$cli" cover "$work/missing" -o "$work/keep.pdf" 2>/dev/null
check "unreadable root exit code" 1 $?
check "file kept" "old" "$(cat "$work/keep.pdf")"

[ "$failures" -eq 0 ] && echo "cover PDF checks passed"
exit $((failures > 0))
