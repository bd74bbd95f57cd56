"""The task-bar mini window in a prefix that reports Windows XP (on major version 6 it is
switched off), with a band window made for the test and without one."""
import subprocess
import unittest

import harness as h

MINI_TITLE = "Quendra MiniFenster"
# A square wave: the trace runs along rows 3 and 27 of the 30, above and below the text.
SCRIPT = "wave" + " 0.8" * 10 + " -0.8" * 10 + "\n"
VERSION = ["HKCU\\Software\\Wine", "/v", "Version"]
saved_version = None


def setUpModule():
    global saved_version
    words = [line.split() for line in h.reg("query", *VERSION).splitlines() if "REG_SZ" in line]
    saved_version = words[0][-1] if words else None
    h.reg("add", *VERSION, "/t", "REG_SZ", "/d", "winxp", "/f")


def tearDownModule():
    h.reg(*(["add", *VERSION, "/t", "REG_SZ", "/d", saved_version] if saved_version else ["delete", *VERSION]), "/f")


def coloured_pixels(area, test):
    shot = h.screen()
    _, x, y, width, height = area[:5]
    return sum(1 for px in range(x, x + width) for py in range(y, y + height) if test(h.pixel(shot, px, py)))


def red(rgb):
    return rgb[0] >= 120 and rgb[1] < 60 and rgb[2] < 60


def show_buttons(mini, y):
    """Moves the mouse over the mini window, which shows its buttons then."""
    h.xdotool("mousemove", mini[1] + 50, mini[2] + y)
    h.wait_until(lambda: h.numbers("child-rect", MINI_TITLE, 2)[4] == 1, what="the buttons")


class MiniWindow(h.PlayerTest):
    def start_hidden_player(self):
        """A player with a playing track and the volume at 5, hidden to the tray."""
        window = self.launch("C:\\m\\a.mp3", script=SCRIPT, files={"Quendra.ini": "HauptVolume = 5\r\n"},
                             wait_for="FMOD_Channel_SetPaused(channel1, 0)")
        h.click(window, 190, 5)
        h.wait_gone(h.MAIN_TITLE)

    def test_fits_into_the_task_bar_draws_the_trace_and_gives_way_to_the_main_window(self):
        band_window = subprocess.Popen(["wine", h.WINTOOL, "band", "600", "30", "200"], stdout=subprocess.PIPE)
        self.addCleanup(band_window.wait, timeout=10)
        self.addCleanup(band_window.kill)
        self.assertEqual(band_window.stdout.readline().strip(), b"ready")
        left, top, right, bottom = h.numbers("band-rect")
        h.xdotool("mousemove", 700, 400)  # away from where the mini window goes
        self.start_hidden_player()
        mini = h.wait_until(lambda: (lambda m: m if m and m[0] == 1 else None)(h.window_info(MINI_TITLE)),
                            what="the mini window")
        band = h.numbers("band-rect")
        self.assertEqual((band[2] - band[0], band[3] - band[1]), (right - left - 100, bottom - top))
        self.assertEqual(mini[:5], [1, band[2], band[3] - 30, 101, 30])
        for button, x in ((3, 3), (2, 35), (4, 67)):
            self.assertEqual(h.numbers("child-rect", MINI_TITLE, button)[:4], [x, 7, 30, 18])
        region = h.numbers("window-region", MINI_TITLE)
        self.assertGreater(region[0], 0, "rounded corners")
        self.assertEqual((min(region[0::4]), max(region[2::4]), max(region[3::4])), (0, 100, 30))
        self.run_.wait_log("FMOD_Channel_GetWaveData(channel1, &, 102, 0)", what="samples for the 101 pixels")
        bright_green = lambda rgb: rgb[1] >= 200 and rgb[0] < 80 and rgb[2] < 80
        h.wait_until(lambda: coloured_pixels([1, mini[1], mini[2], 101, 6], bright_green) > 40, what="the green trace")

        # The wheel turns the volume down to 0: "Volume 0%" in red for a second.
        show_buttons(mini, 3)
        h.xdotool("click", 5, "mousemove", 700, 400)
        self.run_.wait_log("FMOD_Channel_SetVolume(channel1, 0) = 0")
        h.wait_until(lambda: coloured_pixels(mini, red) > 10, timeout=3, step=0.05, what="the red volume notice")
        h.wait_until(lambda: coloured_pixels(mini, red) == 0, timeout=5, what="the notice to end")
        # A right click on a button brings the main window back.
        show_buttons(mini, 15)
        h.xdotool("click", 3)
        h.wait_window(h.MAIN_TITLE)
        h.wait_until(lambda: h.window_info(MINI_TITLE)[0] == 0, what="the mini window to hide")

    def test_without_a_band_window_it_stays_hidden(self):
        self.assertIsNone(h.numbers("band-rect"))
        self.start_hidden_player()
        seen = len(self.run_.log())
        # Two status updates later the display has had a dozen refreshes.
        h.wait_until(lambda: len(h.calls(self.run_.log()[seen:], "FMOD_Channel_GetPosition")) >= 2,
                     what="two status updates")
        self.assertEqual(h.window_info(MINI_TITLE)[0], 0)
        self.assertFalse(h.calls(self.run_.log()[seen:], "FMOD_Channel_GetWaveData"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
