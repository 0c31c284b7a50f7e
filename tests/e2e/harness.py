"""The editor in a private Xvfb server, driven by real X input events.

Each Session starts its own 1280x1024 server, so the tests never touch the
user's display and may run side by side. Pointer and keys go through
xdotool's XTEST path; screenshots are read back as RGB pixels.
"""
import os
import shlex
import shutil
import subprocess
import tempfile
import time
import unittest

from Xlib import X, XK, display as xdisplay, error as xerror
from Xlib.ext import xtest
from Xlib.protocol import event as xevent

BINARY = os.environ.get("ORRINADE_BIN") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "orrinade")
BUILD_DIR = os.path.dirname(BINARY)
# Draws the status lines as they must look (tests/status_reference.cpp).
REFERENCE = os.environ.get("ORRINADE_REFERENCE") or os.path.join(
    BUILD_DIR, "tests", "status_reference")
# What the programs are started through, if anything: "wine" for Windows
# builds; and a shell command that stops what the runner leaves behind, run
# after each test, since such helpers keep to the X server they started on.
RUNNER = shlex.split(os.environ.get("ORRINADE_RUNNER", ""))
RUNNER_STOP = os.environ.get("ORRINADE_RUNNER_STOP")

BACKGROUND = (150, 200, 255)
# The corner that holds both status lines and nothing else: [x0, x1) x [y0, y1).
STATUS_BOX = (0, 0, 320, 60)
WINDOW_SIZE = (640, 640)
TIMEOUT = 30.0


def is_dark(rgb):
    return sum(rgb) < 150


class Shot:
    """One screenshot of a window: pixel(x, y) -> (r, g, b)."""

    def __init__(self, data, width, height):
        self.data, self.width, self.height = data, width, height

    def pixel(self, x, y):
        i = 4 * (y * self.width + x)
        b, g, r = self.data[i:i + 3]
        return (r, g, b)

    def dark_in(self, x0, y0, x1, y1):
        """Number of dark pixels in the box [x0, x1] x [y0, y1]."""
        return sum(is_dark(self.pixel(x, y))
                   for y in range(max(y0, 0), min(y1, self.height - 1) + 1)
                   for x in range(max(x0, 0), min(x1, self.width - 1) + 1))

    def has_marker(self, x, y):
        """All 3 x 3 pixels around (x, y) dark: a marker's disc, which the
        one-pixel strip cannot fill."""
        return self.dark_in(x - 1, y - 1, x + 1, y + 1) == 9

    def dark_near(self, x, y, reach=2):
        return self.dark_in(x - reach, y - reach, x + reach, y + reach) > 0


def wait_for(condition, what, timeout=TIMEOUT):
    """Polls until condition() returns a true value, which it returns."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


class Session:
    def __init__(self):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-noreset",
             "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number
        self.display = xdisplay.Display(self.name)
        self.root = self.display.screen().root
        self.editor = None
        self.window = None
        self.started = []

    def close(self):
        for process in self.started:
            if process.poll() is None:
                process.kill()
                process.wait()
        if RUNNER_STOP:
            subprocess.run(RUNNER_STOP, shell=True, check=False)
        self.display.close()
        self.server.terminate()
        self.server.wait()

    # --- the program -----------------------------------------------------

    def run(self, cwd=BUILD_DIR, env=None, program=BINARY):
        """Starts the editor in cwd (by default beside its font)."""
        environment = dict(os.environ, DISPLAY=self.name) if env is None else env
        self.editor = subprocess.Popen(RUNNER + [program], cwd=cwd, env=environment,
                                       stdin=subprocess.DEVNULL)
        self.started.append(self.editor)
        return self.editor

    def start(self, cwd=BUILD_DIR, program=BINARY):
        """Starts the editor and waits for its window and first frame. With
        no window manager to place it, SFML 3.0 opens its window half off the
        screen, where nothing can be read back: such a window is moved to the
        screen's top-left corner."""
        editor = self.run(cwd=cwd, program=program)

        def window_or_exit():
            if editor.poll() is not None:
                raise AssertionError("the editor exited with %d before its window showed"
                                     % editor.returncode)
            return self.find_window()
        self.window = wait_for(window_or_exit, "the editor's window")
        screen = self.display.screen()
        width, height = self.size()

        def on_screen():
            x, y = self.position()
            if x + width <= screen.width_in_pixels and y + height <= screen.height_in_pixels:
                return True
            self.xdotool("windowmove", self.window.id, 0, 0)
            return False
        wait_for(on_screen, "the window wholly on the screen")
        wait_for(lambda: self.shot().pixel(600, 600) == BACKGROUND, "the first frame")
        return self.window

    def find_window(self):
        """The editor's mapped window, or None. Other programs' windows (Wine's
        own among them) may be destroyed between listing and asking; such a
        window is simply not the editor's."""
        for child in self.root.query_tree().children:
            try:
                if (child.get_wm_name() == "Orrinade"
                        and child.get_attributes().map_state == X.IsViewable):
                    return child
            except (xerror.BadWindow, xerror.BadDrawable):
                continue
        return None

    def wait_exit(self, timeout=TIMEOUT):
        return self.editor.wait(timeout=timeout)

    def request_close(self):
        """What the title bar's close button does: a WM_DELETE_WINDOW message."""
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        delete = self.display.intern_atom("WM_DELETE_WINDOW")
        message = xevent.ClientMessage(window=self.window, client_type=protocols,
                                       data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        self.window.send_event(message, event_mask=X.NoEventMask)
        self.display.flush()

    # --- looking ---------------------------------------------------------

    def status_reference(self, points, segments):
        """The status region as it must read for these counts: {(x, y): rgb}."""
        with TempDir() as folder:
            path = os.path.join(folder, "status.ppm")
            subprocess.run(RUNNER + [REFERENCE, os.path.join(BUILD_DIR, "segoeui.ttf"),
                                     str(points), str(segments), path],
                           check=True, env=dict(os.environ, DISPLAY=self.name))
            with open(path, "rb") as ppm:
                data = ppm.read()
        width = int(data.split()[1])
        pixels = data[data.index(b"255\n") + 4:]
        x0, y0, x1, y1 = STATUS_BOX
        return {(x, y): tuple(pixels[3 * (y * width + x):3 * (y * width + x) + 3])
                for y in range(y0, y1) for x in range(x0, x1)}

    def wait_status(self, points, segments):
        """Waits until the window's status region shows exactly the reference
        pixels for these counts; the last screenshot."""
        expected = self.status_reference(points, segments)
        # Text drawn with no font would match a window that shows none.
        if sum(is_dark(rgb) for rgb in expected.values()) < 100:
            raise AssertionError("the reference status lines show no text")
        return self.wait_shot(
            lambda shot: all(shot.pixel(x, y) == rgb for (x, y), rgb in expected.items()),
            "the status lines for %d points and %d segments" % (points, segments))

    def position(self):
        origin = self.window.translate_coords(self.root, 0, 0)
        return -origin.x, -origin.y

    def size(self):
        geometry = self.window.get_geometry()
        return geometry.width, geometry.height

    def shot(self):
        window = self.window or self.find_window()
        geometry = window.get_geometry()
        image = window.get_image(0, 0, geometry.width, geometry.height,
                                 X.ZPixmap, 0xffffffff)
        return Shot(image.data, geometry.width, geometry.height)

    def wait_shot(self, condition, what, timeout=TIMEOUT):
        """The first screenshot for which condition(shot) holds."""
        def check():
            shot = self.shot()
            return shot if condition(shot) else None
        return wait_for(check, what, timeout)

    # --- input -----------------------------------------------------------

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], check=True,
                       env=dict(os.environ, DISPLAY=self.name))

    def move(self, x, y):
        self.xdotool("mousemove", "--window", self.window.id, x, y)

    def click(self, x, y, button=1):
        self.move(x, y)
        self.xdotool("click", button)

    def press(self, x, y):
        self.move(x, y)
        self.xdotool("mousedown", 1)

    def release(self):
        self.xdotool("mouseup", 1)

    def key(self, name, times=1):
        for _ in range(times):
            self.xdotool("key", name)

    # Events by the thousand: XTEST straight from this process, the same
    # path as xdotool's without a process per event. Positions are in window
    # pixels; sync() sends what is queued.

    def quick_move(self, x, y):
        origin = self.window.translate_coords(self.root, 0, 0)
        xtest.fake_input(self.display, X.MotionNotify, x=x - origin.x, y=y - origin.y)

    def quick_button(self, down, button=1):
        xtest.fake_input(self.display, X.ButtonPress if down else X.ButtonRelease, button)

    def quick_key(self, name):
        code = self.display.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(self.display, X.KeyPress, code)
        xtest.fake_input(self.display, X.KeyRelease, code)

    def sync(self):
        self.display.sync()

    def quick_clicks(self, points):
        for x, y in points:
            self.quick_move(x, y)
            self.quick_button(True)
            self.quick_button(False)
        self.sync()

    def resize(self, width, height):
        self.xdotool("windowsize", self.window.id, width, height)
        wait_for(lambda: self.size() == (width, height), "the resize")


class EditorCase(unittest.TestCase):
    """Each test gets its own X server; with START, the editor running in it."""
    START = True

    def setUp(self):
        self.session = Session()
        self.addCleanup(self.session.close)
        if self.START:
            self.session.start()


class TempDir:
    """A scratch working directory, removed afterwards."""

    def __enter__(self):
        self.path = tempfile.mkdtemp(prefix="orrinade-")
        return self.path

    def __exit__(self, *exc):
        shutil.rmtree(self.path, ignore_errors=True)


def floor_kib(pid, seconds=3.0):
    """The lowest resident size seen over a while. The GL driver's per-frame
    working memory comes and goes within each frame, and the moments between
    frames are short: hence many samples close together."""
    samples = []
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        samples.append(resident_kib(pid))
        time.sleep(0.01)
    return min(samples)


def resident_kib(pid):
    """The process's resident memory (VmRSS) in KiB."""
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS for %d" % pid)
