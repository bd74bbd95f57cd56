#!/bin/sh
# Sorts the fixtures (made short for fuzzing) into a seed folder per fuzz target, and adds
# the seeds no encoder makes: playlists, bare ID3v2 tags, a Vorbis comment block, network
# answers and in-band titles, and a settings file as the player writes it.
#   make_seeds.sh FIXTURES OUT
set -eu
in=$1 out=$2
for d in wav aiff vag asf aac tracker_mod tracker_s3m tracker_xm tracker_it playlist mpeg flac ogg id3 comments http_response icy_metadata settings; do mkdir -p "$out/$d"; done
cp "$in"/*.wav "$out/wav/"
cp "$in"/*.aiff "$out/aiff/"
for f in mod s3m xm it; do cp "$in/tone440.$f" "$out/tracker_$f/"; done
# MPEG audio in a WAV data chunk (format tags 0x55 and 0x50), as no encoder here writes it.
for pair in tone440.mp3:85 tone440.mp2:80; do  # tags in decimal
    python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(); d+=b'\0'*(len(d)&1)
fmt=struct.pack('<HHIIHHH',int(sys.argv[3]),2,44100,16000,1,0,0)
body=b'WAVEfmt '+struct.pack('<I',len(fmt))+fmt+b'data'+struct.pack('<I',len(d))+d
open(sys.argv[2],'wb').write(b'RIFF'+struct.pack('<I',len(body))+body)" \
        "$in/${pair%:*}" "$out/wav/mpeg_in_${pair%:*}.wav" "${pair#*:}"
done
cp "$in"/*.mp3 "$in"/*.mp2 "$out/mpeg/"
# VAG, mono and two-channel: a tone's blocks (filter 1, shift 4) and an end block.
for channels in 1 2; do
    python3 -c "import struct,sys; c=int(sys.argv[2]); b=b''.join(bytes([0x14,0])+bytes([(i*37)&255 for i in range(14)]) for _ in range(300*c))+bytes([0,7]+[0]*14)*c
open(sys.argv[1],'wb').write(b'VAGp'+struct.pack('>IIII',0x20,0,len(b),22050)+bytes(10)+bytes([c,0])+b'Ton'+bytes(13)+b)" \
        "$out/vag/tone$channels.vag" "$channels"
done
# ASF: WMA files with tags (header and a few packets).
ffmpeg -v error -y -f lavfi -i sine=duration=0.2 -c:a wmav2 -metadata title=Ton -metadata album=Album \
    -metadata date=2026 -metadata track=3 "$out/asf/tone.wma" || true
# AAC: the tagged M4A and a short ADTS stream.
cp "$in/tagged.m4a" "$out/aac/"
ffmpeg -v error -y -f lavfi -i sine=duration=0.1 -c:a aac -b:a 64k -f adts "$out/aac/tone.aac" || true
cp "$in"/*.flac "$in"/*.oga "$out/flac/"
cp "$in"/*.ogg "$in"/*.oga "$out/ogg/"
for f in "$in"/tag_lame.mp3 "$in"/tag_v23_utf16.mp3 "$in"/tag_v24_utf8.mp3; do
    python3 -c "import sys; d=open(sys.argv[1],'rb').read(); n=((d[6]&127)<<21|(d[7]&127)<<14|(d[8]&127)<<7|(d[9]&127))+10; open(sys.argv[2],'wb').write(d[:n])" \
        "$f" "$out/id3/$(basename "$f" .mp3).id3"
done
printf '\003\000\000\000vnd\002\000\000\000\012\000\000\000TITLE=Eins\007\000\000\000ARTIST=' > "$out/comments/block.bin"
printf '[playlist]\r\nFile1=C:\\a.mp3\r\nTitle1=A\r\nLength1=1\r\nNumberOfEntries=1\r\nVersion=2\r\n' > "$out/playlist/player.pls"
printf '#EXTM3U\n#EXTINF:10,A - B\nhttp://host/x.mp3\nb.flac\n' > "$out/playlist/ext.m3u"
printf '\357\273\277a.mp3\r\nsub\\b.ogg\r\n' > "$out/playlist/plain.m3u"
printf '<asx version="3.0"><!-- c --><entry><ref href="a&amp;b.wma"/></entry><Entry><REF HREF='"'"'x.mp3'"'"'></Entry></asx>' \
    > "$out/playlist/list.asx"
h=$out/http_response m=$out/icy_metadata
printf "ICY 200 OK\r\nicy-name: R\r\nicy-metaint: 8\r\n\r\n12345678\001StreamTitle='a';\000\000\000\000" > "$h/icy"
printf 'HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n\377\373\220\000' > "$h/http"
printf 'HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nicy-metaint: 4\r\n\r\n5\r\nabcd\000\r\n3;x=y\r\nxyz\r\n0\r\n\r\n' > "$h/chunked"
printf 'HTTP/1.1 302 Found\r\nLocation: http://[::1]:8000/x\r\n\r\n' > "$h/redirect"
printf "\003abc\002StreamTitle='Artist - Title';\000\000\000\000\000\000" > "$m/title"
printf "\004abcd\002StreamTitle='\304rzte - Sch\366n';\000\000\000\000\000\000\000\000\000\000" > "$m/latin1"
printf "\002ab\377StreamTitle='cut" > "$m/past"
printf 'WindowX = 412\r\nWindowY = -300\r\nWiederholenEnable = 0\r\nReplayGainEnable = 1\r\nFensterOnTop = 1\r\nHauptVolume = 85\r\nBalloonTipEnable = 1\r\nPlayListMarkieren = D:\\Musik\\Lied.mp3\r\nHohePrioEnable = 0\r\nMiniFensterEnable = 1\r\nMiniFensterScrollTextEnable = 1\r\nSongPositonVorweartsEnable = 0\r\n' > "$out/settings/quendra.ini"
