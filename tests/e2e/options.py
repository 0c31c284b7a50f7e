"""What the end-to-end suites are told by their environment, read here and
nowhere else, and the sizes they speak in.

ORRINADE_BIN, ORRINADE_REFERENCE: the editor, and the program that draws its
status lines as they must look (tests/status_reference.cpp).
ORRINADE_RUN_DIR: the folder that holds the editor's font, where it runs.
ORRINADE_DESKTOP: the desktop every session runs (desktops.py lists them).
ORRINADE_MONITORS (1 or 2): monitors side by side, each SCREEN large, where
the desktop's entry does not fix how many.
ORRINADE_SCALE: the scale the desktop asks programs to draw at.
ORRINADE_SFML_VERSION: the SFML the editor is built on.
ORRINADE_RUNNER, ORRINADE_RUNNER_STOP: what programs are started through
(Wine's loader, for the Windows build), and a shell command that stops what
it leaves behind, run as each session ends.
ORRINADE_TIME_FACTOR: how many times slower this machine is (an emulated one).
"""
import math
import os
import shlex

BINARY = os.environ.get("ORRINADE_BIN") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "orrinade")
# Where the editor runs, beside its font: the binary's folder in a build tree;
# ORRINADE_RUN_DIR for an installed editor, whose font lies elsewhere.
BUILD_DIR = os.environ.get("ORRINADE_RUN_DIR") or os.path.dirname(BINARY)
REFERENCE = os.environ.get("ORRINADE_REFERENCE") or os.path.join(
    BUILD_DIR, "tests", "status_reference")
DESKTOP_NAME = os.environ.get("ORRINADE_DESKTOP", "bare")
MONITORS_GIVEN = os.environ.get("ORRINADE_MONITORS")
SFML_VERSION = os.environ.get("ORRINADE_SFML_VERSION", "")
RUNNER = shlex.split(os.environ.get("ORRINADE_RUNNER", ""))
RUNNER_STOP = os.environ.get("ORRINADE_RUNNER_STOP")
# How long a wait may take, stretched on a slower machine.
TIMEOUT = 30.0 * float(os.environ.get("ORRINADE_TIME_FACTOR") or 1)

# The scale of the session's monitors (ORRINADE_SCALE), and the one its
# desktop asks X11 programs to draw at, SCALE: Xft.dpi = 96 x SCALE is
# published as scaled desktops do, and X sees SCALE times as many pixels as
# logical ones. The two are the same but for GNOME at a fractional scale,
# where mutter gives X11 programs the next whole scale and shows their
# windows scaled down to the monitor's. Tests speak in the editor's logical
# pixels (window positions, shots); screens, window sizes and placement are
# in X's pixels.
MONITOR_SCALE = float(os.environ.get("ORRINADE_SCALE") or 1)
SCALE = float(math.ceil(MONITOR_SCALE)) if DESKTOP_NAME == "gnome" else MONITOR_SCALE


def device(length, scale=SCALE):
    """A length in logical pixels as device pixels, rounded half up, as the
    editor rounds its window and text sizes."""
    return math.floor(length * scale + 0.5)


def monitor_pixels(size):
    """A size in X's pixels as the monitor's own pixels."""
    return tuple(round(length * MONITOR_SCALE / SCALE) for length in size)


SCREEN = (device(1280), device(1024))  # each monitor's, in X's pixels
WINDOW_SIZE = (device(640), device(640))
BACKGROUND = (150, 200, 255)
# The corner that holds both status lines and nothing else: [x0, x1) x [y0, y1).
STATUS_BOX = (0, 0, 320, 60)
# Where a QWERTY keyboard has these letters (evdev keycodes).
QWERTY_KEYCODES = {"h": 43, "r": 27}
