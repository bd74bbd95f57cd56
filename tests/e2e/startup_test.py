"""Start-up: the skinned window, the controls, the missing or broken sound library."""
import os
import unittest

import harness as h

RING_COLOURS = [(7, 50, 7), (11, 78, 11), (15, 110, 15), (20, 142, 20),
                (24, 170, 24), (27, 192, 27), (29, 207, 29), (31, 216, 31)]
MAGENTA = (255, 0, 152)

CONTROL_RECTS = {
    9: (170, 0, 10, 10), 8: (185, 0, 10, 10), 7: (202, 0, 10, 10),
    10: (15, 128, 140, 25), 11: (155, 132, 55, 20),
    14: (10, 155, 50, 18), 12: (60, 155, 50, 18), 13: (110, 155, 50, 18), 15: (160, 155, 50, 18),
    16: (10, 178, 201, 83),
}


def is_greenish(rgb):
    r, g, b = rgb
    return g > 40 and g > r and g > b


class SkinnedWindow(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        h.kill_leftover_players()
        cls.run_ = h.PlayerRun("skinned_window", script="")
        cls.run_.start()
        cls.run_.wait_main_window()
        cls.info = h.window_info()
        # The window is mapped before it is painted: wait for the innermost ring.
        def painted():
            shot = h.screen()
            return shot if h.pixel(shot, cls.info[1] + 9, cls.info[2] + 100) == RING_COLOURS[7] else None
        cls.shot = h.wait_until(painted, what="the skin to be painted")

    @classmethod
    def tearDownClass(cls):
        cls.run_.stop()

    def at(self, x, y):
        """Screen pixel at a client point of the main window."""
        return h.pixel(self.shot, self.info[1] + x, self.info[2] + y)

    def test_window_is_centred_and_220_by_270(self):
        visible, x, y, width, height = self.info
        screen_width, screen_height, _ = self.shot
        self.assertEqual(visible, 1)
        self.assertEqual((width, height), (220, 270))
        self.assertEqual((x, y), ((screen_width - 220) // 2, (screen_height - 270) // 2))

    def test_frame_rings_on_every_side(self):
        for ring, colour in enumerate(RING_COLOURS):
            self.assertEqual(self.at(2 + ring, 100), colour, "left ring %d" % ring)
            self.assertEqual(self.at(218 - ring, 100), colour, "right ring %d" % ring)
            self.assertEqual(self.at(60, 2 + ring), colour, "top ring %d" % ring)
            self.assertEqual(self.at(100, 268 - ring), colour, "bottom ring %d" % ring)

    def test_outside_the_region_is_not_part_of_the_window(self):
        # The skin bitmap is magenta there; the region cuts it away.
        for x, y in [(0, 0), (1, 100), (219, 100), (2, 2), (3, 3), (218, 268), (100, 269), (100, 1)]:
            self.assertNotEqual(self.at(x, y), MAGENTA, "pixel %d,%d" % (x, y))

    def test_interior_is_black(self):
        # Away from the oscilloscope's flat trace (row 60) and the text band's text.
        for x, y in [(10, 10), (100, 30), (209, 129), (12, 250)]:
            self.assertEqual(self.at(x, y), (0, 0, 0), "pixel %d,%d" % (x, y))

    def test_controls_sit_at_their_rectangles(self):
        for number, rect in CONTROL_RECTS.items():
            code, out = h.wintool("child-rect", h.MAIN_TITLE, number)
            self.assertEqual(code, 0, "control %d missing" % number)
            self.assertEqual(tuple(int(v) for v in out.split()), rect, "control %d" % number)

    def test_transport_buttons_show_green_images(self):
        for number in (14, 12, 13, 15):
            x, y, width, height = CONTROL_RECTS[number]
            greens = [self.at(px, py) for px in range(x, x + width) for py in range(y, y + height)
                      if is_greenish(self.at(px, py))]
            self.assertGreater(len(greens), 20, "button %d shows no green image" % number)



class MissingLibrary(h.PlayerTest):
    def expect_message_and_clean_end(self):
        self.run_.start()
        box = h.wait_until(lambda: h.visible_window("Quendra"), what="the message box")
        code, text = h.wintool("child-text", "Quendra", 0xFFFF)
        self.assertEqual(text, b"Fmodex.dll konnte nicht geladen werden!")
        self.assertEqual(h.visible_window(h.MAIN_TITLE), "", "main window must stay hidden")
        h.xdotool("key", "--window", box, "Return")
        self.assertEqual(self.run_.wait_exit(), 0)

    def test_no_library_shows_the_message_and_ends_with_zero(self):
        self.run_ = h.PlayerRun("no_library", fake=False)
        self.expect_message_and_clean_end()

    def test_a_file_that_is_not_a_dll_counts_as_missing(self):
        self.run_ = h.PlayerRun("not_a_dll", fake=False)
        with open(os.path.join(self.run_.folder, "fmodex.dll"), "wb") as f:
            f.write(b"MZ this is not a library" * 40)
        self.expect_message_and_clean_end()

    def test_a_library_missing_one_entry_point_counts_as_missing(self):
        self.run_ = h.PlayerRun("missing_entry_point")
        path = os.path.join(self.run_.folder, "fmodex.dll")
        with open(path, "rb") as f:
            data = f.read()
        # Same length and same sort position, so the rest of the export table stays valid.
        self.assertIn(b"FMOD_Channel_GetPriority\0", data)
        with open(path, "wb") as f:
            f.write(data.replace(b"FMOD_Channel_GetPriority\0", b"FMOD_Channel_GetPriorizy\0"))
        self.expect_message_and_clean_end()

    def test_failing_system_init_shows_the_message(self):
        self.run_ = h.PlayerRun("init_fails", script="result FMOD_System_Init 1\n")
        self.expect_message_and_clean_end()
        self.assertEqual(h.calls(self.run_.log(), "FMOD_System_Release"), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
