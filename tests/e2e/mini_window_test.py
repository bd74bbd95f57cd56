"""The task-bar mini window in a prefix that reports Windows XP (on major version 6 it is
switched off): fitted into a band window made for the test, with its trace, the wheel's
volume notice and a right click on a button bringing the main window back; and hidden where
the task bar has no band window."""
import os
import subprocess
import unittest

import harness as h

MINI_TITLE = "Quendra MiniFenster"
MINIMIZE = (190, 5)
# A square wave: the trace runs along rows 3 and 27 of the 30, above and below the text.
SCRIPT = "wave" + " 0.8" * 10 + " -0.8" * 10 + "\n"
WINE_KEY = "HKCU\\Software\\Wine"
saved_version = None


def setUpModule():
    global saved_version
    query = subprocess.run(["wine", "reg", "query", WINE_KEY, "/v", "Version"], capture_output=True, text=True)
    words = [line.split() for line in query.stdout.splitlines() if "Version" in line and "REG_SZ" in line]
    saved_version = words[0][-1] if query.returncode == 0 and words else None
    subprocess.run(["wine", "reg", "add", WINE_KEY, "/v", "Version", "/t", "REG_SZ", "/d", "winxp", "/f"],
                   capture_output=True, check=True)


def tearDownModule():
    if saved_version is None:
        subprocess.run(["wine", "reg", "delete", WINE_KEY, "/v", "Version", "/f"], capture_output=True)
    else:
        subprocess.run(["wine", "reg", "add", WINE_KEY, "/v", "Version", "/t", "REG_SZ", "/d", saved_version, "/f"],
                       capture_output=True)


def numbers(args):
    code, out = h.wintool(*args)
    return [int(v) for v in out.split()] if code == 0 else None


def mini_window():
    """(visible, x, y, width, height) of the mini window's client area on the screen."""
    return numbers(["window", MINI_TITLE])


def coloured_pixels(area, test):
    shot = h.screen()
    _, x, y, width, height = area
    return sum(1 for px in range(x, x + width) for py in range(y, y + height) if test(h.pixel(shot, px, py)))


def bright_green(rgb):
    return rgb[1] >= 200 and rgb[0] < 80 and rgb[2] < 80


def red(rgb):
    return rgb[0] >= 120 and rgb[1] < 60 and rgb[2] < 60


def start_hidden_player(name):
    """A player with a playing track and the volume at 5, hidden to the tray."""
    run = h.PlayerRun(name, script=SCRIPT)
    with open(os.path.join(run.folder, "Quendra.ini"), "wb") as f:
        f.write(b"HauptVolume = 5\r\n")
    run.start("C:\\m\\a.mp3")
    window = run.wait_main_window()
    run.wait_log(lambda l: l.startswith("FMOD_Channel_SetPaused(channel1, 0)"), what="the track to start")
    h.click(window, *MINIMIZE)
    h.wait_until(lambda: not h.visible_window(h.MAIN_TITLE), what="the main window to hide")
    return run


class WithBand(unittest.TestCase):
    def setUp(self):
        h.kill_leftover_players()
        self.band = subprocess.Popen(["wine", h.WINTOOL, "band", "600", "30", "200"], stdout=subprocess.PIPE)
        self.assertEqual(self.band.stdout.readline().strip(), b"ready")
        self.run_ = None

    def tearDown(self):
        if self.run_:
            self.run_.stop()
        self.band.kill()
        self.band.wait(timeout=10)

    def test_fits_into_the_task_bar_draws_the_trace_and_gives_way_to_the_main_window(self):
        left, top, right, bottom = numbers(["band-rect"])
        h.xdotool("mousemove", 700, 400)  # away from where the mini window goes
        self.run_ = start_hidden_player("mini_with_band")
        mini = h.wait_until(lambda: (lambda m: m if m and m[0] == 1 else None)(mini_window()),
                            what="the mini window")
        band = numbers(["band-rect"])
        self.assertEqual((band[2] - band[0], band[3] - band[1]), (right - left - 100, bottom - top))
        self.assertEqual(mini, [1, band[2], band[3] - 30, 101, 30])
        for button, x in ((3, 3), (2, 35), (4, 67)):
            self.assertEqual(numbers(["child-rect", MINI_TITLE, button]), [x, 7, 30, 18])
        region = numbers(["window-region", MINI_TITLE])
        self.assertGreater(region[0], 0, "rounded corners")
        self.assertEqual((min(region[0::4]), max(region[2::4]), max(region[3::4])), (0, 100, 30))
        self.run_.wait_log(lambda l: l.startswith("FMOD_Channel_GetWaveData(channel1, &, 102, 0)"),
                           what="samples for the 101 pixels")
        top_rows = [1, mini[1], mini[2], 101, 6]
        h.wait_until(lambda: coloured_pixels(top_rows, bright_green) > 40, what="the green trace")

        # The wheel turns the volume down to 0: "Volume 0%" in red for a second.
        h.xdotool("mousemove", mini[1] + 50, mini[2] + 3)
        h.wait_until(lambda: numbers(["child-state", MINI_TITLE, 2])[0] == 1, what="the buttons")
        h.xdotool("click", 5)
        h.xdotool("mousemove", 700, 400)
        self.run_.wait_log(lambda l: l == "FMOD_Channel_SetVolume(channel1, 0) = 0", what="the volume change")
        h.wait_until(lambda: coloured_pixels(mini, red) > 10, timeout=3, step=0.05, what="the red volume notice")
        h.wait_until(lambda: coloured_pixels(mini, red) == 0, timeout=5, what="the notice to end")

        # A right click on a button brings the main window back.
        h.xdotool("mousemove", mini[1] + 50, mini[2] + 15)
        h.wait_until(lambda: numbers(["child-state", MINI_TITLE, 2])[0] == 1, what="the buttons")
        h.xdotool("click", 3)
        h.wait_until(lambda: h.visible_window(h.MAIN_TITLE), what="the main window")
        h.wait_until(lambda: mini_window()[0] == 0, what="the mini window to hide")


class WithoutBand(unittest.TestCase):
    def tearDown(self):
        self.run_.stop()

    def test_stays_hidden(self):
        h.kill_leftover_players()
        self.assertIsNone(numbers(["band-rect"]))
        self.run_ = start_hidden_player("mini_without_band")
        seen = len(self.run_.log())
        # Two status updates later the display has had a dozen refreshes.
        h.wait_until(lambda: len(h.calls(self.run_.log()[seen:], "FMOD_Channel_GetPosition")) >= 2,
                     what="two status updates")
        self.assertEqual(mini_window()[0], 0)
        self.assertFalse(h.calls(self.run_.log()[seen:], "FMOD_Channel_GetWaveData"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
