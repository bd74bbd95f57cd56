"""Loading a track and adding files, as the fake sound library's log shows them, with the
playlist view, the volume and playlist files."""
import os
import unittest

import harness as h

TRACK_SCRIPT = """length 192000 3072000
format 12 11 2 16
tag 2 ARTIST K\\xc3\\xbcnstler
tag 2 TITLE Lied
tag 2 replaygain_track_gain -6.00\\sdB
wave 0.5 -0.5
"""


def without_wave_data(lines):
    return [line for line in lines if not line.startswith("FMOD_Channel_GetWaveData(")]


class LoadedTrack(h.PlayerTest):
    def setUp(self):
        super().setUp()
        self.window = self.launch("C:\\music\\a.mp3", script=TRACK_SCRIPT, wait_for="FMOD_Channel_SetPaused(channel1, 0)")

    def test_add_then_load_call_sequence(self):
        lines = without_wave_data(self.run_.log())
        start = lines.index('FMOD_System_SetStreamBufferSize(system, 1, 8) = 0')
        tags = ["FMOD_Sound_GetTag(sound%d, null, %d, &) = 0" % (0, i) for i in range(3)]
        expected = [
            'FMOD_System_SetStreamBufferSize(system, 1, 8) = 0',
            'FMOD_System_CreateStream(system, "C:\\\\music\\\\a.mp3", 0x2000, null, &) = 0',
            'FMOD_Sound_GetNumTags(sound1, &, null) = 0',
            *[t.replace("sound0", "sound1") for t in tags],
            'FMOD_Sound_GetLength(sound1, &, 1) = 0',
            'FMOD_Sound_Release(sound1) = 0',
            'FMOD_System_SetStreamBufferSize(system, 2000, 1) = 0',
            'FMOD_System_SetStreamBufferSize(system, 2000, 1) = 0',
            'FMOD_System_CreateStream(system, "C:\\\\music\\\\a.mp3", 0xc9, null, &) = 0',
            'FMOD_System_PlaySound(system, 0, sound2, 1, &) = 0',
            'FMOD_Channel_SetPriority(channel1, 256) = 0',
            'FMOD_Sound_GetNumTags(sound2, &, null) = 0',
            *[t.replace("sound0", "sound2") for t in tags],
            'FMOD_Sound_GetFormat(sound2, &, &, &, &) = 0',
            'FMOD_Sound_GetLength(sound2, &, 1) = 0',
            'FMOD_Sound_GetLength(sound2, &, 8) = 0',
            'FMOD_Channel_SetVolume(channel1, 0.501187) = 0',
            'FMOD_Channel_SetPaused(channel1, 0) = 0',
        ]
        self.assertEqual(lines[start:start + len(expected)], expected)

    def test_playlist_row_shows_tags_and_length_and_is_marked(self):
        self.assertEqual(h.rows(), [["1", "K\u00fcnstler - Lied", "03:12"]])

    def test_wheel_steps_the_volume_and_middle_button_mutes(self):
        wheel_down = lambda: h.xdotool("mousemove", "--window", self.window, 100, 60, "click", 5)
        self.assertTrue(h.text_appears_after(wheel_down, h.MAIN_TITLE, 11, "95%"), "the volume text")
        self.run_.wait_log(lambda l: l.startswith("FMOD_Channel_SetVolume(channel1, 0.47"), what="a step down")
        self.assertTrue(h.text_appears_after(lambda: h.xdotool("click", 2), h.MAIN_TITLE, 11, "0%"), "the muted text")
        self.run_.wait_log(lambda l: l == "FMOD_Channel_SetVolume(channel1, 0) = 0", what="the mute")
        self.assertTrue(h.text_appears_after(lambda: h.xdotool("click", 2), h.MAIN_TITLE, 11, "95%"),
                        "the unmuted text")
        # Unmuting brings back 95 %, scaled by the track's replay gain.
        h.wait_until(lambda: h.calls(self.run_.log(), "FMOD_Channel_SetVolume")[-1].startswith(
            "FMOD_Channel_SetVolume(channel1, 0.47"), what="the unmute")

    def test_wheel_over_the_playlist_leaves_the_volume(self):
        h.xdotool("mousemove", "--window", self.window, 100, 230)
        h.xdotool("mousemove", "--window", self.window, 101, 231, "click", 4, "click", 5)
        h.xdotool("mousemove", "--window", self.window, 100, 60)
        # Over the oscilloscope: a step up, already at 100.
        self.assertTrue(h.text_appears_after(lambda: h.xdotool("click", 4), h.MAIN_TITLE, 11, "100%"),
                        "the wheel over the oscilloscope")
        volumes = h.calls(self.run_.log(), "FMOD_Channel_SetVolume")
        self.assertEqual(len(volumes), 3, volumes)  # start-up (no channel yet), load, the one step

    def test_stop_then_play_resumes_from_the_start(self):
        h.click(self.window, *h.STOP)
        self.run_.wait_log(lambda l: l == "FMOD_Channel_SetPosition(channel1, 0, 1) = 0", what="the stop")
        h.click(self.window, *h.PLAY)
        self.run_.wait_log(lambda l: l == "FMOD_Channel_SetPaused(channel1, 0) = 0" and
                           self.run_.log().count(l) >= 2, what="the resume")


class FailedLoad(h.PlayerTest):
    def test_a_file_that_does_not_open_is_listed_and_nothing_plays(self):
        self.launch("C:\\music\\missing.mp3", script="result FMOD_System_CreateStream 23\n",
                    wait_for="FMOD_System_PlaySound(system, 0, null, 1, &) = 37")
        h.wait_until(lambda: h.rows() == [["1", "missing.mp3", "00:00"]], what="the row")
        lines = self.run_.log()
        self.assertEqual(h.calls(lines, "FMOD_Channel_SetPriority"), [])
        self.assertEqual([l for l in lines if l.startswith("FMOD_Channel_SetPaused(channel")], [])


class PlaylistFile(h.PlayerTest):
    def start_with_list(self, name, content):
        temp = h.wintool("temp-folder")[1].decode("latin-1")
        copy = temp + "Quendralistformated.tmp"
        script = "file %s\ntag 8 FILE C:\\\\music\\\\one.mp3\ntag 8 file C:\\\\music\\\\two.mp3\n" % copy
        self.run_ = h.PlayerRun(self.id().split(".")[-1], script=script)
        path = os.path.join(self.run_.folder, name)
        with open(path, "wb") as f:
            f.write(content)
        self.run_.start("Z:" + path.replace("/", "\\"))
        self.run_.wait_main_window()
        self.run_.wait_log(lambda l: "0xc9" in l and "one.mp3" in l, what="the first entry to load")
        return copy

    def copied_bytes(self, copy):
        unix = os.path.join(os.environ["WINEPREFIX"], "drive_c", copy[3:].replace("\\", "/"))
        with open(unix, "rb") as f:
            return f.read()

    def test_entries_replace_the_list_and_the_first_one_plays(self):
        self.start_with_list("liste.pls", b"[playlist]\nFile1=C:\\music\\one.mp3\nFile2=C:\\music\\two.mp3\n")
        h.wait_until(lambda: [r[1] for r in h.rows()] == ["one.mp3", "two.mp3"], what="two rows")
        self.assertEqual(h.rows()[0][0], "1")

    def test_latin1_playlist_is_copied_as_utf8(self):
        copy = self.start_with_list("liste.m3u", b"C:\\M\xfcsik\\one.mp3\r\n")
        self.assertEqual(self.copied_bytes(copy), b"C:\\M\xc3\xbcsik\\one.mp3\r\n")

    def test_utf8_playlist_is_not_encoded_twice(self):
        copy = self.start_with_list("liste.M3U", b"\xef\xbb\xbf#EXTM3U\nC:\\M\xc3\xbcsik\\one.mp3\n")
        self.assertEqual(self.copied_bytes(copy), b"#EXTM3U\r\nC:\\M\xc3\xbcsik\\one.mp3\r\n")


if __name__ == "__main__":
    unittest.main(verbosity=2)
