"""Context-menu item "Datei.*ffnen": the real file dialog under Wine, driven by keys, with
the fake library. Several audio files are appended and the first plays; a playlist file
among the chosen names replaces the list and its first entry plays."""
import os
import unittest

import harness as h


def rows():
    return [row[:2] for row in h.rows()]


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class OpenFiles(h.PlayerTest):
    def open_dialog(self):
        # "Auswahl entfernen", a separator, then "Datei.*ffnen".
        h.context_menu(self.run_.wait_main_window(), "Down", "Down", "Return")
        dialog = h.wait_until(lambda: h.visible_window("Datei.*ffnen"), what="the file dialog")
        h.xdotool("windowactivate", "--sync", dialog)
        return dialog

    def open_files(self, names, paste=False):
        self.open_dialog()
        h.xdotool("sleep", 0.5, "type", "--delay", 20, windows_path(self.run_.folder) + "\\")
        h.xdotool("key", "Return", "sleep", 1)
        quoted = " ".join('"%s"' % name for name in names)
        if paste:  # too many to type
            h.wintool("clip-set", quoted)
            h.xdotool("key", "ctrl+v")
        else:
            h.xdotool("type", "--delay", 20, quoted)
        h.xdotool("key", "Return")
        h.wait_until(lambda: not h.visible_window("Datei.*ffnen"), timeout=60, what="the dialog to close")

    def make_files(self, *names):
        for name in names:
            open(os.path.join(self.run_.folder, name), "wb").close()

    def test_two_audio_files_are_appended_and_the_first_plays(self):
        self.run_ = h.PlayerRun("open_two_files")
        self.run_.start()
        self.make_files("a.wav", "b.wav")
        self.open_files(["b.wav", "a.wav"])
        h.wait_until(lambda: rows() == [["1", "b.wav"], ["0", "a.wav"]], what="both rows in order, the first marked")
        self.assertEqual(self.run_.played()[-1], windows_path(self.run_.folder + "/b.wav").replace("\\", "\\\\"))

    def test_a_playlist_file_replaces_the_list_and_its_first_entry_plays(self):
        self.run_ = h.PlayerRun("open_with_playlist", script=h.playlist_script("C:\\music\\x.mp3", "C:\\music\\y.mp3"))
        self.run_.start()
        self.make_files("c.wav", "d.wav")
        with open(os.path.join(self.run_.folder, "list.M3U"), "w") as f:
            f.write("C:\\music\\x.mp3\nC:\\music\\y.mp3\n")
        self.open_files(["c.wav", "list.M3U", "d.wav"])
        h.wait_until(lambda: rows() == [["1", "x.mp3"], ["0", "y.mp3"]], what="the playlist's entries, x marked")
        self.assertEqual(self.run_.played()[-1], "C:\\\\music\\\\x.mp3")
        self.assertFalse([line for line in self.run_.log() if "d.wav" in line], "names after the playlist are not added")

    def test_a_cancelled_dialog_changes_nothing_and_500_names_are_all_listed(self):
        self.run_ = h.PlayerRun("open_many_files")
        self.run_.start()
        self.open_dialog()
        played = self.run_.played()
        h.xdotool("sleep", 0.5, "key", "Escape")
        h.wait_until(lambda: not h.visible_window("Datei.*ffnen"), what="the dialog to close")
        self.assertEqual((rows(), self.run_.played()), ([], played))
        names = ["%03d.wav" % i for i in range(500)]
        self.make_files(*names)
        self.open_files(names, paste=True)
        listed = h.wait_until(lambda: (lambda r: r if len(r) == 500 else None)(rows()), timeout=60, what="500 rows")
        self.assertEqual([r[1] for r in listed], names)
        self.assertEqual(listed[0][0], "1")


if __name__ == "__main__":
    unittest.main(verbosity=2)
