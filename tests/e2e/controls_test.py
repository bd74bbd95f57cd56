"""Buttons, shortcuts and window messages of the running player, with the fake library."""
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
ABOUT = "\u00dcber Quendra"
RESUMED = "FMOD_Channel_SetPaused(channel1, 0) = 0"


class Transport(h.PlayerTest):
    def setUp(self):
        super().setUp()
        self.window = self.launch("C:\\m\\a.mp3", "C:\\m\\b.mp3", "C:\\m\\c.mp3", script=SCRIPT)
        h.wait_until(lambda: h.marked() == [" - Eins"], what="the first entry to play")

    def test_next_and_previous_buttons_follow_the_list_and_wrap(self):
        # A second click at the same spot would be a double click, which does nothing.
        for button, dx, title in ((h.NEXT, 0, "Zwei"), (h.PREVIOUS, 0, "Eins"), (h.PREVIOUS, 12, "Drei"),
                                  (h.NEXT, 12, "Eins")):  # previous from the first wraps to the last, next to the first
            h.click(self.window, button[0] + dx, button[1])
            h.wait_until(lambda: h.marked() == [" - " + title], what=title)
        self.assertEqual(self.run_.played(), [h.doubled("C:\\m\\%s.mp3" % n) for n in "abaca"])

    def test_play_pauses_and_resumes_and_stop_then_play_starts_again_from_the_start(self):
        h.click(self.window, *h.PLAY)
        self.run_.wait_log("FMOD_Channel_SetPaused(channel1, 1) = 0")
        h.click(self.window, 150, 100)  # away from the button, so it shows its normal image
        h.click(self.window, *h.PLAY)
        h.wait_until(lambda: self.run_.log().count(RESUMED) == 2, what="the resume")
        h.click(self.window, *h.STOP)
        self.run_.wait_log("FMOD_Channel_SetPosition(channel1, 0, 1) = 0")
        h.click(self.window, *h.PLAY)
        h.wait_until(lambda: self.run_.log().count(RESUMED) == 3, what="the start after stop")

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
        self.run_.wait_log('FMOD_System_CreateStream(system, "", 0xc9')


class Window(h.PlayerTest):
    def test_hover_images_about_box_and_hiding_to_the_tray(self):
        window = self.launch(script="")

        def brightness():
            x, y = h.window_info()[1:3]
            shot = h.screen()
            return sum(h.pixel(shot, x + px, y + py)[1] for px in range(110, 160) for py in range(155, 173))
        normal = brightness()
        h.xdotool("mousemove", "--window", window, 135, 164)
        h.wait_until(lambda: brightness() > normal, what="the hover image")
        h.xdotool("mousemove", "--window", window, 100, 60)
        h.wait_until(lambda: brightness() == normal, what="the normal image again")

        h.click(window, 175, 5)  # the About button
        box = h.wait_window(ABOUT)
        self.assertIn("Quendra 1.0", h.text("child-text", "\xdcber Quendra", 0xFFFF))
        h.xdotool("key", "--window", box, "Return")
        h.wait_gone(ABOUT)

        h.click(window, 190, 5)  # minimize: hidden to the tray, and a tray click restores
        h.wait_gone(h.MAIN_TITLE)
        self.assertTrue(h.post(h.TRAY_MESSAGE, 0, h.WM_LBUTTONUP))
        h.wait_window(h.MAIN_TITLE)


if __name__ == "__main__":
    unittest.main(verbosity=2)
