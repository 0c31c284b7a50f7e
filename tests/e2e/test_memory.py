"""Resident memory of the editor as the curve grows to thousands of points."""
import unittest

from harness import Session, floor_kib

# A 64 x 64 grid 10 pixels apart: no click lands within reach of a point.
GRID = [(5 + 10 * i, 5 + 10 * j) for j in range(64) for i in range(64)]


class Memory(unittest.TestCase):
    def setUp(self):
        self.session = Session()
        self.addCleanup(self.session.close)
        self.session.start()

    def test_4096_points_stay_within_10_mb_of_4(self):
        s = self.session
        s.quick_clicks(GRID[:4])
        s.wait_shot(lambda shot: shot.dark_in(34, 4, 36, 6) == 9, "four markers")
        with_4 = floor_kib(s.editor.pid)

        s.quick_clicks(GRID[4:])
        last = GRID[-1]
        shot = s.wait_shot(lambda shot: shot.dark_in(last[0] - 1, last[1] - 1,
                                                     last[0] + 1, last[1] + 1) == 9,
                           "the last marker", timeout=120)
        self.assertTrue(all(shot.dark_in(x - 1, y - 1, x + 1, y + 1) == 9 for x, y in GRID[::97]))
        with_4096 = floor_kib(s.editor.pid)
        print("resident: %d KiB with 4 points, %d KiB with 4096" % (with_4, with_4096))
        self.assertLess(with_4096 - with_4, 10 * 1024)

        s.request_close()
        self.assertEqual(s.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
