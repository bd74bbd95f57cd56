"""The real player with the real sound library: the demo track plays, the oscilloscope
follows it, the playlist lists it."""
import os
import shutil
import unittest

import harness as h

# Client rectangle of the oscilloscope's trace area (rows 0 to 99 of the surface).
SCOPE_LEFT, SCOPE_TOP, SCOPE_WIDTH, SCOPE_ROWS = 10, 10, 200, 100
TRACE_GREEN = (0, 255, 0)


def bright_rows(shot, origin):
    """Rows of the trace area that hold a pixel of the bright trace colour."""
    rows = set()
    for y in range(SCOPE_TOP, SCOPE_TOP + SCOPE_ROWS):
        for x in range(SCOPE_LEFT, SCOPE_LEFT + SCOPE_WIDTH, 2):
            if h.pixel(shot, origin[0] + x, origin[1] + y) == TRACE_GREEN:
                rows.add(y - SCOPE_TOP)
                break
    return rows


class RealLibrary(h.PlayerTest):
    def setUp(self):
        super().setUp()
        self.run_ = h.PlayerRun("real_library", real=True)
        shutil.copy(h.DEMO_WAV, os.path.join(self.run_.folder, "demo.wav"))

    def test_demo_track_plays_and_the_oscilloscope_follows_it(self):
        self.run_.start("demo.wav")
        self.run_.wait_main_window()
        origin = h.window_info()[1:3]
        # A flat line sits on rows 49 and 50 only; the playing track swings the trace far
        # from the middle (the demo peaks at about 0.7, some 30 rows).
        def swinging():
            rows = bright_rows(h.screen(), origin)
            return rows if len(rows) > 10 and (min(rows) < 35 or max(rows) > 65) else None
        h.wait_until(swinging, timeout=30, what="the trace to follow the sound")
        self.assertEqual(h.rows(), [["1", "demo.wav", "00:12"]])

    def test_stop_freezes_the_trace(self):
        self.run_.start("demo.wav")
        window = self.run_.wait_main_window()
        origin = h.window_info()[1:3]
        h.wait_until(lambda: len(bright_rows(h.screen(), origin)) > 10, timeout=30, what="the sound")
        h.click(window, *h.STOP)  # stop: paused at the start
        # Nothing is played any more, so every frame draws the same trace.
        def trace(shot):
            return [h.pixel(shot, origin[0] + x, origin[1] + y) == TRACE_GREEN
                    for x in range(SCOPE_LEFT, SCOPE_LEFT + SCOPE_WIDTH, 3) for y in range(SCOPE_TOP, SCOPE_TOP + SCOPE_ROWS)]
        def frozen():
            first = trace(h.screen())
            return first == trace(h.screen())
        h.wait_until(frozen, timeout=20, what="the trace to stand still")


if __name__ == "__main__":
    unittest.main(verbosity=2)
