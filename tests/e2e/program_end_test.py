"""Program end: every way of quitting runs the quit sequence and ends with exit code 0."""
import unittest

import harness as h

QUIT_SEQUENCE = ["FMOD_Channel_SetPaused(channel1, 1) = 0", "FMOD_Channel_SetPosition(channel1, 0, 1) = 0",
                 "FMOD_System_Release(system) = 0"]
# Each way of quitting: the close button, the menu item, a right click on the tray icon, a
# close request, the end of the Windows session.
WAYS = {"close_button": lambda window: h.click(window, 206, 5),
        "menu_item": lambda window: h.post(h.WM_COMMAND, h.QUIT_COMMAND),
        "tray_right_click": lambda window: h.post(h.TRAY_MESSAGE, 0, h.WM_RBUTTONUP),
        "close_request": lambda window: h.post(h.WM_CLOSE),
        "session_end": lambda window: h.wintool("send", h.MAIN_TITLE, h.WM_QUERYENDSESSION, 0, 0)}


class QuitSequence(h.PlayerTest):
    def start(self, name):
        return self.launch("C:\\music\\track.mp3", name=name, script="length 5000 80000\n",
                           wait_for="FMOD_Channel_SetPaused(channel1, 0)")

    def test_every_way_pauses_rewinds_releases_and_saves(self):
        for name, quit_player in WAYS.items():
            with self.subTest(name):
                window = self.start(name)
                if name == "close_request":
                    self.assertTrue(h.visible_window("Wine System Tray"), "the tray icon is shown")
                quit_player(window)
                self.assertEqual(self.run_.wait_exit(), 0)
                lines = self.run_.log()
                self.assertEqual(lines[-3:], QUIT_SEQUENCE, "the last calls")
                self.assertEqual(lines.count(QUIT_SEQUENCE[0]), 1, "paused once, at the end")
                self.assertEqual(self.run_.read("Quendra.pls"),
                                 b"[playlist]\r\nFile1=C:\\music\\track.mp3\r\nNumberOfEntries=1\r\nVersion=2\r\n")
                ini = self.run_.read("Quendra.ini").split(b"\r\n")
                self.assertEqual(len(ini), 13)
                self.assertIn(b"PlayListMarkieren = C:\\music\\track.mp3", ini)
                self.assertIn(b"HauptVolume = 100", ini)
                if name == "close_request":
                    # Wine hides its tray once it holds no icon; a stale icon would keep it for good.
                    h.wait_until(lambda: not h.visible_window("Wine System Tray"), timeout=3, what="the tray to go")

    def test_double_click_on_a_transport_button_acts_once(self):
        window = self.start(None)
        h.xdotool("mousemove", "--window", window, *h.STOP, "click", "--repeat", 2, "--delay", 80, 1)
        self.run_.wait_log("FMOD_Channel_SetPosition(channel1, 0, 1)")
        h.click(window, 135, 200)  # a click elsewhere, to be sure the double click was handled
        stops = h.calls(self.run_.log(), "FMOD_Channel_SetPosition")
        self.assertEqual(len(stops), 1, stops)


if __name__ == "__main__":
    unittest.main(verbosity=2)
