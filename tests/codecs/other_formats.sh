#!/bin/sh
# Files of other kinds for the recognition test, one folder each: tracker modules from
# Debian's game data (the tracker tests' debian_modules.sh), pictures made with
# ImageMagick, archives made with Python, and a program. A kind that cannot be had gets
# KIND.skipped with the reason instead, and is tried again next time. Made once per build tree.
#   other_formats.sh OUT
set -u
out=$1
[ -n "$out" ] || exit 1
[ -f "$out/stamp" ] && exit 0
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$out"
mkdir -p "$out/images" "$out/archives" "$out/programs" || exit 1
cd "$out" || exit 1

skip() { # kind, reason
    rmdir "$1" 2>/dev/null
    echo "$2" >"$1.skipped"
}

sh "$here/../tracker_ref/debian_modules.sh" modules
if [ -f modules/skipped ]; then
    mv modules/skipped modules.skipped && rm -rf modules
else
    rm -f modules/stamp
fi

if command -v convert >/dev/null; then
    # Plasma is random: seeded, every run draws the same picture.
    for kind in png jpg gif bmp; do
        convert -seed 7 -size 320x240 plasma:fractal "images/plasma.$kind" || skip images "convert failed"
    done
    convert -size 64x64 gradient:white-black images/gradient.bmp || skip images "convert failed"
else
    skip images "ImageMagick's convert is not installed"
fi

python3 - archives <<'PY' || skip archives "python3 could not write the archives"
import bz2, gzip, lzma, os, sys, zipfile
folder = sys.argv[1]
program = open("/bin/ls", "rb").read()
with zipfile.ZipFile(os.path.join(folder, "ls.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("ls", program)
for name, compress in (("ls.gz", gzip.compress), ("ls.bz2", bz2.compress), ("ls.xz", lzma.compress)):
    open(os.path.join(folder, name), "wb").write(compress(program))
PY

cp /bin/ls programs/ls || skip programs "/bin/ls cannot be read"
ls ./*.skipped >/dev/null 2>&1 || touch stamp
