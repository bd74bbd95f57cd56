#!/bin/sh
# Generates the FLAC fixtures of the tests into $1 with sox and flac; nothing is committed.
# Each file is named after what it exercises; the tests list the same names.
set -eu
out=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
cd "$out"
enc() { # name, flac options..., source last
    name=$1; shift
    # flac warns about the 'fact' chunk sox writes; show its output only when it fails.
    flac -f -s "$@" -o "$name.flac" 2>flac.log || { cat flac.log >&2; exit 1; }
}
encOgg() { # the same in an Ogg container
    name=$1; shift
    flac -f -s --ogg "$@" -o "$name.oga" 2>flac.log || { cat flac.log >&2; exit 1; }
}

# Sources: tones that sweep, with noise on top, so every predictor gets work.
sox -n -r 44100 -b 16 -c 2 tone16.wav synth 6 sine 220-2200 sine 330-3300 vol 0.5
sox -n -r 44100 -b 16 -c 2 noise16.wav synth 6 pinknoise vol 0.2
sox -m tone16.wav noise16.wav src16.wav
sox -n -r 96000 -b 24 -c 2 tone24.wav synth 4 sine 440-8000 sine 1000 vol 0.7
sox -n -r 96000 -b 24 -c 2 noise24.wav synth 4 brownnoise vol 0.3
sox -m tone24.wav noise24.wav src24.wav
sox -n -r 11025 -b 8 -c 1 src8.wav synth 5 sine 300-900 vol 0.6 synth 5 pinknoise amod 0.3
sox -n -r 48000 -b 16 -c 6 src6ch.wav synth 3 sine 200 sine 300 pinknoise sine 500 brownnoise sine 700 vol 0.5
sox -n -r 48000 -b 32 -c 2 src32.wav synth 3 sine 440-4400 sine 550 vol 0.9
sox src8.wav -b 16 wasted16.wav   # 8-bit values in 16: the low bits are always zero
sox -n -r 44100 -b 16 -c 2 silence.wav trim 0 2
python3 "$here/odd_depth_wav.py" src12.wav 12 32000 2 3
python3 "$here/odd_depth_wav.py" src20.wav 20 88200 2 2

enc s16_stereo_44k -S 1s -T "ARTIST=Jürgen Weiß" -T "TITLE=Grüße – ☃ 日本" -T "ALBUM=Quendra" src16.wav
enc s16_level0 -0 src16.wav
enc s16_level8 -8 src16.wav
enc s16_block192 -b 192 src16.wav
enc s16_block4608 -b 4608 src16.wav
enc s16_block16384 -b 16384 --lax src16.wav
enc s16_no_seektable --no-seektable src16.wav
enc s16_lpc32 -8 -l 32 -e --lax src16.wav
enc s16_partitions -5 -r 0,15 -e --lax src16.wav
enc s24_96k -8 src24.wav
enc s24_level0 -0 src24.wav
enc s8_mono src8.wav
enc s8_mono_no_seektable --no-seektable -b 1152 src8.wav
enc six_channels src6ch.wav
enc s32_stereo -8 src32.wav
enc s32_level1 -1 src32.wav
enc s16_wasted_bits wasted16.wav
enc s16_silence silence.wav
enc s12_stereo src12.wav
enc s20_88k -8 src20.wav
encOgg ogg_s16 -T "ARTIST=Ogg Ärtist" src16.wav
encOgg ogg_s24 -8 src24.wav
encOgg ogg_s8_block192 -b 192 src8.wav
oggenc -Q src8.wav -o vorbis.ogg
rm -f ./*.wav flac.log
