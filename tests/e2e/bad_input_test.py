"""Bad input on the command line with the real library: a path too long for Windows, a
missing file, a server that does not answer, a playlist that lists itself, a list of 100,000
lines. Each is listed or skipped as the player's rules say; nothing crashes or hangs."""
import shutil
import subprocess
import unittest

import harness as h


class BadInput(h.PlayerTest):
    def tearDown(self):
        if self.run_:
            self.assertIsNone(self.run_.process.poll(), "the player still runs")
        super().tearDown()

    def test_long_missing_and_unanswered_paths_are_listed_with_zero_length(self):
        long_path = "C:\\" + "\\".join(["Verzeichnis%02d" % i for i in range(20)]) + "\\Lied.mp3"
        self.assertGreater(len(long_path), 260)
        self.launch(long_path, "C:\\fehlt\\M\u00fcll.mp3", "http://127.0.0.1:9/radio", real=True)
        listed = h.wait_count(h.rows, 3, timeout=60)
        self.assertEqual([r[1:] for r in listed], [["Lied.mp3", "00:00"], ["M\u00fcll.mp3", "00:00"],
                                                   ["http://127.0.0.1:9/radio", ""]])

    @unittest.skipUnless(shutil.which("sox"), "sox missing")
    def test_a_playlist_that_lists_itself_ends(self):
        run = self.prepare(real=True, files={"selbst.m3u": "kurz.wav\r\nselbst.m3u\r\n"})
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "1", "-b", "16", run.path("kurz.wav"), "synth", "3", "sine",
                        "440"], check=True)
        self.launch("selbst.m3u")
        # The list is not expanded a second time inside itself: its own entry stays and plays.
        h.wait_until(lambda: h.names()[:1] == ["kurz.wav"], timeout=60, what="the entry of the list")

    def test_a_list_of_100000_lines_is_listed_whole(self):
        lines = "".join("C:\\fehlt\\%06d.mp3\r\n" % i for i in range(100000))
        self.prepare(real=True, files={"gross.m3u": lines}).start("gross.m3u")
        h.wait_until(lambda: h.numbers("list-count", h.MAIN_TITLE, 16) == [100000], timeout=180, step=2,
                     what="all 100,000 rows")


if __name__ == "__main__":
    unittest.main(verbosity=2)
