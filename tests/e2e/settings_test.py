"""Options between runs and the step to the next track: "Quendra.ini" read at start-up
and written at the end, the option menu items, and a track that ends."""
import os
import unittest

import harness as h

# Option menu items, the key each one toggles and a start value. The mini window starts
# off: on a system of major version 6 it is switched off at start-up whatever the file says.
OPTIONS = {23: ("WiederholenEnable", 1), 24: ("BalloonTipEnable", 0), 25: ("MiniFensterEnable", 0),
           26: ("MiniFensterScrollTextEnable", 1), 27: ("HohePrioEnable", 1), 30: ("ReplayGainEnable", 0),
           31: ("FensterOnTop", 1)}
# Both tracks end at once: the channel reports it is not playing, three seconds in.
ENDING_TRACKS = """file C:\\music\\a.mp3
playing 0
position 3000
file C:\\music\\b.mp3
playing 0
position 3000
"""


def read_ini(run):
    with open(os.path.join(run.folder, "Quendra.ini"), "rb") as f:
        pairs = [line.split(" = ", 1) for line in f.read().decode("latin-1").split("\r\n") if line]
    return {key: value for key, value in pairs}


def topmost():
    return h.wintool("window-topmost", h.MAIN_TITLE)[1].strip()


class Settings(h.PlayerTest):
    def test_start_up_applies_position_on_top_marked_entry_and_volume(self):
        script = h.playlist_script("C:\\music\\a.mp3", "C:\\music\\b.mp3")
        self.run_ = h.PlayerRun("settings_start_up", script=script)
        self.run_.write("Quendra.pls", ["[playlist]", "File1=C:\\music\\a.mp3", "File2=C:\\music\\b.mp3",
                                         "NumberOfEntries=2", "Version=2"])
        self.run_.write("Quendra.ini", ["WindowX = 40", "WindowY = 30", "FensterOnTop = 0", "HauptVolume = 40",
                                         "PlayListMarkieren = C:\\music\\b.mp3  "])
        self.run_.start()
        window = self.run_.wait_main_window()
        h.wait_until(lambda: [row[:2] for row in h.rows()] == [["0", "a.mp3"], ["1", "b.mp3"]], what="b marked")
        self.assertEqual(h.wintool("window", h.MAIN_TITLE)[1].split()[:3], [b"1", b"40", b"30"])
        self.assertEqual(topmost(), b"0")
        self.run_.wait_log(lambda l: l.startswith('FMOD_System_CreateStream(system, "", 0xc9'), what="the empty load")
        self.assertEqual(self.run_.played(), [""], "nothing plays before the user asks")
        h.click(window, *h.PLAY)
        self.run_.wait_log(lambda l: l.startswith("FMOD_Channel_SetVolume(channel1, 0.4)"), what="volume 40 %")

    def test_option_items_toggle_and_are_written_at_the_end(self):
        self.run_ = h.PlayerRun("settings_options", script="length 5000 80000\n")
        self.run_.write("Quendra.ini", ["%s = %d" % option for option in OPTIONS.values()])
        self.run_.start("C:\\music\\a.mp3")
        self.run_.wait_main_window()
        h.wait_until(lambda: topmost() == b"1", what="the window on top")
        for number in OPTIONS:
            self.assertTrue(h.post(h.WM_COMMAND, number))
        h.wait_until(lambda: topmost() == b"0", what="on top released")
        self.assertTrue(h.post(h.WM_COMMAND, h.QUIT_COMMAND))
        self.assertEqual(self.run_.wait_exit(), 0)
        ini = read_ini(self.run_)
        for key, start in OPTIONS.values():
            self.assertEqual(ini[key], str(1 - start), key)
        self.assertEqual(ini["PlayListMarkieren"], "C:\\music\\a.mp3")


class TrackEnd(h.PlayerTest):
    def played_after_ends(self, repeat):
        self.run_ = h.PlayerRun("track_end_%d" % repeat, script=ENDING_TRACKS)
        self.run_.write("Quendra.ini", ["WiederholenEnable = %d" % repeat])
        self.run_.start("C:\\music\\a.mp3", "C:\\music\\b.mp3")
        self.run_.wait_main_window()
        return h.wait_until(lambda: self.run_.played()[:3] if len(self.run_.played()) >= 3 else None,
                            what="three loads")

    def test_an_ended_track_starts_the_next_and_the_last_wraps_with_repeat(self):
        self.assertEqual(self.played_after_ends(1), ["C:\\\\music\\\\a.mp3", "C:\\\\music\\\\b.mp3", "C:\\\\music\\\\a.mp3"])

    def test_without_repeat_the_end_of_the_last_track_loads_nothing(self):
        self.assertEqual(self.played_after_ends(0), ["C:\\\\music\\\\a.mp3", "C:\\\\music\\\\b.mp3", ""])


if __name__ == "__main__":
    unittest.main(verbosity=2)
