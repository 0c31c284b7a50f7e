"""Every desktop the end-to-end suites run on, one entry each: how its
session starts and what it does to windows. A new desktop, or a release of
one that behaves otherwise, is an entry here, read by the session alone.
"""
import functools
import os
import re
import shutil
import subprocess

import scaling
import servers
from options import DESKTOP_NAME, MONITORS_GIVEN, SCALE


class Desktop:
    """server(session): starts the session's X server (servers.py) and
    returns its display name.
    manager: the command of an X11 window manager started on that server.
    publish_scale(session): tells X11 programs the scale, where not 1.
    monitors: how many the session has unless ORRINADE_MONITORS says.
    places: whether something places, decorates and may move windows.
    managed: whether a window manager that closes and pings windows runs.
    has_input: whether XTEST input reaches windows.
    layout: the keyboard layout and variant to load, if not US QWERTY.
    missing(): why the desktop cannot run here, or None.
    keeps_created_place(): None, or for a desktop that keeps an X window
    where it is created whatever the program does after (a window created at
    the origin it centres), where it then holds the window, as ((dx, dy)
    from the place created, (left, top, right, bottom) of the decorations it
    declares around it)."""

    def __init__(self, server=servers.start_xvfb, manager=None,
                 publish_scale=scaling.publish_scale, monitors=1, places=True, managed=True,
                 has_input=True, layout=None, missing=lambda: None,
                 keeps_created_place=lambda: None):
        self.server, self.manager, self.publish_scale = server, manager, publish_scale
        self.monitors, self.places, self.managed = monitors, places, managed
        self.has_input, self.layout, self.missing = has_input, layout, missing
        self.keeps_created_place = keeps_created_place


def major_version(program):
    """The major version `program --version` names, or 0 where it is missing."""
    if not shutil.which(program):
        return 0
    found = re.search(program + r" (\d+)", subprocess.run(
        [program, "--version"], capture_output=True, text=True).stdout)
    return int(found.group(1)) if found else 0


@functools.lru_cache(maxsize=None)
def mutter_offers_x11():
    """Whether mutter can run as an X11 window manager: mutter 50 and later
    are Wayland compositors only, and their --help lists no --x11."""
    if not shutil.which("mutter"):
        return False
    offered = subprocess.run(["mutter", "--help"], capture_output=True, text=True,
                             env=dict(os.environ, GDK_BACKEND="x11"))
    return "--x11" in offered.stdout + offered.stderr


def gnome_missing():
    """A GNOME session at a scale other than 1 needs mutter's native scaling
    of X11 programs (mutter 47 and later; GNOME 43 scales their windows up
    itself), and GNOME's X settings daemon to tell them the scale."""
    if SCALE == 1:
        return None
    mutter = major_version("mutter")
    if mutter < 47:
        return "mutter %d scales X11 windows itself, with no native scaling" % mutter
    if not os.path.exists(scaling.GSD_XSETTINGS):
        return "GNOME's X settings daemon is not installed"
    return None


@functools.lru_cache(maxsize=None)
def weston_kept_place():
    """weston puts its title bar and borders (27 and 6 pixels) where the
    window was created, and the window within them. From weston 14 on it
    declares that frame with its shadow, 32 pixels beyond it above and left,
    38 right and below of what it draws: 38, 59, 38 and 38 pixels around the
    window; before, it declares none. (weston 16 puts a window it centres 33
    pixels further left than this says: its overhang is the same.)"""
    return (6, 27), ((38, 59, 38, 38) if major_version("weston") >= 14 else (0, 0, 0, 0))


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
    # mutter as a headless Wayland compositor with Xwayland (GNOME), which
    # tells X11 programs its scale through GNOME's settings daemon; since
    # GNOME 44 another client draws the title bars of X11 windows.
    "gnome": Desktop(server=servers.start_mutter, publish_scale=scaling.start_gnome_settings,
                     monitors=2, missing=gnome_missing),
    # KWin on its virtual backend with Xwayland (KDE Plasma).
    "kde": Desktop(server=servers.start_kwin, monitors=2),
    # weston's headless backend with Xwayland, which has no seat: XTEST
    # input reaches no window there.
    "weston": Desktop(server=servers.start_weston, managed=False, has_input=False,
                      keeps_created_place=weston_kept_place),
}

# How a test skipped for want of its desktop says so (ctest looks for it).
NOT_HERE = "the desktop is not here: "
if DESKTOP_NAME not in DESKTOPS:
    raise RuntimeError("ORRINADE_DESKTOP: unknown desktop " + DESKTOP_NAME)
DESKTOP = DESKTOPS[DESKTOP_NAME]
MONITORS = int(MONITORS_GIVEN or DESKTOP.monitors)
