"""The editor in a desktop of its own (session.py), driven by real X input and
read back as pixels: what the suites build on."""
import functools
import unittest

from desktops import DESKTOP, MONITORS
from editor import EditorProcess
from options import SCREEN, WINDOW_SIZE
from placement import Placement
from pointer_and_keys import Input
from screen import Screen
from session import Session

needs_input = unittest.skipIf(DESKTOP.input_missing(), DESKTOP.input_missing())


class EditorSession(EditorProcess, Placement, Input, Screen, Session):
    """A session with the editor in it."""

    def place(self, *points):
        """Clicks each point, seeing its marker before the next; the last shot."""
        for point in points:
            self.click(*point)
            shot = self.wait_shot(lambda shot: shot.has_marker(*point), "the marker at %s" % (point,))
        return shot


class EditorCase(unittest.TestCase):
    """Each test gets a desktop of its own, made when first asked for; with
    START, the editor running in it."""
    START = True

    def setUp(self):
        if self.START:
            self.session.start()

    @functools.cached_property
    def session(self):
        return self.new_session()

    def new_session(self, screen=SCREEN, monitors=MONITORS):
        session = EditorSession(screen, monitors)
        self.addCleanup(session.close)
        return session

    def start_and_check(self, s, **start):
        """s.start(**start): an Orrinade window of the designed size, no points."""
        window = s.start(**start)
        self.assertEqual(window.get_wm_name(), "Orrinade")
        self.assertEqual(s.size(), WINDOW_SIZE)
        return s.wait_status(0, 16)

    def assert_closes(self, s, close=EditorSession.request_close):
        """Closed as `close` closes it, the editor exits with 0."""
        close(s)
        self.assertEqual(s.wait_exit(), 0)
