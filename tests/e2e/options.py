"""The end-to-end suites' environment, read here alone, and their sizes.

ORRINADE_BIN, ORRINADE_REFERENCE: the editor, and tests/status_reference.
ORRINADE_RUN_DIR: where the editor runs, beside its font.
ORRINADE_DESKTOP: an entry of desktops.py. ORRINADE_MONITORS: 1 or 2.
ORRINADE_SCALE, ORRINADE_SFML_VERSION: the desktop's scale, the editor's SFML.
ORRINADE_RUNNER, ORRINADE_RUNNER_STOP: a loader programs start through (Wine),
and a shell command run as each session ends.
ORRINADE_TIME_FACTOR: how many times slower this machine is.
"""
import math
import os
import shlex

BINARY = os.environ.get("ORRINADE_BIN") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "orrinade")
BUILD_DIR = os.environ.get("ORRINADE_RUN_DIR") or os.path.dirname(BINARY)
REFERENCE = os.environ.get("ORRINADE_REFERENCE") or os.path.join(
    BUILD_DIR, "tests", "status_reference")
DESKTOP_NAME = os.environ.get("ORRINADE_DESKTOP", "bare")
MONITORS_GIVEN = os.environ.get("ORRINADE_MONITORS")
SFML_VERSION = os.environ.get("ORRINADE_SFML_VERSION", "")
RUNNER = shlex.split(os.environ.get("ORRINADE_RUNNER", ""))
RUNNER_STOP = os.environ.get("ORRINADE_RUNNER_STOP")
TIMEOUT = 30.0 * float(os.environ.get("ORRINADE_TIME_FACTOR") or 1)

# SCALE: the one X11 programs draw at (Xft.dpi = 96 x SCALE); GNOME rounds a
# fractional monitor scale up. Tests speak in logical pixels; screens, window
# sizes and placement in X's.
MONITOR_SCALE = float(os.environ.get("ORRINADE_SCALE") or 1)
SCALE = float(math.ceil(MONITOR_SCALE)) if DESKTOP_NAME == "gnome" else MONITOR_SCALE


def device(length, scale=SCALE):
    """Logical pixels as device pixels, rounded half up as the editor does."""
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
