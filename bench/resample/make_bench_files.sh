#!/bin/sh
# Bench material, made at build time: a minute of stereo at 44.1 kHz and half a minute at
# 48 kHz, sweeping tones over brown noise, as raw 32-bit floats. The noise keeps little
# energy near 20 kHz, where converters of different bandwidth would disagree.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
for material in "44100 60" "48000 30"; do
    set -- $material
    sox -n -r "$1" -c 2 t.wav synth "$2" sine 110-1760 sine 165-2640 vol 0.4
    sox -n -r "$1" -c 2 n.wav synth "$2" brownnoise vol 0.2
    sox -m t.wav n.wav -e floating-point -b 32 -t raw "stereo_$1.f32"
done
rm -f t.wav n.wav
