#!/usr/bin/env python3
"""Seeds for the MIDI fuzzers: MIDI files of types 0 and 1 (running status, SysEx, tempo
changes, RPNs), plain and in RIFF MIDI, a DLS bank (and one with extreme depths) and a
SoundFont 2 bank.
    make_seeds.py SEEDS"""
import math, os, struct, sys

def track(events):
    body = b"".join(bytes([d]) + e for d, e in events) + b"\x00\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body

def smf(fmt, tracks):
    return b"MThd" + struct.pack(">IHHH", 6, fmt, len(tracks), 96) + b"".join(tracks)

def chunk(cid, body):
    return cid + struct.pack("<I", len(body)) + body + b"\0" * (len(body) & 1)

def riff(kind, form, parts):
    return chunk(kind, form + b"".join(parts))

def sine(frames, period):
    return b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * i / period))) for i in range(frames))

TEMPO = [(0, b"\xff\x03\x04Lied"), (0, b"\xff\x51\x03\x07\xa1\x20"), (0, b"\xf0\x05\x7e\x7f\x09\x01\xf7"),
         (48, b"\xff\x51\x03\x03\xd0\x90")]
NOTES = [(0, b"\xc0\x30"), (0, b"\xb0\x65\x00"), (0, b"\x64\x00"), (0, b"\x06\x0c"), (0, b"\x90\x3c\x64"),
         (0, b"\x40\x64"), (24, b"\xe0\x00\x50"), (24, b"\x80\x3c\x00"), (0, b"\x99\x24\x70"), (24, b"\x89\x24\x00")]
SONGS = {"type0.mid": smf(0, [track(TEMPO + NOTES)]), "type1.mid": smf(1, [track(TEMPO), track(NOTES)])}

def dls(extra=b""):
    fmt = struct.pack("<HHIIHH", 1, 1, 22050, 44100, 2, 16)
    wsmp = struct.pack("<IHhiII", 20, 60, 0, 0, 0, 1) + struct.pack("<IIII", 16, 0, 10, 50)
    wave = riff(b"LIST", b"wave", [chunk(b"fmt ", fmt), chunk(b"wsmp", wsmp), chunk(b"data", sine(64, 8))])
    art = struct.pack("<II", 8, 3 + len(extra) // 12) + struct.pack("<HHHHi", 0, 0, 0x206, 0, -8000 << 16) + \
        struct.pack("<HHHHi", 0, 0, 0x209, 0, -4000 << 16) + struct.pack("<HHHHi", 1, 0, 3, 0, 50 << 16) + extra
    rgn = riff(b"LIST", b"rgn ", [chunk(b"rgnh", struct.pack("<6H", 0, 127, 0, 127, 0, 0)),
                                  chunk(b"wlnk", struct.pack("<HHII", 0, 0, 1, 0))])
    ins = riff(b"LIST", b"ins ", [chunk(b"insh", struct.pack("<III", 1, 0, 0)), riff(b"LIST", b"lrgn", [rgn]),
                                  riff(b"LIST", b"lart", [chunk(b"art1", art)])])
    return riff(b"RIFF", b"DLS ", [chunk(b"colh", struct.pack("<I", 1)), riff(b"LIST", b"lins", [ins]),
                                   chunk(b"ptbl", struct.pack("<III", 8, 1, 0)), riff(b"LIST", b"wvpl", [wave])])

def sf2(decay_per_key=0):
    pdta = {b"phdr": struct.pack("<20sHHHIII20sHHHIII", b"Piano", 0, 0, 0, 0, 0, 0, b"EOP", 0, 0, 1, 0, 0, 0),
            b"pbag": struct.pack("<4H", 0, 0, 1, 0), b"pmod": bytes(10), b"pgen": struct.pack("<4H", 41, 0, 0, 0),
            b"inst": struct.pack("<20sH20sH", b"Sine", 0, b"EOI", 1), b"ibag": struct.pack("<4H", 0, 0, 6, 0),
            b"imod": bytes(10), b"igen": struct.pack("<HBBHhHhHhHhHHHH", 43, 0, 127, 34, -7000, 48, 100, 54, 1, 40, decay_per_key,
                                 53, 0, 0, 0),
            b"shdr": struct.pack("<20sIIIIIBbHH", b"Sine", 0, 64, 16, 48, 22050, 60, 0, 0, 1) + struct.pack("<20s26x", b"EOS")}
    return riff(b"RIFF", b"sfbk", [riff(b"LIST", b"INFO", [chunk(b"ifil", struct.pack("<HH", 2, 1))]),
                                   riff(b"LIST", b"sdta", [chunk(b"smpl", sine(64, 16) + bytes(92))]),
                                   riff(b"LIST", b"pdta", [chunk(k, v) for k, v in pdta.items()])])

files = {}
for name, data in SONGS.items():
    files["midi_smf/" + name], files["midi_smf/riff_" + name] = data, riff(b"RIFF", b"RMID", [chunk(b"data", data)])
files["midi_bank/sine.dls"] = dls()
# The LFO on the gain by thousands of decibels, the filter far out of range.
files["midi_bank/extreme.dls"] = dls(struct.pack("<HHHHiHHHHi", 1, 0, 1, 0, 0x7FFFFFFF, 5, 0, 0x500, 0, -0x7FFFFFFF))
files["midi_bank/sine.sf2"] = sf2()
# Decay scaled by key far past any real bank: low keys once decayed for ever.
files["midi_bank/extreme.sf2"] = sf2(32000)
for path, data in files.items():
    os.makedirs(os.path.join(sys.argv[1], os.path.dirname(path)), exist_ok=True)
    with open(os.path.join(sys.argv[1], path), "wb") as f:
        f.write(data)
