#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the built velmora-cli as a script would and checks outputs, files and
# exit codes.
set -u
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
# No settings of the user's: the messages follow the locale alone.
export XDG_CONFIG_HOME="$work/config"

check() { # description, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

help=$("$cli" --help); check "help exit code" 0 $?
# Every command (and each tag action) names itself on help, and describes
# its own usage and options with exit code 0.
for command in new dump stats convert import scan analyse tag "tag show" "tag write" \
  "tag remove" volumes update delete rename sort drives search duplicates report locate \
  playlist cover check-pack; do
  check "help names $command" 1 "$(echo "$help" | grep -c -m1 "^  $command\b")"
  # shellcheck disable=SC2086 # "tag show" is two words
  usage=$("$cli" $command --help)
  check "$command --help exit code" 0 $?
  check "$command --help usage line" 1 "$(echo "$usage" | grep -c -m1 "^Usage: velmora-cli $command\b")"
done
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
# Every option takes its value after "=" as well.
"$cli" report "$work/a.col" --output="$work/r2.txt" --rows=volume --columns=files
check "report --name=value exit code" 0 $?
check "report --name=value file" "$(md5sum <"$work/r.txt")" "$(md5sum <"$work/r2.txt")"

# A CSV report read back by Python's csv module: a Windows-1252 folder name
# comes out as UTF-8, names with commas and quotes come back whole, each row
# has every column and its level, sizes have a full stop, dates are ISO 8601.
printf '\001%s\002%s\003%s\004%s\005%s\006\r\n' 3072 300 1 2 45000 >"$work/w.col"
printf '\tCD, "one"\0013072\002300\0031\0042\00545000\0067\007\r\n' >>"$work/w.col"
printf '\t\t\304ra, "live"\0012048\002200\0030\0041\005\r\n' >>"$work/w.col"
printf '\t\t\ts\366ng.mp3\0012048\002200\0034410\0042\0051\0063\007\025Hey, "you"\026\027\030\031\032\033\r\n' >>"$work/w.col"
printf '\t\tloose.mp3\0011024\002100\0034800\0041\0051\0063\007\025\026\027\030\031\032\033\r\n' >>"$work/w.col"
"$cli" report "$work/w.col" -o "$work/r.csv" --format csv --rows collection,volume,folder,file \
  --columns size,duration,samplerate,title,files,volume,date
check "csv report exit code" 0 $?
csv_problems=$(python3 - "$work/r.csv" <<'PYTHON' 2>&1
import csv, sys
data = open(sys.argv[1], "rb").read()
assert data.endswith(b"\r\n") and data.count(b"\n") == data.count(b"\r\n") == 6, data
rows = list(csv.reader(open(sys.argv[1], newline="", encoding="utf-8", errors="strict")))
assert rows[0] == ["Level", "Name", "Mb", "H:M:S", "Hz", "Title", "File(s)", "Volume",
                   "Date"], rows[0]
assert all(len(row) == 9 for row in rows), rows
assert [row[:2] for row in rows[1:]] == [
    ["0", "Collection w.col"], ["1", 'CD, "one"'], ["2", '\u00c4ra, "live"'],
    ["3", "s\u00f6ng.mp3"], ["2", "loose.mp3"]], rows
assert [float(row[2]) for row in rows[1:]] == [3.0, 3.0, 2.0, 2.0, 1.0], rows
assert rows[4][3:] == ["00:03:20", "44100", 'Hey, "you"', "", 'CD, "one"', "2023-03-15"], rows[4]
assert [row[6] for row in rows[1:]] == ["2", "2", "1", "", ""], rows
PYTHON
)
check "csv report read by python's csv module" "" "$csv_problems"

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

# A real folder scanned with its mount's serial is found on disk again: every
# file of a branch in collection order, one file, a playlist of each kind.
mkdir -p "$work/play/Rock" "$work/play/AC\DC"
cp "$data/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3" "$work/play/Rock/live one.mp3"
cp "$data/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3" "$work/play/AC\DC/tnt.mp3"
cp "$data/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3" "$work/play/live two.mp3"
"$cli" new "$work/p.col"
"$cli" scan "$work/play" -c "$work/p.col" >/dev/null; check "scan to play exit code" 0 $?
volume=$("$cli" volumes "$work/p.col" | cut -f2)
branch=$(printf '%s\n%s\n%s' "$work/play/AC\DC/tnt.mp3" "$work/play/Rock/live one.mp3" "$work/play/live two.mp3")
check "locate a volume" "$branch" "$("$cli" locate "$work/p.col" "$volume")"
check "locate a file below a name with a backslash" "$work/play/AC\DC/tnt.mp3" \
  "$("$cli" locate "$work/p.col" "$volume\\AC\\DC\\tnt.mp3")"
check "locate by dump line" "$work/play/Rock/live one.mp3" "$("$cli" locate "$work/p.col" '#5')"
"$cli" playlist "$work/p.col" "$volume" -o "$work/list.m3u"; check "m3u exit code" 0 $?
check "m3u bytes" "$(printf '%s\r\n' "$work/play/AC\DC/tnt.mp3" "$work/play/Rock/live one.mp3" "$work/play/live two.mp3" | od -c)" "$(od -c <"$work/list.m3u")"
"$cli" playlist "$work/p.col" "$volume\\Rock" --output="$work/list.pls"; check "pls exit code" 0 $?
check "pls bytes" "$(printf '[playlist]\r\nFile1=%s\r\nNumberOfEntries=1\r\nVersion=2\r\n' "$work/play/Rock/live one.mp3" | od -c)" "$(od -c <"$work/list.pls")"
"$cli" playlist "$work/p.col" "$volume" -o /proc/velmora.m3u 2>"$work/err"; check "unwritable playlist exit code" 1 $?
check "unwritable playlist message" "Can not create a playlist in the file: /proc/velmora.m3u" "$(cat "$work/err")"
rm -r "$work/play/Rock"
"$cli" locate "$work/p.col" "$volume\\Rock" 2>"$work/err"; check "missing folder exit code" 1 $?
check "missing folder message" "Can not find the source of the selected item: $work/play/Rock" "$(cat "$work/err")"
"$cli" scan "$work/play" -c "$work/p.col" --label "ELSEWHERE" --serial ABCD-0042 >/dev/null
"$cli" playlist "$work/p.col" ELSEWHERE -o "$work/gone.m3u" 2>"$work/err"; check "volume not present exit code" 1 $?
check "volume not present message" "$(printf 'Can not find the source of the selected item\nDrive label: "ELSEWHERE"\nDrive serial: ABCD0042')" "$(cat "$work/err")"
check "volume not present writes nothing" "" "$(ls "$work/gone.m3u" 2>/dev/null)"

chmod 000 "$work" 2>/dev/null
"$cli" convert "$work/a.col" "/proc/velmora-cannot-write.col" 2>/dev/null; check "unwritable target exit code" 1 $?
chmod 700 "$work"

# Leftovers of saves beside a collection NAME: hidden files ".NAME.*".
leftovers() { # folder, name
  (cd "$1" && ls -A | grep -F ".$2." | sort | tr '\n' ' ')
}

# A save killed half-way leaves at most its one temporary file (and the
# lock file of the killed process); a load removes the temporary file and
# the next save replaces it.
mkdir -p "$work/big"
awk 'BEGIN {
  printf "\001%d\002%d\003%d\004%d\005%d\006\r\n", 0, 0, 1, 400000, 46000
  printf "\tCD\001%d\002%d\003%d\004%d\005%d\006%d\007\r\n", 0, 0, 1, 400000, 46000, 1
  for (i = 0; i < 400000; i++)
    printf "\t\tsong number %07d with a long enough name.mp3\001%d\002%d\003%d\004%d\005%d\006%d\007\025Title %d\026Artist\027Album\030\031\032\033\r\n", i, 3921, 245, 4410, 2, 1, 3, i
}' >"$work/big/big.col"
killed_save() { # kills a rename once it writes its temporary file
  "$cli" rename -c "$work/big/big.col" 1 "KILLED" 2>/dev/null &
  local pid=$! tries=0
  while kill -0 $pid 2>/dev/null && ! ls -l /proc/$pid/fd 2>/dev/null | grep -q '/\.big\.col\.' &&
    [ $tries -lt 2000 ]; do
    sleep 0.005
    tries=$((tries + 1))
  done
  kill -9 $pid 2>/dev/null
  wait $pid 2>/dev/null
}
for round in 1 2 3; do
  killed_save
  case "$(leftovers "$work/big" big.col)" in
    "" | ".big.col.lock " | ".big.col.tmp " | ".big.col.lock .big.col.tmp ") ;;
    *) check "leftovers of a killed save, round $round" "at most .big.col.tmp" "$(leftovers "$work/big" big.col)" ;;
  esac
done
"$cli" volumes "$work/big/big.col" >/dev/null; check "load after killed saves exit code" 0 $?
case "$(leftovers "$work/big" big.col)" in
  "" | ".big.col.lock ") ;;
  *) check "a load removes a killed save's temporary file" "" "$(leftovers "$work/big" big.col)" ;;
esac
killed_save
"$cli" rename -c "$work/big/big.col" 1 "SAVED"; check "save after a killed save exit code" 0 $?
check "a save replaces a killed save's files" "" "$(leftovers "$work/big" big.col)"
check "the save after a killed one" "SAVED" "$("$cli" volumes "$work/big/big.col" | cut -f2)"
rm -rf "$work/big"

# Two processes changing one collection at once: both changes are kept, or
# the second waits in vain and says so.
"$cli" new "$work/two.col"
"$cli" scan "$work/drive" -c "$work/two.col" --label FIRST --serial 1 >/dev/null
for round in 1 2 3 4 5; do
  "$cli" scan "$work/drive" -c "$work/two.col" --label "SCAN$round" --serial $((round + 1)) \
    >/dev/null 2>"$work/err1" &
  scan_pid=$!
  "$cli" rename -c "$work/two.col" 1 "RENAMED$round" 2>"$work/err2"
  rename_status=$?
  wait $scan_pid
  scan_status=$?
  listed=$("$cli" volumes "$work/two.col" | cut -f2 | tr '\n' ' ')
  if [ $scan_status -eq 0 ]; then
    check "parallel scan kept, round $round" 1 "$(echo "$listed" | grep -c "SCAN$round ")"
  else
    check "parallel scan exit code, round $round" 1 $scan_status
    check "parallel scan message, round $round" "velmora-cli: another program is changing the collection: $work/two.col" "$(cat "$work/err1")"
  fi
  if [ $rename_status -eq 0 ]; then
    check "parallel rename kept, round $round" "RENAMED$round" "$(echo "$listed" | cut -d' ' -f1)"
  else
    check "parallel rename exit code, round $round" 1 $rename_status
    check "parallel rename message, round $round" "velmora-cli: another program is changing the collection: $work/two.col" "$(cat "$work/err2")"
  fi
done
check "no lock or temporary file left" "" "$(leftovers "$work" two.col)"

# A save beyond the file size limit is reported and keeps the previous file.
before=$(md5sum <"$work/two.col")
(ulimit -f 1; "$cli" rename -c "$work/two.col" 1 LIMITED 2>"$work/err") # 1 KB; the file has more
check "size limit exit code" 1 $?
check "size limit message" "Can not save in the file: $work/two.col" "$(cat "$work/err")"
check "size limit keeps the file" "$before" "$(md5sum <"$work/two.col")"
check "size limit leaves nothing" "" "$(leftovers "$work" two.col)"

# A write-protected collection is not replaced, and says why.
cp "$work/two.col" "$work/ro.col"
chmod 0444 "$work/ro.col"
before=$(md5sum <"$work/ro.col")
"$cli" rename -c "$work/ro.col" 1 PROTECTED 2>"$work/err"
check "write-protected exit code" 1 $?
check "write-protected message" "$(printf 'Can not save in the file: %s\nThe file is write-protected' "$work/ro.col")" "$(cat "$work/err")"
check "write-protected keeps the file" "$before" "$(md5sum <"$work/ro.col")"
check "write-protected keeps the mode" 444 "$(stat -c %a "$work/ro.col")"

# A link that another user planted in a sticky, world-writable folder (as
# /tmp is) is not written through. Run as the user nobody, where root can
# switch to it: the folder belongs to root, the link to daemon, so the link
# is neither the folder owner's nor the writer's.
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1 &&
  id daemon >/dev/null 2>&1; then
  as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
  sticky=$(mktemp -d)
  chmod 1777 "$sticky"
  mine=$(mktemp -d)
  chmod 0755 "$mine"
  cp "$work/two.col" "$mine/c.col"
  chmod 0644 "$mine/c.col"
  chown nobody "$mine"
  printf 'precious' >"$mine/notes.txt"
  chown nobody "$mine/notes.txt"
  ln -s "$mine/notes.txt" "$sticky/report.txt"
  chown -h daemon "$sticky/report.txt"
  if as_nobody test -x "$cli" -a -r "$mine/c.col"; then
    as_nobody "$cli" report "$mine/c.col" -o "$sticky/report.txt" 2>"$work/err"
    check "planted link exit code" 1 $?
    check "planted link message" "$(printf 'Can not save in the file: %s\nThe path leads through a link of another user in a shared folder' "$sticky/report.txt")" "$(head -n 2 "$work/err")"
    check "planted link target untouched" precious "$(cat "$mine/notes.txt")"
    # A link of the folder's owner (root) is followed, as the kernel does.
    chown -h root "$sticky/report.txt"
    as_nobody "$cli" report "$mine/c.col" -o "$sticky/report.txt" --rows volume --columns files
    check "owner's link exit code" 0 $?
    check "owner's link leads to the report" 0 "$(grep -c precious "$mine/notes.txt")"
  else
    echo "note: nobody cannot reach $cli; the planted-link check is skipped"
  fi
  rm -rf "$sticky" "$mine"
fi
# Tags. A file whose only tag is an ID3v2 tag keeps its texts when one field
# is written: the ID3v1 tag written wins from then on.
mkdir -p "$work/tags"
v2frame() { # ID TEXT: an ID3v2.3 text frame, Latin-1, shorter than 127 bytes
  printf '%s\0\0\0' "$1"
  # shellcheck disable=SC2059 # the octal escape of the size
  printf "\\$(printf '%03o' $((${#2} + 1)))"
  printf '\0\0\0%s' "$2"
}
{ v2frame TIT2 "Real title"; v2frame TPE1 "Real artist"; v2frame TRCK "9/10"; v2frame TYER 1994; } >"$work/tags/frames"
{
  printf 'ID3\3\0\0\0\0\0'
  # shellcheck disable=SC2059
  printf "\\$(printf '%03o' "$(wc -c <"$work/tags/frames")")"
  cat "$work/tags/frames" "$data/mpeg2_l3_cbr64_22k_js.mp3"
} >"$work/tags/v2only.mp3"
"$cli" tag write --album X "$work/tags/v2only.mp3"; check "tag write into an ID3v2-only file exit code" 0 $?
check "analyse keeps the ID3v2 texts" "$(printf 'Real title\tReal artist\tX\t9\t1994\t')" \
  "$("$cli" analyse "$work/tags/v2only.mp3" | cut -f9-)"
check "tag show keeps the ID3v2 texts" "$(printf 'Real title\tReal artist\tX\t9\t1994\t\tID3v1 ID3v2.3')" \
  "$("$cli" tag show --no-id3v2 "$work/tags/v2only.mp3" | cut -f2-)"

# A program and a font take no tag and stay byte for byte as they were.
cp /bin/ls "$work/tags/ls.mp3"
font=$(find /usr/share/fonts -name '*.ttf' 2>/dev/null | head -n 1)
cp "$font" "$work/tags/font.mp3"
for name in ls font; do
  file="$work/tags/$name.mp3"
  before=$(md5sum <"$file")
  "$cli" tag write --title X "$file" 2>"$work/err"; check "tag write into $name exit code" 1 $?
  check "tag write into $name message" "The file isn't valid: $file" "$(cat "$work/err")"
  "$cli" tag remove "$file" 2>"$work/err"; check "tag remove from $name exit code" 1 $?
  check "tag remove from $name message" "The file isn't valid: $file" "$(cat "$work/err")"
  check "$name unchanged" "$before" "$(md5sum <"$file")"
done

# Paths without audio fail after the other paths; a folder is told as one.
"$cli" analyse /nonexistent.mp3 "$data/mpeg1_l3_cbr128_44k_js.mp3" >"$work/analysed" 2>"$work/err"
check "analyse of a missing file exit code" 1 $?
check "analyse of a missing file message" "The file doesn't exist: /nonexistent.mp3" "$(cat "$work/err")"
check "analyse goes on after a missing file" 1 "$(grep -c mpeg "$work/analysed")"
"$cli" tag show "$data/text_named_mp3.mp3" >/dev/null 2>"$work/err"; check "tag show of a text exit code" 1 $?
check "tag show of a text message" "The file isn't valid: $data/text_named_mp3.mp3" "$(cat "$work/err")"
mkdir -p "$work/tags/dir.mp3"
for command in analyse "tag show" "tag remove" "tag write --title X"; do
  # shellcheck disable=SC2086 # "tag show" is two words
  "$cli" $command "$work/tags/dir.mp3" >/dev/null 2>"$work/err"; check "$command of a folder exit code" 1 $?
  check "$command of a folder message" "The path is a folder: $work/tags/dir.mp3" "$(cat "$work/err")"
done
cp "$data/mpeg1_l3_cbr128_44k_js.mp3" "$work/tags/song.mp3"
before=$(md5sum <"$work/tags/song.mp3")
"$cli" tag write --track 300 "$work/tags/song.mp3" 2>/dev/null; check "track 300 exit code" 2 $?
"$cli" tag write --track=256 "$work/tags/song.mp3" 2>/dev/null; check "track 256 exit code" 2 $?
check "track out of range writes nothing" "$before" "$(md5sum <"$work/tags/song.mp3")"
# A report, a saved list or a playlist written over the collection itself,
# under its own name or through a symbolic or hard link, is refused and the
# collection stays as it was; "-" writes to stdout what the file would hold.
mkdir -p "$work/out"
"$cli" new "$work/out/s.col"
"$cli" scan "$work/play" -c "$work/out/s.col" >/dev/null
ln -s s.col "$work/out/sym.col"
ln "$work/out/s.col" "$work/out/hard.col"
before=$(md5sum <"$work/out/s.col")
for target in "$work/out/s.col" "$work/out/sym.col" "$work/out/hard.col"; do
  name=${target##*/}
  refused=$(printf 'Can not save in the file: %s\nThe file is the collection itself' "$target")
  "$cli" report "$work/out/s.col" -o "$target" >"$work/out/stdout" 2>"$work/err"
  check "report over the collection ($name) exit code" 1 $?
  check "report over the collection ($name) message" "$refused" "$(cat "$work/err")"
  "$cli" search "$work/out/s.col" --name mp3 --save "$target" >>"$work/out/stdout" 2>"$work/err"
  check "saved list over the collection ($name) exit code" 1 $?
  check "saved list over the collection ($name) message" "$refused" "$(cat "$work/err")"
  "$cli" playlist "$work/out/s.col" '#1' -o "$target" >>"$work/out/stdout" 2>"$work/err"
  check "playlist over the collection ($name) exit code" 1 $?
  check "playlist over the collection ($name) message" "$refused" "$(cat "$work/err")"
  check "refusals keep the collection ($name)" "$before" "$(md5sum <"$work/out/s.col")"
  check "refusals print nothing ($name)" "" "$(cat "$work/out/stdout")"
done
check "the symbolic link stays a link" "s.col" "$(readlink "$work/out/sym.col")"
check "the hard link stays a link" 2 "$(stat -c %h "$work/out/s.col")"
rm "$work/out/sym.col" "$work/out/hard.col"

"$cli" report "$work/out/s.col" -o "$work/out/r.html" --format html --rows collection,volume,file
"$cli" report "$work/out/s.col" -o - --format html --rows collection,volume,file >"$work/out/r-"
check "report to stdout exit code" 0 $?
check "report to stdout bytes" "$(md5sum <"$work/out/r.html")" "$(md5sum <"$work/out/r-")"
"$cli" search "$work/out/s.col" --name mp3 --save "$work/out/found.txt"
"$cli" search "$work/out/s.col" --name mp3 --save - >"$work/out/found-"
check "saved list to stdout exit code" 0 $?
check "saved list to stdout bytes" "$(md5sum <"$work/out/found.txt")" "$(md5sum <"$work/out/found-")"
"$cli" playlist "$work/out/s.col" '#1' -o "$work/out/list.m3u"
"$cli" playlist "$work/out/s.col" '#1' -o - >"$work/out/list-"
check "playlist to stdout exit code" 0 $?
check "playlist to stdout bytes" "$(md5sum <"$work/out/list.m3u")" "$(md5sum <"$work/out/list-")"
check "playlist to stdout holds the volume's files" 2 "$(grep -c . <"$work/out/list-")"
check "stdout is no file named -" "" "$(ls "$work/out/-" 2>/dev/null)"

# update --from an unrelated folder is refused without --force and leaves the
# collection as it was; the volume's own folder, or --force, update it.
before=$(md5sum <"$work/out/s.col")
"$cli" update -c "$work/out/s.col" 1 --from "$work/drive" 2>"$work/err"
check "update from an unrelated folder exit code" 1 $?
check "update from an unrelated folder message" \
  "velmora-cli update: the source is not the volume (another serial or folder); --force takes it all the same" \
  "$(head -n1 "$work/err")"
check "update from an unrelated folder names the source" 1 "$(grep -c "^Source: .*: $work/drive\$" "$work/err")"
check "update from an unrelated folder keeps the collection" "$before" "$(md5sum <"$work/out/s.col")"
"$cli" update -c "$work/out/s.col" 1 --from "$work/play" 2>/dev/null
check "update from the volume's own folder exit code" 0 $?
"$cli" update -c "$work/out/s.col" 1 --from "$work/drive" --force 2>/dev/null
check "update --force exit code" 0 $?
check "update --force takes the folder" 1 "$("$cli" volumes "$work/out/s.col" | cut -f2 | grep -c '\\drive$')"
# Node names that lead out of their folder (a hand-made collection: the
# folder "sub" renamed "..", the file "x.mp3" renamed "../secret.mp3") are
# never located, though the paths they would make exist; a playlist and a
# listing leave them out and say how many on stderr.
mkdir -p "$work/esc/in/sub"
for f in in/sub/secret.mp3 secret.mp3 in/x.mp3 in/y.mp3; do
  cp "$data/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3" "$work/esc/$f"
done
"$cli" new "$work/esc.col"
"$cli" scan "$work/esc/in" -c "$work/esc.col" >/dev/null; check "scan to escape exit code" 0 $?
sed -i 's/^\t\tsub\x01/\t\t..\x01/; s/^\t\tx\.mp3\x01/\t\t..\/secret.mp3\x01/' "$work/esc.col"
check "names leading out" "$(printf '..\nsecret.mp3\n../secret.mp3')" "$("$cli" dump "$work/esc.col" | sed -n 3,5p | cut -f3)"
"$cli" locate "$work/esc.col" '#3' >"$work/printed" 2>"$work/err"; check "locate below .. exit code" 1 $?
check "locate below .. prints nothing" "" "$(cat "$work/printed")"
check "locate below .. message" "Can not find the source of the selected item: $work/esc/in/../secret.mp3" "$(cat "$work/err")"
"$cli" locate "$work/esc.col" '#4' >"$work/printed" 2>"$work/err"; check "locate a name with / exit code" 1 $?
check "locate a name with / prints nothing" "" "$(cat "$work/printed")"
escvolume=$("$cli" volumes "$work/esc.col" | cut -f2)
check "locate the volume leaves them out" "$work/esc/in/y.mp3" "$("$cli" locate "$work/esc.col" "$escvolume" 2>"$work/err")"
check "locate the volume says how many" "Items that can not be found were left out: 2" "$(cat "$work/err")"
"$cli" playlist "$work/esc.col" "$escvolume" -o "$work/esc.m3u" 2>"$work/err"; check "playlist leaving out exit code" 0 $?
check "playlist leaves them out" "$(printf '%s\r\n' "$work/esc/in/y.mp3" | od -c)" "$(od -c <"$work/esc.m3u")"
check "playlist says how many" "Items that can not be found were left out: 2" "$(cat "$work/err")"

# Names the scan stored without their leading blanks are found on disk as
# they are there; a folder of blanks only, stored empty, cannot be located.
mkdir -p "$work/blank/   "
cp "$data/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3" "$work/blank/ lead.mp3"
cp "$data/mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3" "$work/blank/   /x.mp3"
"$cli" new "$work/blank.col"
"$cli" scan "$work/blank" -c "$work/blank.col" >/dev/null; check "scan of blanks exit code" 0 $?
check "names stored cleaned" "$(printf '\nx.mp3\nlead.mp3')" "$("$cli" dump "$work/blank.col" | sed -n 3,5p | cut -f3)"
check "locate a name stored without its blank" "$work/blank/ lead.mp3" "$("$cli" locate "$work/blank.col" '#4')"
"$cli" locate "$work/blank.col" '#2' >"$work/printed" 2>/dev/null; check "locate a folder stored empty exit code" 1 $?
check "locate a folder stored empty prints nothing" "" "$(cat "$work/printed")"
blankvolume=$("$cli" volumes "$work/blank.col" | cut -f2)
"$cli" playlist "$work/blank.col" "$blankvolume" -o "$work/blank.m3u" 2>"$work/err"
check "playlist of blanks" "$(printf '%s\r\n' "$work/blank/ lead.mp3" | od -c)" "$(od -c <"$work/blank.m3u")"
check "playlist of blanks says how many" "Items that can not be found were left out: 1" "$(cat "$work/err")"

# Messages speak the user's language, through the pack the window would
# choose; what scripts read does not change with it.
german() { LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$cli" "$@"; }
german dump "$work/missing.col" 2>"$work/err"; check "German message exit code" 1 $?
check "German message" "Die Datei kann nicht geöffnet werden: $work/missing.col" "$(cat "$work/err")"
check "dump in German" "$("$cli" dump "$work/a.col")" "$(german dump "$work/a.col")"
# The pack of the settings goes before the locale's.
mkdir -p "$XDG_CONFIG_HOME/velmora"
printf 'LangName\ttext\tfrancais.lng\n' >"$XDG_CONFIG_HOME/velmora/settings"
german dump "$work/missing.col" 2>"$work/err"
check "message of the chosen pack" "Impossible d'ouvrir le fichier: $work/missing.col" "$(cat "$work/err")"
check "volumes with a pack" "$(XDG_CONFIG_HOME=$work/none "$cli" volumes "$work/a.col")" \
  "$("$cli" volumes "$work/a.col")"
rm -r "$XDG_CONFIG_HOME/velmora"

if [ "$failures" -ne 0 ]; then
  echo "$failures end-to-end check(s) failed"
  exit 1
fi
echo "end-to-end checks passed"
