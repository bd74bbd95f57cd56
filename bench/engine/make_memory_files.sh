#!/bin/sh
# One-hour and one-minute MP3, FLAC and Ogg Vorbis files of music-like 44.1 kHz stereo for
# the memory bench. Fast encoder settings keep the hour quick to make; the decoders do the
# same work per second as for any file of the format.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
signal() { # seconds, sox output type: 16-bit stereo on stdout
    sox -V1 -R -n -r 44100 -c 2 -b 16 -t "$2" - synth "$1" sine 200-5000 pinknoise synth "$1" square amod 3 vol 0.6
}
for length in 3600:hour 60:minute; do
    seconds=${length%%:*}
    name=${length#*:}
    signal "$seconds" wav | lame --quiet -b 128 -q 7 - "$name.mp3" &
    mp3=$!
    signal "$seconds" raw | flac -s -f -0 --force-raw-format --endian=little --sign=signed --channels=2 --bps=16 \
        --sample-rate=44100 -o "$name.flac" - &
    flac=$!
    signal "$seconds" raw | oggenc -Q -r -B 16 -C 2 -R 44100 -q 0 -o "$name.ogg" - &
    ogg=$!
    wait $mp3
    wait $flac
    wait $ogg
done
