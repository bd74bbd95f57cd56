#!/bin/sh
# Builds the compressed-format fixtures into the folder given: MP3/MP2 with lame and
# twolame, FLAC and Ogg FLAC with flac, Ogg Vorbis with oggenc, tags with id3v2, eyeD3,
# mid3v2 and mutagen (Debian's own python, where python3-mutagen lives). Sources are
# synthesised with sox.
set -eu
out=$1
mkdir -p "$out"
cd "$out"

# Music-like source: a sweep on the left, pulsed pink noise on the right; exactly 10.000 s.
sox -R -n -r 44100 -c 2 -b 16 source.wav synth 10 sine 300-6000 pinknoise synth 10 square amod 3 vol 0.6
sox -R -n -r 44100 -c 2 -b 24 source24.wav synth 10 sine 200-9000 pinknoise vol 0.7
sox -R source.wav -r 22050 source22.wav
sox -R -n -r 44100 -c 2 -b 16 tone440.wav synth 10 sine 440 vol 0.5

# MPEG audio: layer III at MPEG-1/2/2.5, CBR/VBR, with and without an Info frame; layer II.
lame --quiet -b 128 source.wav l3_cbr128.mp3
lame --quiet -V 2 source.wav l3_vbr.mp3
lame --quiet -t -b 128 source.wav l3_noinfo.mp3
lame --quiet -m m -b 96 source.wav l3_mono.mp3
lame --quiet --resample 22.05 -b 64 source.wav l3_mpeg2.mp3
lame --quiet --resample 8 -m m -b 16 source.wav l3_mpeg25.mp3
twolame --quiet -b 192 source.wav l2_192.mp2
twolame --quiet -b 64 source22.wav l2_mpeg2.mp2
lame --quiet -b 128 tone440.wav tone440.mp3

# Tags. lame's own frames, with its COMM frame and a numbered genre.
lame --quiet -b 128 --add-id3v2 --tt "Lame Title" --ta "Lame Artist" --tl "Lame Album" --ty 2004 \
     --tc "Lame comment" --tn 7 --tg Jazz source.wav tag_lame.mp3
# ID3v2.3 in UTF-16 with a byte-order mark, replay gain in TXXX; ID3v1.1 beside it.
# (id3v2 first: it would copy its fields into an existing ID3v2 tag.)
cp l3_cbr128.mp3 tag_v23_utf16.mp3
id3v2 -1 -a "V1 Artist" -t "V1 Title" -A "V1 Album" -y 1987 -T 5 -g 17 -c "V1 comment" tag_v23_utf16.mp3
eyeD3 --quiet --v2 --to-v2.3 --encoding utf16 -a "Künstler ☺" -t "Grüße" -A "Album Ω" -n 3 -G Rock \
      --user-text-frame "REPLAYGAIN_TRACK_GAIN:-6.54 dB" tag_v23_utf16.mp3 >/dev/null
# ID3v2.4 in UTF-8.
cp l3_cbr128.mp3 tag_v24_utf8.mp3
mid3v2 -e --artist "Ärzte ünd Söhne" --song "日本語のタイトル" --album "Über" --genre "(8)" --track "4/12" \
       --year 2021 --TXXX "REPLAYGAIN_TRACK_GAIN:+1.25 dB" --COMM "Ein Kommentar" tag_v24_utf8.mp3
# ID3v1 only, genre by number; an APE tag between audio and ID3v1.
cp l3_cbr128.mp3 tag_v1_ape.mp3
/usr/bin/python3 - tag_v1_ape.mp3 <<'PY'
import sys
from mutagen.apev2 import APEv2
t = APEv2()
t["Title"] = "APE title"
t.save(sys.argv[1])
PY
id3v2 -1 -a "Only V1" -t "Genre Test" -g 52 tag_v1_ape.mp3

# FLAC: 16 and 24 bit, with and without a seek table, in Ogg; Vorbis comments.
flac --silent -f --tag=TITLE="Flac Tïtel" --tag=ARTIST="Flac Artist" --tag=REPLAYGAIN_TRACK_GAIN="-3.10 dB" \
     -o f16.flac source.wav
flac --silent -f --no-seektable -b 1152 -o f16_noseek.flac source.wav
flac --silent -f -o f24.flac source24.wav
flac --silent -f --ogg --tag=TITLE="Ogg Flac" -o f16.oga source.wav
flac --silent -f -o tone440.flac tone440.wav

# Ogg Vorbis: stereo, mono at 22 kHz, and a chain of two links.
oggenc --quiet -q 4 -c "TITLE=Vorbis Tïtel" -c "ARTIST=Vorbis Artist" -c "REPLAYGAIN_TRACK_GAIN=-2.00 dB" \
       -o v_stereo.ogg source.wav
sox -R source22.wav -c 1 mono22.wav
oggenc --quiet -q 2 --serial 11 -o v_mono22.ogg mono22.wav
oggenc --quiet -q 3 --serial 21 -c "TITLE=First link" -o link1.ogg tone440.wav
oggenc --quiet -q 3 --serial 22 -c "TITLE=Second link" -o link2.ogg source.wav
cat link1.ogg link2.ogg > v_chained.ogg
oggenc --quiet -q 3 -o tone440.ogg tone440.wav
id3v2 -L > genres.txt
