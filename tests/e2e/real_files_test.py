"""The real player and library on the demo track and on files made here with Debian's tools
(MP3, FLAC, M3U lists, names outside the code page): listed, played and traced."""
import os
import shutil
import struct
import subprocess
import unittest

import harness as h

FIXTURE_SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures")
SOUNDFONT = "/usr/share/sounds/sf2/TimGM6mb.sf2"


def make_tone(folder, name, seconds, frequency):
    wav = os.path.join(folder, name + ".wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", str(seconds), "sine",
                    str(frequency), "vol", "0.7"], check=True)
    return wav


def swinging(origin, count=20, reach=15):
    """The rows the trace lights up once there are more than count of them, some more than reach
    rows from the middle: a flat line sits on rows 49 and 50 only."""
    def far():
        shot = h.screen()  # the bright trace colour in the trace area, client 10,10 to 210,110
        lit = {y for y in range(100) if any(h.pixel(shot, origin[0] + x, origin[1] + 10 + y) == (0, 255, 0)
                                            for x in range(10, 210, 2))}
        return lit if len(lit) > count and (min(lit) < 50 - reach or max(lit) > 50 + reach) else None
    return h.wait_until(far, timeout=30, what="the trace to follow the sound")


class DemoTrack(h.PlayerTest):
    def test_plays_and_the_trace_follows_it_and_stands_still_after_stop(self):
        run = self.prepare(real=True)
        shutil.copy(h.DEMO_WAV, run.path("demo.wav"))
        window = self.launch("demo.wav")
        origin = h.window_info()[1:3]
        swinging(origin, 10)  # the demo peaks at about 0.7, some 30 rows from the middle
        self.assertEqual(h.rows(), [["1", "demo.wav", "00:12"]])
        h.click(window, *h.STOP)  # stop: paused at the start

        def trace():
            shot = h.screen()
            return [h.pixel(shot, origin[0] + x, origin[1] + y) == (0, 255, 0)
                    for x in range(10, 210, 3) for y in range(10, 110)]
        # Nothing is played any more, so every frame draws the same trace.
        h.wait_until(lambda: trace() == trace(), timeout=20, what="the trace to stand still")


@unittest.skipUnless(shutil.which("lame") and shutil.which("flac") and shutil.which("sox"), "encoders missing")
class MadeFiles(h.PlayerTest):
    def setUp(self):
        super().setUp()
        folder = self.prepare("real_files", real=True).folder
        tone = make_tone(folder, "tone", 20, 440)
        subprocess.run(["lame", "--quiet", "-b", "128", "--tt", "Ton A", "--ta", "Quendra", tone,
                        os.path.join(folder, "a.mp3")], check=True)
        subprocess.run(["flac", "--silent", "-T", "TITLE=Ton B", "-T", "ARTIST=Quendra", "-o",
                        os.path.join(folder, "b.flac"), make_tone(folder, "low", 20, 220)], check=True)
        subprocess.run(["lame", "--quiet", "-b", "64", make_tone(folder, "c", 20, 880), os.path.join(folder, "c.mp3")],
                       check=True)
        self.run_.write("list.m3u", "#EXTM3U\r\na.mp3\r\nb.flac\r\nc.mp3\r\n")

    def test_a_list_on_the_command_line_replaces_what_came_before_and_plays(self):
        self.launch("a.mp3", "b.flac", "list.m3u")
        h.wait_until(lambda: h.names() == ["Quendra - Ton A", "Quendra - Ton B", "c.mp3"], timeout=30,
                     what="the rows of the list")
        self.assertEqual([r[2] for r in h.rows()], ["00:20", "00:20", "00:20"])
        self.assertEqual(h.marked(), ["Quendra - Ton A"])
        origin = h.window_info()[1:3]
        traced = swinging(origin)
        self.assertLess(min(traced), 25)
        self.assertGreater(max(traced), 75)
        shot = h.screen()
        afterglow = h.colours(shot, origin[0] + 10, origin[1] + 10, origin[0] + 210, origin[1] + 110)
        self.assertTrue(any(0 < g <= 50 and r == 0 and b == 0 for r, g, b in afterglow), "no dark green afterglow")
        band = h.colours(shot, origin[0] + 10, origin[1] + 110, origin[0] + 210, origin[1] + 130)
        self.assertIn((0, 150, 0), band, "no description text in the band")

    def test_a_utf8_list_with_greek_and_japanese_names_plays_both(self):
        names = ["\u03a9\u03bc\u03ad\u03b3\u03b1.wav", "\u65e5\u672c.wav"]  # no place for them in code page 1252
        shutil.copy(self.run_.path("tone.wav"), self.run_.path(names[0]))
        shutil.copy(self.run_.path("low.wav"), self.run_.path(names[1]))
        with open(self.run_.path("utf8.m3u"), "w", encoding="utf-8") as f:
            f.write("#EXTM3U\n" + "".join(name + "\n" for name in names))
        window = self.launch("utf8.m3u")
        h.wait_until(lambda: [r[2] for r in h.rows()] == ["00:20", "00:20"], timeout=30, what="both entries opened")
        origin = h.window_info()[1:3]
        swinging(origin)  # the Greek-named tone
        h.click(window, *h.NEXT)
        h.wait_until(lambda: [r[0] for r in h.rows()] == ["0", "1"], what="the Japanese-named entry marked")
        h.xdotool("sleep", 1)  # the afterglow of the first tone is gone by then
        swinging(origin)  # the Japanese-named tone


def write_midi(path, notes=12):
    """A piano note every half second at 120 beats a minute (480 ticks a beat), one track."""
    events = b"\x00\xff\x51\x03\x07\xa1\x20\x00\xc0\x00"
    for i in range(notes):
        key = 60 + 2 * (i % 8)
        events += bytes([0x00, 0x90, key, 100]) + b"\x83\x60" + bytes([0x80, key, 0])  # on, 480 ticks, off
    events += b"\x00\xff\x2f\x00"
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) + b"MTrk" + struct.pack(">I", len(events)) + events)


class SynthesisedMusic(h.PlayerTest):
    def test_a_module_and_a_midi_file_show_their_length_and_move_the_trace(self):
        run = self.prepare(real=True)
        subprocess.run(["python3", os.path.join(FIXTURE_SCRIPTS, "tone_modules.py"), run.folder], check=True)
        write_midi(run.path("lied.mid"))
        window = self.launch("tone440.xm", "lied.mid")
        h.wait_until(lambda: [r[2] for r in h.rows()][:1] == ["00:10"] and len(h.rows()) == 2, timeout=30,
                     what="both entries opened")
        self.assertEqual(h.rows()[1][2], "00:07")  # twelve half-second notes and a second to fade
        origin = h.window_info()[1:3]
        swinging(origin, 8, 5)  # the module's sine, at the level modules are mixed to
        h.click(window, *h.NEXT)
        h.wait_until(lambda: [r[0] for r in h.rows()] == ["0", "1"], what="the MIDI entry marked")
        h.xdotool("sleep", 1)
        swinging(origin, 4, 2)  # the built-in piano (quiet, as General MIDI levels are), no bank beside the library

    @unittest.skipUnless(os.path.exists(SOUNDFONT), "timgm6mb-soundfont is not installed")
    def test_a_midi_file_plays_with_a_soundfont_beside_the_library(self):
        run = self.prepare(real=True)
        shutil.copy(SOUNDFONT, run.path("TimGM6mb.sf2"))
        write_midi(run.path("lied.mid"))
        self.launch("lied.mid")
        h.wait_until(lambda: [r[2] for r in h.rows()] == ["00:07"], timeout=30, what="the MIDI entry opened")
        swinging(h.window_info()[1:3], 4, 2)


if __name__ == "__main__":
    unittest.main(verbosity=2)
