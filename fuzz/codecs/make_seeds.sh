#!/bin/sh
# Short tagged MP3, FLAC and Ogg files as seeds for the sound library's compressed
# formats, and bare tags for the tag readers. Made with sox, lame, flac, oggenc, eyeD3.
set -eu
out=$1
mkdir -p "$out/mpeg" "$out/flac" "$out/ogg" "$out/id3" "$out/comments"
cd "$out"
sox -R -n -r 44100 -c 2 -b 16 tone.wav synth 0.3 sine 440 pinknoise synth 0.3 square amod 5 vol 0.5
lame --quiet -b 128 --add-id3v2 --tt Title --ta Artist --tc Comment --tg Rock tone.wav mpeg/tagged.mp3
lame --quiet -V 4 -m m tone.wav mpeg/vbr_mono.mp3
lame --quiet -t --resample 22.05 -b 32 tone.wav mpeg/mpeg2_noinfo.mp3
cp mpeg/vbr_mono.mp3 mpeg/utf16.mp3
eyeD3 --quiet --to-v2.3 --encoding utf16 -a "Künstler" --user-text-frame "REPLAYGAIN_TRACK_GAIN:-1 dB" \
      mpeg/utf16.mp3 >/dev/null
flac --silent -f --tag=TITLE=Seed -b 576 -o flac/tagged.flac tone.wav
flac --silent -f --ogg -o flac/ogg.oga tone.wav
sox -R tone.wav -b 24 tone24.wav
flac --silent -f --no-seektable -o flac/deep.flac tone24.wav
oggenc --quiet -q 0 -c TITLE=Seed -o ogg/tagged.ogg tone.wav
oggenc --quiet -q 0 --serial 5 -o ogg/second.ogg tone.wav
cat ogg/tagged.ogg ogg/second.ogg > ogg/chained.ogg
cp flac/ogg.oga ogg/
# The tag readers' seeds: the ID3v2 tag of a file, and a Vorbis comment block.
for f in mpeg/tagged.mp3 mpeg/utf16.mp3; do
    python3 -c "import sys; d=open(sys.argv[1],'rb').read(); n=((d[6]&127)<<21|(d[7]&127)<<14|(d[8]&127)<<7|(d[9]&127))+10; open(sys.argv[2],'wb').write(d[:n])" \
        "$f" "id3/$(basename "$f" .mp3).id3"
done
printf '\003\000\000\000vnd\002\000\000\000\012\000\000\000TITLE=Eins\007\000\000\000ARTIST=' > comments/block.bin
rm -f tone.wav tone24.wav
