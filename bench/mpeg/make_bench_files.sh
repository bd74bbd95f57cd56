#!/bin/sh
# 30 s of busy stereo (a sweep and pink noise, switched on and off) as MP3 and MP2.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
sox -R -n -r 44100 -c 2 -b 16 source.wav synth 30 sine 100-8000 pinknoise synth 30 square amod 2 vol 0.6
lame --quiet -b 128 source.wav cbr128.mp3
lame --quiet -V 2 source.wav vbr_v2.mp3
twolame --quiet -b 192 source.wav layer2_192.mp2
rm -f source.wav
