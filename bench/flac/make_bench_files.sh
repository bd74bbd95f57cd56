#!/bin/sh
# Bench material, made at build time: a minute of 16-bit 44.1 kHz stereo and half a minute
# of 24-bit 96 kHz stereo, with flac's default settings and at level 8.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
sox -n -r 44100 -b 16 -c 2 t16.wav synth 60 sine 110-1760 sine 165-2640 vol 0.4
sox -n -r 44100 -b 16 -c 2 n16.wav synth 60 pinknoise vol 0.15
sox -m t16.wav n16.wav s16.wav
sox -n -r 96000 -b 24 -c 2 t24.wav synth 30 sine 110-1760 sine 165-2640 vol 0.4
sox -n -r 96000 -b 24 -c 2 n24.wav synth 30 brownnoise vol 0.2
sox -m t24.wav n24.wav s24.wav
flac -f -s s16.wav -o s16_44k.flac 2>/dev/null
flac -f -s -8 s16.wav -o s16_44k_level8.flac 2>/dev/null
flac -f -s s24.wav -o s24_96k.flac 2>/dev/null
flac -f -s -0 s24.wav -o s24_96k_level0.flac 2>/dev/null
rm -f ./*.wav
