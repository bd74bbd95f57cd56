"""Bad input on the command line with the real library: a path too long for Windows, a
missing file, a server that does not answer, a playlist that lists itself. Each is listed or
skipped as the player's rules say; nothing crashes or hangs."""
import os
import shutil
import subprocess
import unittest

import harness as h
from harness import rows


class BadInput(h.PlayerTest):
    def test_long_missing_and_unanswered_paths_are_listed_with_zero_length(self):
        long_path = "C:\\" + "\\".join(["Verzeichnis%02d" % i for i in range(20)]) + "\\Lied.mp3"
        self.assertGreater(len(long_path), 260)
        self.launch(long_path, "C:\\fehlt\\M\u00fcll.mp3", "http://127.0.0.1:9/radio", real=True)
        listed = h.wait_until(lambda: (lambda r: r if len(r) == 3 else None)(rows()), timeout=60, what="three rows")
        self.assertEqual([r[1] for r in listed], ["Lied.mp3", "M\u00fcll.mp3", "http://127.0.0.1:9/radio"])
        self.assertEqual([r[2] for r in listed], ["00:00", "00:00", ""])
        self.assertIsNone(self.run_.process.poll())

    @unittest.skipUnless(shutil.which("sox"), "sox missing")
    def test_a_playlist_that_lists_itself_ends(self):
        self.run_ = h.PlayerRun("playlist_lists_itself", real=True)
        folder = self.run_.folder
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "1", "-b", "16", os.path.join(folder, "kurz.wav"),
                        "synth", "3", "sine", "440"], check=True)
        with open(os.path.join(folder, "selbst.m3u"), "w") as f:
            f.write("kurz.wav\r\nselbst.m3u\r\n")
        self.run_.start("selbst.m3u")
        self.run_.wait_main_window()
        # The list is not expanded a second time inside itself: its own entry stays and plays.
        h.wait_until(lambda: [r[1] for r in rows()][:1] == ["kurz.wav"], timeout=60, what="the entry of the list")
        self.assertIsNone(self.run_.process.poll())

    def test_a_list_of_100000_lines_is_listed_whole(self):
        self.run_ = h.PlayerRun("hundred_thousand_lines", real=True)
        with open(os.path.join(self.run_.folder, "gross.m3u"), "w") as f:
            f.write("".join("C:\\fehlt\\%06d.mp3\r\n" % i for i in range(100000)))
        self.run_.start("gross.m3u")
        count = lambda: h.wintool("list-count", h.MAIN_TITLE, 16)[1].strip()
        h.wait_until(lambda: count() == b"100000", timeout=180, step=2, what="all 100,000 rows")
        self.assertIsNone(self.run_.process.poll())


if __name__ == "__main__":
    unittest.main(verbosity=2)
