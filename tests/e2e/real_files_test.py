"""The real player and library on files made here with Debian's tools: MP3, FLAC and an M3U
list given on the command line, the transport buttons, the oscilloscope on a 440 Hz tone
and the volume on the wheel."""
import os
import shutil
import subprocess
import unittest

import harness as h
from harness import marked, rows
from real_library_test import bright_rows


def make_tone(folder, name, seconds, frequency):
    wav = os.path.join(folder, name + ".wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", str(seconds), "sine",
                    str(frequency), "vol", "0.7"], check=True)
    return wav


@unittest.skipUnless(shutil.which("lame") and shutil.which("flac") and shutil.which("sox"), "encoders missing")
class RealFiles(h.PlayerTest):
    def setUp(self):
        super().setUp()
        self.run_ = h.PlayerRun("real_files", real=True)
        folder = self.run_.folder
        tone = make_tone(folder, "tone", 20, 440)
        subprocess.run(["lame", "--quiet", "-b", "128", "--tt", "Ton A", "--ta", "Quendra", tone,
                        os.path.join(folder, "a.mp3")], check=True)
        subprocess.run(["flac", "--silent", "-T", "TITLE=Ton B", "-T", "ARTIST=Quendra", "-o",
                        os.path.join(folder, "b.flac"), make_tone(folder, "low", 20, 220)], check=True)
        subprocess.run(["lame", "--quiet", "-b", "64", make_tone(folder, "c", 20, 880), os.path.join(folder, "c.mp3")],
                       check=True)
        with open(os.path.join(folder, "list.m3u"), "w") as f:
            f.write("#EXTM3U\r\na.mp3\r\nb.flac\r\nc.mp3\r\n")

    def test_list_on_the_command_line_plays_and_the_buttons_move_through_it(self):
        self.run_.start("a.mp3", "b.flac", "list.m3u")
        window = self.run_.wait_main_window()
        # The playlist file replaces what came before it with its own entries.
        h.wait_until(lambda: [r[1] for r in rows()] == ["Quendra - Ton A", "Quendra - Ton B", "c.mp3"],
                     timeout=30, what="the rows of the list")
        self.assertEqual([r[2] for r in rows()], ["00:20", "00:20", "00:20"])
        self.assertEqual(marked(), ["Quendra - Ton A"])
        origin = h.window_info()[1:3]
        traced = h.wait_until(lambda: (lambda r: r if len(r) > 20 else None)(bright_rows(h.screen(), origin)),
                              timeout=30, what="the trace of the 440 Hz tone")
        self.assertLess(min(traced), 25)
        self.assertGreater(max(traced), 75)
        shot = h.screen()
        afterglow = [h.pixel(shot, origin[0] + x, origin[1] + y) for x in range(10, 210) for y in range(10, 110)]
        self.assertTrue(any(0 < g <= 50 and r == 0 and b == 0 for r, g, b in afterglow), "no dark green afterglow")
        band = [h.pixel(shot, origin[0] + x, origin[1] + y) for x in range(10, 210) for y in range(110, 130)]
        self.assertIn((0, 150, 0), band, "no description text in the band")

        h.click(window, *h.NEXT)
        h.wait_until(lambda: marked() == ["Quendra - Ton B"], what="next")
        h.click(window, h.PREVIOUS[0] + 12, h.PREVIOUS[1])
        h.wait_until(lambda: marked() == ["Quendra - Ton A"], what="previous")
        h.click(window, *h.STOP)
        h.click(window, *h.PLAY)
        wheel_down = lambda: h.xdotool("mousemove", "--window", window, 100, 60, "click", 5)
        self.assertTrue(h.text_appears_after(wheel_down, h.MAIN_TITLE, 11, "95%"), "the volume text")

    def test_a_utf8_list_with_greek_and_japanese_names_plays_both(self):
        folder = self.run_.folder
        names = ["\u03a9\u03bc\u03ad\u03b3\u03b1.wav", "\u65e5\u672c.wav"]  # no place for them in code page 1252
        shutil.copy(os.path.join(folder, "tone.wav"), os.path.join(folder, names[0]))
        shutil.copy(os.path.join(folder, "low.wav"), os.path.join(folder, names[1]))
        with open(os.path.join(folder, "utf8.m3u"), "w", encoding="utf-8") as f:
            f.write("#EXTM3U\n" + "".join(name + "\n" for name in names))
        self.run_.start("utf8.m3u")
        window = self.run_.wait_main_window()
        h.wait_until(lambda: [r[2] for r in rows()] == ["00:20", "00:20"], timeout=30, what="both entries opened")
        code, out = h.wintool("window", h.MAIN_TITLE)
        origin = [int(v) for v in out.split()[1:3]]
        swinging = lambda: (lambda r: r if len(r) > 20 else None)(bright_rows(h.screen(), origin))
        h.wait_until(swinging, timeout=30, what="the Greek-named tone")
        h.click(window, *h.NEXT)
        h.wait_until(lambda: [r[0] for r in rows()] == ["0", "1"], what="the Japanese-named entry marked")
        h.xdotool("sleep", 1)  # the afterglow of the first tone is gone by then
        h.wait_until(swinging, timeout=30, what="the Japanese-named tone")


if __name__ == "__main__":
    unittest.main(verbosity=2)
