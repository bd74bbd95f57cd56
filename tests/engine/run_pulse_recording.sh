#!/bin/sh
# Runs the recording test program under Wine with a private PulseAudio server whose null
# sink, at RATE, is recorded; the tests learn the rate from QUENDRA_PULSE_RATE. When no
# server can be started the program still runs and skips, with the reason in
# QUENDRA_PULSE_SKIP. Further arguments (one word each) go to the program.
#   run_pulse_recording.sh TEST.exe WINE-EXEC RATE [ARGUMENTS...]
set -u
test_exe=$1 wine_exec=$2 rate=$3
shift 3
arguments="$*"
export QUENDRA_PULSE_RATE=$rate
T=$(mktemp -d /tmp/quendra-pulse.XXXXXX)
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    rm -rf "$T"
}
trap cleanup EXIT
skip() {
    QUENDRA_PULSE_SKIP="$1" "$wine_exec" "$test_exe" $arguments
    exit $?
}

command -v pulseaudio >/dev/null 2>&1 || skip "pulseaudio is not installed"
command -v parecord >/dev/null 2>&1 || skip "parecord (pulseaudio-utils) is not installed"
export XDG_RUNTIME_DIR="$T/xdg" PULSE_SERVER="unix:$T/pulse.sock" HOME="$T"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# The server's default rate is what Wine offers as the device's mix format.
echo "default-sample-rate = $rate" >"$T/daemon.conf"
PULSE_CONFIG="$T/daemon.conf" pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n --use-pid-file=no \
    -L "module-null-sink sink_name=nullsink rate=$rate format=float32le channels=2" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$T/pulse.sock" >"$T/pulse.log" 2>&1 &
pulse_pid=$!
tries=0
until pactl info >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ $tries -gt 200 ] || ! kill -0 "$pulse_pid" 2>/dev/null; then
        skip "pulseaudio could not be started: $(tail -n 1 "$T/pulse.log" 2>/dev/null)"
    fi
    sleep 0.05
done

# A steady client keeps the idle sink from rendering in 2-second blocks.
pacat -p --latency-msec=20 --raw --format=s16le --rate="$rate" --channels=2 /dev/zero &
pids="$!"
parecord -d nullsink.monitor --latency-msec=20 --file-format=wav --format=float32le --rate="$rate" --channels=2 \
    "$T/recording.wav" &
pids="$pids $!"
# The device-loss test asks for the server to die by creating this file.
(while [ ! -e "$T/kill-pulse" ] && kill -0 "$pulse_pid" 2>/dev/null; do sleep 0.05; done; kill "$pulse_pid" 2>/dev/null) &
pids="$pids $! $pulse_pid"

# Wine sees the host's root as drive Z:.
windows_path() { echo "Z:$1" | tr '/' '\\'; }
QUENDRA_PULSE_RECORDING=$(windows_path "$T/recording.wav") QUENDRA_PULSE_KILL_FILE=$(windows_path "$T/kill-pulse") \
    "$wine_exec" "$test_exe" "$@"
