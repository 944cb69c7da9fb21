#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes ID3v2.3 and ID3v2.4 tags full of frames with mutagen (Debian's
python3-mutagen), changes them with `velmora-cli tag write` and checks with
mutagen that the six fields came in, in the encodings the program promises,
while the version, every other frame and the MPEG data stayed as they were;
that `tag remove` takes the tags it is asked to; that a file whose tag would
lose frames, a read-only file and a file that is no audio are left alone;
and that a write killed while it copies a large file leaves either the old
file or the new one. Exit 77 (skipped) without mutagen.
Usage: id3v2_write_against_mutagen.py VELMORA-CLI
"""
import hashlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

try:
    from mutagen.id3 import (APIC, COMM, ID3, PRIV, RVAD, TALB, TDRC, TIT2, TPE1, TRCK, TXXX,
                             TYER, USLT, ID3NoHeaderError)
except ImportError:
    print("python3-mutagen is not installed: skipped")
    sys.exit(77)

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from id3v2_against_mutagen import expected_record  # noqa: E402  (the texts our reader keeps)

CLI = sys.argv[1]
# One second of lame's MPEG-1 Layer III, 128 kbit/s, without tags.
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)),
                       "../data/audio/mpeg1_l3_cbr128_44k_js.mp3"), "rb") as source:
    AUDIO = source.read()
# Longer than an ID3v1 field and beyond ISO-8859-1 (title, comment), or
# within it but not ASCII (artist, album).
NEW = {"title": "\u03a9mega \u2014 ein sehr langer Titel \u00fcber drei\u00dfig Zeichen, "
                 "der das Tag ohne Polster wachsen l\u00e4sst \u263a",
       "artist": "\u00c5se & S\u00f8n Caf\u00e9", "album": "Gr\u00fc\u00dfe aus K\u00f6ln",
       "track": "5", "year": "2021", "comment": "Kommentar mit \u20ac-Zeichen"}
WRITE = ["tag", "write"] + [word for key, value in NEW.items() for word in (f"--{key}", value)]
LOST = "The ID3v2 tag holds frames that would be lost; the file was left as it was: "
FAILURES = []


def fail(text):
    FAILURES.append(text)
    print("FAIL " + text)


def run(*args, user=None):
    def drop():  # root writes anything: the refusals are checked as nobody
        os.setgroups([])
        os.setgid(user)
        os.setuid(user)
    done = subprocess.run([CLI, *args], capture_output=True, check=False,
                          preexec_fn=drop if user is not None else None)
    return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8")


def read(path):
    with open(path, "rb") as file:
        return file.read()


def write(path, data):
    with open(path, "wb") as file:
        file.write(data)


def tag_size(data):
    """The size of the ID3v2 tag at the start of `data` with its footer."""
    size = 10 + sum(data[6 + i] << (21 - 7 * i) for i in range(4))
    return size + (10 if data[3] == 4 and data[5] & 0x10 else 0)


def raw_frames(data):
    """Frame name -> list of frame bodies, as the bytes of the tag hold them."""
    frames, pos, end = {}, 10, tag_size(data)
    while pos + 10 <= end and data[pos] != 0:
        size = int.from_bytes(data[pos + 4:pos + 8], "big") if data[3] == 3 else \
            sum(data[pos + 4 + i] << (21 - 7 * i) for i in range(4))
        frames.setdefault(data[pos:pos + 4].decode("latin-1"), []).append(
            data[pos + 10:pos + 10 + size])
        pos += 10 + size
    return frames


def tagged(path, version, padded, plain_comment, extra=()):
    write(path, AUDIO)
    tags = ID3()
    for frame in (TIT2(encoding=1, text=["Old title"]), TPE1(encoding=1, text=["Old artist"]),
                  TALB(encoding=1, text=["Old album"]), TRCK(encoding=1, text=["3/12"]),
                  TYER(encoding=1, text=["1999"]) if version == 3 else
                  TDRC(encoding=1, text=["2004-05-06"]),
                  COMM(encoding=0, lang="eng", desc="iTunNORM", text=[" 00000A1B 00000C2D"]),
                  APIC(encoding=0, mime="image/jpeg", type=3, desc="Cover",
                       data=bytes(range(256)) * 40),
                  TXXX(encoding=1, desc="replaygain_track_gain", text=["-6.50 dB"]),
                  USLT(encoding=1, lang="eng", desc="", text="La la\nla \u00e9t\u00e9"),
                  PRIV(owner="WM/MediaClassPrimaryID", data=b"\x00\x01\xbc\x7d\x60\xd1"),
                  *extra):
        tags.add(frame)
    if plain_comment:
        tags.add(COMM(encoding=1, lang="deu", desc="", text=["Alter Kommentar"]))
    tags.save(path, v2_version=version, v1=0, padding=None if padded else lambda info: 0)
    return read(path)


def mutagen_tags(path):
    return ID3(path, translate=False, load_v1=False)


def other_frames(tags):
    changed = ("TIT2", "TPE1", "TALB", "TRCK", "TYER", "TDRC")
    return sorted(repr(frame) for frame in tags.values() if frame.FrameID not in changed
                  and not (frame.FrameID == "COMM" and not frame.desc))


def check_written(name, path, old, version, padded, plain_comment, old_inode):
    data = read(path)
    tags = mutagen_tags(path)
    year_id = "TYER" if version == 3 else "TDRC"
    comments = [frame for frame in tags.getall("COMM") if not frame.desc]
    got = {key: [str(text) for frame in tags.getall(frame_id) for text in frame.text]
           for key, frame_id in (("title", "TIT2"), ("artist", "TPE1"), ("album", "TALB"),
                                 ("track", "TRCK"), ("year", year_id))}
    got["comment"] = [str(text) for frame in comments for text in frame.text]
    want = {key: [value] for key, value in NEW.items()}
    want["track"] = ["5/12"]
    if got != want:
        fail(f"{name}: mutagen reads {got}\n  expected {want}")
    if tags.version != (2, version, 0) or ("TDRC" if version == 3 else "TYER") in tags:
        fail(f"{name}: version {tags.version}, frames {sorted(tags.keys())}")
    if comments and comments[0].lang != ("deu" if plain_comment else "eng"):
        fail(f"{name}: comment language {comments[0].lang!r}")
    now, was = other_frames(tags), other_frames(mutagen_tags(old))
    if now != was:
        fail(f"{name}: other frames lost {[frame[:80] for frame in was if frame not in now]}, "
             f"added {[frame[:80] for frame in now if frame not in was]}")
    # ISO-8859-1 where the text allows, else UTF-8 in 2.4 and UTF-16 with
    # a byte order mark in 2.3, as the bytes of the tag say.
    raw = raw_frames(data)
    wide = 3 if version == 4 else 1
    for frame_id, text in (("TIT2", "title"), ("TPE1", "artist"), ("TALB", "album"),
                           ("TRCK", "track"), (year_id, "year"), ("COMM", "comment")):
        bodies = [body for body in raw.get(frame_id, []) if frame_id != "COMM"
                  or body[4:].startswith((b"\x00", b"\xff\xfe\x00\x00", b"\xfe\xff\x00\x00"))]
        encoding = wide if any(ord(c) > 255 for c in NEW[text]) else 0
        # The text after the comment's language and (empty) description.
        body = bodies[0] if len(bodies) == 1 else b"\xff"
        value = body[4:].split(b"\x00\x00", 1)[-1] if frame_id == "COMM" else body[1:]
        if len(bodies) != 1 or body[0] != encoding or (
                encoding == 1 and value[:2] not in (b"\xff\xfe", b"\xfe\xff")):
            fail(f"{name}: {frame_id} bodies {[body[:8] for body in bodies]}, "
                 f"expected encoding {encoding}")
    if data[tag_size(data):-128] != AUDIO or data[-128:-125] != b"TAG":
        fail(f"{name}: the MPEG data or the ID3v1 tag after the ID3v2 tag differ")
    # A padded tag takes the new frames in place; one without padding grows
    # and is written beside the file, which it then replaces.
    sizes = (tag_size(read(old)), tag_size(data))
    if (os.stat(path).st_ino == old_inode) != padded or (sizes[0] == sizes[1]) != padded:
        fail(f"{name}: inode kept {os.stat(path).st_ino == old_inode}, tag {sizes} bytes")
    code, out, _ = run("tag", "show", path)
    if code != 0 or out.rstrip("\n").split("\t")[-1] != f"ID3v1 ID3v2.{version}":
        fail(f"{name}: tag show {code} {out!r}")
    return data


def check_removals(name, path, data, work):
    """tag remove with each option on a copy of `data` (ID3v2, audio, ID3v1)."""
    head = tag_size(data)
    for switch, want in (([], data[:-128]), (["--id3v2"], data[head:]), (["--all"], AUDIO)):
        copy = os.path.join(work, "removed.mp3")
        write(copy, data)
        code, _, err = run("tag", "remove", *switch, copy)
        if code != 0 or read(copy) != want:
            fail(f"{name}: tag remove {switch}: exit {code} {err!r}, not the {len(want)} "
                 f"bytes expected")
        elif not switch:
            # Our own reader reads what TagLib wrote, as mutagen does.
            expected = expected_record(ID3(copy))
            code, out, _ = run("analyse", copy)
            if code != 0 or out.rstrip("\n").split("\t")[8:] != expected:
                fail(f"{name}: analyse {out.rstrip().split(chr(9))[8:]}, mutagen {expected}")
        else:
            try:
                ID3(copy, load_v1=False)
                fail(f"{name}: mutagen still reads an ID3v2 tag after tag remove {switch}")
            except ID3NoHeaderError:
                pass


def sha1(path):
    digest = hashlib.sha1()
    with open(path, "rb") as file:
        while chunk := file.read(1 << 23):
            digest.update(chunk)
    return digest.hexdigest()


def check_killed_writes(work):
    """A write that must copy 200 MB, killed at points spread over its run:
    the file is the old one or the new one, never anything else."""
    folder = os.path.join(work, "big")
    os.mkdir(folder)
    old, path, ref = (os.path.join(folder, name) for name in ("old.bin", "big.mp3", "ref.mp3"))
    with open(old, "wb") as file:
        for _ in range(12000):
            file.write(AUDIO)
    tags = ID3()
    tags.add(TIT2(encoding=0, text=["Old"]))
    tags.save(old, v2_version=3, v1=0, padding=lambda info: 0)
    shutil.copyfile(old, ref)
    args = [CLI, "tag", "write", "--title", NEW["title"]]
    start = time.monotonic()
    subprocess.run(args + [ref], check=True)
    duration = time.monotonic() - start
    old_hash, new_hash = sha1(old), sha1(ref)
    if str(mutagen_tags(ref)["TIT2"]) != NEW["title"]:
        fail("large file: the write that ran to its end wrote no title")
    sizes = (os.path.getsize(old), os.path.getsize(ref))
    with open(ref, "rb") as file:
        new_head = file.read(4096)
    os.remove(ref)
    results, leftovers = [], 0
    shutil.copyfile(old, path)
    # Killed at points spread over the copy, and once as soon as the new
    # file has taken the old one's name.
    for share in (0.05, 0.3, 0.6, 0.85, 0.95, 1.1, None):
        inode = os.stat(path).st_ino
        writer = subprocess.Popen(args + [path])
        if share is None:
            while writer.poll() is None and os.stat(path).st_ino == inode:
                pass
        else:
            time.sleep(duration * share)
        writer.send_signal(signal.SIGKILL)
        writer.wait()
        leftovers = max(leftovers, len(hidden_copies(folder)))
        now = sha1(path)
        results.append("old" if now == old_hash else "new" if now == new_hash else "other")
        if results[-1] == "other":
            with open(path, "rb") as file:
                head = file.read(4096)
            when = "at the rename" if share is None else f"after {duration * share:.3f} s"
            fail(f"large file killed {when}: neither the old nor the new file "
                 f"but {os.path.getsize(path)} bytes (old {sizes[0]}, new {sizes[1]}), "
                 f"beginning as the new one: {head == new_head}")
        if results[-1] != "old":
            shutil.copyfile(old, path)
    # The next write that runs to its end takes the killed ones' copies away.
    subprocess.run(args + [path], check=True)
    if sha1(path) != new_hash or hidden_copies(folder):
        fail(f"large file: the write after the killed ones left {hidden_copies(folder)}")
    print(f"large file: a write takes {duration:.2f} s; killed writes left {results}, "
          f"at most {leftovers} hidden copies at once")


def hidden_copies(folder):
    return [name for name in os.listdir(folder) if name.startswith(".big.mp3.velmora-")]


def check_refusals(work):
    # A frame TagLib does not write in 2.3.
    path = os.path.join(work, "rvad.mp3")
    old = tagged(path, 3, True, True, extra=(RVAD(adjustments=[256, 256, 0, 0]),))
    code, _, err = run(*WRITE, path)
    if code != 1 or err != LOST + path + "\n" or read(path) != old:
        fail(f"RVAD: exit {code}, {err!r}, unchanged {read(path) == old}")
    # No audio at all.
    path = os.path.join(work, "notes.mp3")
    old = b"Just some notes, no audio here.\n" * 50
    write(path, old)
    code, _, err = run(*WRITE, path)
    if code != 1 or err != "The file isn't valid: " + path + "\n" or read(path) != old:
        fail(f"no audio: exit {code}, {err!r}, unchanged {read(path) == old}")
    # Read-only files: with and without room in the tag, and without one.
    folder = os.path.join(work, "readonly")
    os.mkdir(folder)
    user = None
    if os.geteuid() == 0:
        user = 65534  # nobody, who owns the folder but may not write the files
        os.chmod(work, 0o755)
        os.chown(folder, user, user)
        try:
            run("--help", user=user)
        except PermissionError:
            print("nobody may not run the program here: read-only files skipped")
            return
    for name, version, padded in (("padded", 4, True), ("grows", 3, False), ("plain", 0, 0)):
        path = os.path.join(folder, name + ".mp3")
        old = tagged(path, version, padded, True) if version else AUDIO
        write(path, old)
        if user is not None:
            os.chown(path, user, user)
        os.chmod(path, 0o444)
        for args, text in ((WRITE, "write"), (["tag", "remove", "--all"], "remove")):
            code, _, err = run(*args, path, user=user)
            if code != 1 or err != f"Can not {text} tag in the file: {path}\n" or read(path) != old:
                fail(f"read-only {name}: tag {text} exit {code}, {err!r}, "
                     f"unchanged {read(path) == old}")
        os.chmod(path, 0o644)  # the same user may write it once it may be written
        if run(*WRITE, path, user=user)[0] != 0 or read(path) == old:
            fail(f"read-only {name}: not written once writable")
    if sorted(os.listdir(folder)) != ["grows.mp3", "padded.mp3", "plain.mp3"]:
        fail(f"read-only: files left behind {os.listdir(folder)}")


def main():
    started = time.monotonic()
    with tempfile.TemporaryDirectory() as work:
        for version, padded, plain_comment in ((3, True, True), (3, False, False),
                                               (4, True, False), (4, False, True)):
            name = f"2.{version} {'padded' if padded else 'unpadded'}"
            path = os.path.join(work, f"v2{version}_{padded}.mp3")
            old = tagged(path, version, padded, plain_comment)
            before = os.path.join(work, "before.mp3")
            write(before, old)
            inode = os.stat(path).st_ino
            code, _, err = run(*WRITE, path)
            if code != 0 or err:
                fail(f"{name}: tag write exit {code}, {err!r}")
                continue
            data = check_written(name, path, before, version, padded, plain_comment, inode)
            if any(entry.startswith(f".v2{version}") for entry in os.listdir(work)):
                fail(f"{name}: a hidden temporary file is left")
            check_removals(name, path, data, work)
        # A file without an ID3v2 tag gets the ID3v1 tag and nothing else.
        path = os.path.join(work, "plain.mp3")
        write(path, AUDIO)
        code, _, _ = run(*WRITE, path)
        data = read(path)
        _, out, _ = run("tag", "show", path)
        if code or data[:-128] != AUDIO or data[-128:-125] != b"TAG" or \
                out.rstrip("\n").split("\t")[-1] != "ID3v1":
            fail(f"no ID3v2: exit {code}, {len(data)} bytes, tag show {out!r}")
        check_refusals(work)
        check_killed_writes(work)
    print(f"{len(FAILURES)} failures in {time.monotonic() - started:.1f} s")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
