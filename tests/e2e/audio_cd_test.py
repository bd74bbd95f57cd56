"""Context-menu item "Audio-CD öffnen" under Wine with the fake library: without a CD drive
the list is empty and "Ok" leaves the playlist alone; with two drives Wine reports as CD-ROM
(one labelled, one blank) the rows show the labels, the dialog's look and place are checked
on the screen, and the chosen drive is added and opened like any path."""
import os
import shutil
import unittest

import harness as h

TITLE = "CD abspielen"
DRIVES_KEY = "HKLM\\Software\\Wine\\Drives"
LABELS = {"r": "MEINE CD\n", "s": "   \n"}  # Wine reads a drive's label from this file in its folder
COMBO, OK = (100, 112), (63, 135)  # in the dialog
SECOND_ROW_Y = 125 + 18 + 9  # of the opened list, below the closed list; rows are 18 pixels high
BLACK, TEXT, FOCUS_TEXT = (0, 0, 0), (0, 200, 0), (0, 255, 0)


def dosdevice(letter):
    return os.path.join(os.environ["WINEPREFIX"], "dosdevices", letter + ":")


def set_cd_drives(present):
    """Declares (or removes) drives R: and S: as CD-ROMs mapped to folders of ours."""
    for letter, label in LABELS.items():
        folder = os.path.join(h.WORK, "disc_" + letter)
        shutil.rmtree(folder, ignore_errors=True)
        if os.path.lexists(dosdevice(letter)):
            os.remove(dosdevice(letter))
        if present:
            os.makedirs(folder)
            with open(os.path.join(folder, ".windows-label"), "w") as f:
                f.write(label)
            os.symlink(folder, dosdevice(letter))
            h.quietly("wine", "reg", "add", DRIVES_KEY, "/v", letter + ":", "/d", "cdrom", "/f")
        else:
            h.quietly("wine", "reg", "delete", DRIVES_KEY, "/v", letter + ":", "/f")
    h.restart_wine_server()


def combo_rows():
    return [line.split("\t") for line in h.wintool("combo-rows", TITLE, 1)[1].decode("latin-1").splitlines()]


def playlist_rows():
    return [row[1] for row in h.rows()]


class AudioCd(unittest.TestCase):
    def setUp(self):
        h.kill_leftover_players()
        self.run_ = None

    def tearDown(self):
        if self.run_:
            self.run_.stop()
        set_cd_drives(False)

    def open_dialog(self, name):
        self.run_ = h.PlayerRun(name)
        self.run_.start()
        # "Auswahl entfernen", a separator, then "Datei", "Stream" and "Audio-CD öffnen".
        h.context_menu(self.run_.wait_main_window(), "Down", "Down", "Down", "Down", "Return")
        return h.wait_until(lambda: h.visible_window(TITLE), what="the CD dialog")

    def close_with_ok(self, dialog):
        h.click(dialog, *OK)
        h.wait_until(lambda: not h.visible_window(TITLE), what="the dialog to close")

    def test_without_a_cd_drive_ok_leaves_the_playlist_alone(self):
        set_cd_drives(False)
        dialog = self.open_dialog("audio_cd_none")
        self.assertEqual(combo_rows(), [])
        calls_before = len(self.run_.log())
        self.close_with_ok(dialog)
        h.xdotool("sleep", 0.5)
        self.assertEqual(playlist_rows(), [])
        self.assertEqual(h.calls(self.run_.log()[calls_before:], "FMOD_System_CreateStream"), [])

    def test_labelled_and_blank_drives_are_listed_and_the_chosen_one_opened(self):
        set_cd_drives(True)
        dialog = self.open_dialog("audio_cd_two")
        self.assertEqual(combo_rows(), [["1", "R:\\ - MEINE CD"], ["0", "S:\\ - Leer"]])

        x, y = h.dialog_corner(self, TITLE)
        self.assertEqual(h.wintool("child-rect", TITLE, 1)[1].split(), [b"26", b"100", b"150", b"25"])
        shot = h.screen()
        self.assertEqual(h.colours(shot, x, y, x + 202, y + 95) | h.colours(shot, x, y + 150, x + 202, y + 250), {BLACK})
        self.assertIn(TEXT, h.colours(shot, x + 48, y + 100, x + 176, y + 125), "the row, without the focus")
        self.assertIn(TEXT, h.colours(shot, x + 26, y + 125, x + 101, y + 145), "the text of Ok")

        # The blank drive, chosen from the opened list: the drive without a disc.
        h.click(dialog, *COMBO)
        h.xdotool("sleep", 0.5)
        h.click(dialog, COMBO[0], SECOND_ROW_Y)
        h.wait_until(lambda: combo_rows() == [["0", "R:\\ - MEINE CD"], ["1", "S:\\ - Leer"]], what="S: selected")
        h.xdotool("sleep", 0.3)
        self.assertIn(FOCUS_TEXT, h.colours(h.screen(), x + 48, y + 100, x + 176, y + 125), "the focused row")

        calls_before = len(self.run_.log())
        self.close_with_ok(dialog)
        h.wait_until(lambda: playlist_rows() == ["S:"], what="the drive in the playlist")
        # Opened once to be listed and once to be played, like any path.
        opened = [line.split('"')[1] for line in h.calls(self.run_.log()[calls_before:], "FMOD_System_CreateStream")]
        self.assertEqual(opened, ["S:", "S:"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
