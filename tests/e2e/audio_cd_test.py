"""Context-menu item "Audio-CD öffnen" under Wine with the fake library, without a CD drive
and with two that Wine reports as CD-ROM (one labelled, one blank)."""
import os
import shutil
import unittest

import harness as h

TITLE = "CD abspielen"
DRIVES_KEY = "HKLM\\Software\\Wine\\Drives"
LABELS = {"r": "MEINE CD\n", "s": "   \n"}  # Wine reads a drive's label from this file in its folder
COMBO, OK = (100, 112), (63, 135)  # in the dialog
SECOND_ROW_Y = 125 + 18 + 9  # of the opened list, below the closed list; rows are 18 pixels high
TEXT, FOCUS_TEXT = (0, 200, 0), (0, 255, 0)
ROW = (48, 100, 176, 125)


def set_cd_drives(present):
    """Declares (or removes) drives R: and S: as CD-ROMs mapped to folders of ours."""
    for letter, label in LABELS.items():
        folder = os.path.join(h.WORK, "disc_" + letter)
        device = os.path.join(os.environ["WINEPREFIX"], "dosdevices", letter + ":")
        shutil.rmtree(folder, ignore_errors=True)
        if os.path.lexists(device):
            os.remove(device)
        if present:
            os.makedirs(folder)
            with open(os.path.join(folder, ".windows-label"), "w") as f:
                f.write(label)
            os.symlink(folder, device)
        h.quietly("wine", "reg", *(["add", DRIVES_KEY, "/v", letter + ":", "/d", "cdrom"] if present else
                                   ["delete", DRIVES_KEY, "/v", letter + ":"]), "/f")
    # Wine's services read drive letters and types once, when they start: restart them.
    for command in ("wineserver -k", "wineserver -w", "wineserver -p 60", "wine cmd /c exit"):
        h.quietly(*command.split())


def combo_rows():
    return [line.split("\t") for line in h.text("combo-rows", TITLE, 1).splitlines()]


class AudioCd(h.PlayerTest):
    def tearDown(self):
        super().tearDown()
        set_cd_drives(False)

    def open_dialog(self, drives, rows):
        """Opens the dialog with or without the drives and checks its rows."""
        set_cd_drives(drives)
        dialog = h.menu_dialog(self.launch(), TITLE, "Down", "Down", "Down", "Down")
        self.assertEqual(combo_rows(), rows)
        return dialog

    def ok(self, dialog):
        """Clicks "Ok"; returns a function giving the paths opened since."""
        calls_before = len(self.run_.log())
        h.click(dialog, *OK)
        h.wait_gone(TITLE)
        return lambda: [line.split('"')[1] for line in
                        h.calls(self.run_.log()[calls_before:], "FMOD_System_CreateStream")]

    def test_without_a_cd_drive_ok_leaves_the_playlist_alone(self):
        opened = self.ok(self.open_dialog(False, []))
        h.xdotool("sleep", 0.5)
        self.assertEqual((h.names(), opened()), ([], []))

    def test_labelled_and_blank_drives_are_listed_and_the_chosen_one_opened(self):
        dialog = self.open_dialog(True, [["1", "R:\\ - MEINE CD"], ["0", "S:\\ - Leer"]])
        self.assertEqual(h.numbers("child-rect", TITLE, 1), [26, 100, 150, 25, 1])
        x, y = h.check_dialog(self, TITLE, black=[(0, 0, 202, 95), (0, 150, 202, 250)],
                              coloured=[(TEXT, ROW), (TEXT, (26, 125, 101, 145))])  # the row without the focus, Ok

        # The blank drive, chosen from the opened list: the drive without a disc.
        h.click(dialog, *COMBO)
        h.xdotool("sleep", 0.5)
        h.click(dialog, COMBO[0], SECOND_ROW_Y)
        h.wait_until(lambda: combo_rows() == [["0", "R:\\ - MEINE CD"], ["1", "S:\\ - Leer"]], what="S: selected")
        h.xdotool("sleep", 0.3)
        self.assertIn(FOCUS_TEXT, h.colours(h.screen(), x + ROW[0], y + ROW[1], x + ROW[2], y + ROW[3]), "focused row")

        opened = self.ok(dialog)
        h.wait_until(lambda: h.names() == ["S:"], what="the drive in the playlist")
        self.assertEqual(opened(), ["S:", "S:"])  # once to be listed and once to be played, like any path


if __name__ == "__main__":
    unittest.main(verbosity=2)
