#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes ID3v2.3 and ID3v2.4 tags with mutagen (Debian's python3-mutagen),
in every text encoding each version has, in front of a short MPEG stream
without an ID3v1 tag, and checks that `velmora-cli analyse` and `tag show`
give the six texts that mutagen reads back. Exit 77 (skipped) without
mutagen. Usage: id3v2_against_mutagen.py VELMORA-CLI
"""
import os
import subprocess
import sys
import tempfile

try:
    from mutagen.id3 import APIC, COMM, ID3, TALB, TDRC, TIT2, TPE1, TRCK, TYER
except ImportError:
    print("python3-mutagen is not installed: skipped")
    sys.exit(77)

CLI = sys.argv[1]
# MPEG-1 Layer III, 128 kbit/s, 44100 Hz, joint stereo: 417 bytes a frame.
AUDIO = (b"\xff\xfb\x90\x64" + bytes(413)) * 40

# Texts per encoding: Latin-1 only has what ISO-8859-1 holds (and that
# Windows-1252 reads the same way).
TEXTS = {
    "latin1": ("Caf\u00e9 d\u00e9j\u00e0 vu", "\u00c5se & S\u00f8n", "Gr\u00fc\u00dfe",
               "Nice comment \u00bd"),
    "unicode": ("\u03a9mega \u263a \u65e5\u672c\u8a9e and a title longer than thirty",
                "Artist \U0001d11e clef", "Album \u20ac", "Comment \u00ff with\ttab"),
}


def clean(text, characters):
    """The texts as the file record keeps them: bytes below 32 blank,
    trimmed, at most `characters` characters."""
    text = "".join(" " if ord(c) < 32 else c for c in text).strip(" ")
    return text[:characters].rstrip(" ")


def expected_record(tags):
    def first(*ids):
        for frame_id in ids:
            if frame_id in tags:
                return str(tags[frame_id].text[0])
        return ""

    # The comment without a description counts; without one, the first.
    comms = sorted(tags.getall("COMM"), key=lambda comm: comm.desc != "")
    track_text = first("TRCK").split("/")[0].strip()
    track = int(track_text) if track_text.isdigit() else 0
    year = ""
    for c in first("TYER", "TDRC"):
        if not c.isdigit() or len(year) == 4:
            break
        year += c
    return [clean(first("TIT2"), 30), clean(first("TPE1"), 30), clean(first("TALB"), 30),
            str(track) if 1 <= track <= 31 else "", year,
            clean(str(comms[0].text[0]) if comms else "", 30)]


def run(*args):
    done = subprocess.run([CLI, *args], capture_output=True, check=False)
    return done.returncode, done.stdout.decode("utf-8")


def main():
    failures = 0
    cases = 0
    with tempfile.TemporaryDirectory() as work:
        for version in (3, 4):
            encodings = (0, 1) if version == 3 else (0, 1, 2, 3)
            for encoding in encodings:
                for picture in (False, True):
                    texts = TEXTS["latin1" if encoding == 0 else "unicode"]
                    path = os.path.join(work, f"v2{version}_enc{encoding}_{picture}.mp3")
                    with open(path, "wb") as out:
                        out.write(AUDIO)
                    tags = ID3()
                    if picture:
                        tags.add(APIC(encoding=0, mime="image/jpeg", type=3, desc="",
                                      data=b"\xff\xd8\xff" * 100000))
                    tags.add(TIT2(encoding=encoding, text=[texts[0]]))
                    tags.add(TPE1(encoding=encoding, text=[texts[1]]))
                    tags.add(TALB(encoding=encoding, text=[texts[2]]))
                    tags.add(TRCK(encoding=encoding, text=["07/12"]))
                    if version == 3:
                        tags.add(TYER(encoding=encoding, text=["1999"]))
                    else:
                        tags.add(TDRC(encoding=encoding, text=["2004-05-06"]))
                    tags.add(COMM(encoding=encoding, lang="deu", desc="Beschreibung",
                                  text=[texts[3]]))
                    tags.add(COMM(encoding=encoding, lang="eng", desc="", text=["second"]))
                    tags.save(path, v2_version=version, v1=0)

                    expected = expected_record(ID3(path))
                    cases += 1
                    code, out = run("analyse", path)
                    fields = out.rstrip("\n").split("\t")
                    if code != 0 or fields[1] != "mpeg" or fields[8:] != expected:
                        failures += 1
                        print(f"FAIL analyse {os.path.basename(path)}:\n  got      {fields[8:]}"
                              f"\n  mutagen  {expected}")
                    shown = expected[:3] + ["7", expected[4], expected[5][:29].rstrip(" "),
                                            f"ID3v2.{version}"]
                    code, out = run("tag", "show", path)
                    fields = out.rstrip("\n").split("\t")
                    if code != 0 or fields[1:] != shown:
                        failures += 1
                        print(f"FAIL tag show {os.path.basename(path)}:\n  got      {fields[1:]}"
                              f"\n  expected {shown}")
                    code, out = run("analyse", "--no-id3v2", path)
                    if code != 0 or out.rstrip("\n").split("\t")[8:] != [""] * 6:
                        failures += 1
                        print(f"FAIL analyse --no-id3v2 {os.path.basename(path)}: {out!r}")
        # A scan stores the texts, and the tag search finds a file by its
        # ID3v2 title; with --no-id3v2 neither.
        expected_title = clean(TEXTS["latin1"][0], 30)
        for switch, want in (([], 1), (["--no-id3v2"], 0)):
            collection = os.path.join(work, f"scan{len(switch)}.col")
            code, _ = run("scan", work, "-c", collection, "--label", "T", "--serial", "1", *switch)
            _, found = run("search", collection, "--tag", "title=déjà")
            hits = [line for line in found.splitlines() if line.endswith("\t" + expected_title)]
            # One file per version, picture and Latin-1 encoding.
            if code != 0 or len(hits) != 4 * want:
                failures += 1
                print(f"FAIL scan {switch}: exit {code}, search found {found!r}")
    print(f"{cases} files, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
