"""CPU use of the idle player under Wine: the main window shown, nothing playing, the event
loop waking every 10 ms. Prints the share of one core over 30 s."""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import harness as h  # noqa: E402

SECONDS = float(os.environ.get("IDLE_SECONDS", "30"))
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def player_pid():
    out = h.subprocess.run(["pgrep", "-x", "quendra.exe"], capture_output=True, text=True).stdout.split()
    return int(out[0]) if out else None


def main():
    h.kill_leftover_players()
    run = h.PlayerRun("idle_cpu", script="")
    run.start()
    run.wait_main_window()
    time.sleep(2)  # let start-up settle
    pid = player_pid()
    start_cpu, start = cpu_seconds(pid), time.monotonic()
    time.sleep(SECONDS)
    used, elapsed = cpu_seconds(pid) - start_cpu, time.monotonic() - start
    run.stop()
    print("idle player: %.2f s CPU in %.1f s = %.2f %% of one core (target below 1 %%)"
          % (used, elapsed, 100.0 * used / elapsed))


if __name__ == "__main__":
    main()
