#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the MPEG audio fixtures in tests/data/audio/ from generated signals.
# The output is committed, so the encoders are needed only to remake it, not
# to build or test. Made with (Debian 12):
#   sox     14.4.2+git20190427-3.5  (signals; -R makes the noise repeatable)
#   lame    3.100                    (MPEG-1/2/2.5 Layer III)
#   twolame 0.4.0                    (MPEG-1/2 Layer II)
#   python3 3.x                      (tags, junk and the tiny files)
# Install: apt-get install sox lame twolame python3
# The same tools give the same bytes on every run. After remaking, run
# tests/data/describe_audio_fixtures.py and update tests/data/audio/README.md.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
out="$here/audio"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

for tool in sox lame twolame python3; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done

# --- signals ---------------------------------------------------------------
# Left a sine, right pink noise, so joint stereo has something to do; the VBR
# signal is 0.6 s of quiet sine and then 0.6 s of noise, so the frames'
# bit rates vary.
signal() { # RATE CHANNELS SECONDS OUT.wav
  sox -R -n -r "$1" -c "$2" -b 16 "$4" synth "$3" sine 440 pinknoise vol 0.5
}
signal 44100 2 1 "$work/s44k.wav"
signal 22050 2 1 "$work/s22k.wav"
signal 24000 1 1 "$work/m24k.wav"
signal 8000 1 1 "$work/m8k.wav"
signal 32000 1 1 "$work/m32k.wav"
signal 48000 2 1 "$work/s48k.wav"
signal 24000 1 1 "$work/m24k_l2.wav"
sox -R -n -r 44100 -c 2 -b 16 "$work/quiet.wav" synth 0.6 sine 440 sine 660 vol 0.2
sox -R -n -r 44100 -c 2 -b 16 "$work/loud.wav" synth 0.6 pinknoise pinknoise vol 0.7
sox -R "$work/quiet.wav" "$work/loud.wav" "$work/vbr.wav"
sox -R "$work/vbr.wav" -c 1 "$work/vbr_mono.wav" remix 1,2

# --- Layer III and Layer II streams ----------------------------------------
# -t: no Xing/Info frame, so the first frame carries audio;
# --noreplaygain: no analysis that could differ between builds;
# --resample: the input rate, which lame would otherwise lower for low bit
# rates.
lame_q() { lame --quiet --noreplaygain "$@"; }

lame_q -t --cbr -b 128 -m j --resample 44.1 "$work/s44k.wav" "$work/cbr128.mp3"
lame_q --cbr -b 128 -m j --resample 44.1 "$work/s44k.wav" "$work/cbr128_info.mp3"
lame_q -V 4 -m j --resample 44.1 "$work/vbr.wav" "$work/vbr.mp3"
lame_q -V 4 -m m --resample 44.1 "$work/vbr_mono.wav" "$work/vbr_mono.mp3"
lame_q -t --cbr -b 64 -m j --resample 22.05 "$work/s22k.wav" "$work/mpeg2_cbr64.mp3"
lame_q -t --cbr -b 32 -m m --resample 24 "$work/m24k.wav" "$work/mpeg2_mono.mp3"
lame_q -t --cbr -b 16 -m m --resample 8 "$work/m8k.wav" "$work/mpeg25_mono.mp3"
lame_q -t --cbr -b 32 -m m --resample 32 "$work/m32k.wav" "$work/cbr32_32k_mono.mp3"
twolame --quiet -b 192 -m s "$work/s48k.wav" "$work/l2_192.mp2"
twolame --quiet -b 64 -m m "$work/m24k_l2.wav" "$work/l2_lsf_64.mp2"

# --- byte-level pieces (ID3 tags, junk, tiny files) ------------------------
# tool.py ID3V1 OUT TITLE ARTIST ALBUM YEAR COMMENT GENRE [TRACK]
#   Texts are given as Python bytes literals so any byte can be written.
#   With TRACK the comment is cut to 28 bytes, then 0 and the track (1.1).
# tool.py ID3V23_APIC OUT PICTURE_BYTES PADDING
# tool.py ID3V24_FOOTER OUT
# tool.py JUNK OUT BYTES zeros|noff  (noff: pseudo-random without any 0xFF)
# tool.py TEXT OUT
cat >"$work/tool.py" <<'PY'
import ast
import hashlib
import struct
import sys


def stream(n, salt):
    """n pseudo-random bytes, the same on every machine and Python."""
    data = bytearray()
    counter = 0
    while len(data) < n:
        data += hashlib.sha256(salt + struct.pack(">I", counter)).digest()
        counter += 1
    return bytes(data[:n])


def field(text, size):
    assert len(text) <= size, text
    return text + b"\0" * (size - len(text))


def syncsafe(n):
    assert n < 1 << 28
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def id3v1(args):
    out, title, artist, album, year, comment, genre = args[:7]
    b = [ast.literal_eval(x) for x in (title, artist, album, year, comment)]
    tag = b"TAG" + field(b[0], 30) + field(b[1], 30) + field(b[2], 30) + field(b[3], 4)
    if len(args) > 7:
        tag += field(b[4], 28) + b"\0" + bytes([int(args[7])])
    else:
        tag += field(b[4], 30)
    tag += bytes([int(genre)])
    assert len(tag) == 128
    open(out, "wb").write(tag)


def frame23(fid, body):
    return fid + struct.pack(">I", len(body)) + b"\0\0" + body


def frame24(fid, body):
    return fid + syncsafe(len(body)) + b"\0\0" + body


def id3v23_apic(args):
    out, picture_bytes, padding = args[0], int(args[1]), int(args[2])
    frames = frame23(b"TIT2", b"\0Picture in front")
    frames += frame23(b"TPE1", b"\0Fixture Artist")
    # Text encoding 0, MIME type, picture type 3 (front cover), empty
    # description, then the "picture": random bytes, false syncs included.
    apic = b"\0" + b"image/jpeg\0" + b"\x03" + b"\0" + stream(picture_bytes, b"apic")
    frames += frame23(b"APIC", apic)
    body = frames + b"\0" * padding
    open(out, "wb").write(b"ID3\x03\x00\x00" + syncsafe(len(body)) + body)


def id3v24_footer(args):
    out = args[0]
    # A tag with a footer has no padding. Text encoding 3 is UTF-8.
    frames = frame24(b"TIT2", b"\x03Footer tag \xc3\xa9t\xc3\xa9")
    frames += frame24(b"TPE1", b"\x03Fixture Artist")
    frames += frame24(b"TRCK", b"\x035/12")
    size = syncsafe(len(frames))
    head = b"ID3\x04\x00\x10" + size
    foot = b"3DI\x04\x00\x10" + size
    open(out, "wb").write(head + frames + foot)


def junk(args):
    out, n, kind = args[0], int(args[1]), args[2]
    if kind == "zeros":
        data = b"\0" * n
    else:
        data = stream(n, b"junk").replace(b"\xff", b"\xfe")
    open(out, "wb").write(data)


def text(args):
    open(args[0], "wb").write(
        b"This is a plain text file that only has the name of an MP3 file.\n"
        b"It holds no MPEG audio frame and no tag.\n"
    )


{"ID3V1": id3v1, "ID3V23_APIC": id3v23_apic, "ID3V24_FOOTER": id3v24_footer,
 "JUNK": junk, "TEXT": text}[sys.argv[1]](sys.argv[2:])
PY
tool() { python3 "$work/tool.py" "$@"; }

tool ID3V1 "$work/v10.tag" "b'Fixture Title'" "b'Fixture Artist'" "b'Fixture Album'" \
  "b'2001'" "b'Comment: exactly thirty bytes!'" 17
tool ID3V1 "$work/v11.tag" "b'Track Seven'" "b'Fixture Artist'" "b'Fixture Album'" \
  "b'1999'" "b'Comment with track number'" 13 7
tool ID3V1 "$work/cp1252.tag" "b'Ace of Spades'" "b'Mot\\xf6rhead'" "b'Ace of Spades'" \
  "b'1980'" "b'Windows-1252 \\xe9\\xe8\\xfc'" 43 1
tool ID3V1 "$work/utf8.tag" "b'Caf\\xc3\\xa9 \\xc3\\x9cber Stra\\xc3\\x9fe'" "b'Fixture Artist'" \
  "b'Fixture Album'" "b'2010'" "b'UTF-8 bytes in the title'" 12 3
tool ID3V23_APIC "$work/v23.tag" 20480 1024
tool ID3V24_FOOTER "$work/v24.tag"
tool JUNK "$work/junk3000.bin" 3000 zeros
tool JUNK "$work/junk30000.bin" 30000 noff

# --- the fixtures ----------------------------------------------------------
cd "$out"
cp "$work/cbr128.mp3" mpeg1_l3_cbr128_44k_js.mp3
cp "$work/cbr128_info.mp3" mpeg1_l3_cbr128_44k_js_info_frame.mp3
cat "$work/cbr128.mp3" "$work/v10.tag" >mpeg1_l3_cbr128_44k_js_id3v1_0.mp3
cat "$work/cbr128.mp3" "$work/v11.tag" >mpeg1_l3_cbr128_44k_js_id3v1_1_track7.mp3
cat "$work/cbr128.mp3" "$work/cp1252.tag" >id3v1_windows1252_artist.mp3
cat "$work/cbr128.mp3" "$work/utf8.tag" >id3v1_utf8_title.mp3
cp "$work/vbr.mp3" mpeg1_l3_vbr_xing.mp3
cp "$work/vbr_mono.mp3" mpeg1_l3_vbr_xing_mono.mp3
cp "$work/mpeg2_cbr64.mp3" mpeg2_l3_cbr64_22k_js.mp3
cp "$work/mpeg2_mono.mp3" mpeg2_l3_cbr32_24k_mono.mp3
cp "$work/mpeg25_mono.mp3" mpeg25_l3_cbr16_8k_mono.mp3
cp "$work/l2_192.mp2" mpeg1_l2_cbr192_48k_stereo.mp2
cp "$work/l2_lsf_64.mp2" mpeg2_l2_cbr64_24k_mono.mp2
cat "$work/v23.tag" "$work/vbr.mp3" >id3v2_20k_then_vbr_xing.mp3
cat "$work/v24.tag" "$work/mpeg2_cbr64.mp3" >id3v2_4_footer_then_cbr.mp3
cat "$work/junk3000.bin" "$work/cbr128.mp3" >junk_3000_before_frame.mp3
cat "$work/junk30000.bin" "$work/cbr32_32k_mono.mp3" >junk_30000_before_frame.mp3
tool TEXT text_named_mp3.mp3
: >empty.mp3
# The first 5 bytes of a stream: a frame header and one byte, nothing more.
head -c 5 "$work/cbr128.mp3" >frame_header_only_5_bytes.mp3
# One byte short of an ID3v1 tag: "TAG" and 124 bytes, too small to be one.
head -c 127 "$work/v10.tag" >tag_start_only_127_bytes.mp3

ls -l "$out"
