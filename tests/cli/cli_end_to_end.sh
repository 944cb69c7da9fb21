#!/usr/bin/env bash
# Runs the built velmora-cli as a script would and checks outputs, files and
# exit codes.
set -u
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() { # description, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

"$cli" --help >/dev/null; check "help exit code" 0 $?
"$cli" >/dev/null 2>&1; check "no command exit code" 2 $?
"$cli" dump "$work/missing.col" 2>"$work/err"; check "missing file exit code" 1 $?
check "missing file message" "Can not open the file: $work/missing.col" "$(cat "$work/err")"

"$cli" new "$work/a.col"; check "new exit code" 0 $?
check "new file size" 1 "$(wc -l <"$work/a.col")"
check "new file starts with mark" "01" "$(head -c1 "$work/a.col" | od -An -tx1 | tr -d ' ')"
check "new file ends with CR LF" "0d0a" "$(tail -c2 "$work/a.col" | od -An -tx1 | tr -d ' ')"

printf 'CD\r\n\ta.mp3\r\n10;20;0;1;1;44000\r\n10;20;0;0;1;44000\r\n10;20;-1;441;1;13\r\nend\r\n' >"$work/old.vlm"
"$cli" import "$work/a.col" "$work/old.vlm"; check "import exit code" 0 $?
check "dump after import" "$(printf '1\tvolume\tCD\t10\t20\t0\t1\t44000\t0')" "$("$cli" dump "$work/a.col" | sed -n 2p)"
check "stats volumes" "$(printf 'Volume count:\t1 Volume(s)')" "$("$cli" stats "$work/a.col" | sed -n 4p)"
"$cli" report "$work/a.col" -o "$work/r.txt" --rows volume --columns files; check "report exit code" 0 $?
check "report row" "CD         1" "$(sed -n 3p "$work/r.txt" | tr -d '\r')"
"$cli" report "$work/a.col" -o "$work/r.txt" --format pdf 2>/dev/null; check "report usage exit code" 2 $?

# A search on a real folder outside the collection shows real paths and
# leaves the collection file as it was.
data=$(cd "$(dirname "$0")/../data/audio" && pwd)
mkdir -p "$work/drive/Rock"
cp "$data/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3" "$work/drive/Rock/live one.mp3"
cp "$data/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3" "$work/drive/live two.mp3"
before=$(md5sum <"$work/a.col")
found=$("$cli" search "$work/a.col" --name LIVE --in files --on "$work/drive")
check "search --on exit code" 0 $?
check "search --on rows" "$(printf '%s\n%s' "$work/drive/Rock/live one.mp3" "$work/drive/live two.mp3")" "$found"
check "search --on keeps the collection" "$before" "$(md5sum <"$work/a.col")"
"$cli" search "$work/a.col" --name nothing --on "$work/drive" 2>"$work/err"
check "search --on nothing found exit code" 1 $?
check "search --on nothing found message" "There are no matches." "$(cat "$work/err")"

chmod 000 "$work" 2>/dev/null
"$cli" convert "$work/a.col" "/proc/velmora-cannot-write.col" 2>/dev/null; check "unwritable target exit code" 1 $?
chmod 700 "$work"

if [ "$failures" -ne 0 ]; then
  echo "$failures end-to-end check(s) failed"
  exit 1
fi
echo "end-to-end checks passed"
