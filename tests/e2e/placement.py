"""Where SFML creates the editor's window, where the desktop puts it, and checks."""
import time

from Xlib import X

from desktops import DESKTOP
from options import RUNNER, SFML_VERSION, WINDOW_SIZE, device
from waiting import wait_for


def creation_place(screen):
    """Where the editor's SFML creates its window on a screen of this size."""
    (width, height), (w, h) = screen, WINDOW_SIZE
    if SFML_VERSION.startswith("2.5."):
        return (width - w) // 2, (width - h) // 2
    if SFML_VERSION.startswith("2."):
        return (width - w) // 2, (height - h) // 2
    if SFML_VERSION.startswith("3.0."):
        return width - w // 2, height - h // 2
    return 0, 0


def creation_never_ends(screen):
    """SFML 2.5 waits for ever for a window created unplaced below the screen."""
    return (SFML_VERSION.startswith("2.5.") and not DESKTOP.places and not RUNNER
            and creation_place(screen)[1] >= screen[1])


def kept_place(screen):
    """Where a desktop that keeps created places holds the window and frame."""
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
    return not any(overhang(rect, monitor))


def overhang(rect, monitor):
    """How far rect reaches beyond the monitor: (left, top, right, bottom)."""
    return (max(monitor[0] - rect[0], 0), max(monitor[1] - rect[1], 0),
            max(rect[0] + rect[2] - monitor[0] - monitor[2], 0),
            max(rect[1] + rect[3] - monitor[1] - monitor[3], 0))


def placement_out_of_reach(screen):
    """Whether the desktop keeps the window where it is off the monitor."""
    kept = kept_place(screen)
    return kept is not None and not inside(kept[1], (0, 0) + tuple(screen))


class Placement:
    """Placement of a session's window (self.window unless given)."""

    def placement(self, window=None):
        """[window, with _NET_FRAME_EXTENTS], each (x, y, width, height) on the root."""
        window = window or self.window
        origin = window.translate_coords(self.root, 0, 0)
        geometry = window.get_geometry()
        x, y, width, height = -origin.x, -origin.y, geometry.width, geometry.height
        extents = window.get_full_property(self.display.intern_atom("_NET_FRAME_EXTENTS"),
                                           X.AnyPropertyType)
        left, right, top, bottom = extents.value if extents else (0, 0, 0, 0)
        return [(x, y, width, height),
                (x - left, y - top, width + left + right, height + top + bottom)]

    def wait_settled(self, window=None):
        """placement() once it has held for 0.3 s."""
        seen, since = [], [0.0]

        def still():
            now = self.placement(window)
            if not seen or now != seen[-1]:
                seen.append(now)
                since[0] = time.monotonic()
            return time.monotonic() - since[0] >= 0.3 and now
        return wait_for(still, "the window to stay in one place",
                        seen=lambda: "it was at %s" % seen[-10:])

    def desktops_place(self):
        """placement() of probes of the editor's size, until two in a row agree."""
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
        """Window and decorations lie on one monitor: centred on the primary
        where nothing places, on the primary where a manager does, and where
        the manager put desktops_place when that is on one monitor."""
        window, frame = self.placement()
        monitors = self.monitors()
        holding = [m for m in monitors if inside(window, m) and inside(frame, m)]
        if not holding:
            raise AssertionError("the window %s with its decorations %s is not wholly on one of "
                                 "the monitors %s" % (window, frame, monitors))
        primary = monitors[0]
        if not DESKTOP.places:
            # Under Wine, up to half a title bar lower (Windows' frame is centred).
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
            print("\nskipped: placement: the probe put at %s is on no monitor" % (desktops_place,))
            return
        # Where allowed, up to the decorations above and left of the probe.
        placed, placed_frame = desktops_place
        lowest = placed_frame if DESKTOP.frame_or_window_at_place() else placed
        # or kept where SFML created it.
        kept = DESKTOP.frame_or_window_at_place() and tuple(frame[:2]) == creation_place(self.screen)
        if not kept and not all(low <= at <= high for at, low, high in zip(window[:2], lowest[:2], placed[:2])):
            raise AssertionError("the window is at %s, not where the desktop put a window of its "
                                 "size, %s, or up to its decorations above and left, %s"
                                 % (window[:2], placed[:2], lowest[:2]))
