"""Where the editor's window goes: where its SFML creates it, where the
desktop puts it, and the check that it lies wholly on one monitor there."""
import time

from Xlib import X

from desktops import DESKTOP
from options import RUNNER, SFML_VERSION, WINDOW_SIZE, device
from waiting import wait_for


def creation_place(screen):
    """Where the editor's SFML creates its window on an X screen of this
    size, before anything places or moves it: SFML 2.5 centres it from the
    screen's width alone, 2.6 centres it, 3.0 puts its centre at the
    bottom-right corner, 3.1 at the top-left corner."""
    (width, height), (w, h) = screen, WINDOW_SIZE
    if SFML_VERSION.startswith("2.5."):
        return (width - w) // 2, (width - h) // 2
    if SFML_VERSION.startswith("2."):
        return (width - w) // 2, (height - h) // 2
    if SFML_VERSION.startswith("3.0."):
        return width - w // 2, height - h // 2
    return 0, 0


def creation_never_ends(screen):
    """SFML 2.5.1 waits for its window to become visible. Where nothing
    places windows and it is created below the screen, it waits for ever."""
    return (SFML_VERSION.startswith("2.5.") and not DESKTOP.places and not RUNNER
            and creation_place(screen)[1] >= screen[1])


def kept_place(screen):
    """On a desktop that keeps a window where it is created, the editor's
    window and its frame there, as placement() measures them, on one monitor
    of this size; None elsewhere."""
    kept = DESKTOP.keeps_created_place()
    if kept is None:
        return None
    (dx, dy), (left, top, right, bottom) = kept
    (width, height), (w, h) = screen, WINDOW_SIZE
    created = creation_place(screen)
    x, y = created if created != (0, 0) else ((width - w) // 2, (height - h) // 2)
    x, y = x + dx, y + dy
    return [(x, y, w, h), (x - left, y - top, w + left + right, h + top + bottom)]


def inside(rect, monitor):
    return (rect[0] >= monitor[0] and rect[1] >= monitor[1]
            and rect[0] + rect[2] <= monitor[0] + monitor[2]
            and rect[1] + rect[3] <= monitor[1] + monitor[3])


def grown(rect, by):
    """rect with `by` more pixels on every side."""
    return (rect[0] - by, rect[1] - by, rect[2] + 2 * by, rect[3] + 2 * by)


def overhang(rect, monitor):
    """How far rect reaches beyond the monitor: (left, top, right, bottom)."""
    return (max(monitor[0] - rect[0], 0), max(monitor[1] - rect[1], 0),
            max(rect[0] + rect[2] - monitor[0] - monitor[2], 0),
            max(rect[1] + rect[3] - monitor[1] - monitor[3], 0))


def placement_out_of_reach(screen):
    """Known limit: the editor cannot get its window wholly onto a monitor of
    this size on this desktop, which keeps the window where it is created."""
    kept = kept_place(screen)
    return kept is not None and not inside(kept[1], (0, 0) + tuple(screen))


class Placement:
    """Placement of a session's window (self.window unless given), for
    Session: reads its display, root, screen and monitors."""

    def placement(self, window=None):
        """The window's rectangle on the root, as xwininfo measures it, and
        the same with the decorations the window manager declares around it
        (_NET_FRAME_EXTENTS; a frame window may also hold invisible shadow):
        [(x, y, width, height), (x, y, width, height)]."""
        window = window or self.window
        origin = window.translate_coords(self.root, 0, 0)
        geometry = window.get_geometry()
        x, y, width, height = -origin.x, -origin.y, geometry.width, geometry.height
        extents = window.get_full_property(self.display.intern_atom("_NET_FRAME_EXTENTS"),
                                           X.AnyPropertyType)
        left, right, top, bottom = extents.value if extents else (0, 0, 0, 0)
        return [(x, y, width, height),
                (x - left, y - top, width + left + right, height + top + bottom)]

    def wait_settled(self, window=None, quiet=0.3):
        """Waits until the window has stayed where it is for `quiet` seconds;
        its placement()."""
        last = {"placement": None, "since": 0.0}

        def still():
            now = self.placement(window)
            if now != last["placement"]:
                last.update(placement=now, since=time.monotonic())
                seen.append(now)
            return time.monotonic() - last["since"] >= quiet and now
        seen = []
        try:
            return wait_for(still, "the window to stay in one place")
        except AssertionError as error:
            raise AssertionError("%s; it was at %s" % (error, seen[-10:])) from None

    def desktops_place(self):
        """Where the window manager puts a plain new window of the editor's
        size created where the editor's is, and its decorations: placement()
        of probes mapped, measured and destroyed, until two in a row agree (a
        manager still settling in may put its first windows elsewhere)."""
        x, y = creation_place(self.screen)

        def probe_place():
            with self.mapped_window(x, y, *WINDOW_SIZE, name="placement probe") as probe:
                wait_for(lambda: probe.get_attributes().map_state == X.IsViewable,
                         "the probe window")
                return self.wait_settled(probe)
        places = [probe_place()]
        while places[-1:] != places[-2:-1]:
            if len(places) == 10:
                raise AssertionError("the desktop put ten windows of the editor's size in a row "
                                     "at no place twice: %s" % places)
            places.append(probe_place())
        return places[-1]

    def assert_placed(self, desktops_place=None):
        """The window and its decorations lie wholly on one monitor. Where
        nothing places windows, the window is centred on the primary monitor
        (at its top-left corner on an axis where the monitor is smaller);
        where a window manager does, with several monitors, it is on the
        primary, where the manager puts new windows; and where the manager
        put a plain window of its size just before (desktops_place), when
        that lies on one monitor too."""
        window, frame = self.placement()
        monitors = self.monitors()
        holding = [m for m in monitors if inside(window, m) and inside(frame, m)]
        if not holding:
            raise AssertionError("the window %s with its decorations %s is not wholly on one of "
                                 "the monitors %s" % (window, frame, monitors))
        primary = monitors[0]
        if not DESKTOP.places:
            # Under Wine the editor centres Windows' frame, drawn about the
            # X window: that is centred across, and up to half a title bar lower.
            slack = (1, device(15)) if RUNNER else (0, 0)
            centred = tuple(start + max(length - size, 0) // 2
                            for start, length, size in ((primary[0], primary[2], window[2]),
                                                        (primary[1], primary[3], window[3])))
            if not (abs(window[0] - centred[0]) <= slack[0]
                    and 0 <= window[1] - centred[1] <= slack[1]):
                raise AssertionError("the window is at %s, not centred on the primary monitor %s "
                                     "at %s (give or take %s)" % (window[:2], primary, centred, slack))
        elif len(monitors) > 1 and primary not in holding:
            raise AssertionError("the window %s is not on the primary monitor %s"
                                 % (frame, primary))
        if not desktops_place:
            return
        if not any(inside(desktops_place[0], m) and inside(desktops_place[1], m) for m in monitors):
            # The editor moves such a window onto a monitor: no guide, as the log says.
            print("\nskipped: placement: the probe put at %s is on no monitor" % (desktops_place,))
            return
        # A desktop whose entry allows it may put the editor's frame where the
        # probe's client went: below and right of the probe's frame, by no more
        # than the decorations.
        placed, placed_frame = desktops_place
        lowest = placed_frame if DESKTOP.frame_or_window_at_place() else placed
        # Such a desktop may also keep the editor's frame where SFML created
        # the window (mutter 48 on Xorg did, on one screen of three).
        kept = DESKTOP.frame_or_window_at_place() and tuple(frame[:2]) == creation_place(self.screen)
        if not kept and not all(low <= at <= high for at, low, high in zip(window[:2], lowest[:2], placed[:2])):
            raise AssertionError("the window is at %s, not where the desktop put a window of its "
                                 "size, %s, or up to its decorations above and left, %s"
                                 % (window[:2], placed[:2], lowest[:2]))
