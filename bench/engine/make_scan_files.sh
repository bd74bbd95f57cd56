#!/bin/sh
# A tagged 128 kbit/s MP3 (30 s of music-like stereo) for the open-only MP3 scan.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
sox -R -n -r 44100 -c 2 -b 16 source.wav synth 30 sine 200-5000 pinknoise synth 30 square amod 3 vol 0.6
lame --quiet -b 128 --add-id3v2 --tt "Scan Title" --ta "Scan Artist" --tl Album --tc Comment --tg Rock \
     source.wav tagged.mp3
rm -f source.wav
