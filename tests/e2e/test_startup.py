"""Start-up and shut-down of the editor in a real X server."""
import os
import unittest

from Xlib import X

from harness import (BACKGROUND, BUILD_DIR, DESKTOP, PLACEMENT_OUT_OF_REACH, RUNNER,
                     WINDOW_MANAGERS, WINDOW_SIZE, EditorCase, TempDir)

# Wide, square-ish and small: the window (640 x 640) fits each, with little
# to spare on the last.
SCREENS = [(1920, 1080), (1280, 1024), (1024, 768)]


class Startup(EditorCase):
    START = False  # each test starts the editor its own way

    def test_window_on_the_screen_with_background_and_status_text(self):
        for screen in SCREENS:
            with self.subTest(screen=screen):
                s = self.new_session(screen)
                window = s.start()  # which fails unless the window is wholly on the screen
                self.assertEqual(window.get_wm_name(), "Orrinade")
                self.assertEqual(s.size(), WINDOW_SIZE)
                shot = s.wait_status(0, 16)
                self.assertEqual(shot.dark_in(320, 0, 639, 639), 0)
                self.assertEqual(shot.dark_in(0, 60, 639, 639), 0)
                self.assertEqual(shot.pixel(320, 320), BACKGROUND)
                self.assertEqual(shot.pixel(639, 0), BACKGROUND)
                s.close()

    @unittest.skipUnless(PLACEMENT_OUT_OF_REACH, "the window is placed where the editor puts it")
    @unittest.expectedFailure
    def test_window_created_off_centre_stays_partly_off_the_screen(self):
        """Known gap: this SFML creates the window partly off the screen and
        this desktop ignores the editor's move. Once either is mended, this
        unexpected success fails the suite, and the check moves into start()."""
        for screen in SCREENS:
            s = self.new_session(screen)
            s.start()
            s.assert_on_screen()
            s.close()

    def test_close_request_exits_with_status_zero(self):
        s = self.session
        s.start()
        s.request_close()
        self.assertEqual(s.wait_exit(), 0)

    @unittest.skipUnless(DESKTOP in WINDOW_MANAGERS, "no window manager to close the window")
    def test_the_window_managers_close_exits_with_status_zero(self):
        s = self.session
        s.start()
        s.close_by_window_manager()
        self.assertEqual(s.wait_exit(), 0)

    def test_a_bad_font_exits_255_and_opens_no_window(self):
        s = self.session
        s.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        s.display.sync()
        # Windows of the clients already there (a window manager's) are not
        # the editor's: each client's window ids share their high bits.
        mask = s.display.display.info.resource_id_mask
        present = {child.id & ~mask for child in s.root.query_tree().children}
        with open(os.path.join(BUILD_DIR, "segoeui.ttf"), "rb") as real:
            font = real.read()
        cases = {
            "missing": None,
            "empty": b"",
            "cut short": font[:1000],
            # FreeType opens this one, then renders text with glyphs missing.
            "cut near the end": font[:len(font) * 9 // 10],
            "not a font": b"hello, not a font",
            "a directory": "directory",
        }
        no_display = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        for case, content in cases.items():
            with self.subTest(case), TempDir() as folder:
                path = os.path.join(folder, "segoeui.ttf")
                if content == "directory":
                    os.mkdir(path)
                elif content is not None:
                    with open(path, "wb") as bad:
                        bad.write(content)
                self.assertEqual(s.run(cwd=folder).wait(timeout=30), 255)
                # Without a display any attempt at a window would abort.
                self.assertEqual(s.run(cwd=folder, env=no_display).wait(timeout=30), 255)
        s.display.sync()
        created = [s.display.next_event() for _ in range(s.display.pending_events())]
        # Wine makes hidden 1 x 1 windows of its own.
        self.assertEqual([e for e in created if e.type == X.CreateNotify
                          and e.window.id & ~mask not in present
                          and not (RUNNER and (e.width, e.height) == (1, 1))], [])


if __name__ == "__main__":
    unittest.main()
