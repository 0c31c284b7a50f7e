"""Resident memory of the editor as the curve grows to thousands of points."""
import unittest

from harness import EditorCase
from memory import floor_kib

# A 64 x 64 grid 10 pixels apart: no click lands within reach of a point.
GRID = [(5 + 10 * i, 5 + 10 * j) for j in range(64) for i in range(64)]


class Memory(EditorCase):
    def test_4096_points_stay_within_10_mb_of_4(self):
        s = self.session
        s.quick_clicks(GRID[:4])
        s.wait_shot(lambda shot: shot.has_marker(35, 5), "four markers")
        with_4 = floor_kib(s.editor.pid)

        s.quick_clicks(GRID[4:])
        last = GRID[-1]
        shot = s.wait_shot(lambda shot: shot.has_marker(*last),
                           "the last marker", timeout=120)
        self.assertTrue(all(shot.has_marker(x, y) for x, y in GRID[::97]))
        with_4096 = floor_kib(s.editor.pid)
        print("resident: %d KiB with 4 points, %d KiB with 4096" % (with_4, with_4096))
        self.assertLess(with_4096 - with_4, 10 * 1024)

        s.request_close()
        self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
