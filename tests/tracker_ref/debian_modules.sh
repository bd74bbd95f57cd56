#!/bin/sh
# Every module in the Debian packages below (game data and soundtracks), copied into OUT.
# When they cannot be had, OUT/skipped holds the reason and the next run tries again.
# Made once per build tree.
#   debian_modules.sh OUT
set -u
out=$1
[ -n "$out" ] || exit 1
[ -f "$out/stamp" ] && exit 0
rm -rf "$out"
mkdir -p "$out/debs" || exit 1
cd "$out" || exit 1
packages="tecnoballz-data njam-data pingus-data heroes-sound-tracks gl-117-data gweled ballz-data dodgindiamond2"
# shellcheck disable=SC2086
if ! (cd debs && apt-get download -q $packages >../apt.log 2>&1); then
    echo "apt-get download failed: $(tail -n 1 apt.log)" >skipped
    rm -rf debs
    exit 0
fi
for deb in debs/*.deb; do dpkg -x "$deb" debs/unpacked; done
find debs/unpacked -type f \( -iname '*.mod' -o -iname '*.s3m' -o -iname '*.xm' -o -iname '*.it' \) -exec cp {} . \;
rm -rf debs apt.log
touch stamp
