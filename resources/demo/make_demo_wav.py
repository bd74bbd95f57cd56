"""Writes the demo track that `scripts/run` plays when given nothing: twelve seconds of a
soft arpeggio in 16-bit stereo, synthesised here so no audio file lives in the repository."""
import math
import struct
import sys
import wave

RATE = 44100
NOTES = [220.0, 277.18, 329.63, 440.0, 329.63, 277.18]  # A major, up and down
NOTE_SECONDS = 0.25
LENGTH_SECONDS = 12.0


def sample(t):
    note = NOTES[int(t / NOTE_SECONDS) % len(NOTES)]
    into = t % NOTE_SECONDS
    envelope = math.exp(-into * 6.0)
    bass = 0.25 * math.sin(2 * math.pi * 110.0 * t)
    fade = min(1.0, t / 0.5, (LENGTH_SECONDS - t) / 1.0)
    return fade * (0.45 * envelope * math.sin(2 * math.pi * note * t) + bass)


def main(path):
    frames = bytearray()
    for i in range(int(RATE * LENGTH_SECONDS)):
        t = i / RATE
        value = int(max(-1.0, min(1.0, sample(t))) * 30000)
        left = value
        right = int(value * 0.8)
        frames += struct.pack("<hh", left, right)
    with wave.open(path, "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


if __name__ == "__main__":
    main(sys.argv[1])
