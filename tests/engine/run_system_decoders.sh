#!/bin/sh
# Makes WMA v1/v2, M4A and ADTS files with ffmpeg (a tone and a sweep, and tags),
# with ffmpeg's own decoding of each beside it (.s16), then runs the Windows test program
# on them. Usage: run_system_decoders.sh WINE_EXEC PROGRAM [ARGUMENTS...]
set -eu
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
# 440 Hz on the left, a sweep from 300 Hz up on the right: nothing repeats, so the alignment is unique.
tones="aevalsrc=0.4*sin(2*PI*440*t)|0.4*sin(2*PI*(300+200*t)*t):s=44100:d=6"
make() { # name, ffmpeg output options...
    name=$1; shift
    ffmpeg -v error -y -f lavfi -i "$tones" -metadata title="Ton $name" -metadata artist="Quendra" \
        -metadata album="Testtöne" -metadata genre="Test" -metadata date="2026" -metadata track="7" \
        -metadata comment="Zwei Töne" "$@" "$folder/$name"
    ffmpeg -v error -y -i "$folder/$name" -f s16le -acodec pcm_s16le "$folder/$name.s16"
}
make v1.wma -c:a wmav1 -b:a 128k
make v2.wma -c:a wmav2 -b:a 128k
make aac.m4a -c:a aac -b:a 192k
make adts.aac -c:a aac -b:a 192k -f adts
wine_exec=$1; shift
QUENDRA_MEDIA_DIR="$folder" "$wine_exec" "$@"
