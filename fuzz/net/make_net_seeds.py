#!/usr/bin/env python3
"""Writes seed inputs for the network fuzzers into the three folders given."""
import os
import subprocess
import sys
import tempfile

head_dir, meta_dir, ogg_dir = sys.argv[1], sys.argv[2], sys.argv[3]
for folder in (head_dir, meta_dir, ogg_dir):
    os.makedirs(folder, exist_ok=True)

heads = {
    "icy": b"ICY 200 OK\r\nicy-name: R\r\nicy-metaint: 8\r\n\r\n12345678\x01StreamTitle='a';\x00\x00\x00\x00",
    "http": b"HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n\xff\xfb\x90\x00",
    "chunked": b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nicy-metaint: 4\r\n\r\n"
               b"5\r\nabcd\x00\r\n3;x=y\r\nxyz\r\n0\r\n\r\n",
    "redirect": b"HTTP/1.1 302 Found\r\nLocation: http://[::1]:8000/x\r\n\r\n",
}
for name, data in heads.items():
    with open(os.path.join(head_dir, name), "wb") as f:
        f.write(data)

metas = {
    "title": b"\x03abc\x02StreamTitle='Artist - Title';\x00\x00\x00\x00\x00\x00",
    "latin1": b"\x04abcd\x02StreamTitle='\xc4rzte - Sch\xf6n';\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00",
    "past": b"\x02ab\xffStreamTitle='cut",
}
for name, data in metas.items():
    with open(os.path.join(meta_dir, name), "wb") as f:
        f.write(data)

# A short chained Ogg Vorbis stream: two links with their own titles.
with tempfile.TemporaryDirectory() as work:
    wav = os.path.join(work, "t.wav")
    links = []
    try:
        subprocess.run(["sox", "-q", "-n", "-r", "8000", "-c", "1", "-b", "16", wav, "synth", "0.3", "sine", "440"],
                       check=True)
        for n, title in enumerate(("A - One", "Two")):
            ogg = os.path.join(work, "%d.ogg" % n)
            subprocess.run(["oggenc", "-Q", "-q", "-1", "-t", title, "-o", ogg, wav], check=True)
            with open(ogg, "rb") as f:
                links.append(f.read())
    except (OSError, subprocess.CalledProcessError):
        links = []
    if links:
        with open(os.path.join(ogg_dir, "chained"), "wb") as f:
            f.write(links[0] + links[1])
    with open(os.path.join(ogg_dir, "junk"), "wb") as f:
        f.write(b"OggS\x00\x02" + bytes(40))
