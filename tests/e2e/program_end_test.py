"""Program end: every way of quitting runs the quit sequence and ends with exit code 0."""
import os
import subprocess
import unittest

import harness as h


class QuitSequence(h.PlayerTest):
    def setUp(self):
        super().setUp()
        self.window = self.launch("C:\\music\\track.mp3", script="length 5000 80000\n",
                                  wait_for="FMOD_Channel_SetPaused(channel1, 0)")

    def expect_quit_sequence(self):
        self.assertEqual(self.run_.wait_exit(), 0)
        lines = self.run_.log()
        paused = h.index_of_call(lines, "FMOD_Channel_SetPaused", h.index_of_call(lines, "FMOD_Channel_SetPriority"))
        paused = h.index_of_call(lines, "FMOD_Channel_SetPaused", paused + 1)
        self.assertGreater(paused, 0, "no pause at the end")
        self.assertTrue(lines[paused].startswith("FMOD_Channel_SetPaused(channel1, 1)"), lines[paused])
        self.assertTrue(lines[paused + 1].startswith("FMOD_Channel_SetPosition(channel1, 0, 1)"), lines[paused + 1])
        self.assertTrue(lines[paused + 2].startswith("FMOD_System_Release(system)"), lines[paused + 2])
        self.assertEqual(len(lines), paused + 3, "calls after the library was released")
        with open(os.path.join(self.run_.folder, "Quendra.pls"), "rb") as f:
            self.assertEqual(f.read(), b"[playlist]\r\nFile1=C:\\music\\track.mp3\r\nNumberOfEntries=1\r\nVersion=2\r\n")
        with open(os.path.join(self.run_.folder, "Quendra.ini"), "rb") as f:
            ini = f.read().split(b"\r\n")
        self.assertEqual(len(ini), 13)
        self.assertIn(b"PlayListMarkieren = C:\\music\\track.mp3", ini)
        self.assertIn(b"HauptVolume = 100", ini)

    def test_close_button(self):
        h.click(self.window, 206, 5)
        self.expect_quit_sequence()

    def test_menu_item_quit(self):
        self.assertTrue(h.post(h.WM_COMMAND, h.QUIT_COMMAND))
        self.expect_quit_sequence()

    def test_right_click_on_the_tray_icon(self):
        self.assertTrue(h.post(h.TRAY_MESSAGE, 0, h.WM_RBUTTONUP))
        self.expect_quit_sequence()

    def test_close_request(self):
        self.assertTrue(h.visible_window("Wine System Tray"), "the tray icon is shown")
        self.assertTrue(h.post(h.WM_CLOSE))
        self.expect_quit_sequence()
        # Wine hides its tray once it holds no icon; a stale icon would keep it for good.
        h.wait_until(lambda: not h.visible_window("Wine System Tray"), timeout=3, what="the tray icon to go")

    def test_a_folder_that_allows_no_new_files_still_saves(self):
        for name in ("Quendra.pls", "Quendra.ini"):
            with open(os.path.join(self.run_.folder, name), "wb") as f:
                f.write(b"old")
        if subprocess.run(["chattr", "+i", self.run_.folder], capture_output=True).returncode != 0:
            self.skipTest("chattr +i is not allowed here")
        try:
            self.assertTrue(h.post(h.WM_CLOSE))
            self.expect_quit_sequence()
        finally:
            subprocess.run(["chattr", "-i", self.run_.folder])

    def test_end_of_the_windows_session(self):
        h.wintool("send", h.MAIN_TITLE, h.WM_QUERYENDSESSION, 0, 0)
        self.expect_quit_sequence()

    def test_double_click_on_a_transport_button_acts_once(self):
        h.xdotool("mousemove", "--window", self.window, *h.STOP, "click", "--repeat", 2, "--delay", 80, 1)
        self.run_.wait_log(lambda line: line.startswith("FMOD_Channel_SetPosition(channel1, 0, 1)"))
        h.click(self.window, 135, 200)  # a click elsewhere, to be sure the double click was handled
        stops = h.calls(self.run_.log(), "FMOD_Channel_SetPosition")
        self.assertEqual(len(stops), 1, stops)


if __name__ == "__main__":
    unittest.main(verbosity=2)
