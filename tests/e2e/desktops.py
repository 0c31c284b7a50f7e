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
    input_missing(): why XTEST pointer input does not reach windows, or None.
    layout: the keyboard layout and variant to load, if not US QWERTY.
    panel: the height in logical pixels of a panel along the bottom of the
    primary monitor (a dock window with a strut, as taskbars are), if any.
    missing(): why the desktop cannot run here, or None.
    frame_or_window_at_place(): whether the desktop puts a new window's frame
    or the window itself at the place asked for, as a client of its own that
    draws the frames is quick or not (mutter 44 and later).
    keeps_created_place(): None, or for a desktop that keeps an X window
    where it is created whatever the program does after (a window created at
    the origin it centres), where it then holds the window, as ((dx, dy)
    from the place created, (left, top, right, bottom) of the decorations it
    declares around it).
    leaves_unmapped: whether under load it has left a window unmapped for
    good, the program asking for it to be shown (mutter 48): such a start is
    made once more."""

    def __init__(self, server=servers.start_xvfb, manager=None,
                 publish_scale=scaling.publish_scale, monitors=1, places=True, managed=True,
                 input_missing=lambda: None, layout=None, panel=None, missing=lambda: None,
                 frame_or_window_at_place=lambda: False, keeps_created_place=lambda: None,
                 leaves_unmapped=False):
        self.server, self.manager, self.publish_scale = server, manager, publish_scale
        self.monitors, self.places, self.managed = monitors, places, managed
        self.input_missing, self.layout, self.missing = input_missing, layout, missing
        self.panel = panel
        self.frame_or_window_at_place = frame_or_window_at_place
        self.keeps_created_place = keeps_created_place
        self.leaves_unmapped = leaves_unmapped


@functools.lru_cache(maxsize=None)
def major_version(program):
    """The major version of an installed program, as `program --version`
    names it. A program the system lacks is an error, not a reason to skip:
    a desktop that the project's install script installs must be there."""
    if not shutil.which(program):
        raise RuntimeError("%s is not installed (scripts/install-deps.sh test installs it)" % program)
    found = re.search(program + r" (\d+)", subprocess.run(
        [program, "--version"], capture_output=True, text=True).stdout)
    if not found:
        raise RuntimeError("%s --version names no version" % program)
    return int(found.group(1))


def gnome_x11_missing():
    """mutter 50 and later are Wayland compositors alone: no GNOME on Xorg."""
    mutter = major_version("mutter")
    return "mutter %d has no X11 mode (GNOME runs on Wayland only)" % mutter if mutter >= 50 else None


@functools.lru_cache(maxsize=None)
def kwin_version():
    """KWin's version as (major, minor), as `kwin_wayland --version` names it."""
    command, extra = servers.kwin_command()
    said = subprocess.run(command + ["--version"], capture_output=True, text=True,
                          env=dict(os.environ, QT_QPA_PLATFORM="offscreen", **extra)).stdout
    found = re.search(r"kwin (\d+)\.(\d+)", said)
    if not found:
        raise RuntimeError("kwin_wayland --version names no version: %r" % said)
    return int(found.group(1)), int(found.group(2))


def kde_pointer_missing():
    """KWin 6.7 and later take XTEST pointer positions in logical pixels on
    a scaled output: a move to X pixel (x, y) lands at (2x, 2y) at 200 %, so
    no session there can place the pointer; what needs none still runs."""
    if SCALE != 1 and kwin_version() >= (6, 7):
        return "KWin %d.%d puts an XTEST pointer move at %g times its X position" % (
            kwin_version() + (SCALE,))
    return None


def mutter_frames_by_client():
    """mutter 44 and later have another client draw the frames of X11
    windows."""
    return major_version("mutter") >= 44


def gnome_missing():
    """A GNOME session at a scale other than 1 needs mutter's native scaling
    of X11 programs (mutter 47 and later; GNOME 43 scales their windows up
    itself)."""
    mutter = major_version("mutter")
    if SCALE != 1 and mutter < 47:
        return "mutter %d scales X11 windows itself, with no native scaling" % mutter
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
    # The same with a taskbar-sized panel, which leaves the work area
    # (_NET_WORKAREA) short of the monitor.
    "openbox-panel": Desktop(manager=["openbox", "--sm-disable"], panel=48),
    # xfwm4 (XFCE), which also pings its windows; it and mutter keep their
    # settings behind D-Bus, so each has a private bus.
    "xfwm4": Desktop(manager=["dbus-run-session", "--", "xfwm4", "--compositor=off",
                              "--sm-client-disable"]),
    # Linux Mint's X11 window managers, MATE's marco and Cinnamon's muffin,
    # each with Mint's panel along the bottom (40 logical pixels).
    "marco": Desktop(manager=["dbus-run-session", "--", "marco", "--replace", "--sm-disable",
                              "--no-composite"], panel=40),
    "muffin": Desktop(manager=["dbus-run-session", "--", "muffin", "--x11", "--replace", "--sm-disable"],
                      panel=40),
    # mutter as the X11 window manager (GNOME on Xorg), where mutter has one.
    "gnome-x11": Desktop(manager=["dbus-run-session", "--", "mutter", "--x11", "--replace"],
                         missing=gnome_x11_missing, frame_or_window_at_place=mutter_frames_by_client),
    # mutter as a headless Wayland compositor with Xwayland (GNOME), which
    # tells X11 programs its scale through GNOME's settings daemon; since
    # GNOME 44 another client draws the title bars of X11 windows.
    "gnome": Desktop(server=servers.start_mutter, publish_scale=scaling.start_gnome_settings,
                     monitors=2, missing=gnome_missing,
                     frame_or_window_at_place=mutter_frames_by_client, leaves_unmapped=True),
    # KWin on its virtual backend with Xwayland (KDE Plasma).
    "kde": Desktop(server=servers.start_kwin, monitors=2, input_missing=kde_pointer_missing),
    # weston's headless backend with Xwayland, which has no seat: XTEST
    # input reaches no window there.
    "weston": Desktop(server=servers.start_weston, managed=False,
                      input_missing=lambda: "XTEST input reaches no window on weston",
                      keeps_created_place=weston_kept_place),
}

# How a test skipped for want of its desktop says so (ctest looks for it).
NOT_HERE = "the desktop is not here: "
if DESKTOP_NAME not in DESKTOPS:
    raise RuntimeError("ORRINADE_DESKTOP: unknown desktop " + DESKTOP_NAME)
DESKTOP = DESKTOPS[DESKTOP_NAME]
MONITORS = int(MONITORS_GIVEN or DESKTOP.monitors)
