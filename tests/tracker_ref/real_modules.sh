#!/bin/sh
# Real modules from Debian's game data, a few of modest size per format, copied into OUT.
# When they cannot be had, OUT/skipped holds the reason and the next run tries again.
# Made once per build tree.
#   real_modules.sh OUT
set -u
out=$1
[ -n "$out" ] || exit 1
[ -f "$out/stamp" ] && exit 0
rm -rf "$out"
mkdir -p "$out/debs" || exit 1
cd "$out" || exit 1
packages="tecnoballz-data njam-data pingus-data gweled ballz-data dodgindiamond2"
# shellcheck disable=SC2086
if ! (cd debs && apt-get download -q $packages >../apt.log 2>&1); then
    echo "apt-get download failed: $(tail -n 1 apt.log)" >skipped
    rm -rf debs
    exit 0
fi
for deb in debs/*.deb; do dpkg -x "$deb" debs/unpacked; done
for name in high-score.mod area3-game.mod gardien-go.mod termigator_reg-zbb.mod \
    ritam.s3m gd-giirm.s3m autonom.s3m \
    dali.xm satisfy.xm finalman-quickie.xm bgm1.xm \
    gd-matth.it the_big_march_in_space.it gd-ite.it rough_journey.it; do
    found=$(find debs/unpacked -name "$name" | head -n 1)
    if [ -z "$found" ]; then
        echo "$name is not in $packages" >skipped
        exit 0
    fi
    cp "$found" .
done
rm -rf debs apt.log
touch stamp
