"""Context-menu item "Dateiverkn.*pfungen...": types ticked with clicks are written as the
player's after "Übernehmen", with the open command; an unticked type of another program stays."""
import unittest

import harness as h

TITLE = "Dateiverkn.*pfungen"
CHECK_BOX_X, FIRST_ROW_Y, ROW_HEIGHT = 14, 13, 14  # in the dialog; the list shows its rows one below the other


def default_value(key):
    """The default value of a key under HKEY_CLASSES_ROOT, or None when there is none."""
    out = h.reg("query", "HKCR\\" + key, "/ve")
    return next((line.split("REG_SZ", 1)[1].strip() for line in out.splitlines() if "REG_SZ" in line), None)


class FileAssociations(h.PlayerTest):
    def test_ticked_types_are_written_and_another_programs_stays(self):
        for key in (".Aiff", ".Asf", ".Asx", ".Dls", "Quendra"):
            h.reg("delete", "HKCR\\" + key, "/f")
        h.reg("add", "HKCR\\.Asx", "/ve", "/d", "OtherPlayer.Asx", "/f")
        h.reg("add", "HKCR\\.Dls", "/ve", "/d", "Quendra", "/f")
        # Eight items down to "Optionen", into it, and five more to the last one.
        dialog = h.menu_dialog(self.launch(), TITLE, *["Down"] * 8, "Right", *["Down"] * 5)
        h.check_dialog(self, "Dateiverkn.pfungen", black=[(0, 0, 6, 250), (0, 246, 202, 250)],
                       coloured=[((0, 180, 0), (8, 7, 194, 60)), ((0, 200, 0), (60, 227, 140, 243))])  # types, button
        # The check boxes of "Aiff" and "Asf" (ticking them) and of "Dls" (ours, unticking it).
        for row in (0, 1, 3):
            h.click(dialog, CHECK_BOX_X, FIRST_ROW_Y + ROW_HEIGHT * row)
            h.xdotool("sleep", 0.3)
        h.click(dialog, 101, 235)
        h.wait_gone(TITLE)

        self.assertEqual([default_value(key) for key in (".Aiff", ".Asf", ".Asx", ".Dls")],
                         ["Quendra", "Quendra", "OtherPlayer.Asx", ""])
        exe = h.windows_path(self.run_.exe)
        self.assertEqual(default_value("Quendra\\shell\\Open\\command"), '"%s" "%%1"' % exe)
        self.assertEqual(default_value("Quendra\\DefaultIcon"), '"%s",0' % exe)


if __name__ == "__main__":
    unittest.main(verbosity=2)
