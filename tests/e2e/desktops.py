"""Every desktop the end-to-end suites run on: how it starts, what it does to windows."""
import functools
import os
import re
import shutil
import subprocess

import scaling
import servers
from options import DESKTOP_NAME, MONITORS_GIVEN, SCALE


class Desktop:
    """server(session): starts the X server (servers.py), returns its name.
    manager: an X11 window manager's command. publish_scale(session): tells
    X11 programs a scale other than 1. monitors: unless ORRINADE_MONITORS says.
    places: whether windows are placed and decorated. managed: whether a
    manager closes and pings windows. input_missing(), missing(): why XTEST
    input or the desktop is not here, or None. layout: (layout, variant).
    panel: a bottom dock's height in logical pixels.
    frame_or_window_at_place(): whether either may land at the place asked.
    keeps_created_place(): None, or ((dx, dy) from where a window is created,
    (left, top, right, bottom) declared decorations) where it stays there.
    leaves_unmapped: may leave a window unmapped under load (retried)."""

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
    """`program --version`'s major version; a missing program is an error."""
    if not shutil.which(program):
        raise RuntimeError("%s is not installed (scripts/install-deps.sh test installs it)" % program)
    found = re.search(program + r" (\d+)", subprocess.run(
        [program, "--version"], capture_output=True, text=True).stdout)
    if not found:
        raise RuntimeError("%s --version names no version" % program)
    return int(found.group(1))


def gnome_x11_missing():
    mutter = major_version("mutter")
    return "mutter %d has no X11 mode (GNOME runs on Wayland only)" % mutter if mutter >= 50 else None


@functools.lru_cache(maxsize=None)
def kwin_version():
    command, extra = servers.kwin_command()
    said = subprocess.run(command + ["--version"], capture_output=True, text=True,
                          env=dict(os.environ, QT_QPA_PLATFORM="offscreen", **extra)).stdout
    found = re.search(r"kwin (\d+)\.(\d+)", said)
    if not found:
        raise RuntimeError("kwin_wayland --version names no version: %r" % said)
    return int(found.group(1)), int(found.group(2))


def kde_pointer_missing():
    """KWin 6.7+ scales XTEST pointer moves on a scaled output."""
    if SCALE != 1 and kwin_version() >= (6, 7):
        return "KWin %d.%d puts an XTEST pointer move at %g times its X position" % (
            kwin_version() + (SCALE,))
    return None


def mutter_frames_by_client():
    return major_version("mutter") >= 44


def gnome_missing():
    """A scale other than 1 needs mutter 47's native X11 scaling."""
    mutter = major_version("mutter")
    if SCALE != 1 and mutter < 47:
        return "mutter %d scales X11 windows itself, with no native scaling" % mutter
    return None


@functools.lru_cache(maxsize=None)
def weston_kept_place():
    """weston's frame (6 and 27 pixels) stays where the window was created;
    weston 14+ declares it with its shadow, earlier ones declare none."""
    return (6, 27), ((38, 59, 38, 38) if major_version("weston") >= 14 else (0, 0, 0, 0))


DESKTOPS = {
    # Xvfb alone: nothing places, decorates or focuses windows.
    "bare": Desktop(places=False, managed=False),
    "dvorak": Desktop(places=False, managed=False, layout=("us", "dvorak")),
    # openbox, a reparenting window manager (LXDE, LXQt), alone or with a panel.
    "openbox": Desktop(manager=["openbox", "--sm-disable"]),
    "openbox-panel": Desktop(manager=["openbox", "--sm-disable"], panel=48),
    # xfwm4 (XFCE), on a private D-Bus for its settings.
    "xfwm4": Desktop(manager=["dbus-run-session", "--", "xfwm4", "--compositor=off",
                              "--sm-client-disable"]),
    # Linux Mint's marco (MATE) and muffin (Cinnamon), with Mint's panel.
    "marco": Desktop(manager=["dbus-run-session", "--", "marco", "--replace", "--sm-disable",
                              "--no-composite"], panel=40),
    "muffin": Desktop(manager=["dbus-run-session", "--", "muffin", "--x11", "--replace", "--sm-disable"],
                      panel=40),
    # GNOME on Xorg.
    "gnome-x11": Desktop(manager=["dbus-run-session", "--", "mutter", "--x11", "--replace"],
                         missing=gnome_x11_missing, frame_or_window_at_place=mutter_frames_by_client),
    # GNOME: headless mutter with Xwayland, its scale told by the settings daemon.
    "gnome": Desktop(server=servers.start_mutter, publish_scale=scaling.start_gnome_settings,
                     monitors=2, missing=gnome_missing,
                     frame_or_window_at_place=mutter_frames_by_client, leaves_unmapped=True),
    "kde": Desktop(server=servers.start_kwin, monitors=2, input_missing=kde_pointer_missing),
    # weston's headless backend with Xwayland, without a seat.
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
