"""Every desktop the end-to-end suites run on: how it starts, what it does to windows."""
import dataclasses
import functools
import os
import re
import shutil
import subprocess
from typing import Callable

import scaling
import servers
from options import DESKTOP_NAME, MONITORS_GIVEN, SCALE


@dataclasses.dataclass(frozen=True)
class Desktop:
    """How a desktop starts and what it does to windows."""
    server: Callable = servers.start_xvfb  # (session): starts X (servers.py), returns its name
    manager: list = None  # an X11 window manager's command
    publish_scale: Callable = scaling.publish_scale  # (session): tells X11 programs a scale
    monitors: int = 1  # unless ORRINADE_MONITORS says
    places: bool = True  # whether windows are placed and decorated
    managed: bool = True  # whether a manager closes and pings windows
    input_missing: Callable = lambda: None  # why XTEST input is not here, or None
    layout: tuple = None  # (layout, variant)
    panel: int = None  # a bottom dock's height in logical pixels
    missing: Callable = lambda: None  # why the desktop is not here, or None
    frame_or_window_at_place: Callable = lambda: False  # whether either may land where asked
    # None, or ((dx, dy) from where a window is created, (left, top, right,
    # bottom) declared decorations) where it stays there.
    keeps_created_place: Callable = lambda: None
    leaves_unmapped: bool = False  # may leave a window unmapped under load (retried)


@functools.lru_cache(maxsize=None)
def version(program):
    """(major, minor) from `program --version`, which names itself by the
    program's name up to any "_"; a missing program is an error."""
    if not shutil.which(program):
        raise RuntimeError("%s is not installed (scripts/install-deps.sh test installs it)" % program)
    command, extra = servers.kwin_command() if program == "kwin_wayland" else ([program], {})
    said = subprocess.run(command + ["--version"], capture_output=True, text=True,
                          env=dict(os.environ, QT_QPA_PLATFORM="offscreen", **extra)).stdout
    found = re.search(program.split("_")[0] + r" (\d+)\.(\d+)", said)
    if not found:
        raise RuntimeError("%s --version names no version: %r" % (program, said))
    return int(found.group(1)), int(found.group(2))


def gnome_x11_missing():
    mutter = version("mutter")[0]
    return "mutter %d has no X11 mode (GNOME runs on Wayland only)" % mutter if mutter >= 50 else None


def kde_pointer_missing():
    """KWin 6.7+ scales XTEST pointer moves on a scaled output."""
    if SCALE != 1 and version("kwin_wayland") >= (6, 7):
        return "KWin %d.%d puts an XTEST pointer move at %g times its X position" % (
            version("kwin_wayland") + (SCALE,))
    return None


def mutter_frames_by_client():
    return version("mutter")[0] >= 44


def gnome_missing():
    """A scale other than 1 needs mutter 47's native X11 scaling."""
    mutter = version("mutter")[0]
    if SCALE != 1 and mutter < 47:
        return "mutter %d scales X11 windows itself, with no native scaling" % mutter
    return None


@functools.lru_cache(maxsize=None)
def weston_kept_place():
    """weston's frame (6 and 27 pixels) stays where the window was created;
    weston 14+ declares it with its shadow, earlier ones declare none."""
    return (6, 27), ((38, 59, 38, 38) if version("weston")[0] >= 14 else (0, 0, 0, 0))


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
