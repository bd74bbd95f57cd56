#!/bin/sh
# Real files from Debian, fetched once per build tree: the SoundFont TimGM6mb
# (timgm6mb-soundfont, 5 MB) for the comparison with FluidSynth, and the MIDI songs of
# openttd-openmsx (100 KB) for timing. What cannot be had gets a SKIPPED file saying why.
#   debian_files.sh OUT
set -u
out=${1:?}
[ -f "$out/TimGM6mb.sf2" ] && [ -d "$out/songs" ] && exit 0
rm -rf "$out" && mkdir -p "$out/debs" "$out/songs" && cd "$out" || exit 1
if (cd debs && apt-get download -q timgm6mb-soundfont openttd-openmsx >../apt.log 2>&1); then
    for deb in debs/*.deb; do dpkg -x "$deb" debs/unpacked; done
    find debs/unpacked -name 'TimGM6mb.sf2' -exec cp {} . \;
    find debs/unpacked -iname '*.mid' -exec cp {} songs \;
fi
[ -f TimGM6mb.sf2 ] || echo "timgm6mb-soundfont could not be fetched: $(tail -n 1 apt.log 2>/dev/null)" >SKIPPED
[ -n "$(ls songs)" ] || echo "openttd-openmsx could not be fetched: $(tail -n 1 apt.log 2>/dev/null)" >songs/SKIPPED
rm -rf debs
exit 0
