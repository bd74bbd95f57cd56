#!/bin/sh
# The SoundFont TimGM6mb from Debian (timgm6mb-soundfont, 5 MB), fetched once per build tree
# for the comparison with FluidSynth; if it cannot be had, a SKIPPED file says why.
#   debian_files.sh OUT
set -u
out=${1:?}
[ -f "$out/TimGM6mb.sf2" ] && exit 0
rm -rf "$out" && mkdir -p "$out/debs" && cd "$out" || exit 1
if (cd debs && apt-get download -q timgm6mb-soundfont >../apt.log 2>&1); then
    for deb in debs/*.deb; do dpkg -x "$deb" debs/unpacked; done
    find debs/unpacked -name 'TimGM6mb.sf2' -exec cp {} . \;
fi
[ -f TimGM6mb.sf2 ] || echo "timgm6mb-soundfont could not be fetched: $(tail -n 1 apt.log 2>/dev/null)" >SKIPPED
rm -rf debs
exit 0
