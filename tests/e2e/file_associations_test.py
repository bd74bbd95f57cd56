"""Context-menu item "Dateiverkn.*pfungen...": types ticked with clicks are written as the
player's after "Übernehmen", with the open command; an unticked type of another program stays."""
import subprocess
import unittest

import harness as h

TITLE = "Dateiverkn.*pfungen"
CHECK_BOX_X, FIRST_ROW_Y, ROW_HEIGHT = 14, 13, 14  # in the dialog; the list shows its rows one below the other


def reg(*args):
    return subprocess.run(["wine", "reg", *args], capture_output=True, timeout=60)


def default_value(key):
    """The default value of a key under HKEY_CLASSES_ROOT, or None when there is none."""
    out = reg("query", "HKCR\\" + key, "/ve").stdout.decode("latin-1")
    for line in out.splitlines():
        if "REG_SZ" in line:
            return line.split("REG_SZ", 1)[1].strip()
    return None


class FileAssociations(h.PlayerTest):
    def test_ticked_types_are_written_and_another_programs_stays(self):
        for key in (".Aiff", ".Asf", ".Asx", ".Dls", "Quendra"):
            reg("delete", "HKCR\\" + key, "/f")
        reg("add", "HKCR\\.Asx", "/ve", "/d", "OtherPlayer.Asx", "/f")
        reg("add", "HKCR\\.Dls", "/ve", "/d", "Quendra", "/f")
        window = self.launch()
        # Eight items down to "Optionen", into it, and five more to the last one.
        h.context_menu(window, *["Down"] * 8, "Right", *["Down"] * 5, "Return")
        dialog = h.wait_until(lambda: h.visible_window(TITLE), what="the associations dialog")
        x, y = h.dialog_corner(self, "Dateiverkn.pfungen")
        shot = h.screen()
        self.assertEqual(h.colours(shot, x, y, x + 6, y + 250) | h.colours(shot, x, y + 246, x + 202, y + 250),
                         {(0, 0, 0)}, "the black margins")
        self.assertIn((0, 180, 0), h.colours(shot, x + 8, y + 7, x + 194, y + 60), "the types' text")
        self.assertIn((0, 200, 0), h.colours(shot, x + 60, y + 227, x + 140, y + 243), "the button's text")
        # The check boxes of "Aiff" and "Asf" (ticking them) and of "Dls" (ours, unticking it).
        for row in (0, 1, 3):
            h.click(dialog, CHECK_BOX_X, FIRST_ROW_Y + ROW_HEIGHT * row)
            h.xdotool("sleep", 0.3)
        h.click(dialog, 101, 235)
        h.wait_until(lambda: not h.visible_window(TITLE), what="the dialog to close")

        self.assertEqual([default_value(key) for key in (".Aiff", ".Asf", ".Asx", ".Dls")],
                         ["Quendra", "Quendra", "OtherPlayer.Asx", ""])
        exe = "Z:" + self.run_.exe.replace("/", "\\")
        self.assertEqual(default_value("Quendra\\shell\\Open\\command"), '"%s" "%%1"' % exe)
        self.assertEqual(default_value("Quendra\\DefaultIcon"), '"%s",0' % exe)


if __name__ == "__main__":
    unittest.main(verbosity=2)
