#!/usr/bin/env python3
"""Seeds for the MIDI fuzzers: small MIDI files (types 0 and 1, running status, SysEx resets,
tempo changes, controllers and RPNs), a RIFF MIDI body, a DLS and a SoundFont 2 bank.
    make_seeds.py SEEDS"""
import math
import os
import struct
import sys


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7F))
        n >>= 7
    return bytes(out)


def track(events):
    body = b"".join(vlq(d) + e for d, e in events) + b"\x00\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body


def smf(fmt, tracks, division=96):
    return b"MThd" + struct.pack(">IHHH", 6, fmt, len(tracks), division) + b"".join(tracks)


def chunk(cid, body):
    return cid + struct.pack("<I", len(body)) + body + (b"\0" if len(body) & 1 else b"")


def riff_list(kind, form, parts):
    return chunk(kind, form + b"".join(parts))


def sine(frames, period):
    return b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * i / period))) for i in range(frames))


def songs():
    tempo = [(0, b"\xff\x03\x04Lied"), (0, b"\xff\x02\x03(c)"), (0, b"\xff\x51\x03\x07\xa1\x20"),
             (0, b"\xf0\x05\x7e\x7f\x09\x01\xf7"), (48, b"\xff\x51\x03\x03\xd0\x90")]
    notes = [(0, b"\xc0\x30"), (0, b"\xb0\x65\x00"), (0, b"\x64\x00"), (0, b"\x06\x0c"), (0, b"\xb0\x40\x7f"),
             (0, b"\x90\x3c\x64"), (0, b"\x40\x64"), (24, b"\xe0\x00\x50"), (24, b"\x80\x3c\x00"),
             (0, b"\x40\x00"), (0, b"\xb0\x40\x00"), (0, b"\x99\x24\x70"), (24, b"\x2a\x50"), (24, b"\x89\x24\x00")]
    gs = [(0, b"\xf0\x0a\x41\x10\x42\x12\x40\x00\x7f\x00\x41\xf7"), (0, b"\xb0\x79\x00"), (0, b"\xb0\x7b\x00")]
    return {"type0.mid": smf(0, [track(tempo + notes)]),
            "type1.mid": smf(1, [track(tempo), track(notes), track(gs + notes)]),
            "type2.mid": smf(2, [track(notes), track(notes)])}


def dls(extra_blocks=b"", extra_count=0):
    fmt = struct.pack("<HHIIHH", 1, 1, 22050, 44100, 2, 16)
    wsmp = struct.pack("<IHhiII", 20, 60, 0, 0, 0, 1) + struct.pack("<IIII", 16, 0, 10, 50)
    wave = riff_list(b"LIST", b"wave", [chunk(b"fmt ", fmt), chunk(b"wsmp", wsmp), chunk(b"data", sine(64, 8))])
    art = struct.pack("<II", 8, 3 + extra_count) + struct.pack("<HHHHi", 0, 0, 0x206, 0, -8000 << 16) + \
        struct.pack("<HHHHi", 0, 0, 0x209, 0, -4000 << 16) + struct.pack("<HHHHi", 1, 0, 3, 0, 50 << 16) + extra_blocks
    rgn = riff_list(b"LIST", b"rgn ", [chunk(b"rgnh", struct.pack("<HHHHHH", 0, 127, 0, 127, 0, 0)),
                                        chunk(b"wlnk", struct.pack("<HHII", 0, 0, 1, 0))])
    ins = riff_list(b"LIST", b"ins ", [chunk(b"insh", struct.pack("<III", 1, 0, 0)),
                                       riff_list(b"LIST", b"lrgn", [rgn]),
                                       riff_list(b"LIST", b"lart", [chunk(b"art1", art)])])
    return riff_list(b"RIFF", b"DLS ", [chunk(b"colh", struct.pack("<I", 1)), riff_list(b"LIST", b"lins", [ins]),
                                        chunk(b"ptbl", struct.pack("<III", 8, 1, 0)),
                                        riff_list(b"LIST", b"wvpl", [wave])])


def sf2():
    frames = 64
    smpl = sine(frames, 16) + b"\0" * 92
    phdr = struct.pack("<20sHHHIII", b"Piano", 0, 0, 0, 0, 0, 0) + struct.pack("<20sHHHIII", b"EOP", 0, 0, 1, 0, 0, 0)
    pbag = struct.pack("<HH", 0, 0) + struct.pack("<HH", 1, 0)
    pgen = struct.pack("<HH", 41, 0) + struct.pack("<HH", 0, 0)
    inst = struct.pack("<20sH", b"Sine", 0) + struct.pack("<20sH", b"EOI", 1)
    ibag = struct.pack("<HH", 0, 0) + struct.pack("<HH", 5, 0)
    igen = struct.pack("<HBB", 43, 0, 127) + struct.pack("<Hh", 34, -7000) + struct.pack("<Hh", 48, 100) + \
        struct.pack("<Hh", 54, 1) + struct.pack("<HH", 53, 0) + struct.pack("<HH", 0, 0)
    shdr = struct.pack("<20sIIIIIBbHH", b"Sine", 0, frames, 16, 48, 22050, 60, 0, 0, 1) + \
        struct.pack("<20sIIIIIBbHH", b"EOS", 0, 0, 0, 0, 0, 0, 0, 0, 0)
    mod = b"\0" * 10
    pdta = [chunk(b"phdr", phdr), chunk(b"pbag", pbag), chunk(b"pmod", mod), chunk(b"pgen", pgen),
            chunk(b"inst", inst), chunk(b"ibag", ibag), chunk(b"imod", mod), chunk(b"igen", igen),
            chunk(b"shdr", shdr)]
    return riff_list(b"RIFF", b"sfbk", [riff_list(b"LIST", b"INFO", [chunk(b"ifil", struct.pack("<HH", 2, 1))]),
                                        riff_list(b"LIST", b"sdta", [chunk(b"smpl", smpl)]),
                                        riff_list(b"LIST", b"pdta", pdta)])


def main():
    out = sys.argv[1]
    files = {"midi_smf/" + name: data for name, data in songs().items()}
    for name, data in songs().items():
        files["midi_rmid/" + name] = chunk(b"data", data)  # the body after "RMID"
    files["midi_dls/sine.dls"] = dls()
    # Extreme depths: the LFO on the gain by thousands of decibels, the filter far out of range.
    files["midi_dls/extreme.dls"] = dls(struct.pack("<HHHHi", 1, 0, 1, 0, 0x7FFFFFFF) +
                                        struct.pack("<HHHHi", 5, 0, 0x500, 0, -0x7FFFFFFF), 2)
    files["midi_sf2/sine.sf2"] = sf2()
    for path, data in files.items():
        os.makedirs(os.path.join(out, os.path.dirname(path)), exist_ok=True)
        with open(os.path.join(out, path), "wb") as f:
            f.write(data)


main()
