#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/tagwrite.sh BUILD_DIR [COUNT [warm|cold]]
#
# A bulk tag edit of COUNT (default 1,000) full-length MP3 files of about
# 5 MB in one folder, against copying that folder, all in one run:
#   floor   cp -r of the folder to a new folder beside it, then sync
#   ours    velmora-cli tag write --album "Bench album" --comment bulk
#           --year 2020 over every file, in one command
#   TagLib  velmora-bench-taglib-save with the same fields: TagLib's own
#           MPEG::File::save, which moves the audio inside the file when the
#           tag grows and syncs nothing
# once over files whose ID3v2.3 tag has padding (mutagen's default: the tag
# is rewritten in place) and once over files whose tag has none (every tag
# grows: ours writes a new file beside the old one and renames it over it).
# Each file has an ID3v2.3 tag written by mutagen (texts in UTF-16, a
# 30,000-byte APIC picture, no album and no comment, so that the edit adds
# two frames) and an ID3v1 tag, around the same lame encode of sox noise
# and tones (128 kbit/s, 328 s).
#
# Every edit works on a fresh copy of the phase's master folder; that copy is
# also a floor sample (three per phase: one alone, one before each edit).
# Before each timed command the kernel has written everything back (sync):
# the figures start with no dirty pages. Page cache: "warm" (the default)
# leaves the files in it, as they are after being copied (fincore shows how
# much is resident); "cold" evicts this run's own files before each timed
# command (posix_fadvise DONTNEED, clean pages only); nothing else is ever
# dropped. After each edit a few files are checked with mutagen (the new
# album, comment and year in the ID3v2 and ID3v1 tags, the old title and
# picture kept, the audio bytes unchanged) and every file for its tags' marks;
# inode numbers tell whether a file was rewritten in place or replaced.
#
# Prints the seconds of each command and of the sync after it, and the
# ratios to the floor's median (cp alone, and cp + sync against the command
# + sync). Bar: ours at most 3 times the copy, judged on cp + sync, since
# ours syncs each file's new ID3v2 tag before going on. Exits 1 when the bar
# is missed, a check fails or a phase did not take its way. Needs lame, sox and /usr/bin/python3 with mutagen; the folders live
# under bench/out/ (about 2 x COUNT x 5.3 MB at a time) and are removed at
# the end; the source encode bench/out/tagwrite-source.mp3 is kept.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 3 ]; then
  echo "usage: $0 BUILD_DIR [COUNT [warm|cold]]" >&2
  exit 2
fi
build=$(realpath -m "$1")
count=${2:-1000}
cache=${3:-warm}
case "$count" in '' | *[!0-9]*)
  echo "$0: COUNT must be a number" >&2
  exit 2
  ;;
esac
if [ "$cache" != warm ] && [ "$cache" != cold ]; then
  echo "$0: the cache state is warm or cold, not $cache" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
python=/usr/bin/python3

missing=()
for tool in lame sox; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
"$python" -c 'import mutagen' 2>/dev/null || missing+=("mutagen for $python (python3-mutagen)")
if [ ${#missing[@]} -gt 0 ]; then
  echo "$0: missing ${missing[*]}" >&2
  exit 1
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
fi
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
[ "$build_type" = Release ] || echo "warning: $build is a $build_type build, not Release" >&2
cmake --build "$build" --target velmora-cli velmora-bench-taglib-save
cli="$build/src/cli/velmora-cli"
taglib_save="$build/bench/velmora-bench-taglib-save"
edit_args=(--album "Bench album" --comment bulk --year 2020)

mkdir -p bench/out
source_mp3=bench/out/tagwrite-source.mp3
if [ ! -s "$source_mp3" ]; then
  echo "encoding $source_mp3"
  sox -V1 -n -r 44100 -c 2 -b 16 -e signed-integer -t wav - synth 328 pinknoise synth 328 sine \
    mix 200-2000 tremolo 2 40 vol 0.6 | lame --quiet -b 128 - "$source_mp3.part"
  mv "$source_mp3.part" "$source_mp3"
fi
source_bytes=$(stat -c %s "$source_mp3")
need=$((count * (source_bytes + 80000) * 2 + 1000000000))
avail=$(df --output=avail -B1 bench/out | tail -n 1)
if [ "$avail" -lt "$need" ]; then
  echo "$0: $((need / 1000000)) MB needed under bench/out, $((avail / 1000000)) MB free" >&2
  exit 1
fi

work=$(mktemp -d "$PWD/bench/out/tagwrite.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# The files, their checks and the eviction of their pages.
cat >"$work/files.py" <<'EOF'
import hashlib, os, random, shutil, sys
from mutagen.id3 import ID3, APIC, COMM, TCON, TIT2, TPE1, TPE2, TRCK, TYER

PICTURE = bytes([0xFF, 0xD8, 0xFF, 0xE0]) + random.Random(7).randbytes(30000 - 4)


def name(i):
    return "%04d - Track %04d.mp3" % (i, i)


def tag_size(head):
    return 10 + ((head[6] << 21) | (head[7] << 14) | (head[8] << 7) | head[9])


def make(folder, source, count, padded):
    os.makedirs(folder)
    for i in range(1, count + 1):
        path = os.path.join(folder, name(i))
        shutil.copyfile(source, path)
        tags = ID3()
        tags.add(TIT2(encoding=1, text="Track %04d" % i))
        tags.add(TPE1(encoding=1, text="The Bench Players"))
        tags.add(TPE2(encoding=1, text="The Bench Players"))
        tags.add(TRCK(encoding=1, text="%d/%d" % (i, count)))
        tags.add(TYER(encoding=1, text="1999"))
        tags.add(TCON(encoding=1, text="Rock"))
        tags.add(APIC(encoding=0, mime="image/jpeg", type=3, desc="", data=PICTURE))
        tags.save(path, v1=2, v2_version=3, padding=None if padded else (lambda info: 0))
    with open(os.path.join(folder, name(1)), "rb") as f:
        print(tag_size(f.read(10)))


def check(folder, source, count):
    """Marks of both tags on every file; everything on a few."""
    with open(source, "rb") as f:
        audio = hashlib.sha256(f.read()).digest()
    failures = []
    for i in range(1, count + 1):
        with open(os.path.join(folder, name(i)), "rb") as f:
            head = f.read(3)
            f.seek(-128, 2)
            tail = f.read(3)
        if head != b"ID3" or tail != b"TAG":
            failures.append("%s: tags missing" % name(i))
    spots = sorted({1, count, (count + 1) // 2} | set(random.Random(count).sample(range(1, count + 1), min(count, 3))))
    sizes = set()
    for i in spots:
        path = os.path.join(folder, name(i))
        tags = ID3(path)

        def text(frame_id):
            frame = tags.get(frame_id)
            return str(frame.text[0]) if frame else None

        comments = [c.text[0] for c in tags.getall("COMM") if c.desc == ""]
        pictures = tags.getall("APIC")
        with open(path, "rb") as f:
            data = f.read()
        size = tag_size(data[:10])
        sizes.add(size)
        v1 = data[-128:]
        wanted = {
            "version": (tags.version, (2, 3, 0)),
            "album": (text("TALB"), "Bench album"),
            "comment": (comments, ["bulk"]),
            "year": (text("TDRC"), "2020"),
            "title": (text("TIT2"), "Track %04d" % i),
            "artist": (text("TPE1"), "The Bench Players"),
            "track": (text("TRCK"), "%d/%d" % (i, count)),
            "picture": (len(pictures) == 1 and pictures[0].data == PICTURE, True),
            "ID3v1 title": (v1[3:33].rstrip(b"\0 "), b"Track %04d" % i),
            "ID3v1 album": (v1[63:93].rstrip(b"\0 "), b"Bench album"),
            "ID3v1 year": (v1[93:97], b"2020"),
            "ID3v1 comment": (v1[97:125].rstrip(b"\0 "), b"bulk"),
            "audio": (hashlib.sha256(data[size:-128]).digest(), audio),
        }
        for what, (got, want) in wanted.items():
            if got != want:
                failures.append("%s: %s is %r, not %r" % (name(i), what, got, want))
    for failure in failures[:20]:
        print(failure, file=sys.stderr)
    print("%d files checked in full, tag now %s bytes" % (len(spots), "/".join(map(str, sorted(sizes)))))
    return 1 if failures else 0


def evict(folder):
    for entry in os.scandir(folder):
        fd = os.open(entry.path, os.O_RDONLY)
        os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
        os.close(fd)


if __name__ == "__main__":
    what, args = sys.argv[1], sys.argv[2:]
    if what == "make":
        make(args[0], args[1], int(args[2]), args[3] == "padded")
    elif what == "check":
        sys.exit(check(args[0], args[1], int(args[2])))
    elif what == "evict":
        evict(args[0])
EOF

# Milliseconds of the command "$@" in $ms; its exit code in $rc.
timed() {
  local start end
  start=$(date +%s%N)
  rc=0
  "$@" || rc=$?
  end=$(date +%s%N)
  ms=$(((end - start) / 1000000))
}
seconds() { awk -v m="$1" 'BEGIN { printf "%.2f", m / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }
verdict() { awk -v r="$1" -v b="$2" 'BEGIN { print (r <= b ? "PASS" : "FAIL") }'; }
load() { cut -d ' ' -f 1-3 /proc/loadavg; }
# Per cent of the bytes of the folder's files that are in the page cache.
resident() {
  if ! command -v fincore >/dev/null; then
    echo "?"
    return
  fi
  find "$1" -type f -print0 | xargs -0 fincore -b -n -o RES,SIZE |
    awk '{ r += $1; s += $2 } END { printf "%.0f", (s > 0 ? 100 * r / s : 0) }'
}
# The state before a timed command over the folder $1: written back, and in
# cold runs out of the page cache.
settle() {
  sync
  [ "$cache" = cold ] && "$python" "$work/files.py" evict "$1"
  state="resident $(resident "$1") %, dirty $(awk '/^Dirty:/ { print $2 }' /proc/meminfo) kB, load $(load)"
}

status=0
edit="$work/edit"
# copy MASTER: one floor sample, leaving the copy in $edit.
copy() {
  rm -rf "$edit"
  settle "$1"
  timed cp -r "$1" "$edit"
  [ "$rc" -eq 0 ] || { echo "cp failed" >&2; exit 1; }
  local cp_ms=$ms
  timed sync
  cp_samples+=("$cp_ms")
  cps_samples+=("$((cp_ms + ms))")
  printf '  %-13s %8s s  sync %6s s  (source: %s)\n' "cp -r" "$(seconds "$cp_ms")" "$(seconds "$ms")" "$state"
}
# bulk_edit NAME COMMAND...: COMMAND with the bulk edit over every file of
# $edit, then sync; its figures in ${NAME}_ms and ${NAME}_sync_ms.
bulk_edit() {
  local label=$1
  shift
  stat -c '%n %i' "$edit"/*.mp3 >"$work/inodes.before"
  settle "$edit"
  timed "$@" "${edit_args[@]}" "$edit"/*.mp3
  local edit_ms=$ms edit_rc=$rc
  timed sync
  printf -v "${label}_ms" '%s' "$edit_ms"
  printf -v "${label}_sync_ms" '%s' "$ms"
  stat -c '%n %i' "$edit"/*.mp3 >"$work/inodes.after"
  local replaced
  replaced=$(diff "$work/inodes.before" "$work/inodes.after" | grep -c '^>' || true)
  printf '  %-13s %8s s  sync %6s s  (files: %s)\n' "$label" "$(seconds "$edit_ms")" "$(seconds "$ms")" "$state"
  local checked
  if [ "$edit_rc" -ne 0 ]; then
    echo "  $label: exit code $edit_rc" >&2
    status=1
  fi
  if ! checked=$("$python" "$work/files.py" check "$edit" "$source_mp3" "$count"); then
    echo "  $label: CHECK FAILED" >&2
    status=1
  fi
  echo "          $replaced of $count files replaced (new inode); $checked"
  # The way the files were written must be the one the phase is about.
  if [ "$label" = ours_nopad ] && [ "$replaced" -ne "$count" ] ||
    [ "$label" != ours_nopad ] && [ "$replaced" -ne 0 ]; then
    echo "  $label: $replaced of $count files replaced: not the way this case measures" >&2
    status=1
  fi
}

# phase padded|nopad: master folder, three floor samples, both edits.
phase() {
  local kind=$1 master="$work/master-$1" tag
  cp_samples=()
  cps_samples=()
  tag=$("$python" "$work/files.py" make "$master" "$source_mp3" "$count" "$kind")
  echo
  if [ "$kind" = padded ]; then
    echo "ID3v2.3 tags with padding (mutagen's default), the first file's $tag bytes"
  else
    echo "ID3v2.3 tags without padding, the first file's $tag bytes"
  fi
  copy "$master"
  copy "$master"
  bulk_edit "ours_$kind" "$cli" tag write
  copy "$master"
  bulk_edit "taglib_$kind" "$taglib_save"
  rm -rf "$edit" "$master"
  printf -v "cp_$kind" '%s' "$(median "${cp_samples[@]}")"
  printf -v "cps_$kind" '%s' "$(median "${cps_samples[@]}")"
}

echo "tagwrite: $count files of $((source_bytes / 1000)) kB of audio with both tags, one folder; page cache $cache"
echo "machine: $(nproc) cores, $(free -g | awk '/^Mem:/ { print $2 }') GB memory, load $(load) at the start"
echo "folders under $work ($(df --output=fstype "$work" | tail -n 1))"
phase padded
phase nopad
echo
echo "load at the end: $(load)"

# row LABEL COMMAND_MS SYNC_MS CP_MS CP_SYNC_MS
row() {
  printf '%-30s %9s %9s %9s %8s %12s\n' "$1" "$(seconds "$2")" "$(seconds "$3")" \
    "$(seconds "$(($2 + $3))")" "$(ratio "$2" "$4")" "$(ratio "$(($2 + $3))" "$5")"
}
echo
printf '%-30s %9s %9s %9s %8s %12s\n' "" "command s" "sync s" "total s" "/ cp" "/ (cp+sync)"
for kind in padded nopad; do
  cp_ms_var="cp_$kind"
  cps_ms_var="cps_$kind"
  floor_cp=${!cp_ms_var}
  floor_cps=${!cps_ms_var}
  ours_var="ours_${kind}_ms"
  ours_sync_var="ours_${kind}_sync_ms"
  taglib_var="taglib_${kind}_ms"
  taglib_sync_var="taglib_${kind}_sync_ms"
  [ "$kind" = padded ] && what="padding, in place" || what="no padding, tags grow"
  echo "$what:"
  row "  floor cp -r (median of 3)" "$floor_cp" "$((floor_cps - floor_cp))" "$floor_cp" "$floor_cps"
  row "  ours (velmora-cli)" "${!ours_var}" "${!ours_sync_var}" "$floor_cp" "$floor_cps"
  row "  TagLib save" "${!taglib_var}" "${!taglib_sync_var}" "$floor_cp" "$floor_cps"
done

echo
for kind in padded nopad; do
  cp_ms_var="cp_$kind"
  cps_ms_var="cps_$kind"
  ours_var="ours_${kind}_ms"
  ours_sync_var="ours_${kind}_sync_ms"
  durable=$(ratio "$((${!ours_var} + ${!ours_sync_var}))" "${!cps_ms_var}")
  plain=$(ratio "${!ours_var}" "${!cp_ms_var}")
  v=$(verdict "$durable" 3)
  [ "$v" = PASS ] || status=1
  printf 'ours/copy, %-7s (cp + sync): %6s  bar <= 3  %s   (against cp alone: %s, %s)\n' "$kind" \
    "$durable" "$v" "$plain" "$(verdict "$plain" 3)"
done

echo
echo "reproduce: bench/tagwrite.sh $1 $count $cache"
echo "   (floor:  cp -r MASTER COPY; sync)"
echo "   (ours:   $cli tag write --album 'Bench album' --comment bulk --year 2020 COPY/*.mp3; sync)"
echo "   (TagLib: $taglib_save --album 'Bench album' --comment bulk --year 2020 COPY/*.mp3; sync)"
exit "$status"
