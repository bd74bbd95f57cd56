#!/bin/sh
# Builds the MPEG test fixtures with sox, lame and twolame into the folder given.
# A 10 s stereo source: a sine sweep on the left, pink noise on the right, both switched
# on and off three times a second so that the encoders also use short blocks.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
sox -R -n -r 44100 -c 2 -b 16 source.wav synth 10 sine 300-6000 pinknoise synth 10 square amod 3 vol 0.6
sox -R source.wav -r 22050 source22.wav
sox -R source.wav -r 48000 source48.wav

lame --quiet -b 128 source.wav l3_cbr128.mp3              # MPEG-1, joint stereo, Info + LAME tag
lame --quiet -V 2 source.wav l3_vbr.mp3                   # Xing with TOC
lame --quiet -t -b 128 source.wav l3_notag.mp3            # no Info frame: length is estimated
lame --quiet -m s -b 160 source48.wav l3_stereo48.mp3     # plain stereo at 48 kHz
lame --quiet -m d -b 192 source.wav l3_dual.mp3           # dual channel
lame --quiet -m m -b 96 source.wav l3_mono.mp3            # mono
lame --quiet --resample 22.05 -b 64 source.wav l3_mpeg2.mp3
lame --quiet --resample 8 -m m -b 16 source.wav l3_mpeg25.mp3
lame --quiet --resample 32 -b 320 source.wav l3_32k320.mp3
lame --quiet -p -b 112 source.wav l3_crc.mp3              # frames with CRC

twolame --quiet -b 192 source.wav l2_192.mp2              # joint stereo (intensity bound)
twolame --quiet -m s -b 256 source48.wav l2_stereo48.mp2
twolame --quiet -m d -b 192 source.wav l2_dual.mp2
twolame --quiet -m m -a -b 96 source.wav l2_mono.mp2
twolame --quiet -m j -b 64 source.wav l2_lowrate.mp2      # 32 kbit/s per channel: short table
twolame --quiet -b 64 source22.wav l2_mpeg2.mp2
twolame --quiet --freeformat -b 200 source.wav l2_free.mp2
twolame --quiet -p -b 160 source.wav l2_crc.mp2
touch fixtures.stamp
