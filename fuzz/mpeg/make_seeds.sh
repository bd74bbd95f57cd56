#!/bin/sh
# Small MPEG streams of every layer and version as fuzz seeds, made with sox, lame and twolame.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
sox -R -n -r 44100 -c 2 -b 16 tone.wav synth 0.3 sine 440 pinknoise synth 0.3 square amod 5 vol 0.5
sox -R tone.wav -r 22050 tone22.wav
lame --quiet -b 128 tone.wav cbr.mp3
lame --quiet -V 2 tone.wav vbr.mp3
lame --quiet -t -m m -b 64 tone.wav mono_notag.mp3
lame --quiet --resample 22.05 -b 32 tone.wav mpeg2.mp3
lame --quiet --resample 8 -m m -b 8 tone.wav mpeg25.mp3
twolame --quiet -b 192 tone.wav layer2.mp2
twolame --quiet -m d -b 96 tone22.wav layer2_lsf.mp2
twolame --quiet --freeformat -b 200 tone.wav free.mp2
rm -f tone.wav tone22.wav
