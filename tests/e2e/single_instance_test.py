"""One instance: a second start hands its first argument over by atom and ends."""
import time
import unittest

import harness as h


def opens_of(lines, path_text):
    return [line for line in lines if line.startswith("FMOD_System_CreateStream(system, \"%s\"" % path_text)]


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

    def test_without_argument_it_ends_at_once_and_changes_nothing(self):
        def calls_besides_drawing():
            return [l for l in self.run_.log() if not l.startswith("FMOD_Channel_GetWaveData(")]
        before = calls_besides_drawing()
        self.assertEqual(self.run_.run_second(), 0)
        self.assertEqual(self.run_.run_second(""), 0)
        time.sleep(0.5)  # the first instance must not react: nothing to wait for
        self.assertEqual(calls_besides_drawing(), before)
        self.assertIsNone(self.run_.process.poll())

    def test_only_the_first_argument_reaches_the_running_player(self):
        self.assertEqual(self.run_.run_second("C:\\music\\first.mp3", "C:\\music\\second.mp3"), 0)
        opened = self.run_.wait_log(lambda l: l.startswith('FMOD_System_CreateStream(system, "C:\\\\music\\\\first.mp3"'),
                                    what="the handed-over path to be opened")
        self.assertIn("0x2000", opened[0])
        self.assertEqual(opens_of(self.run_.log(), "C:\\\\music\\\\second.mp3"), [])
        self.assertEqual(h.visible_window(h.MAIN_TITLE) != "", True)

    def test_latin1_argument_arrives_unchanged(self):
        self.assertEqual(self.run_.run_second("C:\\Musik\\Lied f\u00fcr dich.mp3"), 0)
        self.run_.wait_log(lambda l: "Lied f\\xfcr dich.mp3" in l, what="the Latin-1 path")

    def test_argument_too_long_for_an_atom_is_dropped(self):
        long_path = "C:\\" + "x" * 296 + ".mp3"
        self.assertEqual(self.run_.run_second(long_path), 0)
        self.assertEqual(self.run_.run_second("C:\\music\\after-long.mp3"), 0)
        self.run_.wait_log(lambda l: "after-long.mp3" in l, what="the next hand-over")
        self.assertEqual([l for l in self.run_.log() if "xxxxxxxx" in l], [])
        self.assertIsNone(self.run_.process.poll())


class StartsTogether(unittest.TestCase):
    def tearDown(self):
        self.run_.stop()

    def test_second_start_while_the_first_is_still_starting(self):
        h.kill_leftover_players()
        # The first instance is held in its library start-up while the second one polls.
        self.run_ = h.PlayerRun("starts_together", script="sleep FMOD_System_Create 1500\n")
        self.run_.start()
        h.wait_until(lambda: self.run_.log(), what="the first instance to reach the library")
        self.assertEqual(self.run_.run_second("C:\\music\\early.mp3"), 0)
        self.run_.wait_log(lambda l: "early.mp3" in l, what="the early hand-over")


if __name__ == "__main__":
    unittest.main(verbosity=2)
