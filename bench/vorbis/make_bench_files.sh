#!/bin/sh
# 30 s of music-like stereo audio as Ogg Vorbis (quality 4).
set -eu
out=$1
mkdir -p "$out"
cd "$out"
sox -R -n -r 44100 -c 2 -b 16 source.wav synth 30 sine 200-5000 pinknoise synth 30 square amod 3 vol 0.6
oggenc --quiet -q 4 -o music.ogg source.wav
rm -f source.wav
