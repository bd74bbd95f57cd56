"""The error report: a real processor fault shows the box with the fault and the statement,
and the clipboard holds the report only after the box is closed. Nothing is saved."""
import os
import re
import unittest

import harness as h

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BOX = "Quendra - Fehler"
# Script, arguments, the description, and the source file and text of the faulting statement.
FAULTS = [
    ("crash FMOD_Channel_GetWaveData#5 access\n", ["C:\\music\\track.mp3"],
     "An attemped read or write to/from an address to which that process isn't allowed",
     "display/oscilloscope_win.cpp", "g_audio.Channel_GetWaveData("),
    ("crash FMOD_System_Init divide\n", [], "Attempted division by zero", "app/startup_win.cpp",
     "g_audio.System_Init("),
    ("crash FMOD_System_Init raise E0001234\n", [], "UNKNOWN Error", "app/startup_win.cpp", "g_audio.System_Init("),
]


def statement_number(source, text):
    """The number the player reports for the statement on the line holding `text`: the
    file's LINE_BASE plus the line."""
    with open(os.path.join(REPO, source)) as f:
        lines = f.read().split("\n")
    base = next(int(m.group(1)) for m in map(lambda l: re.match(r"#define LINE_BASE (\d+)", l), lines) if m)
    return base + next(i for i, line in enumerate(lines) if text in line) + 1


class ErrorReport(h.PlayerTest):
    def test_faults_are_reported_and_copied_once_the_box_is_closed(self):
        for script, args, description, source, statement in FAULTS:
            with self.subTest(script=script):
                self.prepare(name="fault_" + description.split()[1], script=script)
                h.wintool("clip-set", "before the fault")
                self.run_.start(*args)
                box = h.wait_window(BOX)
                report = "Beschreibung: %s\r\nZeile: %d" % (description, statement_number(source, statement))
                self.assertEqual(h.text("child-text", BOX, 0xFFFF), "Es ist ein Fehler aufgetreten!\r\n" + report +
                                 "\r\n\r\nDie Meldung wurde in die Zwischenablage kopiert!")
                if not args:  # a fault in start-up: no main window
                    self.assertEqual(h.visible_window(h.MAIN_TITLE), "")
                # Not copied yet while the box is open. (Wine may drop the marker set before the
                # start: what matters is that the report is not there yet.)
                self.assertNotIn("Beschreibung", h.text("clip-get"), "copied before the box was closed")
                h.xdotool("key", "--window", box, "Return")
                self.assertEqual(self.run_.wait_exit(), 0)
                # Wine hands the clipboard of a program that has ended to its own keeper a moment later.
                h.wait_until(lambda: h.text("clip-get") == report, timeout=5, what="the report on the clipboard")
                self.assertFalse(os.path.exists(self.run_.path("Quendra.ini")) or
                                 os.path.exists(self.run_.path("Quendra.pls")), "nothing saved")


if __name__ == "__main__":
    unittest.main(verbosity=2)
