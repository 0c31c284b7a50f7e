"""The editor in a private X server, driven by real X input events.

Each Session starts its own server (1280x1024 unless told otherwise), so the
tests never touch the user's display and may run side by side. Pointer and
keys go through xdotool's XTEST path; screenshots are read back as RGB pixels.

ORRINADE_DESKTOP names the desktop every session runs, so that one suite
runs on each:
  bare     Xvfb alone: nothing places, decorates or focuses windows;
  openbox  Xvfb with openbox, a reparenting window manager;
  xfwm4    Xvfb with xfwm4, which also pings its windows (_NET_WM_PING);
  weston   weston's headless backend with Xwayland, a Wayland session;
  dvorak   Xvfb with the US Dvorak keyboard layout.
"""
import os
import shlex
import shutil
import signal
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

DESKTOP = os.environ.get("ORRINADE_DESKTOP", "bare")
# The window managers each desktop runs, and how to start them.
WINDOW_MANAGERS = {
    "openbox": ["openbox", "--sm-disable"],
    # xfwm4 keeps its settings behind D-Bus: a private bus for each session.
    "xfwm4": ["dbus-run-session", "--", "xfwm4", "--compositor=off", "--sm-client-disable"],
}
if DESKTOP not in ("bare", "weston", "dvorak") and DESKTOP not in WINDOW_MANAGERS:
    raise RuntimeError("ORRINADE_DESKTOP: unknown desktop " + DESKTOP)
# Xwayland 22.1 in weston's headless backend, which has no seat, crashes on
# the first XTEST pointer event and delivers XTEST keys to no window.
HAS_INPUT = DESKTOP != "weston"
needs_input = unittest.skipUnless(HAS_INPUT, "no XTEST input reaches windows on " + DESKTOP)
# The SFML the editor is built on: weston honours only the place a window is
# created at, which SFML 2.5 and 3.0 compute wrongly and the editor cannot
# mend by moving it.
SFML_VERSION = os.environ.get("ORRINADE_SFML_VERSION", "")
PLACEMENT_OUT_OF_REACH = DESKTOP == "weston" and SFML_VERSION.startswith(("2.5.", "3.0."))

SCREEN = (1280, 1024)
# Where a QWERTY keyboard has these letters (evdev keycodes).
QWERTY_KEYCODES = {"h": 43, "r": 27}
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
    def __init__(self, screen=SCREEN):
        self.screen = screen
        self.processes = []  # the server and its desktop, stopped last
        self.runtime = None
        self.started = []
        self.editor = None
        self.window = None
        self.display = None
        self.pings = None  # a connection of its own, as a window manager's
        self.serial = 0
        try:
            self.name = self.start_weston() if DESKTOP == "weston" else self.start_xvfb()
            self.display = xdisplay.Display(self.name)
            self.root = self.display.screen().root
            if DESKTOP == "dvorak":
                self.use_dvorak()
            if DESKTOP in WINDOW_MANAGERS:
                self.start_window_manager(WINDOW_MANAGERS[DESKTOP])
        except BaseException:
            self.stop_processes()
            raise

    def spawn(self, command, **options):
        process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   stdin=subprocess.DEVNULL, start_new_session=True, **options)
        self.processes.append(process)
        return process

    def start_xvfb(self):
        read_end, write_end = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                    "%dx%dx24" % self.screen, "-noreset", "-nolisten", "tcp"],
                   pass_fds=[write_end])
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        return ":" + number

    def start_weston(self):
        """weston with one headless output of the screen's size; Xwayland
        starts on the first X connection to the display weston names."""
        self.runtime = tempfile.mkdtemp(prefix="orrinade-xdg-")
        log = os.path.join(self.runtime, "weston.log")
        self.spawn(["weston", "--backend=headless-backend.so", "--xwayland", "--use-pixman",
                    "--width=%d" % self.screen[0], "--height=%d" % self.screen[1],
                    "--socket=wayland-orrinade", "--idle-time=0", "--log=" + log],
                   env=dict(os.environ, XDG_RUNTIME_DIR=self.runtime))

        def display_name():
            if self.processes[-1].poll() is not None:
                raise RuntimeError("weston exited with %d" % self.processes[-1].returncode)
            with open(log) if os.path.exists(log) else open(os.devnull) as lines:
                for line in lines:
                    if "xserver listening on display" in line:
                        return line.split()[-1]
            return None
        return wait_for(display_name, "weston's X display")

    def use_dvorak(self):
        """Loads the US Dvorak layout and reads the keymap back: h is typed
        by the key QWERTY has j on, and the QWERTY h key types d."""
        subprocess.run(["setxkbmap", "-layout", "us", "-variant", "dvorak"], check=True,
                       env=dict(os.environ, DISPLAY=self.name))
        # A connection reads the keymap once, when it opens.
        self.display.close()
        self.display = xdisplay.Display(self.name)
        self.root = self.display.screen().root
        if (self.keycode("h"), self.keysym_name(QWERTY_KEYCODES["h"])) != (44, "d"):
            raise RuntimeError("the Dvorak layout did not load")

    def start_window_manager(self, command):
        """Starts a window manager and waits until it shows a window of ours.
        openbox, still starting after it has announced itself, may leave a
        window unmapped for good: a program that opens one then never shows
        it. Hence a new probe each second until one is shown."""
        self.spawn(command, env=dict(os.environ, DISPLAY=self.name))
        check = self.display.intern_atom("_NET_SUPPORTING_WM_CHECK")
        wait_for(lambda: self.root.get_full_property(check, X.AnyPropertyType),
                 "the window manager to announce itself")

        def shows_a_probe():
            probe = self.root.create_window(0, 0, 10, 10, 0, X.CopyFromParent)
            probe.map()
            try:
                return wait_for(lambda: probe.get_attributes().map_state == X.IsViewable,
                                "a probe window", timeout=1.0)
            except AssertionError:
                return False
            finally:
                probe.destroy()
                self.display.sync()
        wait_for(shows_a_probe, "the window manager")

    def wm_supports(self, name):
        """Whether the window manager says it supports an EWMH hint."""
        supported = self.root.get_full_property(self.display.intern_atom("_NET_SUPPORTED"),
                                                X.AnyPropertyType)
        return bool(supported) and self.display.intern_atom(name) in supported.value

    def stop_processes(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGTERM)
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
        if self.runtime:
            shutil.rmtree(self.runtime, ignore_errors=True)

    def close(self):
        if self.display is None:
            return
        for process in self.started:
            if process.poll() is None:
                process.kill()
                process.wait()
        if RUNNER_STOP:
            subprocess.run(RUNNER_STOP, shell=True, check=False)
        if self.pings:
            self.pings.close()
        self.display.close()
        self.display = None
        self.stop_processes()

    # --- the program -----------------------------------------------------

    def run(self, cwd=BUILD_DIR, env=None, program=BINARY):
        """Starts the editor in cwd (by default beside its font)."""
        environment = dict(os.environ, DISPLAY=self.name) if env is None else env
        self.editor = subprocess.Popen(RUNNER + [program], cwd=cwd, env=environment,
                                       stdin=subprocess.DEVNULL)
        self.started.append(self.editor)
        return self.editor

    def start(self, cwd=BUILD_DIR, program=BINARY):
        """Starts the editor and waits for its window and first frame. The
        window must lie wholly on the screen, where the user can reach it."""
        editor = self.run(cwd=cwd, program=program)

        def window_or_exit():
            if editor.poll() is not None:
                raise AssertionError("the editor exited with %d before its window showed"
                                     % editor.returncode)
            return self.find_window()
        self.window = wait_for(window_or_exit, "the editor's window")
        # The editor moves its window before its first frame; a window
        # manager may place it first and carry the move out after.
        wait_for(lambda: self.pixel_now(300, 100) == BACKGROUND, "the first frame")
        self.wait_settled()
        if not PLACEMENT_OUT_OF_REACH:
            self.assert_on_screen()
        return self.window

    def pixel_now(self, x, y):
        """One pixel of the window, or None where it is off the screen."""
        try:
            image = self.window.get_image(x, y, 1, 1, X.ZPixmap, 0xffffffff)
        except xerror.BadMatch:
            return None
        return Shot(image.data, 1, 1).pixel(0, 0)

    def wait_settled(self, quiet=0.3):
        """Waits until the window has stayed where it is for `quiet` seconds."""
        last = {"placement": None, "since": 0.0}

        def still():
            now = self.placement()
            if now != last["placement"]:
                last.update(placement=now, since=time.monotonic())
            return time.monotonic() - last["since"] >= quiet
        wait_for(still, "the window to stay in one place")

    def placement(self):
        """The window's rectangle on the root, as xwininfo measures it, and
        the same with the decorations the window manager declares around it
        (_NET_FRAME_EXTENTS; a frame window may also hold invisible shadow):
        (x, y, width, height) each."""
        origin = self.window.translate_coords(self.root, 0, 0)
        geometry = self.window.get_geometry()
        x, y, width, height = -origin.x, -origin.y, geometry.width, geometry.height
        extents = self.window.get_full_property(self.display.intern_atom("_NET_FRAME_EXTENTS"),
                                                X.AnyPropertyType)
        left, right, top, bottom = extents.value if extents else (0, 0, 0, 0)
        return [(x, y, width, height),
                (x - left, y - top, width + left + right, height + top + bottom)]

    def assert_on_screen(self):
        """The window and the decorations around it lie wholly on the screen."""
        width, height = self.screen
        placement = self.placement()
        if not all(x >= 0 and y >= 0 and x + w <= width and y + h <= height
                   for x, y, w, h in placement):
            raise AssertionError("the window and its decorations at %s are not wholly on the "
                                 "%d x %d screen" % (placement, width, height))

    def find_window(self):
        """The editor's mapped window, or None: the viewable window named
        Orrinade that has a class, at any depth, since window managers put
        their frames between it and the root. Other programs' windows (Wine's
        own among them) may be destroyed while they are looked at; such a
        window is simply not the editor's."""
        pending = [self.root]
        while pending:
            try:
                children = pending.pop().query_tree().children
            except (xerror.BadWindow, xerror.BadDrawable):
                continue
            for child in children:
                try:
                    if (child.get_wm_name() == "Orrinade" and child.get_wm_class()
                            and child.get_attributes().map_state == X.IsViewable):
                        return child
                except (xerror.BadWindow, xerror.BadDrawable):
                    continue
                pending.append(child)
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

    def close_by_window_manager(self):
        """What the window manager's own close does (its title-bar button)."""
        self.run_on_display(["wmctrl", "-c", "Orrinade"])

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
        self.run_on_display(["xdotool"] + [str(a) for a in args])

    def run_on_display(self, command):
        subprocess.run(command, check=True, env=dict(os.environ, DISPLAY=self.name))

    def move(self, x, y):
        self.xdotool("mousemove", "--window", self.window.id, x, y)

    def click(self, x, y, button=1):
        self.move(x, y)
        self.xdotool("click", button)

    def press(self, x, y):
        self.move(x, y)
        self.xdotool("mousedown", 1)

    def release(self):
        """Releases the left button and waits until the editor has handled
        the release. The editor reads the held button live once a frame, so a
        press that reaches the server before the release has been read would
        carry the dropped point to that press. The last screenshot."""
        self.xdotool("mouseup", 1)
        return self.wait_handled()

    def wait_handled(self, box=STATUS_BOX):
        """Returns once the editor has handled every event sent before: H
        shows or hides the status lines only after the events ahead of it,
        and H again puts them back. Nothing but the status lines may be drawn
        in box, (x0, y0, x1, y1). The last screenshot."""
        def shows_text(shot):
            return shot.dark_in(box[0], box[1], box[2] - 1, box[3] - 1) > 0
        shown = shows_text(self.shot())
        for want in (not shown, shown):
            self.key("h")
            shot = self.wait_shot(lambda shot: shows_text(shot) == want,
                                  "the status lines " + ("shown" if want else "hidden"))
        return shot

    def key(self, name, times=1):
        for _ in range(times):
            self.xdotool("key", name)

    def keycode(self, name):
        return self.display.keysym_to_keycode(XK.string_to_keysym(name))

    def keysym_name(self, keycode):
        return XK.keysym_to_string(self.display.keycode_to_keysym(keycode, 0))

    def ping(self, timeout=TIMEOUT):
        """Sends the window a _NET_WM_PING as a window manager does and
        returns the seconds until its answer reaches the root window."""
        if self.pings is None:
            self.pings = xdisplay.Display(self.name)
            self.pings.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
            self.pings.sync()
        ping = self.pings.intern_atom("_NET_WM_PING")
        self.serial += 1
        message = xevent.ClientMessage(
            window=self.window, client_type=self.pings.intern_atom("WM_PROTOCOLS"),
            data=(32, [ping, self.serial, self.window.id, 0, 0]))
        sent = time.monotonic()
        self.pings.create_resource_object("window", self.window.id).send_event(
            message, event_mask=X.NoEventMask)
        self.pings.flush()
        while time.monotonic() - sent < timeout:
            while self.pings.pending_events():
                answer = self.pings.next_event()
                if (answer.type == X.ClientMessage and answer.data[1][0] == ping
                        and answer.data[1][1] == self.serial):
                    return time.monotonic() - sent
            time.sleep(0.002)
        raise AssertionError("no answer to _NET_WM_PING within %g s" % timeout)

    # Events by the thousand: XTEST straight from this process, the same
    # path as xdotool's without a process per event. Positions are in window
    # pixels; sync() sends what is queued.

    def quick_move(self, x, y):
        origin = self.window.translate_coords(self.root, 0, 0)
        xtest.fake_input(self.display, X.MotionNotify, x=x - origin.x, y=y - origin.y)

    def quick_button(self, down, button=1):
        xtest.fake_input(self.display, X.ButtonPress if down else X.ButtonRelease, button)

    def quick_key(self, name):
        self.physical_key(self.keycode(name))

    def physical_key(self, keycode):
        """Presses and releases the key at this place, whatever it types."""
        xtest.fake_input(self.display, X.KeyPress, keycode)
        xtest.fake_input(self.display, X.KeyRelease, keycode)

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
        self.session = self.new_session()
        if self.START:
            self.session.start()

    def new_session(self, screen=SCREEN):
        session = Session(screen)
        self.addCleanup(session.close)
        return session


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
