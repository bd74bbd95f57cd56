#!/bin/sh
# Fixtures made by sox, with sox's own float dump of each as the reference.
#   make_fixtures.sh OUTPUT-DIR
set -eu
out=$1
mkdir -p "$out"
cd "$out"
tone() { # name, sox output options...
    name=$1; shift
    sox -n "$@" "$name" synth 1.5 sine 440 vol 0.5
}
tone pcm16.wav -r 44100 -c 2 -b 16
tone pcm24_plain.wav -t wavpcm -r 48000 -c 2 -b 24
tone pcm24_ext.wav -r 44100 -c 2 -b 24
tone pcm32.wav -r 44100 -c 1 -b 32
tone pcm8_mono.wav -r 22050 -c 1 -b 8
tone float32.wav -r 44100 -c 2 -e floating-point -b 32
tone six.wav -r 44100 -c 6 -b 16
tone pcm16.aiff -r 44100 -c 2 -b 16
tone pcm24.aiff -r 96000 -c 1 -b 24
for f in *.wav *.aiff; do
    sox "$f" -t f32 -e floating-point -b 32 "$f.f32"
done
