#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints the known properties of the MPEG audio fixtures as Markdown tables.

Usage: tests/data/describe_audio_fixtures.py [DIR]   (default: tests/data/audio)

This is how the expected values in tests/data/audio/README.md were derived:
straight from the bytes with the standard MPEG audio header tables, using
only the Python standard library. Rules used:

- ID3v2: the file starts with "ID3", a major version 2..4, a revision byte,
  a flags byte and a 4-byte syncsafe size; the tag takes 10 + size bytes, and
  10 more when the footer flag (0x10, version 4) is set.
- ID3v1: the last 128 bytes start with "TAG" (files of 128 bytes or more).
  Version 1.1 when comment byte 28 is 0 and byte 29 is not; byte 29 is then
  the track number.
- The audio data is what lies between the end of the ID3v2 tag and the start
  of the ID3v1 tag (or the end of the file).
- The first frame is the first offset, from the start of the audio data on,
  holding a valid header (11 sync bits, no reserved version, layer, bit rate
  index 15, free format or sample rate index) whose frame either ends exactly
  at the end of the audio data or is followed by another valid header of the
  same version, layer and sample rate.
- Frame lengths: Layer I 4 * (12 * bitrate // samplerate + padding);
  Layer II and MPEG-1 Layer III 144 * bitrate // samplerate + padding;
  MPEG-2/2.5 Layer III 72 * bitrate // samplerate + padding.
- Frames are walked from the first one while each header is valid and keeps
  version, layer and sample rate; "walked" counts them, an Xing/Info frame
  included.
- Xing/Info: "Xing" or "Info" right after the side information (MPEG-1: 32
  bytes, mono 17; MPEG-2/2.5: 17 bytes, mono 9) of the first frame, then a
  big-endian flags word; flag 1: frame count, flag 2: byte count.
- Frame count: the Xing/Info count when present, else the walked count.
  Duration (ms) = frame count * samples per frame * 1000 // sample rate.
"""

import os
import sys

VERSIONS = {0: "2.5", 2: "2", 3: "1"}
LAYERS = {1: 3, 2: 2, 3: 1}
MODES = ["stereo", "joint", "dual", "mono"]
SAMPLE_RATES = {
    "1": [44100, 48000, 32000],
    "2": [22050, 24000, 16000],
    "2.5": [11025, 12000, 8000],
}
BIT_RATES = {  # kbit/s for indices 1..14
    ("1", 1): [32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448],
    ("1", 2): [32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384],
    ("1", 3): [32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320],
    ("2", 1): [32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256],
    ("2", 2): [8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160],
    ("2", 3): [8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160],
}
GENRES = {12: "Other", 13: "Pop", 17: "Rock", 43: "Punk"}


def parse_header(data, pos):
    """The header at pos as a dict, or None when it is not a valid one."""
    if pos + 4 > len(data):
        return None
    b0, b1, b2, b3 = data[pos : pos + 4]
    if b0 != 0xFF or (b1 & 0xE0) != 0xE0:
        return None
    version = VERSIONS.get((b1 >> 3) & 3)
    layer = LAYERS.get((b1 >> 1) & 3)
    bitrate_index = b2 >> 4
    rate_index = (b2 >> 2) & 3
    if version is None or layer is None or bitrate_index in (0, 15) or rate_index == 3:
        return None
    table = BIT_RATES[("1" if version == "1" else "2", layer)]
    bitrate = table[bitrate_index - 1] * 1000
    rate = SAMPLE_RATES[version][rate_index]
    padding = (b2 >> 1) & 1
    if layer == 1:
        length = 4 * (12 * bitrate // rate + padding)
        samples = 384
    elif layer == 2 or version == "1":
        length = 144 * bitrate // rate + padding
        samples = 1152
    else:
        length = 72 * bitrate // rate + padding
        samples = 576
    return {
        "version": version,
        "layer": layer,
        "crc": (b1 & 1) == 0,
        "bitrate": bitrate,
        "rate": rate,
        "padding": padding,
        "mode": MODES[b3 >> 6],
        "length": length,
        "samples": samples,
    }


def same_stream(a, b):
    return b is not None and all(a[k] == b[k] for k in ("version", "layer", "rate"))


def id3v2(data):
    """(major version, total bytes, footer) of a leading ID3v2 tag, or None."""
    if len(data) < 10 or data[:3] != b"ID3" or not 2 <= data[3] <= 4:
        return None
    if any(b & 0x80 for b in data[6:10]):
        return None
    size = (data[6] << 21) | (data[7] << 14) | (data[8] << 7) | data[9]
    footer = data[3] == 4 and bool(data[5] & 0x10)
    return data[3], 10 + size + (10 if footer else 0), footer


def text(raw):
    raw = raw.split(b"\0", 1)[0].rstrip(b" ")
    out = ""
    for c in raw:
        out += chr(c) if 0x20 <= c < 0x7F else "\\x%02x" % c
    return out


def id3v1(data):
    if len(data) < 128 or data[-128:-125] != b"TAG":
        return None
    t = data[-128:]
    tag = {
        "title": text(t[3:33]),
        "artist": text(t[33:63]),
        "album": text(t[63:93]),
        "year": text(t[93:97]),
        "genre": t[127],
    }
    comment = t[97:127]
    if comment[28] == 0 and comment[29] != 0:
        tag["version"] = "1.1"
        tag["comment"] = text(comment[:28])
        tag["track"] = comment[29]
    else:
        tag["version"] = "1.0"
        tag["comment"] = text(comment)
        tag["track"] = None
    return tag


def xing(data, pos, head):
    if head["layer"] != 3:
        return None
    mono = head["mode"] == "mono"
    side = (17 if mono else 32) if head["version"] == "1" else (9 if mono else 17)
    at = pos + 4 + side
    if data[at : at + 4] not in (b"Xing", b"Info"):
        return None
    flags = int.from_bytes(data[at + 4 : at + 8], "big")
    info = {"name": data[at : at + 4].decode(), "frames": None, "bytes": None}
    field = at + 8
    if flags & 1:
        info["frames"] = int.from_bytes(data[field : field + 4], "big")
        field += 4
    if flags & 2:
        info["bytes"] = int.from_bytes(data[field : field + 4], "big")
    return info


def describe(path):
    data = open(path, "rb").read()
    result = {"size": len(data), "id3v2": id3v2(data), "id3v1": id3v1(data)}
    start = result["id3v2"][1] if result["id3v2"] else 0
    end = len(data) - (128 if result["id3v1"] else 0)
    result["audio_start"], result["audio_end"] = start, end
    first = None
    for pos in range(start, max(start, end - 3)):
        head = parse_header(data, pos)
        if head is None or pos + head["length"] > end:
            continue
        following = pos + head["length"]
        if following == end or same_stream(head, parse_header(data, following)):
            first = pos
            break
    result["first"] = first
    if first is None:
        return result
    head = parse_header(data, first)
    result["head"] = head
    result["xing"] = xing(data, first, head)
    pos, walked, rates = first, 0, []
    while pos < end:
        h = parse_header(data, pos)
        if not same_stream(head, h) or pos + h["length"] > end:
            break
        walked += 1
        rates.append(h["bitrate"])
        pos += h["length"]
    result["walked"], result["walk_end"] = walked, pos
    result["rates"] = rates
    counted = result["xing"]["frames"] if result["xing"] and result["xing"]["frames"] else walked
    result["frames"] = counted
    result["duration_ms"] = counted * head["samples"] * 1000 // head["rate"]
    return result


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "audio")
    names = sorted(n for n in os.listdir(folder) if n.endswith((".mp3", ".mp2")))
    rows = [(n, describe(os.path.join(folder, n))) for n in names]

    print("| file | size | ID3v2 (version, bytes) | first frame | version | layer "
          "| bit rate | sample rate | mode | Xing | frames | walked | duration ms |")
    print("|---|---|---|---|---|---|---|---|---|---|---|---|---|")
    for name, r in rows:
        v2 = "-"
        if r["id3v2"]:
            v2 = "2.%d, %d%s" % (r["id3v2"][0], r["id3v2"][1], ", footer" if r["id3v2"][2] else "")
        if r["first"] is None:
            print("| %s | %d | %s | none | - | - | - | - | - | - | - | - | - |" % (name, r["size"], v2))
            continue
        h = r["head"]
        x = r["xing"]
        xs = "no"
        if x:
            xs = "%s (frames %s, bytes %s)" % (x["name"], x["frames"], x["bytes"])
        print("| %s | %d | %s | %d | %s | %s | %d | %d | %s | %s | %d | %d | %d |" % (
            name, r["size"], v2, r["first"], h["version"], "I" * h["layer"],
            h["bitrate"] // 1000, h["rate"], h["mode"], xs, r["frames"], r["walked"],
            r["duration_ms"]))

    print()
    print("| file | audio bytes | walk ends at | bit rates (kbit/s) | CRC |")
    print("|---|---|---|---|---|")
    for name, r in rows:
        if r["first"] is None:
            continue
        rates = sorted(set(x // 1000 for x in r["rates"]))
        shown = "%d" % rates[0] if len(rates) == 1 else "%d..%d, mean %.1f" % (
            rates[0], rates[-1], sum(r["rates"]) / len(r["rates"]) / 1000)
        print("| %s | %d | %d | %s | %s |" % (
            name, r["audio_end"] - r["first"], r["walk_end"], shown,
            "yes" if r["head"]["crc"] else "no"))

    print()
    print("| file | ID3v1 | title | artist | album | year | comment | track | genre |")
    print("|---|---|---|---|---|---|---|---|---|")
    for name, r in rows:
        t = r["id3v1"]
        if not t:
            continue
        print("| %s | %s | %s | %s | %s | %s | %s | %s | %d (%s) |" % (
            name, t["version"], t["title"], t["artist"], t["album"], t["year"],
            t["comment"], t["track"] if t["track"] is not None else "-", t["genre"],
            GENRES.get(t["genre"], "?")))


if __name__ == "__main__":
    main()
