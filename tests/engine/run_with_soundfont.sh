#!/bin/sh
# The MIDI test of the format table under Wine with a SoundFont beside fmodex.dll: the test
# program, the library and TimGM6mb.sf2 (from Debian, fetched once) copied to a folder of
# their own, so the other tests keep playing without a bank.
#   run_with_soundfont.sh WINE-EXEC TEST-EXE FETCH-SCRIPT OUT
set -eu
wine_exec=$1 exe=$2 fetch=$3 out=$4
sh "$fetch" "$out/debian"
if [ -f "$out/debian/SKIPPED" ]; then
    echo "[  SKIPPED ] $(cat "$out/debian/SKIPPED")"
    exit 0
fi
rm -rf "$out/run"
mkdir -p "$out/run"
cp "$exe" "$(dirname "$exe")"/*.dll "$out/debian/TimGM6mb.sf2" "$out/run/"
exec "$wine_exec" "$out/run/$(basename "$exe")" --gtest_filter='*/lied_mid'
