"""Start-up and shut-down of the editor in a real X server."""
import os
import unittest

from Xlib import X

from harness import BACKGROUND, WINDOW_SIZE, Session, TempDir


class Startup(unittest.TestCase):
    def setUp(self):
        self.session = Session()
        self.addCleanup(self.session.close)

    def test_window_background_and_status_text(self):
        s = self.session
        window = s.start()
        self.assertEqual(window.get_wm_name(), "Orrinade")
        self.assertEqual(s.size(), WINDOW_SIZE)
        shot = s.wait_shot(lambda shot: shot.dark_in(0, 0, 150, 22) > 20,
                           "the status text")
        self.assertGreater(shot.dark_in(0, 25, 150, 47), 20)  # the second line
        self.assertEqual(shot.dark_in(200, 0, 639, 639), 0)
        self.assertEqual(shot.dark_in(0, 60, 639, 639), 0)
        self.assertEqual(shot.pixel(320, 320), BACKGROUND)
        self.assertEqual(shot.pixel(639, 0), BACKGROUND)

    def test_close_request_exits_with_status_zero(self):
        s = self.session
        s.start()
        s.request_close()
        self.assertEqual(s.wait_exit(), 0)

    def test_without_the_font_exits_255_and_opens_no_window(self):
        s = self.session
        s.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        s.display.sync()
        with TempDir() as empty:
            self.assertEqual(s.run(cwd=empty).wait(timeout=30), 255)
            # No display at all: any attempt at a window would abort instead.
            env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
            self.assertEqual(s.run(cwd=empty, env=env).wait(timeout=30), 255)
        s.display.sync()
        created = [s.display.next_event() for _ in range(s.display.pending_events())]
        self.assertEqual([e for e in created if e.type == X.CreateNotify], [])


if __name__ == "__main__":
    unittest.main()
