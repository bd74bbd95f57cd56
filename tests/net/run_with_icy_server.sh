#!/bin/sh
# Starts the scripted radio server on 127.0.0.1, runs a test program with the
# server's port in QUENDRA_ICY_PORT, stops the server. Usage: script PROGRAM [ARGS...]
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
# Two links of a chained Ogg stream, each with its own title, and an MP3 tone that
# starts with its Info frame, as a server playing a file from its start sends it.
sox -q -n -r 44100 -c 2 -b 16 "$dir/a.wav" synth 2 sine 440 vol 0.5 &&
    oggenc -Q -a "Ogg Artist" -t "First Link" -o "$dir/a.ogg" "$dir/a.wav" &&
    oggenc -Q -t "Second Link" -o "$dir/b.ogg" "$dir/a.wav" &&
    lame --quiet -b 128 "$dir/a.wav" "$dir/tone.mp3" ||
    echo "sox, oggenc or lame missing: no Ogg or MP3 stream" >&2
python3 "$here/icy_server.py" "$dir/port" "$dir" &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$dir"' EXIT INT TERM
i=0
while [ ! -s "$dir/port" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
[ -s "$dir/port" ] || { echo "the radio server did not start" >&2; exit 1; }
QUENDRA_ICY_PORT=$(cat "$dir/port")
export QUENDRA_ICY_PORT
"$@"
