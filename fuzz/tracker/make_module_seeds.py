#!/usr/bin/env python3
"""Small modules of each format as fuzz seeds: a few notes and effects, looped samples,
every sample layout each format has (IT's compressed samples of both kinds included).
  make_module_seeds.py OUT"""
import math
import os
import struct
import sys

out = sys.argv[1]


def put(kind, name, data):
    os.makedirs(os.path.join(out, kind), exist_ok=True)
    with open(os.path.join(out, kind, name), "wb") as f:
        f.write(bytes(data))


def text(s, n):
    return s.encode()[:n].ljust(n, b"\0")


def pad16(b):
    return b + b"\0" * (-len(b) % 16)


SINE8 = bytes((int(100 * math.sin(i * 2 * math.pi / 32)) & 0xFF) for i in range(64))
SINE16 = b"".join(struct.pack("<h", int(20000 * math.sin(i * 2 * math.pi / 32))) for i in range(64))


def mod(channels, tag, samples=31, orders=(0, 1)):
    head = text("seed song", 20)
    for i in range(samples):
        if i < 2:
            finetune = 0 if samples == 15 else i
            head += text("sample %d" % i, 22) + struct.pack(">HBBHH", 32, finetune, 64, 0, 16 if i == 0 else 1)
        else:
            head += text("", 22) + struct.pack(">HBBHH", 0, 0, 0, 0, 1)
    head += bytes([len(orders), 127]) + bytes(list(orders) + [0] * (128 - len(orders))) + tag
    periods = [428, 381, 339, 320]
    effects = [(0xC, 0x20), (0xA, 0x04), (0x4, 0x46), (0x3, 0x10), (0xE, 0x91), (0xD, 0x10), (0xB, 0x00), (0xF, 0x05)]
    pats = b""
    stored = max(orders) + 1
    if tag == b"FLT8":
        stored += stored % 2
    width = 4 if tag == b"FLT8" else channels
    for p in range(stored):
        for row in range(64):
            for c in range(width):
                period = periods[(row + c) % 4] if row % 4 == 0 else 0
                smp = 1 + (c & 1) if period else 0
                fx, param = effects[(row // 4 + p) % len(effects)] if c == 0 else (0, 0)
                pats += bytes([(smp & 0xF0) | period >> 8, period & 0xFF, (smp & 0x0F) << 4 | fx, param])
    return head + pats + SINE8 + SINE8


def s3m():
    ordnum, insnum, patnum = 4, 2, 1
    base = 0x60 + ordnum + insnum * 2 + patnum * 2 + 32
    ins_at = (base + 15) // 16 * 16
    pat_at = ins_at + 0x50 * insnum
    pat = b""
    for row in range(64):
        if row % 8 == 0:
            pat += bytes([0x20 | 0x40 | 0x80, 0x40 + row // 8 % 12, 1, 48, 4, 0x21])  # C-4.. D21
            pat += bytes([0x21, 0x50, 2])
        if row == 16:
            pat += bytes([0x81, 19, 0x31])  # S31
        if row == 63:
            pat += bytes([0x80, 3, 0x00])  # C00
        pat += b"\0"
    pat = struct.pack("<H", len(pat) + 2) + pat
    smp_at = (pat_at + len(pat) + 15) // 16 * 16
    d1_at, d2_at = smp_at, smp_at + 64
    head = text("seed s3m", 28) + bytes([0x1A, 16, 0, 0])
    head += struct.pack("<HHHHHH", ordnum, insnum, patnum, 0, 0x1320, 2) + b"SCRM"
    head += bytes([64, 6, 125, 0xB0, 0, 252]) + b"\0" * 10
    head += bytes([0, 8, 1] + [255] * 29)
    head += bytes([0, 0, 254, 255])
    head += struct.pack("<HH", ins_at // 16, (ins_at + 0x50) // 16) + struct.pack("<H", pat_at // 16)
    head += bytes([0x20 | 3, 0x20 | 12, 0x20 | 7] + [0] * 29)
    head = head.ljust(ins_at, b"\0")
    for i, (at, flags, n) in enumerate([(d1_at, 1, 64), (d2_at, 1 | 4, 64)]):
        h = bytes([1]) + text("smp%d.raw" % i, 12) + bytes([at >> 20]) + struct.pack("<H", (at >> 4) & 0xFFFF)
        h += struct.pack("<III", n, 0, n) + bytes([60, 0, 0, flags]) + struct.pack("<I", 8363 + i * 1000)
        h += b"\0" * 12 + text("sample %d" % i, 28) + b"SCRS"
        head += h
    head += pat
    head = head.ljust(smp_at, b"\0")
    unsigned8 = bytes((b + 128) & 0xFF for b in SINE8)
    unsigned16 = b"".join(struct.pack("<H", (struct.unpack("<h", SINE16[i:i + 2])[0] + 32768) & 0xFFFF)
                          for i in range(0, len(SINE16), 2))
    return head + unsigned8 + unsigned16


def delta8(data):
    prev, outb = 0, bytearray()
    for b in data:
        v = b if b < 128 else b - 256
        outb.append((v - prev) & 0xFF)
        prev = v
    return bytes(outb)


def delta16(data):
    prev, outb = 0, b""
    for i in range(0, len(data), 2):
        v = struct.unpack("<h", data[i:i + 2])[0]
        outb += struct.pack("<H", (v - prev) & 0xFFFF)
        prev = v
    return outb


def xm():
    channels, rows = 4, 32
    pat = b""
    for row in range(rows):
        for c in range(channels):
            if row % 4 == 0 and c < 2:
                pat += bytes([49 + row // 4 + c * 3, 1, 0x10 + 40, 0x0A if c else 0x04, 0x21 if c else 0x46])
            elif row == 8 and c == 2:
                pat += bytes([0x80 | 0x01 | 0x04, 97, 0xC8])  # key off, pan
            elif row == 12 and c == 3:
                pat += bytes([0x80 | 0x08 | 0x10, 0x21, 0x12])  # X12
            else:
                pat += b"\x80"
    head = b"Extended Module: " + text("seed xm", 20) + b"\x1a" + text("seed writer", 20) + struct.pack("<H", 0x104)
    head += struct.pack("<IHHHHHHHH", 276, 2, 0, channels, 1, 1, 1, 6, 125) + bytes([0, 0] + [0] * 254)
    head += struct.pack("<IBHH", 9, 0, rows, len(pat)) + pat
    ins = text("instrument 1", 22) + bytes([0]) + struct.pack("<HI", 2, 40)
    ins += bytes([0] * 48 + [1] * 48)
    env = [(0, 64), (10, 40), (30, 20), (60, 0)]
    ins += b"".join(struct.pack("<HH", x, y) for x, y in env) + b"\0" * 32
    ins += b"".join(struct.pack("<HH", x, 32 + (y - 32) // 2) for x, y in env) + b"\0" * 32
    ins += bytes([4, 4, 1, 1, 2, 2, 0, 3, 1 | 2 | 4, 1, 0, 8, 4, 10]) + struct.pack("<H", 512) + b"\0" * 22
    ins = struct.pack("<I", len(ins) + 4) + ins
    s8, s16 = delta8(SINE8), delta16(SINE16)
    ins += struct.pack("<IIIBbBBbB", len(s8), 0, 64, 64, 0, 1, 128, 0, 0) + text("sample 8", 22)
    ins += struct.pack("<IIIBbBBbB", len(s16), 16, 64, 48, -16, 2 | 0x10, 64, 12, 0) + text("sample 16", 22)
    return head + ins + s8 + s16


def it_compress(values, sixteen):
    """One block of full-width values: no width changes, which is valid compressed data."""
    width = 17 if sixteen else 9
    bits, nbits, outb = 0, 0, bytearray()
    prev = 0
    for v in values:
        d = (v - prev) & (0xFFFF if sixteen else 0xFF)
        prev = v
        bits |= d << nbits
        nbits += width
        while nbits >= 8:
            outb.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        outb.append(bits & 0xFF)
    return struct.pack("<H", len(outb)) + bytes(outb)


def it(instrument_mode):
    ordnum, insnum, smpnum, patnum = 3, (1 if instrument_mode else 0), 4, 1
    table_at = 192 + ordnum
    ins_at = table_at + 4 * (insnum + smpnum + patnum)
    smp_at = ins_at + 554 * insnum
    pat_at = smp_at + 80 * smpnum
    pat = b""
    for row in range(32):
        if row % 4 == 0:
            pat += bytes([0x81, 0x0F, 60 + row // 4, 1 + row // 4 % 4, 40, 4, 0x21])  # note ins vol D21
            pat += bytes([0x82, 0x05, 48, 193 + 2])  # note, tone porta in the volume column
        if row == 5:
            pat += bytes([0x81, 0x01, 255])  # note off
        if row == 9:
            pat += bytes([0x83, 0x08, 19, 0x91])  # S91 surround
        if row == 10:
            pat += bytes([0x81, 0x10]) + bytes([0x81, 0x80])  # repeat last note, last effect
        pat += b"\0"
    pat = struct.pack("<HH", len(pat), 32) + b"\0" * 4 + pat
    data_at = pat_at + len(pat)
    vals8 = [b if b < 128 else b - 256 for b in SINE8]
    vals16 = [struct.unpack("<h", SINE16[i:i + 2])[0] for i in range(0, len(SINE16), 2)]
    blobs = [SINE8, SINE16 + SINE16, it_compress(vals8, False), it_compress(vals16, True)]
    # flags: 8-bit looped; 16-bit stereo ping-pong; compressed 8-bit (IT 2.14); compressed 16-bit (2.15)
    kinds = [(1 | 0x10, 1, 64), (1 | 2 | 4 | 0x10 | 0x40, 1, 64), (1 | 8 | 0x20, 1, 64), (1 | 2 | 8, 1 | 4, 64)]
    head = b"IMPM" + text("seed it", 26) + struct.pack("<HHHHHHHHH", 0x1004, ordnum, insnum, smpnum, patnum,
                                                        0x0214, 0x0214, 1 | 8 | (4 if instrument_mode else 0), 0)
    head += bytes([128, 48, 6, 125, 128, 0]) + struct.pack("<HII", 0, 0, 0)
    head += bytes([32, 0, 64, 100] + [32] * 60) + bytes([64] * 64)
    head += bytes([0, 0, 255])
    head += b"".join(struct.pack("<I", ins_at + 554 * i) for i in range(insnum))
    head += b"".join(struct.pack("<I", smp_at + 80 * i) for i in range(smpnum))
    head += struct.pack("<I", pat_at)
    if instrument_mode:
        ins = b"IMPI" + text("inst.iti", 12) + bytes([0, 2, 1, 1]) + struct.pack("<HbB", 256, 4, 60)
        ins += bytes([128, 32, 10, 8]) + struct.pack("<H", 0x0214) + bytes([1, 0]) + text("instrument", 26)
        ins += bytes([0x80 | 100, 0x80 | 40, 0, 0]) + struct.pack("<H", 0)
        ins += b"".join(bytes([n, 1 + n % smpnum]) for n in range(120))
        for flags, lo, hi in [(1 | 2 | 4, 0, 64), (1 | 8, -32, 32), (1 | 0x80, -32, 32)]:
            pts = [(0, hi), (20, (lo + hi) // 2), (40, lo), (80, (lo + hi) // 2)]
            env = bytes([flags, len(pts), 1, 3, 2, 2])
            env += b"".join(struct.pack("<bH", y, x) for x, y in pts) + b"\0" * (3 * (25 - len(pts))) + b"\0"
            ins += env
        head += ins.ljust(554, b"\0")
    at = data_at
    for i, ((flags, cvt, n), blob) in enumerate(zip(kinds, blobs)):
        h = b"IMPS" + text("s%d.wav" % i, 12) + bytes([0, 64, flags, 64]) + text("sample %d" % i, 26)
        h += bytes([cvt | (4 if i == 3 else 0), 0x80 | 32]) + struct.pack("<IIII", n, 8, 56, 8363 * (i + 1))
        h += struct.pack("<III", 16, 48, at) + bytes([4, 8, 16, i % 4])
        head += h
        at += len(blob)
    return head + pat + b"".join(blobs)


put("tracker_mod", "mk.mod", mod(4, b"M.K."))
put("tracker_mod", "8chn.mod", mod(8, b"8CHN"))
put("tracker_mod", "flt8.mod", mod(8, b"FLT8", orders=(0, 2, 0)))
put("tracker_mod", "12ch.mod", mod(12, b"12CH"))
put("tracker_mod", "soundtracker.mod", mod(4, b"", samples=15))
put("tracker_s3m", "seed.s3m", s3m())
put("tracker_xm", "seed.xm", xm())
put("tracker_it", "samples.it", it(False))
put("tracker_it", "instruments.it", it(True))
