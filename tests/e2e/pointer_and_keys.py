"""XTEST pointer and keys on the session's own connection (KWin 6 drops a new
client's first events, so not a program per event)."""
import time

from Xlib import X
from Xlib.ext import xtest
from Xlib.protocol import event as xevent

from options import SCALE, STATUS_BOX, TIMEOUT, device
from waiting import wait_for


class Input:
    """Input to self.window in logical pixels; quick_* only queue, sync() sends."""

    def move(self, x, y, scale=SCALE):
        self.quick_move(x, y, scale)
        self.sync()

    def move_on_screen(self, x, y):
        xtest.fake_input(self.display, X.MotionNotify, x=device(x), y=device(y))
        self.sync()

    def point_at(self, x, y, scale=SCALE):
        """Moves the pointer again until the server reports it at (x, y) in the
        window: a compositor sends a button where it last saw the pointer."""
        want = (device(x, scale), device(y, scale))

        def arrived():
            self.move(x, y, scale)
            reported = self.window.query_pointer()
            return (reported.win_x, reported.win_y) == want
        wait_for(arrived, "the pointer at %s in the window" % (want,))

    def click(self, x, y, button=1, scale=SCALE):
        self.press(x, y, button, scale)
        self.quick_button(False, button)
        self.sync()

    def press(self, x, y, button=1, scale=SCALE):
        self.point_at(x, y, scale)
        self.quick_button(True, button)
        self.sync()

    def release(self, box=STATUS_BOX):
        """Releases the left button; returns once handled (the editor reads the
        button live), with the last screenshot; `box` as for wait_handled."""
        self.quick_button(False)
        self.sync()
        return self.wait_handled(box)

    def wait_handled(self, box=STATUS_BOX):
        """H twice: returns the last screenshot once every earlier event is
        handled. Only the status lines may be drawn in box (x0, y0, x1, y1)."""
        shown = self.shot().shows_status(box)
        for want in (not shown, shown):
            self.key("h")
            shot = self.wait_shot(lambda shot: shot.shows_status(box) == want,
                                  "the status lines " + ("shown" if want else "hidden"))
        return shot

    def key(self, name, times=1):
        for _ in range(times):
            self.quick_key(name)
        self.sync()

    def quick_move(self, x, y, scale=SCALE):
        origin = self.window.translate_coords(self.root, 0, 0)
        xtest.fake_input(self.display, X.MotionNotify, x=device(x, scale) - origin.x,
                         y=device(y, scale) - origin.y)

    def quick_button(self, down, button=1):
        xtest.fake_input(self.display, X.ButtonPress if down else X.ButtonRelease, button)

    def quick_key(self, name):
        self.physical_key(self.keycode(name))

    def physical_key(self, keycode):
        """Presses and releases the key at this place, whatever it types."""
        xtest.fake_input(self.display, X.KeyPress, keycode)
        xtest.fake_input(self.display, X.KeyRelease, keycode)

    def sync(self):
        self.display.sync()

    def quick_clicks(self, points):
        for x, y in points:
            self.quick_move(x, y)
            self.quick_button(True)
            self.quick_button(False)
        self.sync()

    def ping(self, timeout=TIMEOUT):
        """Seconds until a _NET_WM_PING is answered on the root window."""
        if self.pings is None:
            self.pings = self.connect()
            self.pings.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
            self.pings.sync()
        ping = self.pings.intern_atom("_NET_WM_PING")
        self.serial += 1
        message = xevent.ClientMessage(
            window=self.window, client_type=self.pings.intern_atom("WM_PROTOCOLS"),
            data=(32, [ping, self.serial, self.window.id, 0, 0]))
        sent = time.monotonic()
        self.pings.create_resource_object("window", self.window.id).send_event(
            message, event_mask=X.NoEventMask)
        self.pings.flush()
        while time.monotonic() - sent < timeout:
            while self.pings.pending_events():
                answer = self.pings.next_event()
                if (answer.type == X.ClientMessage and answer.data[1][0] == ping
                        and answer.data[1][1] == self.serial):
                    return time.monotonic() - sent
            time.sleep(0.002)
        raise AssertionError("no answer to _NET_WM_PING within %g s" % timeout)
