"""A desktop of its own for each test: the X server, the desktop on it (as
its entry in desktops.py says), and the connection the tests speak through.
Each session starts its own server, so the tests never touch the user's
display and may run side by side; whatever it starts ends with it."""
import contextlib
import os
import shutil
import subprocess
import sys
import time
import unittest
from unittest import mock

from Xlib import X, XK, Xatom, Xutil, display as xdisplay, error as xerror
from Xlib.ext import xtest
from Xlib.protocol import request as xrequest

import processes
from desktops import DESKTOP, MONITORS, NOT_HERE
from options import QWERTY_KEYCODES, RUNNER_STOP, SCALE, SCREEN, device
from servers import env_without_display
from waiting import wait_for


class Session:
    """The desktop of one test, on monitors of `screen` device pixels each,
    side by side: self.display and self.root speak to its X server,
    self.env is the environment of a program on it."""

    def __init__(self, screen=SCREEN, monitors=MONITORS):
        self.monitor_size = screen
        self.monitor_count = monitors
        self.screen = (screen[0] * monitors, screen[1])
        self.processes = processes.Processes()
        self.runtime = None  # a compositor's XDG_RUNTIME_DIR
        self.authority = None
        self.editor = None
        self.window = None
        self.display = None
        self.pings = None  # a connection of its own, as a window manager's
        self.serial = 0
        missing = DESKTOP.missing()
        if missing:
            raise unittest.SkipTest(NOT_HERE + missing)
        processes.end_sessions_on_signals()
        # A desktop that dies while it starts, before any editor runs, is
        # started once more, and the log says so ("flake: "); a second death
        # fails, as does any after the desktop has started.
        for attempt in (1, 2):
            processes.LIVE_SESSIONS.add(self)
            try:
                self.start_desktop()
                return
            except Exception as error:
                died = self.processes.died()
                self.close()
                if attempt == 2 or not died:
                    raise
                print("\nflake: the desktop died while starting (%s: %s); starting it once more"
                      % ("; ".join(died), error), file=sys.stderr)
            except BaseException:
                self.close()
                raise

    def start_desktop(self):
        self.processes = processes.Processes()
        self.runtime = self.authority = None
        self.name = DESKTOP.server(self)
        self.display = self.connect()
        self.root = self.display.screen().root
        if SCALE != 1:
            DESKTOP.publish_scale(self)
        if DESKTOP.layout:
            self.use_layout(*DESKTOP.layout)
        if DESKTOP.manager:
            self.processes.spawn(DESKTOP.manager, env=self.env)
        if DESKTOP.managed:
            self.wait_window_manager()
        if DESKTOP.panel:
            self.add_panel(device(DESKTOP.panel))
        if not DESKTOP.input_missing():
            self.wait_input()

    @property
    def env(self):
        """The environment of a program of this session's desktop."""
        environment = env_without_display()
        environment["DISPLAY"] = self.name
        if self.authority:
            environment["XAUTHORITY"] = self.authority
        return environment

    def connect(self):
        """A new connection to the session's X display (python-xlib reads
        XAUTHORITY from this process's environment as it connects)."""
        with mock.patch.dict(os.environ, {"XAUTHORITY": self.authority} if self.authority else {}):
            return xdisplay.Display(self.name)

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
        started = list(self.processes.desktop)

        def announced():
            ended = [p for p in started if p.poll() is not None]
            if ended:
                raise RuntimeError("%s exited with %d before the window manager announced itself"
                                   % (" ".join(map(str, ended[0].args)), ended[0].returncode))
            return self.root.get_full_property(check, X.AnyPropertyType)
        wait_for(announced, "the window manager to announce itself")

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

    def add_panel(self, height):
        """A dock along the bottom of the primary monitor, `height` device
        pixels tall, reserved with a strut as taskbars do; waits until the
        window manager leaves it out of the work area."""
        x, y, width, monitor_height = self.monitors()[0]
        panel = self.root.create_window(x, y + monitor_height - height, width, height, 0,
                                        X.CopyFromParent)
        atom = self.display.intern_atom
        panel.change_property(atom("_NET_WM_WINDOW_TYPE"), Xatom.ATOM, 32,
                              [atom("_NET_WM_WINDOW_TYPE_DOCK")])
        bottom = self.screen[1] - (y + monitor_height) + height
        panel.change_property(atom("_NET_WM_STRUT_PARTIAL"), Xatom.CARDINAL, 32,
                              [0, 0, 0, bottom, 0, 0, 0, 0, 0, 0, x, x + width - 1])
        # Where it asks to be, not where the manager would place a window.
        panel.set_wm_normal_hints(flags=Xutil.USPosition | Xutil.PPosition, x=x,
                                  y=y + monitor_height - height)
        panel.map()
        self.display.sync()
        wait_for(lambda: self.work_area()[3] == monitor_height - height,
                 "the work area to leave the panel out")

    def work_area(self):
        """The current desktop's work area (x, y, width, height), or the
        whole screen where the window manager publishes none."""
        areas = self.root.get_full_property(self.display.intern_atom("_NET_WORKAREA"),
                                            Xatom.CARDINAL)
        current = self.root.get_full_property(self.display.intern_atom("_NET_CURRENT_DESKTOP"),
                                              Xatom.CARDINAL)
        index = current.value[0] if current else 0
        if not areas or len(areas.value) < 4 * (index + 1):
            return (0, 0) + self.screen
        return tuple(areas.value[4 * index:4 * index + 4])

    def monitors(self):
        """RandR's monitors, (x, y, width, height) each, the primary (or else
        the first listed) first; the whole screen where it lists none."""
        listed = self.root.xrandr_get_monitors(True).monitors
        ordered = sorted(listed, key=lambda m: not m.primary)
        rects = [(m.x, m.y, m.width_in_pixels, m.height_in_pixels) for m in ordered]
        return rects or [(0, 0) + self.screen]

    def keycode(self, name):
        return self.display.keysym_to_keycode(XK.string_to_keysym(name))

    def keysym_name(self, keycode):
        return XK.keysym_to_string(self.display.keycode_to_keysym(keycode, 0))

    def wm_supports(self, name):
        """Whether the window manager says it supports an EWMH hint."""
        supported = self.root.get_full_property(self.display.intern_atom("_NET_SUPPORTED"),
                                                X.AnyPropertyType)
        return bool(supported) and self.display.intern_atom(name) in supported.value

    def close(self):
        processes.LIVE_SESSIONS.discard(self)
        self.processes.end_programs()
        if RUNNER_STOP and self.display is not None:
            subprocess.run(RUNNER_STOP, shell=True, check=False, env=self.env)
        for connection in (self.pings, self.display):
            if connection is not None:
                try:
                    connection.close()
                except (OSError, xerror.XError):
                    pass
        self.pings = self.display = None
        self.processes.stop()
        if self.runtime:
            shutil.rmtree(self.runtime, ignore_errors=True)
            self.runtime = None
