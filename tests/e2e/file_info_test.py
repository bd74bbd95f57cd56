"""The file-information window: opened by a double click in the upper main window with a
tagged track loaded, its 13 rows, size and place, a row copied by a double click, "Ok"."""
import unittest

import harness as h

SCRIPT = """length 125000 2000000
format 1 2 2 16
file C:\\m\\a.mp3
tag 2 ARTIST Foo
tag 2 TITLE Lied
tag 2 ALBUM Platte
tag 2 GENRE Rock
tag 2 TRACKNUMBER 7
"""
TITLE = "Dateiinfo"


class FileInfo(h.PlayerTest):
    def test_rows_place_copy_and_ok(self):
        window = self.launch("C:\\m\\a.mp3", script=SCRIPT, wait_for="FMOD_System_PlaySound(")
        h.xdotool("mousemove", "--window", window, 100, 60, "click", "--repeat", "2", "--delay", "80", 1)
        info = h.wait_until(lambda: h.visible_window(TITLE), what="the file-information window")

        rows = [line.split("\t")[1:] for line in h.wintool("list-rows", TITLE, 1)[1].decode("latin-1").splitlines()]
        self.assertEqual(rows, [
            ["Datei", "C:\\m\\a.mp3"], ["Artist", "Foo"], ["Titel", "Lied"], ["Album", "Platte"],
            ["Kommentar", ""], ["Datum", ""], ["Genre", "Rock"], ["Tracknummer", "7"], ["L\xe4nge", "02:05"],
            ["Bitrate", "128"], ["Kan\xe4le", "2"], ["Replaygain", "1.0000000000"], ["Streamname", ""]])

        x, y = h.dialog_corner(self, TITLE)
        shot = h.screen()
        self.assertIn((0, 200, 0), h.colours(shot, x + 2, y + 2, x + 200, y + 20), "the first row's text")
        self.assertIn((0, 200, 0), h.colours(shot, x + 60, y + 232, x + 140, y + 248), "the text of Ok")
        self.assertIn((0, 0, 0), h.colours(shot, x + 2, y + 232, x + 40, y + 248), "Ok's black ground")

        h.wintool("clip-set", "vorher")
        h.xdotool("mousemove", "--window", info, 40, 27, "click", "--repeat", "2", "--delay", "80", 1)
        h.wait_until(lambda: h.wintool("clip-get")[1] == b"Artist: Foo", what="the row on the clipboard")

        h.click(info, 101, 240)
        h.wait_until(lambda: not h.visible_window(TITLE), what="the window to close")
        self.assertIsNone(h.window_info(TITLE))


if __name__ == "__main__":
    unittest.main()
