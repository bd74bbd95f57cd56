#!/bin/sh
# Runs a Windows test program with drive Q: declared to Wine as a CD-ROM mapped to an empty
# folder (no disc Wine could read), its name in QUENDRA_CD_DRIVE; the drive goes afterwards.
# Usage: run_with_cd_drive.sh PROGRAM [ARGUMENTS...]
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$ROOT/scripts/lib.sh"
ensure_display && ensure_wineprefix || exit 1
folder=$(mktemp -d) device="$WINEPREFIX/dosdevices/q:" key='HKLM\Software\Wine\Drives'
# Wine's services read drive letters and types when they start.
restart() { wineserver -k; wineserver -w; wine cmd /c exit >/dev/null 2>&1; }
cleanup() {
    rm -f "$device"
    wine reg delete "$key" /v q: /f >/dev/null 2>&1
    restart
    rm -rf "$folder"
}
trap cleanup EXIT
ln -sfn "$folder" "$device"
wine reg add "$key" /v q: /d cdrom /f >/dev/null 2>&1
restart
QUENDRA_CD_DRIVE=Q: "$@"
