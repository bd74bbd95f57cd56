"""Drives the real quendra.exe under Wine like a user: start it in a folder of its own
with a (fake) sound library, wait for windows, click, read pixels, read the fake's log."""
import os
import shutil
import subprocess
import time
import unittest

QUENDRA_EXE = os.environ.get("QUENDRA_EXE", "")
FAKE_FMODEX = os.environ.get("FAKE_FMODEX", "")
REAL_FMODEX = os.environ.get("REAL_FMODEX", "")
DEMO_WAV = os.environ.get("DEMO_WAV", "")
WINTOOL = os.environ.get("WINTOOL", "")
WORK = os.environ.get("E2E_WORK", "/tmp/quendra-e2e")

MAIN_TITLE = "Quendra Player"
WM_CLOSE, WM_QUERYENDSESSION, WM_COMMAND = 0x10, 0x11, 0x111
WM_LBUTTONUP, WM_RBUTTONUP, TRAY_MESSAGE = 0x202, 0x205, 0x8002
QUIT_COMMAND = 29
# Client points of the transport buttons, and the oscilloscope, where a right click opens the
# context menu.
PREVIOUS, PLAY, STOP, NEXT = (35, 164), (85, 164), (135, 164), (185, 164)
MENU_SPOT = (100, 60)
BLACK = (0, 0, 0)


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
    the program file; a process that ended meanwhile or is not ours to read is left out."""
    ours = ("WINEPREFIX=" + os.environ.get("WINEPREFIX", "")).encode()
    players = []
    for pid in subprocess.run(["pgrep", "-x", "quendra.exe"], capture_output=True, text=True).stdout.split():
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if ours in f.read().split(b"\0"):
                    players.append(int(pid))
        except OSError:
            pass
    return players


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


def wait_window(title, timeout=20):
    return wait_until(lambda: visible_window(title), timeout=timeout, what=title)


def wait_gone(title, timeout=20):
    wait_until(lambda: not visible_window(title), timeout=timeout, what=title + " to go")


def wait_count(get, count, timeout=20, step=0.1):
    """Waits until get() gives a list of count items and returns it."""
    return wait_until(lambda: (lambda items: items if len(items) == count else None)(get()), timeout=timeout,
                      step=step, what="%d items" % count)


def wintool(*args):
    """Runs the Windows helper under Wine; returns (exit code, stdout bytes)."""
    result = subprocess.run(["wine", WINTOOL, *map(str, args)], capture_output=True, timeout=60)
    return result.returncode, result.stdout


def numbers(*args):
    """The numbers the Windows helper prints, or None when it fails."""
    code, out = wintool(*args)
    return [int(v) for v in out.split()] if code == 0 else None


def text(*args):
    return wintool(*args)[1].decode("latin-1")


def text_appears_after(action, title, control, expected, timeout_ms=5000):
    """Runs action() while the Windows helper watches a control's text; true when the text
    appeared (a text that stands only briefly is seen too)."""
    watcher = subprocess.Popen(["wine", WINTOOL, "wait-text", title, str(control), expected, str(timeout_ms)],
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


def reg(*args):
    """Runs Wine's registry tool; returns what it prints."""
    return subprocess.run(["wine", "reg", *args], capture_output=True, timeout=60).stdout.decode("latin-1")


def screen():
    """The whole screen as (width, height, rgb bytes)."""
    width, height = map(int, xdotool("getdisplaygeometry").split())
    return width, height, subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], capture_output=True,
                                         check=True).stdout


def pixel(shot, x, y):
    width, _, data = shot
    offset = (y * width + x) * 3
    return tuple(data[offset:offset + 3])


def click(x_window, x, y, button=1):
    xdotool("mousemove", "--window", x_window, x, y, "click", button)


def post(message, wparam=0, lparam=0):
    """Posts a message to the main window; true when it was posted."""
    return wintool("post", MAIN_TITLE, message, wparam, lparam)[0] == 0


def window_info(title=MAIN_TITLE):
    """[visible, x, y, width, height, topmost, enabled] of a window: its client area on the
    screen, whether it stays on top and takes input; None when there is no such window."""
    return numbers("window", title)


def colours(shot, left, top, right, bottom):
    """The set of colours in a rectangle of a screenshot."""
    return {pixel(shot, x, y) for x in range(left, right) for y in range(top, bottom)}


def check_dialog(test, title, black=(), coloured=()):
    """Checks a dialog of the player's own: 202 x 250, centred over the main window, black in
    the rectangles `black` and showing each colour of `coloured` (colour, rectangle) somewhere
    in its rectangle; rectangles (left, top, right, bottom) in the client area. Returns the
    client area's top left corner on the screen."""
    visible, x, y, width, height = window_info(title)[:5]
    _, main_x, main_y, main_width, main_height = window_info()[:5]
    test.assertEqual((visible, width, height), (1, 202, 250))
    test.assertEqual((x, y), (max(0, main_x + (main_width - 202) // 2), max(0, main_y + (main_height - 250) // 2)))
    shot = screen()
    for left, top, right, bottom in black:
        test.assertEqual(colours(shot, x + left, y + top, x + right, y + bottom), {BLACK}, (left, top))
    for colour, (left, top, right, bottom) in coloured:
        test.assertIn(colour, colours(shot, x + left, y + top, x + right, y + bottom), (left, top))
    return x, y


def rows(title=MAIN_TITLE, list_id=16):
    """A list view's rows, by default the main playlist's: [marked "1"/"0", text, length]."""
    return [line.split("\t") for line in text("list-rows", title, list_id).splitlines()]


def names():
    return [row[1] for row in rows()]


def marked():
    return [row[1] for row in rows() if row[0] == "1"]


def menu_dialog(x_window, title, *keys):
    """Opens the context menu over the oscilloscope, presses the keys and Return a short pause
    apart and returns the window of the dialog that opens. The menu: "Auswahl entfernen", a
    separator, "Datei", "Stream" and "Audio-CD öffnen"..."""
    click(x_window, *MENU_SPOT, button=3)
    xdotool("sleep", 0.5, *[step for key in (*keys, "Return") for step in ("key", key, "sleep", 0.2)])
    return wait_window(title)


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def doubled(path):
    """A path as the fake's log writes it, backslashes doubled."""
    return path.replace("\\", "\\\\")


def playlist_script(*entries):
    """Fake library script that reads a playlist file as these entries: the player converts the
    list to a temporary copy first and opens that."""
    return "file %sQuendralistformated.tmp\n" % text("temp-folder") + "".join("tag 8 FILE %s\n" % doubled(entry)
                                                                             for entry in entries)


class PlayerRun:
    """One run of the player in a fresh folder: exe, sound library, script, log."""

    def __init__(self, name, script=None, fake=True, real=False, files=None):
        self.folder = os.path.join(WORK, name)
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.exe = shutil.copy(QUENDRA_EXE, self.path("quendra.exe"))
        if real or fake:
            shutil.copy(REAL_FMODEX if real else FAKE_FMODEX, self.path("fmodex.dll"))
        files = dict(files or {})
        if script is not None:
            files["fmodex_script.txt"] = script
        for file_name, content in files.items():
            self.write(file_name, content)
        self.process = None

    def path(self, name):
        return os.path.join(self.folder, name)

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

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def log(self):
        """The fake's log lines so far; none before its first call."""
        try:
            return self.read("fmodex_calls.log").decode("latin-1").splitlines()
        except FileNotFoundError:
            return []

    def wait_log(self, match, timeout=20, what=None):
        """The log lines that match once there are any; a text matches the lines it begins."""
        test = (lambda line: line.startswith(match)) if isinstance(match, str) else match
        return wait_until(lambda: [line for line in self.log() if test(line)], timeout=timeout,
                          what=what or str(match))

    def played(self):
        """Paths of the streams opened for playing, in order (backslashes doubled, as logged)."""
        return [line.split('"')[1] for line in self.log()
                if line.startswith("FMOD_System_CreateStream(") and "0xc9" in line]

    def write(self, name, content):
        """Writes bytes as they are, a text as Latin-1, a list as lines ending in CR LF."""
        if isinstance(content, list):
            content = "".join(line + "\r\n" for line in content)
        with open(self.path(name), "wb") as f:
            f.write(content.encode("latin-1") if isinstance(content, str) else content)

    def stop(self):
        """Ends the player; fails when the fake noted script lines it did not take."""
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        kill_leftover_players()
        notes = [line for line in self.log() if line.startswith("# ")]
        if notes:
            raise AssertionError("the fake did not take its script: %s" % notes)


def calls(lines, name):
    """The log lines of calls of one entry point."""
    return [line for line in lines if line.startswith(name + "(")]


class PlayerTest(unittest.TestCase):
    """A test that runs one player (self.run_), stopped afterwards whatever happened."""
    run_ = None

    def setUp(self):
        kill_leftover_players()
        self.run_ = None

    def tearDown(self):
        if self.run_:
            self.run_.stop()

    def prepare(self, name=None, **options):
        """A fresh run named after the test, not started yet; the run before it is stopped."""
        if self.run_:
            self.run_.stop()
        self.run_ = PlayerRun(name or self.id().split(".")[-1], **options)
        return self.run_

    def launch(self, *args, wait_for=None, **options):
        """A fresh run (unless prepared already), started with args; its main window once
        shown, and after wait_for, a prefix of a log line, has been logged."""
        if not self.run_ or self.run_.process:
            self.prepare(**options)
        self.run_.start(*args)
        window = self.run_.wait_main_window()
        if wait_for:
            self.run_.wait_log(wait_for)
        return window
