#!/bin/sh
# Runs the recording test program under Wine with a private PulseAudio server whose two
# null sinks, at RATE, are recorded; the tests learn the rate from QUENDRA_PULSE_RATE. When
# no server can be started the program still runs and skips, with the reason in
# QUENDRA_PULSE_SKIP. Further arguments (one word each) go to the program.
#   run_pulse_recording.sh TEST.exe WINE-EXEC RATE [ARGUMENTS...]
set -u
test_exe=$1 wine_exec=$2 rate=$3
shift 3
arguments="$*"
export QUENDRA_PULSE_RATE=$rate

T=$(mktemp -d /tmp/quendra-pulse.XXXXXX)
pulse_pid="" pids=""
cleanup() {
    for pid in $pids $pulse_pid; do kill -INT "$pid" 2>/dev/null; done
    for pid in $pids $pulse_pid; do wait "$pid" 2>/dev/null; done
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

# Starts the server with two null sinks, each recorded to $T/<sink><suffix>.wav, and a
# steady client per sink that keeps an idle sink from rendering in 2-second blocks.
start_server() { # suffix
    PULSE_CONFIG="$T/daemon.conf" pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n --use-pid-file=no \
        -L "module-null-sink sink_name=nullsink rate=$rate format=float32le channels=2" \
        -L "module-null-sink sink_name=othersink rate=$rate format=float32le channels=2" \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$T/pulse.sock" >"$T/pulse$1.log" 2>&1 &
    pulse_pid=$!
    tries=0
    until pactl info >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ $tries -gt 200 ] || ! kill -0 "$pulse_pid" 2>/dev/null; then return 1; fi
        sleep 0.05
    done
    for sink in nullsink othersink; do
        pacat -p -d $sink --latency-msec=20 --raw --format=s16le --rate="$rate" --channels=2 /dev/zero &
        pids="$pids $!"
        parecord -d $sink.monitor --latency-msec=20 --file-format=wav --format=float32le --rate="$rate" \
            --channels=2 "$T/$sink$1.wav" &
        pids="$pids $!"
    done
}
start_server "" || skip "pulseaudio could not be started: $(tail -n 1 "$T/pulse.log" 2>/dev/null)"

# The tests ask for the server to die and come back a second later, or for the other sink
# to become the default, by creating these files.
(
    while [ ! -e "$T/end" ]; do
        if [ -e "$T/switch-sink" ]; then pactl set-default-sink othersink && rm -f "$T/switch-sink"; fi
        if [ -e "$T/restart-pulse" ]; then
            kill "$pulse_pid" 2>/dev/null
            sleep 1
            start_server "-again"
            rm -f "$T/restart-pulse"
        fi
        sleep 0.05
    done
    for pid in $pids $pulse_pid; do kill -INT "$pid" 2>/dev/null; done
) &
watcher_pid=$!

# Wine sees the host's root as drive Z:.
windows_path() { echo "Z:$1" | tr '/' '\\'; }
QUENDRA_PULSE_RECORDING=$(windows_path "$T/nullsink.wav") \
    QUENDRA_PULSE_OTHER_RECORDING=$(windows_path "$T/othersink.wav") \
    QUENDRA_PULSE_SWITCH_FILE=$(windows_path "$T/switch-sink") \
    QUENDRA_PULSE_RESTART_FILE=$(windows_path "$T/restart-pulse") \
    QUENDRA_PULSE_AGAIN_RECORDING=$(windows_path "$T/nullsink-again.wav") "$wine_exec" "$test_exe" "$@"
status=$?
touch "$T/end"
wait "$watcher_pid" 2>/dev/null
exit $status
