#!/bin/sh
# Small FLAC files for the fuzzer to start from, made with sox and flac at build time.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
sox -n -r 8000 -b 16 -c 2 a.wav synth 0.3 sine 300-900 sine 500 vol 0.5
sox -n -r 8000 -b 8 -c 1 b.wav synth 0.2 pinknoise vol 0.4
sox -n -r 16000 -b 24 -c 2 c.wav synth 0.2 sine 440 brownnoise vol 0.6
sox -n -r 8000 -b 16 -c 6 d.wav synth 0.1 sine 200 sine 300 sine 400 sine 500 sine 600 sine 700
sox -n -r 8000 -b 32 -c 2 e.wav synth 0.1 sine 100-3000 sine 50
sox -n -r 8000 -b 16 -c 2 f.wav trim 0 0.2
for level in 0 5 8; do flac -f -s -$level -T "ARTIST=Fuzz ü" a.wav -o a$level.flac 2>/dev/null; done
flac -f -s -b 192 --no-seektable b.wav -o b192.flac 2>/dev/null
flac -f -s -b 576 -S 10x c.wav -o c576.flac 2>/dev/null
flac -f -s d.wav -o d.flac 2>/dev/null
flac -f -s e.wav -o e.flac 2>/dev/null
flac -f -s --lax -b 16 f.wav -o f16.flac 2>/dev/null
flac -f -s --ogg -b 576 a.wav -o a.oga 2>/dev/null
flac -f -s --ogg c.wav -o c.oga 2>/dev/null
rm -f ./*.wav
