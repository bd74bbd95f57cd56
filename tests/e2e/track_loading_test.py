"""Loading a track and adding files, as the fake sound library's log shows them, with the
playlist view, the volume and playlist files."""
import os
import unittest

import harness as h

TRACK_SCRIPT = """length 192000 3072000
format 12 11 2 16
tag 2 ARTIST K\\xc3\\xbcnstler
tag 2 TITLE Lied
tag 2 replaygain_track_gain -6.00 dB
wave 0.5 -0.5
"""


class LoadedTrack(h.PlayerTest):
    def setUp(self):
        super().setUp()
        self.window = self.launch("C:\\music\\a.mp3", script=TRACK_SCRIPT, wait_for="FMOD_Channel_SetPaused(channel1, 0)")

    def test_add_then_load_call_sequence_and_the_row(self):
        lines = [line for line in self.run_.log() if not line.startswith("FMOD_Channel_GetWaveData(")]
        start = lines.index('FMOD_System_SetStreamBufferSize(system, 1, 8) = 0')
        tags = lambda sound: ["FMOD_Sound_GetTag(%s, null, %d, &) = 0" % (sound, i) for i in range(3)]
        expected = [
            'FMOD_System_SetStreamBufferSize(system, 1, 8) = 0',
            'FMOD_System_CreateStream(system, "C:\\\\music\\\\a.mp3", 0x2000, null, &) = 0',
            'FMOD_Sound_GetNumTags(sound1, &, null) = 0',
            *tags("sound1"),
            'FMOD_Sound_GetLength(sound1, &, 1) = 0',
            'FMOD_Sound_Release(sound1) = 0',
            'FMOD_System_SetStreamBufferSize(system, 2000, 1) = 0',
            'FMOD_System_SetStreamBufferSize(system, 2000, 1) = 0',
            'FMOD_System_CreateStream(system, "C:\\\\music\\\\a.mp3", 0xc9, null, &) = 0',
            'FMOD_System_PlaySound(system, 0, sound2, 1, &) = 0',
            'FMOD_Channel_SetPriority(channel1, 256) = 0',
            'FMOD_Sound_GetNumTags(sound2, &, null) = 0',
            *tags("sound2"),
            'FMOD_Sound_GetFormat(sound2, &, &, &, &) = 0',
            'FMOD_Sound_GetLength(sound2, &, 1) = 0',
            'FMOD_Sound_GetLength(sound2, &, 8) = 0',
            'FMOD_Channel_SetVolume(channel1, 0.501187) = 0',
            'FMOD_Channel_SetPaused(channel1, 0) = 0',
        ]
        self.assertEqual(lines[start:start + len(expected)], expected)
        self.assertEqual(h.rows(), [["1", "K\u00fcnstler - Lied", "03:12"]])  # tags, length, marked

    def test_wheel_steps_the_volume_over_the_oscilloscope_only_and_middle_button_mutes(self):
        volume_text_after = lambda action, text: self.assertTrue(h.text_appears_after(action, h.MAIN_TITLE, 11, text),
                                                                 text)
        h.xdotool("mousemove", "--window", self.window, 100, 230)
        h.xdotool("mousemove", "--window", self.window, 101, 231, "click", 4, "click", 5)  # over the playlist
        h.xdotool("mousemove", "--window", self.window, 100, 60)
        volume_text_after(lambda: h.xdotool("click", 4), "100%")  # a step up, already at 100
        volumes = h.calls(self.run_.log(), "FMOD_Channel_SetVolume")
        self.assertEqual(len(volumes), 3, volumes)  # start-up (no channel yet), load, the one step
        volume_text_after(lambda: h.xdotool("click", 5), "95%")
        self.run_.wait_log("FMOD_Channel_SetVolume(channel1, 0.47")
        volume_text_after(lambda: h.xdotool("click", 2), "0%")
        self.run_.wait_log("FMOD_Channel_SetVolume(channel1, 0) = 0")
        volume_text_after(lambda: h.xdotool("click", 2), "95%")
        # Unmuting brings back 95 %, scaled by the track's replay gain.
        h.wait_until(lambda: h.calls(self.run_.log(), "FMOD_Channel_SetVolume")[-1].startswith(
            "FMOD_Channel_SetVolume(channel1, 0.47"), what="the unmute")


class FailedLoad(h.PlayerTest):
    def test_a_file_that_does_not_open_is_listed_and_nothing_plays(self):
        self.launch("C:\\music\\missing.mp3", script="result FMOD_System_CreateStream 23\n",
                    wait_for="FMOD_System_PlaySound(system, 0, null, 1, &) = 37")
        h.wait_until(lambda: h.rows() == [["1", "missing.mp3", "00:00"]], what="the row")
        lines = self.run_.log()
        self.assertEqual(h.calls(lines, "FMOD_Channel_SetPriority"), [])
        self.assertEqual([l for l in lines if l.startswith("FMOD_Channel_SetPaused(channel")], [])


# A playlist file given on the command line, its copy as the player converts it (None: not
# looked at); the fake answers the copy with two entries, the second tag named in lower case.
LISTS = [("liste.pls", b"[playlist]\nFile1=C:\\music\\one.mp3\nFile2=C:\\music\\two.mp3\n", None),
         ("liste.m3u", b"C:\\M\xfcsik\\one.mp3\r\n", b"C:\\M\xc3\xbcsik\\one.mp3\r\n")]  # Latin-1 to UTF-8


class PlaylistFile(h.PlayerTest):
    def test_entries_replace_the_list_the_first_plays_and_the_copy_is_utf8(self):
        copy = h.text("temp-folder") + "Quendralistformated.tmp"
        copied = os.path.join(os.environ["WINEPREFIX"], "drive_c", copy[3:].replace("\\", "/"))
        script = h.playlist_script("C:\\music\\one.mp3") + "tag 8 file C:\\\\music\\\\two.mp3\n"
        for name, content, expected in LISTS:
            with self.subTest(name):
                run = self.prepare(name.replace(".", "_"), script=script, files={name: content})
                self.launch(h.windows_path(run.path(name)),
                            wait_for='FMOD_System_CreateStream(system, "C:\\\\music\\\\one.mp3", 0xc9')
                h.wait_until(lambda: [r[:2] for r in h.rows()] == [["1", "one.mp3"], ["0", "two.mp3"]],
                             what="two rows, the first marked")
                if expected:
                    with open(copied, "rb") as f:
                        self.assertEqual(f.read(), expected)


if __name__ == "__main__":
    unittest.main(verbosity=2)
