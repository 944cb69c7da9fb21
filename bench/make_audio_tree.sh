#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/make_audio_tree.sh DIR [COUNT [SOURCES]]
#
# Builds a tree of COUNT (default 20,000) .mp3 files in DIR as hard links of
# the committed audio fixtures (tests/data/audio), or of every file in the
# folder SOURCES (bench/make_real_sources.sh makes one), spread over 40 artist
# folders of 10 albums each: "DIR/Artist/Album (Year)/07 - Title.mp3". Only
# fixtures with real audio are used: CBR and VBR (Xing), MPEG-1, 2 and 2.5,
# with and without ID3v1, with an ID3v2 tag in front. When DIR is on another
# file system than the fixtures, the files are copied instead. The same
# arguments always give the same names and the same fixture per name.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 3 ]; then
  echo "usage: $0 DIR [COUNT [SOURCES]]" >&2
  exit 2
fi
dir="$1"
count="${2:-20000}"
fixtures="$(cd "${3:-$(dirname "$0")/../tests/data/audio}" && pwd)"

sources=(
  mpeg1_l3_cbr128_44k_js.mp3
  mpeg1_l3_cbr128_44k_js_info_frame.mp3
  mpeg1_l3_cbr128_44k_js_id3v1_0.mp3
  mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3
  id3v1_windows1252_artist.mp3
  id3v1_utf8_title.mp3
  mpeg1_l3_vbr_xing.mp3
  mpeg1_l3_vbr_xing_mono.mp3
  mpeg2_l3_cbr64_22k_js.mp3
  mpeg2_l3_cbr32_24k_mono.mp3
  mpeg25_l3_cbr16_8k_mono.mp3
  id3v2_20k_then_vbr_xing.mp3
  id3v2_4_footer_then_cbr.mp3
)
if [ $# -eq 3 ]; then
  mapfile -t sources < <(cd "$fixtures" && find . -maxdepth 1 -type f -name '*.mp[123]' -printf '%f\n' | sort)
  [ ${#sources[@]} -gt 0 ] || { echo "no audio files in $fixtures" >&2; exit 1; }
fi
for s in "${sources[@]}"; do
  [ -f "$fixtures/$s" ] || { echo "missing fixture: $fixtures/$s" >&2; exit 1; }
done

first=(Silver Velvet Electric Broken Midnight Paper Golden Quiet Northern Crimson
  Hollow Static Wild Lunar Glass Iron Violet Distant Burning Frozen)
second=(Foxes Harbour Saints Engines Gardens Lanterns Rivers Machines Orchards Pilots
  Ghosts Tides Wolves Echoes Comets Sparrows Mirrors Giants Cities Dreamers)
words=(Love Night Road Light Heart Rain Fire Summer Home Morning River Stars Dance
  Shadow Ocean Window Train Winter Letter Silence Thunder Song Mountain Street)

artists=40
albums=10
folders=$((artists * albums))
per_album=$(((count + folders - 1) / folders))

# The names are made here; one perl process (perl-base, always on Debian)
# makes the links, since a process per file would take minutes.
mkdir -p "$dir"
made=0
for ((a = 0; a < artists && made < count; ++a)); do
  artist="The ${first[a % ${#first[@]}]} ${second[(a * 7 + a / 20) % ${#second[@]}]}"
  for ((b = 0; b < albums && made < count; ++b)); do
    album="${words[(a * 3 + b) % ${#words[@]}]} ${words[(a + b * 5 + 1) % ${#words[@]}]} ($((1971 + (a * 10 + b) % 50)))"
    printf 'D\t%s\n' "$dir/$artist/$album"
    for ((t = 1; t <= per_album && made < count; ++t)); do
      title="${words[(t * 5 + a) % ${#words[@]}]} of ${words[(t * 11 + b * 3 + a) % ${#words[@]}]}"
      printf 'L\t%s\t%s/%02d - %s.mp3\n' "$fixtures/${sources[made % ${#sources[@]}]}" \
        "$dir/$artist/$album" "$t" "$title"
      made=$((made + 1))
    done
  done
done | perl -e '
  use strict;
  use File::Path qw(make_path);
  while (my $line = <STDIN>) {
    chomp $line;
    my ($kind, $src, $dst) = split /\t/, $line;
    if ($kind eq "D") { make_path($src); next; }
    unlink $dst;
    next if link $src, $dst;
    # Another file system: copy the bytes.
    open(my $in, "<:raw", $src) or die "$src: $!";
    open(my $out, ">:raw", $dst) or die "$dst: $!";
    local $/;
    my $bytes = <$in>;
    print {$out} $bytes;
    close $out or die "$dst: $!";
  }'
made=$(find "$dir" -type f -name '*.mp3' | wc -l)
albums_made=$(find "$dir" -mindepth 2 -maxdepth 2 -type d | wc -l)
echo "$dir: $made .mp3 files in $albums_made album folders"
