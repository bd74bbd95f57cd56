"""One instance: a second start hands its first argument over by atom and ends."""
import os
import time
import unittest

import harness as h

PERIODIC = ("FMOD_Channel_GetWaveData(", "FMOD_Channel_GetPosition(", "FMOD_Channel_IsPlaying(")


class SecondInstance(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        h.kill_leftover_players()
        cls.run_ = h.PlayerRun("single_instance", script="")
        cls.run_.start()
        cls.run_.wait_main_window()

    @classmethod
    def tearDownClass(cls):
        cls.run_.stop()

    def tearDown(self):
        self.assertIsNone(self.run_.process.poll(), "the first instance runs on")

    def test_without_argument_it_ends_at_once_and_changes_nothing(self):
        def calls_besides_drawing():  # the oscilloscope and the status update call all the time
            return [l for l in self.run_.log() if not l.startswith(PERIODIC)]
        before = calls_besides_drawing()
        self.assertEqual((self.run_.run_second(), self.run_.run_second("")), (0, 0))
        time.sleep(0.5)  # the first instance must not react: nothing to wait for
        self.assertEqual(calls_besides_drawing(), before)

    def test_only_the_first_argument_reaches_the_running_player(self):
        self.assertEqual(self.run_.run_second("C:\\music\\first.mp3", "C:\\music\\second.mp3"), 0)
        opened = self.run_.wait_log('FMOD_System_CreateStream(system, "C:\\\\music\\\\first.mp3"')
        self.assertIn("0x2000", opened[0])
        self.assertFalse([l for l in self.run_.log() if "second.mp3" in l])
        self.assertTrue(h.visible_window(h.MAIN_TITLE))

    def test_latin1_argument_arrives_unchanged(self):
        self.assertEqual(self.run_.run_second("C:\\Musik\\Lied f\u00fcr dich.mp3"), 0)
        self.run_.wait_log(lambda l: "Lied f\\xfcr dich.mp3" in l, what="the Latin-1 path")

    def test_argument_too_long_for_an_atom_is_dropped(self):
        self.assertEqual(self.run_.run_second("C:\\" + "x" * 296 + ".mp3"), 0)
        self.assertEqual(self.run_.run_second("C:\\music\\after-long.mp3"), 0)
        self.run_.wait_log(lambda l: "after-long.mp3" in l, what="the next hand-over")
        self.assertFalse([l for l in self.run_.log() if "xxxxxxxx" in l])


class StartsTogether(h.PlayerTest):
    def test_second_start_while_the_first_is_still_starting(self):
        # The first instance is held while it loads the library, before it has a window.
        run = self.prepare(script="", files={"fmodex_load_delay.txt": "3000"})
        run.start()
        h.wait_until(lambda: os.path.exists(run.path("fmodex_load_started.txt")),
                     what="the first instance to reach its library")
        self.assertIsNone(h.window_info(), "the first instance has a window already")
        self.assertEqual(run.run_second("C:\\music\\early.mp3"), 0)
        # Taken once start-up is complete: opened through the running sound system.
        run.wait_log('FMOD_System_CreateStream(system, "C:\\\\music\\\\early.mp3", 0x2000')
        self.assertFalse([l for l in run.log() if "early.mp3" in l and "(null" in l])


if __name__ == "__main__":
    unittest.main(verbosity=2)
