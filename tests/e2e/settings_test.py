"""Options between runs and the step to the next track: "Quendra.ini" read at start-up
and written at the end, the option menu items, and a track that ends."""
import unittest

import harness as h

# Option menu items, the key each one toggles and a start value. The mini window starts
# off: on a system of major version 6 it is switched off at start-up whatever the file says.
OPTIONS = {23: ("WiederholenEnable", 1), 24: ("BalloonTipEnable", 0), 25: ("MiniFensterEnable", 0),
           26: ("MiniFensterScrollTextEnable", 1), 27: ("HohePrioEnable", 1), 30: ("ReplayGainEnable", 0),
           31: ("FensterOnTop", 1)}
# Both tracks end at once: the channel reports it is not playing, three seconds in.
ENDING_TRACKS = "".join("file C:\\music\\%s.mp3\nplaying 0\nposition 3000\n" % name for name in "ab")
A, B = "C:\\music\\a.mp3", "C:\\music\\b.mp3"


class Settings(h.PlayerTest):
    def test_start_up_applies_position_on_top_marked_entry_and_volume(self):
        window = self.launch(script=h.playlist_script(A, B), files={
            "Quendra.pls": ["[playlist]", "File1=" + A, "File2=" + B, "NumberOfEntries=2", "Version=2"],
            "Quendra.ini": ["WindowX = 40", "WindowY = 30", "FensterOnTop = 0", "HauptVolume = 40",
                            "PlayListMarkieren = %s  " % B]})
        h.wait_until(lambda: [row[:2] for row in h.rows()] == [["0", "a.mp3"], ["1", "b.mp3"]], what="b marked")
        self.assertEqual([h.window_info()[i] for i in (0, 1, 2, 5)], [1, 40, 30, 0])  # visible, place, not on top
        self.run_.wait_log('FMOD_System_CreateStream(system, "", 0xc9')
        self.assertEqual(self.run_.played(), [""], "nothing plays before the user asks")
        h.click(window, *h.PLAY)
        self.run_.wait_log("FMOD_Channel_SetVolume(channel1, 0.4)")

    def test_option_items_are_read_at_start_up_and_written_at_the_end(self):
        self.launch(A, script="length 5000 80000\n", files={"Quendra.ini": ["%s = %d" % o for o in OPTIONS.values()]})
        h.wait_until(lambda: h.window_info()[5] == 1, what="the window on top")
        for number in OPTIONS:  # each toggles its option; the toggling itself is shown in-process
            self.assertTrue(h.post(h.WM_COMMAND, number))
        self.assertTrue(h.post(h.WM_COMMAND, h.QUIT_COMMAND))
        self.assertEqual(self.run_.wait_exit(), 0)
        ini = dict(l.split(" = ", 1) for l in self.run_.read("Quendra.ini").decode("latin-1").splitlines() if l)
        self.assertEqual({key: ini[key] for key, _ in OPTIONS.values()},
                         {key: str(1 - start) for key, start in OPTIONS.values()})
        self.assertEqual(ini["PlayListMarkieren"], A)

    def test_an_ended_track_starts_the_next_and_the_last_wraps_only_with_repeat(self):
        for repeat, third in ((1, h.doubled(A)), (0, "")):
            with self.subTest(repeat=repeat):
                self.launch(A, B, name="track_end_%d" % repeat, script=ENDING_TRACKS,
                            files={"Quendra.ini": ["WiederholenEnable = %d" % repeat]})
                played = h.wait_until(lambda: self.run_.played()[:3] if len(self.run_.played()) >= 3 else None,
                                      what="three loads")
                self.assertEqual(played, [h.doubled(A), h.doubled(B), third])


if __name__ == "__main__":
    unittest.main(verbosity=2)
