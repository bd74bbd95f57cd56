#!/bin/sh
# 30 s of music-like stereo audio as a 128 kbit/s MP3, a 16-bit FLAC and an Ogg Vorbis
# (quality 4), and a tagged MP3 for the open-only scan.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
sox -R -n -r 44100 -c 2 -b 16 source.wav synth 30 sine 200-5000 pinknoise synth 30 square amod 3 vol 0.6
lame --quiet -b 128 source.wav music128.mp3
flac --silent -f -o music16.flac source.wav
oggenc --quiet -q 4 -o music.ogg source.wav
lame --quiet -b 128 --add-id3v2 --tt "Scan Title" --ta "Scan Artist" --tl Album --tc Comment --tg Rock \
     source.wav tagged.mp3
rm -f source.wav
