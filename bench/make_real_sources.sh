#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# bench/make_real_sources.sh DIR
#
# Encodes, once, ten full-length audio files (3 to 6 minutes, 3 to 10 MB)
# into DIR, the way files are found on real volumes: CBR without a LAME/Xing
# frame (lame -t), VBR with one, MPEG-2 at 22 kHz, MPEG-1 Layer II
# (twolame); with an ID3v1 tag, with an ID3v2 tag only (from 4 KiB of
# padding to a 300 KB picture in front), with both, with none; and two with
# junk bytes before the first frame. The signal is sox's noise and tones, so
# the encoders have work to do. Files that exist already are kept.
# Needs lame, sox and twolame (Debian packages of the same names); says which
# are missing and exits 1 without them.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 DIR" >&2
  exit 2
fi
dir="$1"
missing=()
for tool in lame sox twolame; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "$0: missing ${missing[*]}: install them (apt-get install lame sox twolame)" >&2
  exit 1
fi
mkdir -p "$dir"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# seconds, rate[, type]: 16-bit stereo audio (WAV, or raw little-endian
# samples) of pink noise mixed with a tone sweep.
signal() {
  sox -V1 -n -r "$2" -c 2 -b 16 -e signed-integer -L -t "${3:-wav}" - synth "$1" pinknoise synth "$1" sine mix 200-2000 \
    tremolo 2 40 vol 0.6
}

# A picture of about `bytes` bytes that lame accepts (a JPEG start), random
# inside, so that it holds sync-like bytes as real pictures do.
picture() {
  { printf '\xFF\xD8\xFF\xE0'; head -c "$1" /dev/urandom; } >"$work/picture-$1.jpg"
  echo "$work/picture-$1.jpg"
}

tags=(--tt "Northern Lanterns" --ta "The Quiet Engines" --tl "Harbour of Light" --ty 1998
  --tn 4/11 --tc "ripped from the CD")

# encode NAME SECONDS RATE TYPE ENCODER ARGS...: DIR/NAME from the signal
# through the encoder (reading "-", writing the file), unless it exists.
encode() {
  local name=$1 seconds=$2 rate=$3 type=$4
  shift 4
  [ -s "$dir/$name" ] && return 0
  echo "encoding $name"
  signal "$seconds" "$rate" "$type" | "$@" - "$dir/$name.part"
  mv "$dir/$name.part" "$dir/$name"
}

pic300=$(picture 300000)
pic60=$(picture 60000)
encode cbr128_no_tag.mp3 240 44100 wav lame --quiet -t -b 128
encode cbr192_id3v1_id3v2.mp3 300 44100 wav lame --quiet -t -b 192 --add-id3v2 "${tags[@]}"
encode cbr320_id3v2_only_4k.mp3 200 44100 wav \
  lame --quiet -t -b 320 --id3v2-only --pad-id3v2-size 4096 "${tags[@]}"
encode vbr_xing_id3v2_only_300k_picture.mp3 360 44100 wav \
  lame --quiet -V 2 --id3v2-only --ti "$pic300" "${tags[@]}"
encode vbr_xing_id3v1_id3v2_60k_picture.mp3 330 44100 wav \
  lame --quiet -V 2 --add-id3v2 --ti "$pic60" "${tags[@]}"
encode vbr_xing_id3v1_only.mp3 240 44100 wav lame --quiet -V 0 --id3v1-only "${tags[@]}"
encode mpeg2_cbr64_22k_id3v2_only.mp3 400 22050 wav \
  lame --quiet -t -b 64 --resample 22.05 --id3v2-only "${tags[@]}"
encode layer2_192_48k.mp3 300 48000 raw twolame --quiet -r -s 48000 -N 2 -b 192

# Junk before the first frame: 3,000 bytes of zeros and 7,000 random bytes.
if [ ! -s "$dir/junk_3000_then_cbr128.mp3" ]; then
  echo "making junk_3000_then_cbr128.mp3"
  { head -c 3000 /dev/zero; cat "$dir/cbr128_no_tag.mp3"; } >"$dir/junk_3000_then_cbr128.mp3"
fi
if [ ! -s "$dir/junk_7000_then_vbr_id3v1.mp3" ]; then
  echo "making junk_7000_then_vbr_id3v1.mp3"
  { head -c 7000 /dev/urandom; cat "$dir/vbr_xing_id3v1_only.mp3"; } \
    >"$dir/junk_7000_then_vbr_id3v1.mp3"
fi
ls -l "$dir"
