"""A batch stamped by pelmix-cli with counted-up tracks reads back with those tracks in
TagLib and mutagen; an older trailer whose comment fills 30 bytes keeps all of it in
their eyes when only its genre is stamped.

usage: check_interop.py PELMIX_CLI TAGLIB_ID3V1"""
import os
import subprocess
import sys
import tempfile

from mutagen.id3 import ParseID3v1

cli, taglib = sys.argv[1], sys.argv[2]
AUDIO = bytes(1 + i % 60 for i in range(3000))  # holds no "TAG" and no "ID3"
COMMENT30 = b"thirty characters of comment!!"


def trailer(comment, track_or_last, genre):
    return (b"TAG" + b"Old".ljust(30, b"\0") + bytes(30) + bytes(30) + b"1999" + comment.ljust(29, b"\0")[:29]
            + bytes([track_or_last, genre]))


def taglib_read(paths):
    out = subprocess.run([taglib, *paths], check=True, capture_output=True, text=True).stdout
    return [line.split("|", 1) for line in out.splitlines()]


def mutagen_read(path):
    frames = ParseID3v1(open(path, "rb").read()[-128:])
    track = frames["TRCK"].text[0] if "TRCK" in frames else "0"
    comment = frames["COMM"].text[0] if "COMM" in frames else ""
    return track, comment


failures = []
with tempfile.TemporaryDirectory() as folder:
    batch = [os.path.join(folder, name) for name in ("01 a.mp3", "02 b.mp3", "03 c.mp3")]
    contents = [AUDIO, AUDIO + trailer(b"short", 9, 17), AUDIO + trailer(COMMENT30[:29], COMMENT30[29], 17)]
    for path, content in zip(batch, contents):
        open(path, "wb").write(content)
    subprocess.run([cli, "stamp", "-q", "--track", "1", "--increment", "track", *batch], check=True)
    for number, (path, (track, _)) in enumerate(zip(batch, taglib_read(batch)), start=1):
        if track != str(number):
            failures.append(f"TagLib reads track {track} in {os.path.basename(path)}, not {number}")
        if mutagen_read(path)[0] != str(number):
            failures.append(f"mutagen reads track {mutagen_read(path)[0]} in {os.path.basename(path)}, not {number}")

    # mutagen takes byte 126 as a track whatever byte 125 holds; it must at least read the
    # file as it did before.
    whole = os.path.join(folder, "v10.mp3")
    open(whole, "wb").write(AUDIO + trailer(COMMENT30[:29], COMMENT30[29], 17))
    before = mutagen_read(whole)
    subprocess.run([cli, "stamp", "-q", "--genre", "0", whole], check=True)
    [[track, comment]] = taglib_read([whole])
    if (track, comment) != ("0", COMMENT30.decode()):
        failures.append(f"TagLib reads track {track}, comment {comment!r} after a genre stamp")
    if mutagen_read(whole) != before:
        failures.append(f"mutagen reads {mutagen_read(whole)!r} after a genre stamp, {before!r} before")

for failure in failures:
    print(failure, file=sys.stderr)
sys.exit(1 if failures else 0)
