"""Context-menu item "Datei.*ffnen": the real file dialog under Wine, driven by keys, with the
fake library. (Which of the chosen names are taken is shown in tests/player.)"""
import unittest

import harness as h

TITLE = "Datei.*ffnen"


def rows():
    return [row[:2] for row in h.rows()]


class OpenFiles(h.PlayerTest):
    def open_dialog(self):
        dialog = h.menu_dialog(self.run_.wait_main_window(), TITLE, "Down", "Down")
        h.xdotool("windowactivate", "--sync", dialog)

    def open_files(self, names, paste=False):
        for name in names:
            self.run_.write(name, b"")
        self.open_dialog()
        h.xdotool("sleep", 0.5, "type", "--delay", 20, h.windows_path(self.run_.folder) + "\\")
        h.xdotool("key", "Return", "sleep", 1)
        quoted = " ".join('"%s"' % name for name in names)
        if paste:  # too many to type
            h.wintool("clip-set", quoted)
            h.xdotool("key", "ctrl+v")
        else:
            h.xdotool("type", "--delay", 20, quoted)
        h.xdotool("key", "Return")
        h.wait_gone(TITLE, timeout=60)

    def test_two_audio_files_are_appended_and_the_first_plays(self):
        self.launch()
        self.open_files(["b.wav", "a.wav"])
        h.wait_until(lambda: rows() == [["1", "b.wav"], ["0", "a.wav"]], what="both rows in order, the first marked")
        self.assertEqual(self.run_.played()[-1], h.doubled(h.windows_path(self.run_.path("b.wav"))))

    def test_a_cancelled_dialog_changes_nothing_and_500_names_are_all_listed(self):
        self.launch()
        self.open_dialog()
        played = self.run_.played()
        h.xdotool("sleep", 0.5, "key", "Escape")
        h.wait_gone(TITLE)
        self.assertEqual((rows(), self.run_.played()), ([], played))
        names = ["%03d.wav" % i for i in range(500)]
        self.open_files(names, paste=True)
        listed = h.wait_count(rows, 500, timeout=60)
        self.assertEqual([r[1] for r in listed], names)
        self.assertEqual(listed[0][0], "1")


if __name__ == "__main__":
    unittest.main(verbosity=2)
