# Shared settings of the scripts; sourced, not run.
# Sourced by the scripts (then $0 is the script) or by hand from a shell (then set ROOT,
# or source it from the repository's top folder).
if [ -z "${ROOT:-}" ]; then
    case "$0" in
    */scripts/*) ROOT=$(cd "$(dirname "$0")/.." && pwd) ;;
    *) ROOT=$(pwd) ;;
    esac
fi
BUILD="$ROOT/build"
NATIVE="$BUILD/native"
WINDOWS="$BUILD/windows"
FUZZ="$BUILD/fuzz"
export WINEPREFIX="$BUILD/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# C.UTF-8 exists on every Debian machine (en_US.UTF-8 needs generating); Wine still
# gives programs the ANSI code page 1252 with it, and tools see UTF-8 arguments.
export LANG=C.UTF-8
# Rebuilds of the three trees and of parallel work trees share compiled objects when
# ccache is on the machine; nothing needs it.
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

# An Xvfb display of our own, unless one is set already. The display started for a build
# tree is noted there and reused, so repeated test runs do not pile up X servers.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    noted="$BUILD/xvfb-display"
    if [ -f "$noted" ]; then
        DISPLAY=$(cat "$noted")
        export DISPLAY
        xdpyinfo >/dev/null 2>&1 && return 0
    fi
    mkdir -p "$BUILD"
    for n in $(seq 90 199); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
            export DISPLAY=":$n"
            for _ in $(seq 100); do
                if xdpyinfo >/dev/null 2>&1; then
                    echo "$DISPLAY" > "$noted"
                    return 0
                fi
                sleep 0.1
            done
        fi
    done
    echo "no X display could be started" >&2
    return 1
}

# The Wine prefix is made once per build tree (about 10 s) and reused.
ensure_wineprefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$BUILD"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    # Keep the server up between test programs: 0.35 s a start instead of 1.4 s.
    wineserver -p 60 >/dev/null 2>&1 || true
    # The first program of a server starts Wine's background services, which inherit its
    # output; started here with /dev/null, they cannot hold a test runner's pipe open.
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}
