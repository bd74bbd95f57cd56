"""Start-up: the skinned window, the controls, the missing or broken sound library."""
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


class SkinnedWindow(h.PlayerTest):
    def test_centred_and_painted_with_its_rings_region_and_controls(self):
        self.launch(script="")
        info = h.window_info()

        def painted():  # the window is mapped before it is painted: wait for the innermost ring
            shot = h.screen()
            return shot if h.pixel(shot, info[1] + 9, info[2] + 100) == RING_COLOURS[7] else None
        shot = h.wait_until(painted, what="the skin to be painted")
        at = lambda x, y: h.pixel(shot, info[1] + x, info[2] + y)  # a client point of the main window
        self.assertEqual(info[:5], [1, (shot[0] - 220) // 2, (shot[1] - 270) // 2, 220, 270])
        for ring, colour in enumerate(RING_COLOURS):
            sides = [at(2 + ring, 100), at(218 - ring, 100), at(60, 2 + ring), at(100, 268 - ring)]
            self.assertEqual(sides, [colour] * 4, "ring %d: left, right, top, bottom" % ring)
        # The skin bitmap is magenta outside the region, which cuts it away.
        for x, y in [(0, 0), (1, 100), (219, 100), (2, 2), (3, 3), (218, 268), (100, 269), (100, 1)]:
            self.assertNotEqual(at(x, y), MAGENTA, "pixel %d,%d" % (x, y))
        # Away from the oscilloscope's flat trace (row 60) and the text band's text.
        self.assertEqual([at(x, y) for x, y in [(10, 10), (100, 30), (209, 129), (12, 250)]], [h.BLACK] * 4)
        for number, rect in CONTROL_RECTS.items():
            self.assertEqual((h.numbers("child-rect", h.MAIN_TITLE, number) or [])[:4], list(rect), number)
        for number in (14, 12, 13, 15):  # the transport buttons' green images
            x, y, width, height = CONTROL_RECTS[number]
            greens = [1 for px in range(x, x + width) for py in range(y, y + height)
                      if at(px, py)[1] > max(40, at(px, py)[0], at(px, py)[2])]
            self.assertGreater(len(greens), 20, "button %d shows no green image" % number)


# No library, a file that is not a DLL, a library missing one entry point (renamed with the
# same length and sort position, so the rest of the export table stays valid), a failing init.
BROKEN_LIBRARIES = [("no_library", {"fake": False}, None),
                    ("not_a_dll", {"fake": False, "files": {"fmodex.dll": b"MZ this is not a library" * 40}}, None),
                    ("missing_entry_point", {}, (b"FMOD_Channel_GetPriority\0", b"FMOD_Channel_GetPriorizy\0")),
                    ("init_fails", {"script": "result FMOD_System_Init 1\n"}, None)]


class MissingLibrary(h.PlayerTest):
    def test_a_missing_or_broken_library_shows_the_message_and_ends_with_zero(self):
        for name, options, rename in BROKEN_LIBRARIES:
            with self.subTest(name):
                run = self.prepare(name, **options)
                if rename:
                    self.assertIn(rename[0], run.read("fmodex.dll"))
                    run.write("fmodex.dll", run.read("fmodex.dll").replace(*rename))
                run.start()
                box = h.wait_window("Quendra")
                self.assertEqual(h.text("child-text", "Quendra", 0xFFFF), "Fmodex.dll konnte nicht geladen werden!")
                self.assertEqual(h.visible_window(h.MAIN_TITLE), "", "main window must stay hidden")
                h.xdotool("key", "--window", box, "Return")
                self.assertEqual(run.wait_exit(), 0)
                self.assertEqual(h.calls(run.log(), "FMOD_System_Release"), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
