"""Every desktop the end-to-end suites run on, one entry each: how its
session starts and what it does to windows. A new desktop, or a release of
one that behaves otherwise, is an entry here, read by the harness alone.

ORRINADE_DESKTOP names the desktop every session of a test process runs.
"""
import functools
import os
import re
import shutil
import subprocess


class Desktop:
    """server: "xvfb", or the Wayland compositor ("weston", "mutter",
    "kwin") whose Xwayland is the session's X server.
    manager: the command of an X11 window manager started on Xvfb.
    monitors: how many the session has unless ORRINADE_MONITORS says.
    places: whether something places, decorates and may move windows.
    managed: whether a window manager that closes and pings windows runs.
    follows_moves: whether a window the editor moves after mapping it goes
    there (weston keeps only the place a window is created at).
    has_input: whether XTEST input reaches windows.
    layout: the keyboard layout and variant to load, if not US QWERTY.
    missing(): why the desktop cannot run here, or None.
    placement_out_of_reach(screen, created): whether the editor cannot get
    its window, created at that place, wholly onto a monitor of that size
    here: a known limit."""

    def __init__(self, server="xvfb", manager=None, monitors=1, places=True, managed=True,
                 follows_moves=True, has_input=True, layout=None, missing=lambda: None,
                 placement_out_of_reach=lambda screen, created: False):
        self.server, self.manager, self.monitors = server, manager, monitors
        self.places, self.managed, self.follows_moves = places, managed, follows_moves
        self.has_input, self.layout = has_input, layout
        self.missing, self.placement_out_of_reach = missing, placement_out_of_reach


@functools.lru_cache(maxsize=None)
def mutter_offers_x11():
    """Whether mutter can run as an X11 window manager: mutter 50 and later
    are Wayland compositors only, and their --help lists no --x11."""
    if not shutil.which("mutter"):
        return False
    offered = subprocess.run(["mutter", "--help"], capture_output=True, text=True,
                             env=dict(os.environ, GDK_BACKEND="x11"))
    return "--x11" in offered.stdout + offered.stderr


# GNOME's X settings daemon (gnome-settings-daemon).
GSD_XSETTINGS = "/usr/libexec/gsd-xsettings"


@functools.lru_cache(maxsize=None)
def mutter_major():
    found = re.search(r"mutter (\d+)", subprocess.run(
        ["mutter", "--version"], capture_output=True, text=True).stdout) if shutil.which("mutter") else None
    return int(found.group(1)) if found else 0


def gnome_missing():
    """A GNOME session at a scale other than 1 needs mutter's native scaling
    of X11 programs (mutter 47 and later; GNOME 43 scales their windows up
    itself), and GNOME's X settings daemon to tell them the scale."""
    if SCALE == 1:
        return None
    if mutter_major() < 47:
        return "mutter %d scales X11 windows itself, with no native scaling" % mutter_major()
    if not os.path.exists(GSD_XSETTINGS):
        return "GNOME's X settings daemon is not installed"
    return None


@functools.lru_cache(maxsize=None)
def weston_major():
    found = re.search(r"weston (\d+)", subprocess.run(
        ["weston", "--version"], capture_output=True, text=True).stdout) if shutil.which("weston") else None
    return int(found.group(1)) if found else 0


def weston_out_of_reach(screen, created):
    """weston keeps an X window where it is created (a window created at
    the origin it centres), whatever the editor does after, so the window
    and the frame weston declares around it must fit there. From weston 14
    on that frame, its shadow included, reaches 32 pixels above and left of
    the window, 44 right and 65 below."""
    width, height = screen
    size = 640
    x, y = created if created != (0, 0) else ((width - size) // 2, (height - size) // 2)
    left, top, right, bottom = (32, 32, 44, 65) if weston_major() >= 14 else (0, 0, 0, 0)
    return not (x - left >= 0 and y - top >= 0
                and x + size + right <= width and y + size + bottom <= height)


DESKTOPS = {
    # Xvfb alone: nothing places, decorates or focuses windows.
    "bare": Desktop(places=False, managed=False),
    # The same with the US Dvorak layout.
    "dvorak": Desktop(places=False, managed=False, layout=("us", "dvorak")),
    # openbox, a reparenting window manager (LXDE, LXQt).
    "openbox": Desktop(manager=["openbox", "--sm-disable"]),
    # xfwm4 (XFCE), which also pings its windows; it and mutter keep their
    # settings behind D-Bus, so each has a private bus.
    "xfwm4": Desktop(manager=["dbus-run-session", "--", "xfwm4", "--compositor=off",
                              "--sm-client-disable"]),
    # mutter as the X11 window manager (GNOME on Xorg), where mutter has one.
    "gnome-x11": Desktop(manager=["dbus-run-session", "--", "mutter", "--x11", "--replace"],
                         missing=lambda: None if mutter_offers_x11()
                         else "this mutter has no X11 mode (GNOME runs on Wayland only)"),
    # mutter as a headless Wayland compositor with Xwayland (GNOME); since
    # GNOME 44 another client draws the title bars of X11 windows.
    "gnome": Desktop(server="mutter", monitors=2, missing=gnome_missing),
    # KWin on its virtual backend with Xwayland (KDE Plasma).
    "kde": Desktop(server="kwin", monitors=2),
    # weston's headless backend with Xwayland, which has no seat: XTEST
    # input reaches no window there.
    "weston": Desktop(server="weston", managed=False, follows_moves=False, has_input=False,
                      placement_out_of_reach=weston_out_of_reach),
}

# How a test skipped for want of its desktop says so (ctest looks for it).
NOT_HERE = "the desktop is not here: "
NAME = os.environ.get("ORRINADE_DESKTOP", "bare")
# The scale the desktop asks programs to draw at (1 unless given).
SCALE = float(os.environ.get("ORRINADE_SCALE") or 1)
if NAME not in DESKTOPS:
    raise RuntimeError("ORRINADE_DESKTOP: unknown desktop " + NAME)
DESKTOP = DESKTOPS[NAME]
