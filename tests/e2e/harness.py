"""The editor in a private X server, driven by real X input events.

Each Session starts its own server, so the tests never touch the user's
display and may run side by side. Pointer and keys are XTEST requests, as
xdotool sends them; screenshots are read back as RGB pixels. Whatever a session starts ends
with it, however the test process ends (SIGTERM and SIGINT included).

ORRINADE_DESKTOP names the desktop every session runs (desktops.py lists
them), so that one suite runs on each. ORRINADE_MONITORS (1 or 2) splits the
screen into that many monitors side by side, each of the session's monitor
size; GNOME and KDE always have two.
"""
import atexit
import contextlib
import functools
import glob
import math
import os
import shlex
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest

from Xlib import X, XK, Xatom, display as xdisplay, error as xerror
from Xlib.ext import xtest
from Xlib.protocol import event as xevent, request as xrequest

import desktops

BINARY = os.environ.get("ORRINADE_BIN") or os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "build", "orrinade")
BUILD_DIR = os.path.dirname(BINARY)
# Draws the status lines as they must look (tests/status_reference.cpp).
REFERENCE = os.environ.get("ORRINADE_REFERENCE") or os.path.join(
    BUILD_DIR, "tests", "status_reference")
# What the programs are started through, if anything: Wine's 64-bit loader
# for Windows builds; and a shell command that stops what the runner leaves
# behind, run after each test, since such helpers keep to the X server they
# started on. Every program started through the runner goes through
# through_runner().
RUNNER = shlex.split(os.environ.get("ORRINADE_RUNNER", ""))
RUNNER_STOP = os.environ.get("ORRINADE_RUNNER_STOP")
# Wine now and then fails to start a program, which then exits with 1 without
# a word (seen about once in three hundred starts in a fresh prefix). The
# editor's own exit statuses are 0 and 255, so such a start is made again.
RUNNER_FAILED = 1
RUNNER_ATTEMPTS = 3


def through_runner(start, failed_silently, what):
    """start() once, and again while the runner failed to start the program
    without a word (failed_silently(result)), up to RUNNER_ATTEMPTS starts in
    all; the last result. Without a runner, start() once."""
    for attempt in range(RUNNER_ATTEMPTS if RUNNER else 1):
        result = start()
        if not (RUNNER and failed_silently(result)):
            break
        print("%s failed to start %s (attempt %d)" % (RUNNER[0], what, attempt + 1),
              file=sys.stderr)
    return result


def run_through_runner(command, **options):
    """subprocess.run of a program through the runner, its output captured
    (text), made again as through_runner() says."""
    def silent_failure(result):
        return result.returncode == RUNNER_FAILED and not (result.stdout or result.stderr)
    return through_runner(lambda: subprocess.run(RUNNER + command, capture_output=True, text=True,
                                                 **options),
                          silent_failure, command[0])


DESKTOP = desktops.NAME
MONITORS = int(os.environ.get("ORRINADE_MONITORS") or desktops.DESKTOP.monitors)
PLACES_WINDOWS = desktops.DESKTOP.places
MANAGED = desktops.DESKTOP.managed
needs_input = unittest.skipUnless(desktops.DESKTOP.has_input,
                                  "no XTEST input reaches windows on " + DESKTOP)
# The SFML the editor is built on, which decides where it creates windows.
SFML_VERSION = os.environ.get("ORRINADE_SFML_VERSION", "")


def placement_out_of_reach(screen):
    """Known limit: the editor cannot get its window wholly onto a monitor
    of this size on this desktop (desktops.py says why)."""
    return desktops.DESKTOP.placement_out_of_reach(screen, creation_place(screen))


def creation_place(screen):
    """Where the editor's SFML creates its window on an X screen of this
    size, before anything places or moves it: SFML 2.5 centres it from the
    screen's width alone, 2.6 centres it, 3.0 puts its centre at the
    bottom-right corner, 3.1 at the top-left corner."""
    (width, height), (w, h) = screen, WINDOW_SIZE
    if SFML_VERSION.startswith("2.5."):
        return (width - w) // 2, (width - h) // 2
    if SFML_VERSION.startswith("2."):
        return (width - w) // 2, (height - h) // 2
    if SFML_VERSION.startswith("3.0."):
        return width - w // 2, height - h // 2
    return 0, 0


def creation_never_ends(screen):
    """SFML 2.5.1 waits for its window to become visible. Where nothing
    places windows and it is created below the screen, it waits for ever."""
    return (SFML_VERSION.startswith("2.5.") and not PLACES_WINDOWS and not RUNNER
            and creation_place(screen)[1] >= screen[1])


# The scale the session's desktop asks programs to draw at: Xft.dpi = 96 x
# SCALE is published as scaled desktops do, and monitors have SCALE times as
# many device pixels. Tests speak in the editor's logical pixels (window
# positions, shots); screens, window sizes and placement are in device pixels.
SCALE = desktops.SCALE


def device(length):
    """A length in logical pixels as device pixels, rounded half up, as the
    editor rounds its window and text sizes."""
    return math.floor(length * SCALE + 0.5)


SCREEN = (device(1280), device(1024))  # each monitor's
# Where a QWERTY keyboard has these letters (evdev keycodes).
QWERTY_KEYCODES = {"h": 43, "r": 27}
BACKGROUND = (150, 200, 255)
# The corner that holds both status lines and nothing else: [x0, x1) x [y0, y1).
STATUS_BOX = (0, 0, 320, 60)
WINDOW_SIZE = (device(640), device(640))
# How long a wait may take, stretched on a slower machine (an emulated one).
TIMEOUT = 30.0 * float(os.environ.get("ORRINADE_TIME_FACTOR") or 1)


def is_dark(rgb):
    return sum(rgb) < 150


class Shot:
    """One screenshot of a window, read in logical pixels: pixel(x, y) ->
    (r, g, b) of the device pixel that holds logical (x, y)."""

    def __init__(self, data, width, height):
        self.data, self.width, self.height = data, width, height

    def device_pixel(self, x, y):
        i = 4 * (y * self.width + x)
        b, g, r = self.data[i:i + 3]
        return (r, g, b)

    def pixel(self, x, y):
        return self.device_pixel(device(x), device(y))

    def dark_in(self, x0, y0, x1, y1):
        """Number of dark device pixels in the logical box [x0, x1] x [y0, y1]."""
        return self.dark_in_device(device(x0), device(y0), device(x1 + 1) - 1, device(y1 + 1) - 1)

    def dark_in_device(self, x0, y0, x1, y1):
        return sum(is_dark(self.device_pixel(x, y))
                   for y in range(max(y0, 0), min(y1, self.height - 1) + 1)
                   for x in range(max(x0, 0), min(x1, self.width - 1) + 1))

    def has_marker(self, x, y):
        """All 3 x 3 device pixels around logical (x, y) dark: a marker's
        disc, which the one-pixel strip cannot fill."""
        x, y = device(x), device(y)
        return self.dark_in_device(x - 1, y - 1, x + 1, y + 1) == 9

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


# Every session not yet closed, so that a signal that ends the test process
# stops what they started before it goes.
LIVE_SESSIONS = set()


def stop_live_sessions():
    for session in list(LIVE_SESSIONS):
        session.close()


def end_on_signal(number, _frame):
    """Stops every live session and ends the process as the signal would
    have; unittest would take an exception for a failed test and go on."""
    stop_live_sessions()
    signal.signal(number, signal.SIG_DFL)
    os.kill(os.getpid(), number)


for _number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
    signal.signal(_number, end_on_signal)
atexit.register(stop_live_sessions)


def program_interpreter(path):
    """The dynamic loader an ELF program names (PT_INTERP), or None."""
    with open(path, "rb") as elf:
        header = elf.read(64)
        if header[:4] != b"\x7fELF" or header[4] != 2:  # 64-bit only
            return None
        order = "little" if header[5] == 1 else "big"
        phoff = int.from_bytes(header[32:40], order)
        phentsize = int.from_bytes(header[54:56], order)
        phnum = int.from_bytes(header[56:58], order)
        for i in range(phnum):
            elf.seek(phoff + i * phentsize)
            entry = elf.read(phentsize)
            if int.from_bytes(entry[0:4], order) == 3:  # PT_INTERP
                offset = int.from_bytes(entry[8:16], order)
                size = int.from_bytes(entry[32:40], order)
                elf.seek(offset)
                return elf.read(size).rstrip(b"\0").decode()
    return None


@functools.lru_cache(maxsize=None)
def kwin_command():
    """How to start kwin_wayland. Debian gives it a file capability
    (cap_sys_resource, for raising its own limits), and a container whose
    bounding set lacks that capability refuses to execute such a file at all
    ("Operation not permitted"). Its dynamic loader then runs it instead,
    which grants no file capabilities, without touching the system's binary.
    KWin loads its own Qt platform plugin only into a program whose name ends
    in kwin_wayland unless KWIN_FORCE_OWN_QPA says otherwise; run through the
    loader, the program is the loader."""
    kwin = shutil.which("kwin_wayland") or "/usr/bin/kwin_wayland"
    try:
        subprocess.run([kwin, "--version"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       env=dict(os.environ, QT_QPA_PLATFORM="offscreen"), timeout=30)
        return [kwin], {}
    except PermissionError:
        return [program_interpreter(kwin), kwin], {"KWIN_FORCE_OWN_QPA": "1"}


class Session:
    def __init__(self, screen=SCREEN, monitors=MONITORS):
        self.monitor_size = screen
        self.monitor_count = monitors
        self.screen = (screen[0] * monitors, screen[1])
        self.processes = []  # the server and its desktop, stopped last
        self.runtime = None
        self.authority = None
        self.started = []
        self.editor = None
        self.window = None
        self.display = None
        self.pings = None  # a connection of its own, as a window manager's
        self.serial = 0
        missing = desktops.DESKTOP.missing()
        if missing:
            raise unittest.SkipTest(desktops.NOT_HERE + missing)
        LIVE_SESSIONS.add(self)
        try:
            desktop = desktops.DESKTOP
            starts = {"xvfb": self.start_xvfb, "weston": self.start_weston,
                      "mutter": self.start_mutter, "kwin": self.start_kwin}
            self.name = starts[desktop.server]()
            self.display = self.connect()
            self.root = self.display.screen().root
            if SCALE != 1 and desktop.server == "mutter":
                self.start_gnome_settings()
            elif SCALE != 1:
                self.publish_scale()
            if desktop.layout:
                self.use_layout(*desktop.layout)
            if desktop.manager:
                self.spawn(desktop.manager, env=self.env)
            if desktop.managed:
                self.wait_window_manager()
            if desktop.has_input:
                self.wait_input()
        except BaseException:
            self.close()
            raise

    @property
    def env(self):
        """The environment of a program of this session's desktop."""
        environment = self.env_without_display()
        environment["DISPLAY"] = self.name
        if self.authority:
            environment["XAUTHORITY"] = self.authority
        return environment

    def connect(self):
        """A new connection to the session's X display (python-xlib reads
        XAUTHORITY from this process's environment as it connects)."""
        saved = os.environ.get("XAUTHORITY")
        try:
            if self.authority:
                os.environ["XAUTHORITY"] = self.authority
            return xdisplay.Display(self.name)
        finally:
            if saved is None:
                os.environ.pop("XAUTHORITY", None)
            else:
                os.environ["XAUTHORITY"] = saved

    def spawn(self, command, log=None, **options):
        """Starts a program of the desktop in a process group of its own,
        which stop_processes ends as a whole."""
        output = open(log, "wb") if log else subprocess.DEVNULL
        try:
            process = subprocess.Popen(command, stdout=output, stderr=subprocess.STDOUT,
                                       stdin=subprocess.DEVNULL, start_new_session=True, **options)
        finally:
            if log:
                output.close()
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
        name = ":" + number
        if self.monitor_count > 1:
            self.split_into_monitors(name)
        return name

    def split_into_monitors(self, name):
        """RandR monitors side by side, as a dual-head desktop reports them:
        the first holds the screen's output and is primary."""
        width, height = self.monitor_size
        for i in range(self.monitor_count):
            geometry = "%d/%dx%d/%d+%d+0" % (width, width * 254 // 960, height,
                                              height * 254 // 960, i * width)
            subprocess.run(["xrandr", "--setmonitor", ("*" if i == 0 else "") + "monitor%d" % i,
                            geometry, "screen" if i == 0 else "none"],
                           check=True, stdout=subprocess.DEVNULL, env=dict(os.environ, DISPLAY=name))

    def new_runtime(self):
        self.runtime = tempfile.mkdtemp(prefix="orrinade-xdg-")
        return dict(self.env_without_display(), XDG_RUNTIME_DIR=self.runtime)

    @staticmethod
    def env_without_display():
        return {k: v for k, v in os.environ.items()
                if k not in ("DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY")}

    def wait_compositor(self, log, display_name, what):
        """Waits until display_name() names the X display a compositor
        started; fails at once if the compositor exits."""
        compositor = self.processes[-1]

        def ready():
            if compositor.poll() is not None:
                with open(log, errors="replace") as text:
                    raise RuntimeError("%s exited with %d:\n%s"
                                       % (what, compositor.returncode, text.read()[-2000:]))
            return display_name()
        return wait_for(ready, what + "'s X display")

    def start_weston(self):
        """weston with one headless output of the screen's size; Xwayland
        starts on the first X connection to the display weston names."""
        environment = self.new_runtime()
        log = os.path.join(self.runtime, "weston.log")
        self.spawn(["weston", "--backend=headless-backend.so", "--xwayland", "--use-pixman",
                    "--width=%d" % self.screen[0], "--height=%d" % self.screen[1],
                    "--socket=wayland-orrinade", "--idle-time=0", "--log=" + log],
                   env=environment)

        def display_name():
            with open(log) if os.path.exists(log) else open(os.devnull) as lines:
                for line in lines:
                    if "xserver listening on display" in line:
                        return line.split()[-1]
            return None
        return self.wait_compositor(log, display_name, "weston")

    def start_mutter(self):
        """GNOME's mutter as a headless Wayland compositor with one virtual
        monitor each, and Xwayland, on a private D-Bus. mutter picks the X
        display itself and writes its X authority into XDG_RUNTIME_DIR."""
        environment = self.new_runtime()
        log = os.path.join(self.runtime, "mutter.log")
        monitors = ["--virtual-monitor", "%dx%d" % self.monitor_size] * self.monitor_count
        mutter = ["mutter", "--wayland", "--headless", "--wayland-display=wayland-orrinade"] + monitors
        if SCALE != 1:
            environment.update(self.scaled_gnome())
            # The session's bus, for the settings daemon started later.
            mutter = ["sh", "-c", 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$0.bus" && exec "$@"',
                      log] + mutter
        self.spawn(["dbus-run-session", "--"] + mutter, log=log, env=environment)

        def display_name():
            with open(log, errors="replace") as lines:
                for line in lines:
                    if "Using public X11 display" in line:
                        authority = glob.glob(os.path.join(self.runtime, ".mutter-Xwaylandauth.*"))
                        if authority:
                            self.authority = authority[0]
                            return line.split("display")[1].split(",")[0].strip()
            return None
        return self.wait_compositor(log, display_name, "mutter")

    def scaled_gnome(self):
        """The environment of a GNOME session whose monitors are at SCALE:
        a GNOME desktop (Debian turns on mutter's scale-monitor-framebuffer
        and xwayland-native-scaling there, so X11 programs see device pixels
        and scale themselves), with its monitor configuration giving every
        virtual monitor that scale, side by side."""
        config = os.path.join(self.runtime, "config")
        os.mkdir(config)
        width, height = self.monitor_size
        logical = round(width / SCALE)
        monitors = "".join(
            "<logicalmonitor><x>%d</x><y>0</y><scale>%g</scale>%s<monitor><monitorspec>"
            "<connector>Meta-%d</connector><vendor>MetaVendor</vendor>"
            "<product>MetaVirtualMonitor</product><serial>0x%02x</serial></monitorspec>"
            "<mode><width>%d</width><height>%d</height><rate>60</rate></mode></monitor>"
            "</logicalmonitor>" % (i * logical, SCALE, "<primary>yes</primary>" if i == 0 else "",
                                   i, i, width, height)
            for i in range(self.monitor_count))
        with open(os.path.join(config, "monitors.xml"), "w") as xml:
            xml.write('<monitors version="2"><configuration><layoutmode>logical</layoutmode>'
                      + monitors + "</configuration></monitors>\n")
        return {"XDG_CURRENT_DESKTOP": "GNOME", "XDG_CONFIG_HOME": config}

    def start_gnome_settings(self):
        """GNOME's X settings daemon, which tells X11 programs the scale
        mutter asks of them (Xft.dpi in the resource database), as in a GNOME
        session; waits until it has."""
        with open(os.path.join(self.runtime, "mutter.log.bus")) as bus:
            address = bus.read().strip()
        self.spawn([desktops.GSD_XSETTINGS], log=os.path.join(self.runtime, "xsettings.log"),
                   env=dict(self.env, DBUS_SESSION_BUS_ADDRESS=address))
        atom = self.display.intern_atom("RESOURCE_MANAGER")

        def published():
            resources = self.root.get_full_property(atom, Xatom.STRING)
            return resources and b"Xft.dpi" in resources.value
        wait_for(published, "GNOME's settings daemon to publish Xft.dpi")

    def start_kwin(self):
        """KWin as a Wayland compositor on its virtual backend with one output
        per monitor, and Xwayland, on a private D-Bus. KWin starts the program
        given after its options once Xwayland runs, with DISPLAY set: a shell
        that writes that down."""
        environment = self.new_runtime()
        log = os.path.join(self.runtime, "kwin.log")
        named = os.path.join(self.runtime, "display")
        # Settings of its own: KWin 6 asks the person, in a dialog, before
        # XTEST input from Xwayland may reach windows; here that is allowed.
        environment["XDG_CONFIG_HOME"] = os.path.join(self.runtime, "config")
        os.mkdir(environment["XDG_CONFIG_HOME"])
        with open(os.path.join(environment["XDG_CONFIG_HOME"], "kwinrc"), "w") as settings:
            settings.write("[Xwayland]\nXwaylandEisNoPrompt=true\n")
        command, extra = kwin_command()
        width, height = self.monitor_size
        scale = ["--scale", repr(SCALE)] if SCALE != 1 else []
        self.spawn(["dbus-run-session", "--"] + command +
                   ["--virtual", "--xwayland", "--socket", "wayland-orrinade",
                    "--width", str(width), "--height", str(height)] + scale +
                   ["--output-count", str(self.monitor_count),
                    "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities",
                    "sh -c 'echo \"$DISPLAY $XAUTHORITY\" >%s.new && mv %s.new %s'"
                    % (named, named, named)],
                   log=log, env=dict(environment, **extra))

        def display_name():
            if not os.path.exists(named):
                return None
            with open(named) as text:
                fields = text.read().split()
            self.authority = fields[1] if len(fields) > 1 else None
            return fields[0]
        return self.wait_compositor(log, display_name, "kwin_wayland")

    def publish_scale(self):
        """Asks X clients to draw at SCALE as a scaled desktop's session does
        (xrdb -merge of Xft.dpi into the root window's RESOURCE_MANAGER),
        keeping whatever the desktop has put there. A desktop still starting
        may write the database over (KWin 6.7 does): the line is merged again
        until it has stayed for a second."""
        atom = self.display.intern_atom("RESOURCE_MANAGER")
        line = b"Xft.dpi:\t%d\n" % round(96 * SCALE)
        kept = {"since": time.monotonic()}

        def merged_and_kept():
            present = self.root.get_full_property(atom, Xatom.STRING)
            resources = present.value if present else b""
            if isinstance(resources, str):
                resources = resources.encode()
            if line not in resources:
                self.root.change_property(atom, Xatom.STRING, 8, resources + line)
                self.display.sync()
                kept["since"] = time.monotonic()
                return False
            return time.monotonic() - kept["since"] >= 1.0
        wait_for(merged_and_kept, "Xft.dpi to stay in the resource database")

    def use_layout(self, layout, variant):
        """Loads a keyboard layout (US Dvorak is the one known here) and reads
        the keymap back: h is typed by the key QWERTY has j on, and the
        QWERTY h key types d."""
        subprocess.run(["setxkbmap", "-layout", layout, "-variant", variant], check=True,
                       env=self.env)
        # A connection reads the keymap once, when it opens.
        self.display.close()
        self.display = self.connect()
        self.root = self.display.screen().root
        if (self.keycode("h"), self.keysym_name(QWERTY_KEYCODES["h"])) != (44, "d"):
            raise RuntimeError("the Dvorak layout did not load")

    def wait_window_manager(self):
        """Waits until the window manager shows a window of ours. openbox,
        still starting after it has announced itself, may leave a window
        unmapped for good: a program that opens one then never shows it.
        Hence a new probe each second until one is shown."""
        check = self.display.intern_atom("_NET_SUPPORTING_WM_CHECK")
        wait_for(lambda: self.root.get_full_property(check, X.AnyPropertyType),
                 "the window manager to announce itself")

        def shows_a_probe():
            with self.mapped_window(0, 0, 10, 10) as probe:
                try:
                    return wait_for(lambda: probe.get_attributes().map_state == X.IsViewable,
                                    "a probe window", timeout=1.0)
                except AssertionError:
                    return False
        wait_for(shows_a_probe, "the window manager")

    def wait_input(self):
        """Waits until XTEST input takes effect, and leaves the pointer at
        the centre of the primary monitor, where desktops that follow the
        pointer put new windows. KWin 6 carries XTEST input through libei
        and may drop what arrives while that connection is made: each move
        is sent again until the server reports it. Xwayland knows where the
        pointer is only over a window of its own: one that no window manager
        handles covers the monitor meanwhile."""
        x, y, width, height = self.monitors()[0]
        with self.mapped_window(x, y, width, height, override_redirect=True):
            centre = (x + width // 2, y + height // 2)
            for point in ((centre[0] - 1, centre[1]), centre):
                def arrived():
                    xtest.fake_input(self.display, X.MotionNotify, x=point[0], y=point[1])
                    self.display.sync()
                    time.sleep(0.05)
                    reported = self.root.query_pointer()
                    return (reported.root_x, reported.root_y) == point
                wait_for(arrived, "XTEST input to take effect")

    @contextlib.contextmanager
    def mapped_window(self, x, y, width, height, name=None, **attributes):
        """A plain window of ours (named, with a class, if given a name),
        mapped, then destroyed without handing its id back to python-xlib,
        which would give the next window the same id while the window
        manager may still be handling the old one's."""
        window = self.root.create_window(x, y, width, height, 0, X.CopyFromParent, **attributes)
        if name:
            window.set_wm_name(name)
            window.set_wm_class("probe", "OrrinadeProbe")
        window.map()
        self.display.sync()
        try:
            yield window
        finally:
            xrequest.DestroyWindow(display=self.display.display, window=window.id)
            self.display.sync()

    def wm_supports(self, name):
        """Whether the window manager says it supports an EWMH hint."""
        supported = self.root.get_full_property(self.display.intern_atom("_NET_SUPPORTED"),
                                                X.AnyPropertyType)
        return bool(supported) and self.display.intern_atom(name) in supported.value

    def process_ids(self):
        """Every process this session started, and theirs, still running:
        its programs' descendants, and whatever still runs in the process
        sessions its desktop's programs were started in (a D-Bus daemon's
        services, once orphaned, are no one's descendants)."""
        children, sessions = {}, {}
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    with open("/proc/%s/stat" % entry) as stat:
                        fields = stat.read().rsplit(")", 1)[1].split()
                except OSError:
                    continue
                if fields[0] != "Z":
                    children.setdefault(int(fields[1]), []).append(int(entry))
                    sessions.setdefault(int(fields[3]), []).append(int(entry))
        found = set()
        pending = [p.pid for p in self.processes + self.started if p.poll() is None]
        pending += [pid for p in self.processes for pid in sessions.get(p.pid, [])]
        while pending:
            pid = pending.pop()
            if pid not in found:
                found.add(pid)
                pending.extend(children.get(pid, []))
        return sorted(found)

    def stop_processes(self, grace=10.0):
        """Ends the desktop and the server: SIGTERM to every process of
        theirs, SIGKILL to any still running after `grace` seconds (mutter
        may never end on SIGTERM)."""
        def signal_all(number):
            for pid in self.process_ids():
                try:
                    os.kill(pid, number)
                except ProcessLookupError:
                    pass
        signal_all(signal.SIGTERM)
        try:
            wait_for(lambda: not self.process_ids(), "the desktop to end", timeout=grace)
        except AssertionError:
            signal_all(signal.SIGKILL)
            wait_for(lambda: not self.process_ids(), "the desktop to end on SIGKILL")
        for process in self.processes:
            process.wait()
        self.processes = []
        if self.runtime:
            shutil.rmtree(self.runtime, ignore_errors=True)
            self.runtime = None

    def close(self):
        LIVE_SESSIONS.discard(self)
        for process in self.started:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.started = []
        if RUNNER_STOP and self.display is not None:
            subprocess.run(RUNNER_STOP, shell=True, check=False, env=self.env)
        for connection in (self.pings, self.display):
            if connection is not None:
                try:
                    connection.close()
                except (OSError, xerror.XError):
                    pass
        self.pings = self.display = None
        self.stop_processes()

    # --- the program -----------------------------------------------------

    def run(self, cwd=BUILD_DIR, env=None, program=BINARY):
        """Starts the editor in cwd (by default beside its font)."""
        self.editor = subprocess.Popen(RUNNER + [program], cwd=cwd,
                                       env=self.env if env is None else env,
                                       stdin=subprocess.DEVNULL)
        self.started.append(self.editor)
        return self.editor

    def run_to_end(self, cwd, env=None):
        """The exit status of the editor started in cwd and run to its end."""
        return through_runner(lambda: self.run(cwd=cwd, env=env).wait(timeout=TIMEOUT),
                              lambda status: status == RUNNER_FAILED, "the editor")

    def start(self, cwd=BUILD_DIR, program=BINARY, timeout=TIMEOUT, placed=False):
        """Starts the editor and waits for its window and first frame. With
        `placed`, the window must be where the desktop's placement puts it
        (assert_placed, against a probe placed just before)."""
        desktops_place = self.desktops_place() if placed and MANAGED else None

        def started():
            editor = self.run(cwd=cwd, program=program)
            return wait_for(lambda: editor.poll() is not None or self.find_window(),
                            "the editor's window", timeout)
        found = through_runner(started, lambda found: found is True
                               and self.editor.returncode == RUNNER_FAILED, "the editor")
        if found is True:
            raise AssertionError("the editor exited with %d before its window showed"
                                 % self.editor.returncode)
        self.window = found
        # The editor may move its window before its first frame; a window
        # manager may place it first and carry the move out after.
        wait_for(lambda: self.pixel_now(300, 100) == BACKGROUND, "the first frame", timeout)
        self.wait_settled()
        if placed and not placement_out_of_reach(self.monitor_size):
            self.assert_placed(desktops_place)
        return self.window

    def desktops_place(self):
        """Where the window manager puts a plain new window of the editor's
        size created where the editor's is, and its decorations: placement()
        of probes mapped, measured and destroyed, until two in a row agree (a
        manager still settling in may put its first windows elsewhere)."""
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

    def pixel_now(self, x, y):
        """One pixel of the window at logical (x, y), or None where it is off
        the screen."""
        try:
            image = self.window.get_image(device(x), device(y), 1, 1, X.ZPixmap, 0xffffffff)
        except xerror.BadMatch:
            return None
        return Shot(image.data, 1, 1).device_pixel(0, 0)

    def wait_settled(self, window=None, quiet=0.3):
        """Waits until the window (the editor's) has stayed where it is for
        `quiet` seconds; its placement()."""
        last = {"placement": None, "since": 0.0}

        def still():
            now = self.placement(window)
            if now != last["placement"]:
                last.update(placement=now, since=time.monotonic())
            return time.monotonic() - last["since"] >= quiet and now
        return wait_for(still, "the window to stay in one place")

    def placement(self, window=None):
        """The window's rectangle on the root, as xwininfo measures it, and
        the same with the decorations the window manager declares around it
        (_NET_FRAME_EXTENTS; a frame window may also hold invisible shadow):
        (x, y, width, height) each."""
        window = window or self.window
        origin = window.translate_coords(self.root, 0, 0)
        geometry = window.get_geometry()
        x, y, width, height = -origin.x, -origin.y, geometry.width, geometry.height
        extents = window.get_full_property(self.display.intern_atom("_NET_FRAME_EXTENTS"),
                                                X.AnyPropertyType)
        left, right, top, bottom = extents.value if extents else (0, 0, 0, 0)
        return [(x, y, width, height),
                (x - left, y - top, width + left + right, height + top + bottom)]

    def monitors(self):
        """RandR's monitors, (x, y, width, height) each, the primary (or else
        the first listed) first; the whole screen where it lists none."""
        listed = self.root.xrandr_get_monitors(True).monitors
        ordered = sorted(listed, key=lambda m: not m.primary)
        rects = [(m.x, m.y, m.width_in_pixels, m.height_in_pixels) for m in ordered]
        return rects or [(0, 0) + self.screen]

    def assert_placed(self, desktops_place=None):
        """The window and its decorations lie wholly on one monitor. Where
        nothing places windows, the window is centred on the primary monitor
        (at its top-left corner on an axis where the monitor is smaller);
        where a window manager does, with several monitors, it is on the
        primary, where the manager puts new windows; and where the manager
        put a plain window of its size just before (desktops_place), when
        that lies on one monitor too."""
        window, frame = self.placement()
        monitors = self.monitors()

        def inside(rect, monitor):
            return (rect[0] >= monitor[0] and rect[1] >= monitor[1]
                    and rect[0] + rect[2] <= monitor[0] + monitor[2]
                    and rect[1] + rect[3] <= monitor[1] + monitor[3])
        holding = [m for m in monitors if inside(window, m) and inside(frame, m)]
        if not holding:
            raise AssertionError("the window %s with its decorations %s is not wholly on one of "
                                 "the monitors %s" % (window, frame, monitors))
        primary = monitors[0]
        if not PLACES_WINDOWS and not RUNNER:
            centred = tuple(start + max(length - size, 0) // 2
                            for start, length, size in ((primary[0], primary[2], window[2]),
                                                        (primary[1], primary[3], window[3])))
            if window[:2] != centred:
                raise AssertionError("the window is at %s, not centred on the primary monitor %s "
                                     "at %s" % (window[:2], primary, centred))
        elif PLACES_WINDOWS and len(monitors) > 1 and primary not in holding:
            raise AssertionError("the window %s is not on the primary monitor %s"
                                 % (frame, primary))
        if desktops_place and any(inside(desktops_place[0], m) and inside(desktops_place[1], m)
                                  for m in monitors):
            # mutter 44 and later, whose frames another client draws, put a
            # new window's frame or the window itself at the place asked for,
            # as that client is quick or not: the same place up to the
            # thickness of the decorations above and left of the window.
            placed, placed_frame = desktops_place
            leeway = (placed[0] - placed_frame[0], placed[1] - placed_frame[1])
            if any(abs(at - expected) > slack
                   for at, expected, slack in zip(window[:2], placed[:2], leeway)):
                raise AssertionError("the window is at %s, not where the desktop put a window of "
                                     "its size, %s (give or take its decorations, %s)"
                                     % (window[:2], placed[:2], leeway))

    def find_window(self):
        """The editor's mapped window, or None: the viewable window named
        Orrinade that has a class, at any depth, since window managers put
        their frames between it and the root; and the innermost such window,
        since a frame may carry the title and a class of its own (mutter's
        title bars, drawn by another client, do). Other programs' windows
        (Wine's own among them) may be destroyed while they are looked at;
        such a window is simply not the editor's."""
        def editors_within(window):
            try:
                children = window.query_tree().children
            except (xerror.BadWindow, xerror.BadDrawable):
                return None
            for child in children:
                try:
                    named = (child.get_wm_name() == "Orrinade" and child.get_wm_class()
                             and child.get_attributes().map_state == X.IsViewable)
                except (xerror.BadWindow, xerror.BadDrawable):
                    continue
                found = editors_within(child)
                if found or named:
                    return found or child
            return None
        return editors_within(self.root)

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
            drawn = run_through_runner([REFERENCE, os.path.join(BUILD_DIR, "segoeui.ttf"),
                                        str(points), str(segments), path, repr(SCALE)],
                                       env=self.env)
            if drawn.returncode != 0:
                raise AssertionError("the status reference exited with %d: %s"
                                     % (drawn.returncode, drawn.stdout + drawn.stderr))
            with open(path, "rb") as ppm:
                data = ppm.read()
        width = int(data.split()[1])
        pixels = data[data.index(b"255\n") + 4:]
        x0, y0, x1, y1 = map(device, STATUS_BOX)
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
            lambda shot: all(shot.device_pixel(x, y) == rgb for (x, y), rgb in expected.items()),
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
        subprocess.run(command, check=True, env=self.env)

    # Pointer and keys are XTEST requests on the session's own connection,
    # each sent at once: KWin 6 takes every X client's XTEST input through
    # a libei connection of that client's, and drops what arrives while it
    # is made, so a program per event (xdotool) would lose its events.

    def move(self, x, y):
        """Moves the pointer to (x, y) in the window's logical pixels."""
        self.quick_move(x, y)
        self.sync()

    def move_on_screen(self, x, y):
        """Moves the pointer to (x, y) in logical pixels of the screen."""
        xtest.fake_input(self.display, X.MotionNotify, x=device(x), y=device(y))
        self.sync()

    def click(self, x, y, button=1):
        self.move(x, y)
        self.quick_button(True, button)
        self.quick_button(False, button)
        self.sync()

    def press(self, x, y):
        self.move(x, y)
        self.quick_button(True)
        self.sync()

    def release(self):
        """Releases the left button and waits until the editor has handled
        the release. The editor reads the held button live once a frame, so a
        press that reaches the server before the release has been read would
        carry the dropped point to that press. The last screenshot."""
        self.quick_button(False)
        self.sync()
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
            self.quick_key(name)
        self.sync()

    def keycode(self, name):
        return self.display.keysym_to_keycode(XK.string_to_keysym(name))

    def keysym_name(self, keycode):
        return XK.keysym_to_string(self.display.keycode_to_keysym(keycode, 0))

    def ping(self, timeout=TIMEOUT):
        """Sends the window a _NET_WM_PING as a window manager does and
        returns the seconds until its answer reaches the root window."""
        if self.pings is None:
            self.pings = self.connect()
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

    # The same requests queued, for events by the thousand: positions are in
    # the window's logical pixels; sync() sends what is queued.

    def quick_move(self, x, y):
        origin = self.window.translate_coords(self.root, 0, 0)
        xtest.fake_input(self.display, X.MotionNotify, x=device(x) - origin.x, y=device(y) - origin.y)

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
        """Resizes the window to width x height logical pixels."""
        width, height = device(width), device(height)
        self.xdotool("windowsize", self.window.id, width, height)
        wait_for(lambda: self.size() == (width, height), "the resize")


class EditorCase(unittest.TestCase):
    """Each test gets its own X server; with START, the editor running in it."""
    START = True

    def setUp(self):
        self.session = self.new_session()
        if self.START:
            self.session.start()

    def new_session(self, screen=SCREEN, monitors=MONITORS):
        session = Session(screen, monitors)
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
