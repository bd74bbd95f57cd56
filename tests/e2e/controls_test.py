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


class Transport(h.PlayerTest):
    def setUp(self):
        super().setUp()
        self.window = self.launch("C:\\m\\a.mp3", "C:\\m\\b.mp3", "C:\\m\\c.mp3", script=SCRIPT)
        h.wait_until(lambda: h.marked() == [" - Eins"], what="the first entry to play")

    def test_next_and_previous_buttons_follow_the_list_and_wrap(self):
        h.click(self.window, *h.NEXT)
        h.wait_until(lambda: h.marked() == [" - Zwei"], what="next")
        h.click(self.window, *h.PREVIOUS)
        h.wait_until(lambda: h.marked() == [" - Eins"], what="previous")
        # A second click at the same spot would be a double click, which does nothing.
        h.click(self.window, h.PREVIOUS[0] + 12, h.PREVIOUS[1])  # from the first entry previous wraps to the last
        h.wait_until(lambda: h.marked() == [" - Drei"], what="previous wrapping")
        h.click(self.window, h.NEXT[0] + 12, h.NEXT[1])  # and next always wraps to the first
        h.wait_until(lambda: h.marked() == [" - Eins"], what="next wrapping")
        self.assertEqual(self.run_.played(), ["C:\\\\m\\\\a.mp3", "C:\\\\m\\\\b.mp3", "C:\\\\m\\\\a.mp3",
                                             "C:\\\\m\\\\c.mp3", "C:\\\\m\\\\a.mp3"])

    def test_play_button_pauses_and_resumes(self):
        h.click(self.window, *h.PLAY)
        self.run_.wait_log(lambda l: l == "FMOD_Channel_SetPaused(channel1, 1) = 0", what="the pause")
        h.click(self.window, 150, 100)  # away from the button, so it shows its normal image
        h.click(self.window, *h.PLAY)
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
        h.wait_until(lambda: len(h.marked()) == 3, what="every row selected")
        h.xdotool("key", "--window", self.window, "Delete")
        h.wait_until(lambda: h.rows() == [], what="the list to empty")
        self.assertIsNone(self.run_.process.poll(), "the playing track plays on")
        h.click(self.window, *h.NEXT)  # nothing left: next loads nothing
        self.run_.wait_log(lambda l: l.startswith('FMOD_System_CreateStream(system, "", 0xc9'), what="the empty load")


class Window(h.PlayerTest):
    def setUp(self):
        super().setUp()
        self.window = self.launch(script="")

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
        self.assertTrue(h.post(h.TRAY_MESSAGE, 0, h.WM_LBUTTONUP))
        h.wait_until(lambda: h.visible_window(h.MAIN_TITLE), what="the window to come back")

    def test_hovering_a_button_shows_its_brighter_image(self):
        def brightness():
            x, y = h.window_info()[1:3]
            shot = h.screen()
            return sum(h.pixel(shot, x + px, y + py)[1] for px in range(110, 160) for py in range(155, 173))
        normal = brightness()
        h.xdotool("mousemove", "--window", self.window, 135, 164)
        h.wait_until(lambda: brightness() > normal, what="the hover image")
        h.xdotool("mousemove", "--window", self.window, 100, 60)
        h.wait_until(lambda: brightness() == normal, what="the normal image again")


if __name__ == "__main__":
    unittest.main(verbosity=2)
