"""Start-up and shut-down of the editor in a real X server."""
import os
import unittest

from Xlib import X

from harness import BACKGROUND, BUILD_DIR, RUNNER, WINDOW_SIZE, EditorCase, TempDir


class Startup(EditorCase):
    START = False  # each test starts the editor its own way

    def test_window_background_and_status_text(self):
        s = self.session
        window = s.start()
        self.assertEqual(window.get_wm_name(), "Orrinade")
        self.assertEqual(s.size(), WINDOW_SIZE)
        shot = s.wait_status(0, 16)
        self.assertEqual(shot.dark_in(320, 0, 639, 639), 0)
        self.assertEqual(shot.dark_in(0, 60, 639, 639), 0)
        self.assertEqual(shot.pixel(320, 320), BACKGROUND)
        self.assertEqual(shot.pixel(639, 0), BACKGROUND)

    def test_close_request_exits_with_status_zero(self):
        s = self.session
        s.start()
        s.request_close()
        self.assertEqual(s.wait_exit(), 0)

    def test_a_bad_font_exits_255_and_opens_no_window(self):
        s = self.session
        s.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        s.display.sync()
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
                          and not (RUNNER and (e.width, e.height) == (1, 1))], [])


if __name__ == "__main__":
    unittest.main()
