"""The error report: a real processor fault shows the box with the fault and the statement,
and the clipboard holds the report only after the box is closed. Nothing is saved."""
import os
import re
import unittest

import harness as h

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def statement_number(source, text, after=None):
    """The number the player reports for the statement on the line holding `text`
    (the first after the line holding `after`): the file's LINE_BASE plus the line."""
    with open(os.path.join(REPO, source)) as f:
        lines = f.read().split("\n")
    base = next(int(m.group(1)) for m in map(lambda l: re.match(r"#define LINE_BASE (\d+)", l), lines) if m)
    start = 0 if after is None else next(i for i, l in enumerate(lines) if after in l)
    line = next(i for i in range(start, len(lines)) if text in lines[i]) + 1
    return base + line


class ErrorReport(h.PlayerTest):
    def expect_report(self, description, line):
        box = h.wait_until(lambda: h.visible_window("Quendra - Fehler"), what="the error box")
        code, text = h.wintool("child-text", "Quendra - Fehler", 0xFFFF)
        expected_clip = "Beschreibung: %s\r\nZeile: %d" % (description, line)
        self.assertEqual(text.decode("latin-1"), "Es ist ein Fehler aufgetreten!\r\n" + expected_clip +
                         "\r\n\r\nDie Meldung wurde in die Zwischenablage kopiert!")
        # Not copied yet while the box is open. (Wine may drop the marker set before the start:
        # what matters is that the report is not there yet.)
        self.assertNotIn(b"Beschreibung", h.wintool("clip-get")[1], "copied before the box was closed")
        h.xdotool("key", "--window", box, "Return")
        self.assertEqual(self.run_.wait_exit(), 0)
        self.assertEqual(h.wintool("clip-get")[1].decode("latin-1"), expected_clip)
        self.assertFalse(os.path.exists(os.path.join(self.run_.folder, "Quendra.ini")))
        self.assertFalse(os.path.exists(os.path.join(self.run_.folder, "Quendra.pls")))

    def test_access_violation_in_the_library_while_drawing(self):
        self.run_ = h.PlayerRun("fault_access", script="crash FMOD_Channel_GetWaveData#5 access\n")
        h.wintool("clip-set", "before the fault")
        self.run_.start("C:\\music\\track.mp3")
        self.expect_report("An attemped read or write to/from an address to which that process isn't allowed",
                           statement_number("display/oscilloscope_win.cpp", "g_audio.Channel_GetWaveData("))

    def test_division_by_zero_at_start_up(self):
        self.run_ = h.PlayerRun("fault_divide", script="crash FMOD_System_Init divide\n")
        h.wintool("clip-set", "before the fault")
        self.run_.start()
        self.expect_report("Attempted division by zero",
                           statement_number("app/startup_win.cpp", "g_audio.System_Init("))
        self.assertEqual(h.visible_window(h.MAIN_TITLE), "")

    def test_raised_exception_of_unknown_kind(self):
        self.run_ = h.PlayerRun("fault_raise", script="crash FMOD_System_Init raise E0001234\n")
        h.wintool("clip-set", "before the fault")
        self.run_.start()
        self.expect_report("UNKNOWN Error", statement_number("app/startup_win.cpp", "g_audio.System_Init("))


if __name__ == "__main__":
    unittest.main(verbosity=2)
