"""Buttons, shortcuts and window messages of the running player, with the fake library:
next and previous, play and pause, the slider, hover images, the About box, hiding to the
tray, select-all and delete."""
import unittest

import harness as h

SCRIPT = """length 125000 2000000
file C:\\m\\a.mp3
tag 2 TITLE Eins
file C:\\m\\b.mp3
tag 2 TITLE Zwei
file C:\\m\\c.mp3
tag 2 TITLE Drei
"""
WM_COMMAND = 0x111
WM_LBUTTONUP = 0x202
TRAY_MESSAGE = 0x8002
PREVIOUS, PLAY, STOP, NEXT = (35, 164), (85, 164), (135, 164), (185, 164)


def rows():
    return [line.split("\t") for line in h.wintool("list-rows", h.MAIN_TITLE, 16)[1].decode("latin-1").splitlines()]


def selected_titles():
    return [row[1] for row in rows() if row[0] == "1"]


def played(run):
    """Paths of the streams opened for playing, in order."""
    return [line.split('"')[1] for line in run.log() if line.startswith("FMOD_System_CreateStream(") and "0xc9" in line]


class Transport(unittest.TestCase):
    def setUp(self):
        h.kill_leftover_players()
        self.run_ = h.PlayerRun(self.id().split(".")[-1], script=SCRIPT)
        self.run_.start("C:\\m\\a.mp3", "C:\\m\\b.mp3", "C:\\m\\c.mp3")
        self.window = self.run_.wait_main_window()
        h.wait_until(lambda: selected_titles() == [" - Eins"], what="the first entry to play")

    def tearDown(self):
        self.run_.stop()

    def test_next_and_previous_buttons_follow_the_list_and_wrap(self):
        h.click(self.window, *NEXT)
        h.wait_until(lambda: selected_titles() == [" - Zwei"], what="next")
        h.click(self.window, *PREVIOUS)
        h.wait_until(lambda: selected_titles() == [" - Eins"], what="previous")
        # A second click at the same spot would be a double click, which does nothing.
        h.click(self.window, PREVIOUS[0] + 12, PREVIOUS[1])  # from the first entry previous wraps to the last
        h.wait_until(lambda: selected_titles() == [" - Drei"], what="previous wrapping")
        h.click(self.window, NEXT[0] + 12, NEXT[1])  # and next always wraps to the first
        h.wait_until(lambda: selected_titles() == [" - Eins"], what="next wrapping")
        self.assertEqual(played(self.run_), ["C:\\\\m\\\\a.mp3", "C:\\\\m\\\\b.mp3", "C:\\\\m\\\\a.mp3",
                                             "C:\\\\m\\\\c.mp3", "C:\\\\m\\\\a.mp3"])

    def test_play_button_pauses_and_resumes(self):
        h.click(self.window, *PLAY)
        self.run_.wait_log(lambda l: l == "FMOD_Channel_SetPaused(channel1, 1) = 0", what="the pause")
        h.click(self.window, 150, 100)  # away from the button, so it shows its normal image
        h.click(self.window, *PLAY)
        h.wait_until(lambda: self.run_.log().count("FMOD_Channel_SetPaused(channel1, 0) = 0") == 2, what="the resume")

    def test_slider_seeks_in_whole_seconds(self):
        # Pressing the slider right of its thumb pages forward while the button is held.
        h.xdotool("mousemove", "--window", self.window, 100, 140, "mousedown", 1)
        try:
            self.run_.wait_log(lambda l: l.startswith("FMOD_Channel_SetPosition(channel1, ") and ", 1) = 0" in l and
                               not l.startswith("FMOD_Channel_SetPosition(channel1, 0,"), what="a seek")
        finally:
            h.xdotool("mouseup", 1)
        seeks = [int(l.split(", ")[1]) for l in h.calls(self.run_.log(), "FMOD_Channel_SetPosition")]
        self.assertTrue(all(ms % 1000 == 0 and 0 <= ms <= 125000 for ms in seeks), seeks)

    def test_select_all_and_delete_remove_every_row(self):
        h.click(self.window, 100, 190)  # into the list: the main window is active
        h.xdotool("key", "--window", self.window, "ctrl+a")
        h.wait_until(lambda: len(selected_titles()) == 3, what="every row selected")
        h.xdotool("key", "--window", self.window, "Delete")
        h.wait_until(lambda: rows() == [], what="the list to empty")
        self.assertIsNone(self.run_.process.poll(), "the playing track plays on")
        h.click(self.window, *NEXT)  # nothing left: next loads nothing
        self.run_.wait_log(lambda l: l.startswith('FMOD_System_CreateStream(system, "", 0xc9'), what="the empty load")


class Window(unittest.TestCase):
    def setUp(self):
        h.kill_leftover_players()
        self.run_ = h.PlayerRun(self.id().split(".")[-1], script="")
        self.run_.start()
        self.window = self.run_.wait_main_window()

    def tearDown(self):
        self.run_.stop()

    def test_about_button_shows_the_about_box(self):
        h.click(self.window, 175, 5)
        box = h.wait_until(lambda: h.visible_window("\u00dcber Quendra"), what="the About box")
        text = h.wintool("child-text", "\xdcber Quendra", 0xFFFF)[1].decode("latin-1")
        self.assertIn("Quendra 1.0", text)
        h.xdotool("key", "--window", box, "Return")
        h.wait_until(lambda: not h.visible_window("\u00dcber Quendra"), what="the box to close")

    def test_minimize_hides_to_the_tray_and_a_tray_click_restores(self):
        h.click(self.window, 190, 5)
        h.wait_until(lambda: not h.visible_window(h.MAIN_TITLE), what="the window to hide")
        self.assertEqual(h.wintool("post", h.MAIN_TITLE, TRAY_MESSAGE, 0, WM_LBUTTONUP)[0], 0)
        h.wait_until(lambda: h.visible_window(h.MAIN_TITLE), what="the window to come back")

    def test_hovering_a_button_shows_its_brighter_image(self):
        def brightness():
            code, out = h.wintool("window", h.MAIN_TITLE)
            x, y = [int(v) for v in out.split()[1:3]]
            shot = h.screen()
            return sum(h.pixel(shot, x + px, y + py)[1] for px in range(110, 160) for py in range(155, 173))
        normal = brightness()
        h.xdotool("mousemove", "--window", self.window, 135, 164)
        h.wait_until(lambda: brightness() > normal, what="the hover image")
        h.xdotool("mousemove", "--window", self.window, 100, 60)
        h.wait_until(lambda: brightness() == normal, what="the normal image again")


if __name__ == "__main__":
    unittest.main(verbosity=2)
