#!/bin/sh
# A real SoundFont for the comparison with FluidSynth: TimGM6mb (Debian timgm6mb-soundfont,
# 5 MB), fetched once per build tree. Without it, SKIPPED holds the reason.
#   soundfont.sh OUT
set -u
out=$1
[ -n "$out" ] || exit 1
[ -f "$out/TimGM6mb.sf2" ] && exit 0
rm -rf "$out"
mkdir -p "$out/debs" || exit 1
cd "$out" || exit 1
if (cd debs && apt-get download -q timgm6mb-soundfont >../apt.log 2>&1); then
    dpkg -x debs/*.deb debs/unpacked
    find debs/unpacked -name 'TimGM6mb.sf2' -exec cp {} . \;
fi
[ -f TimGM6mb.sf2 ] || echo "timgm6mb-soundfont could not be fetched: $(tail -n 1 apt.log 2>/dev/null)" >SKIPPED
rm -rf debs
exit 0
