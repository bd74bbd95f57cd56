#!/bin/sh
# Real modules from Debian's game data, copied into OUT once per build tree. When they
# cannot be had, OUT/skipped holds the reason and the next run tries again.
#   real_modules.sh OUT NAME...
set -u
out=$1
shift
[ -f "$out/stamp" ] && exit 0
rm -rf "$out"
mkdir -p "$out/debs" && cd "$out" || exit 1
packages="tecnoballz-data njam-data pingus-data gweled ballz-data dodgindiamond2"
# shellcheck disable=SC2086
if ! (cd debs && apt-get download -q $packages >../apt.log 2>&1); then
    echo "apt-get download failed: $(tail -n 1 apt.log)" >skipped
    exit 0
fi
for deb in debs/*.deb; do dpkg -x "$deb" debs/unpacked; done
for name in "$@"; do
    found=$(find debs/unpacked -name "$name" | head -n 1)
    [ -n "$found" ] || { echo "$name is not in $packages" >skipped; exit 0; }
    cp "$found" .
done
rm -rf debs apt.log
touch stamp
