#!/usr/bin/env python3
"""Writes a WAVE_FORMAT_EXTENSIBLE file whose samples have fewer valid bits than their
container (12 in 16, 20 in 24), which sox cannot write. Usage: odd_depth_wav.py OUT BITS RATE CHANNELS SECONDS"""
import math
import random
import struct
import sys

out, bits, rate, channels, seconds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), float(sys.argv[5])
container = 16 if bits <= 16 else 24
frames = int(rate * seconds)
random.seed(bits)
peak = (1 << (bits - 1)) - 1
data = bytearray()
for i in range(frames):
    for c in range(channels):
        tone = math.sin(2 * math.pi * (330 + 110 * c) * i / rate) * 0.6
        noise = random.uniform(-0.2, 0.2)
        value = int((tone + noise) * peak)
        # Valid bits sit at the top of the container.
        value <<= container - bits
        data += value.to_bytes(container // 8, "little", signed=True)

block = channels * container // 8
guid = bytes.fromhex("0100000000001000800000aa00389b71")  # PCM sub-format
fmt = struct.pack("<HHIIHHHHI", 0xFFFE, channels, rate, rate * block, block, container, 22, bits,
                  (1 << channels) - 1) + guid
body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + bytes(data)
with open(out, "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", len(body)) + body)
