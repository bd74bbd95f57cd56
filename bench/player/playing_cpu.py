"""CPU use of the player under Wine while an MP3 plays through the real sound library with
the oscilloscope shown: the player's own thread, the library's threads, and the Wine server
of the prefix, each as a share of one core over PLAYING_SECONDS (20 s)."""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import harness as h  # noqa: E402
from idle_cpu import TICKS, player_pid  # noqa: E402

SECONDS = float(os.environ.get("PLAYING_SECONDS", "20"))


def thread_seconds(pid):
    """CPU seconds of each thread of a process, by thread id."""
    times = {}
    for tid in os.listdir("/proc/%d/task" % pid) if os.path.isdir("/proc/%d/task" % pid) else []:
        try:
            with open("/proc/%d/task/%s/stat" % (pid, tid)) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            times[int(tid)] = (int(fields[11]) + int(fields[12])) / TICKS
        except OSError:
            pass  # ended meanwhile
    return times


def wineserver_pid():
    prefix = ("WINEPREFIX=" + os.environ.get("WINEPREFIX", "")).encode()
    for pid in subprocess.run(["pgrep", "wineserver"], capture_output=True, text=True).stdout.split():
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if prefix in f.read().split(b"\0"):
                    return int(pid)
        except OSError:
            pass
    return None


def main():
    h.kill_leftover_players()
    run = h.PlayerRun("playing_cpu", real=True)
    track = os.path.join(run.folder, "track.mp3")
    wav = os.path.join(run.folder, "tone.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", str(SECONDS + 20), "sine",
                    "440", "vol", "0.7"], check=True)
    subprocess.run(["lame", "--quiet", "-b", "128", wav, track], check=True)
    run.start("track.mp3")
    run.wait_main_window()
    time.sleep(3)  # start-up and the first second of sound settle
    pid, server = player_pid(), wineserver_pid()
    before, server_before, start = thread_seconds(pid), thread_seconds(server), time.monotonic()
    time.sleep(SECONDS)
    after, server_after, elapsed = thread_seconds(pid), thread_seconds(server), time.monotonic() - start
    run.stop()
    used = {tid: after[tid] - before.get(tid, 0.0) for tid in after}
    player = used.get(pid, 0.0)  # the first thread runs the window and the event loop
    others = sum(used.values()) - player
    server_used = sum(server_after.values()) - sum(server_before.values())
    share = lambda seconds: 100.0 * seconds / elapsed
    print("playing an MP3 for %.1f s: player thread %.2f %%, other threads of quendra.exe %.2f %%, "
          "Wine server %.2f %% of one core" % (elapsed, share(player), share(others), share(server_used)))


if __name__ == "__main__":
    main()
