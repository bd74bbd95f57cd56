"""Drives the real quendra.exe under Wine like a user: start it in a folder of its own
with a (fake) sound library, wait for windows, click, read pixels, read the fake's log."""
import os
import shutil
import subprocess
import time

QUENDRA_EXE = os.environ.get("QUENDRA_EXE", "")
FAKE_FMODEX = os.environ.get("FAKE_FMODEX", "")
REAL_FMODEX = os.environ.get("REAL_FMODEX", "")
DEMO_WAV = os.environ.get("DEMO_WAV", "")
WINTOOL = os.environ.get("WINTOOL", "")
WORK = os.environ.get("E2E_WORK", "/tmp/quendra-e2e")

MAIN_TITLE = "Quendra Player"


def wait_until(condition, timeout=20.0, step=0.1, what="condition"):
    """Polls until condition() gives a true value and returns it; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(step)


def own_players():
    """Process ids of the players in our Wine prefix: other build trees on the machine may be
    running players of their own, which are not ours to end. Wine names the process after
    the program file."""
    ours = ("WINEPREFIX=" + os.environ.get("WINEPREFIX", "")).encode()
    found = subprocess.run(["pgrep", "-x", "quendra.exe"], capture_output=True, text=True).stdout.split()
    pids = []
    for pid in found:
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if ours in f.read().split(b"\0"):
                    pids.append(int(pid))
        except OSError:
            pass  # ended meanwhile, or not ours to read
    return pids


def kill_leftover_players():
    for pid in own_players():
        try:
            os.kill(pid, 9)
        except OSError:
            pass
    wait_until(lambda: not own_players(), timeout=10, what="old players to end")


def xdotool(*args):
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True)
    return result.stdout.strip() if result.returncode == 0 else ""


def visible_window(title):
    """X window id of the visible top-level window with exactly this title, or ''."""
    found = xdotool("search", "--onlyvisible", "--name", "^" + title + "$")
    return found.split("\n")[0] if found else ""


def wintool(*args):
    """Runs the Windows helper under Wine; returns (exit code, stdout bytes)."""
    result = subprocess.run(["wine", WINTOOL, *map(str, args)], capture_output=True, timeout=60)
    return result.returncode, result.stdout


def text_appears_after(action, title, control, text, timeout_ms=5000):
    """Runs action() while the Windows helper watches a control's text; true when the text
    appeared (a text that stands only briefly is seen too)."""
    watcher = subprocess.Popen(["wine", WINTOOL, "wait-text", title, str(control), text, str(timeout_ms)],
                               stdout=subprocess.PIPE)
    with watcher:
        watcher.stdout.readline()  # "polling"
        action()
        return watcher.wait(timeout=timeout_ms / 1000 + 30) == 0


def quietly(*command, timeout=60):
    """Runs a command with no output of ours: a Wine server or service it starts keeps
    running after it and would otherwise hold the caller's pipe open."""
    return subprocess.run(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL, timeout=timeout).returncode


def restart_wine_server():
    """Ends the prefix's Wine server and starts it again, so that its services read the
    registry anew (drive letters and types are read once, when they start)."""
    quietly("wineserver", "-k")
    quietly("wineserver", "-w")
    quietly("wineserver", "-p", "60")
    quietly("wine", "cmd", "/c", "exit")


def screen():
    """The whole screen as (width, height, rgb bytes)."""
    geometry = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True,
                              check=True).stdout.split()
    width, height = int(geometry[0]), int(geometry[1])
    data = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], capture_output=True,
                          check=True).stdout
    return width, height, data


def pixel(shot, x, y):
    width, _, data = shot
    offset = (y * width + x) * 3
    return tuple(data[offset:offset + 3])


def click(x_window, x, y, button=1):
    xdotool("mousemove", "--window", x_window, x, y, "click", button)


class PlayerRun:
    """One run of the player in a fresh folder: exe, sound library, script, log."""

    def __init__(self, name, script=None, fake=True, real=False):
        self.folder = os.path.join(WORK, name)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.exe = os.path.join(self.folder, "quendra.exe")
        shutil.copy(QUENDRA_EXE, self.exe)
        if real:
            shutil.copy(REAL_FMODEX, os.path.join(self.folder, "fmodex.dll"))
        elif fake:
            shutil.copy(FAKE_FMODEX, os.path.join(self.folder, "fmodex.dll"))
        if script is not None:
            with open(os.path.join(self.folder, "fmodex_script.txt"), "w") as f:
                f.write(script)
        self.process = None

    def start(self, *args):
        self.process = subprocess.Popen(["wine", self.exe, *args], cwd=self.folder,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self.process

    def run_second(self, *args, timeout=30):
        """Starts another instance from the same folder and returns its exit code."""
        return subprocess.run(["wine", self.exe, *args], cwd=self.folder, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode

    def wait_main_window(self, timeout=30):
        return wait_until(lambda: visible_window(MAIN_TITLE), timeout=timeout, what="the main window")

    def wait_exit(self, timeout=30):
        return self.process.wait(timeout=timeout)

    def log(self):
        path = os.path.join(self.folder, "fmodex_calls.log")
        if not os.path.exists(path):
            return []
        with open(path, "rb") as f:
            return f.read().decode("latin-1").splitlines()

    def wait_log(self, predicate, timeout=20, what="a log line"):
        return wait_until(lambda: [line for line in self.log() if predicate(line)], timeout=timeout, what=what)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        kill_leftover_players()


def calls(lines, name):
    """The log lines of calls of one entry point."""
    return [line for line in lines if line.startswith(name + "(")]


def index_of_call(lines, name, start=0):
    for i in range(start, len(lines)):
        if lines[i].startswith(name + "("):
            return i
    return -1
