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
GREEN = (0, 200, 0)


def double_click(window, x, y):
    h.xdotool("mousemove", "--window", window, x, y, "click", "--repeat", "2", "--delay", "80", 1)


class FileInfo(h.PlayerTest):
    def test_rows_place_copy_and_ok(self):
        double_click(self.launch("C:\\m\\a.mp3", script=SCRIPT, wait_for="FMOD_System_PlaySound("), 100, 60)
        info = h.wait_window(TITLE)
        self.assertEqual([row[1:] for row in h.rows(TITLE, 1)], [
            ["Datei", "C:\\m\\a.mp3"], ["Artist", "Foo"], ["Titel", "Lied"], ["Album", "Platte"],
            ["Kommentar", ""], ["Datum", ""], ["Genre", "Rock"], ["Tracknummer", "7"], ["L\xe4nge", "02:05"],
            ["Bitrate", "128"], ["Kan\xe4le", "2"], ["Replaygain", "1.0000000000"], ["Streamname", ""]])
        # The first row's text, the text of Ok and Ok's black ground.
        h.check_dialog(self, TITLE, coloured=[(GREEN, (2, 2, 200, 20)), (GREEN, (60, 232, 140, 248)),
                                              (h.BLACK, (2, 232, 40, 248))])

        h.wintool("clip-set", "vorher")
        double_click(info, 40, 27)
        h.wait_until(lambda: h.text("clip-get") == "Artist: Foo", what="the row on the clipboard")
        h.click(info, 101, 240)
        h.wait_gone(TITLE)
        self.assertIsNone(h.window_info(TITLE))


if __name__ == "__main__":
    unittest.main()
