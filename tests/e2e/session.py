"""Each test's own X server and desktop (see desktops.py); all it starts ends with it."""
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
    """One test's desktop, on side-by-side monitors of `screen` device pixels."""

    def __init__(self, screen=SCREEN, monitors=MONITORS):
        self.monitor_size = screen
        self.monitor_count = monitors
        self.screen = (screen[0] * monitors, screen[1])
        self.editor = None
        self.window = None
        self.display = None
        self.pings = None  # a connection of its own, as a window manager's
        self.serial = 0
        missing = DESKTOP.missing()
        if missing:
            raise unittest.SkipTest(NOT_HERE + missing)
        processes.end_sessions_on_signals()
        # A desktop that dies while starting is retried once, logged as "flake: ".
        for attempt in (1, 2):
            try:
                self.start_desktop()
                return
            except BaseException as error:
                died = isinstance(error, Exception) and self.processes.died()
                self.close()
                if attempt == 2 or not died:
                    raise
                print("\nflake: the desktop died while starting (%s: %s); starting it once more"
                      % ("; ".join(died), error), file=sys.stderr)

    def start_desktop(self):
        self.processes = processes.Processes()
        self.runtime = self.authority = None  # a compositor's XDG_RUNTIME_DIR and X authority
        processes.LIVE_SESSIONS.add(self)
        self.name = DESKTOP.server(self)
        if DESKTOP.layout:  # before connecting: a connection reads the keymap once
            subprocess.run(["setxkbmap", *DESKTOP.layout], check=True, env=self.env)
        self.display = self.connect()
        self.root = self.display.screen().root
        if DESKTOP.layout:  # Dvorak's key and symbol where QWERTY has h
            if (self.keycode("h"), self.keysym_name(QWERTY_KEYCODES["h"])) != (44, "d"):
                raise RuntimeError("the Dvorak layout did not load")
        if SCALE != 1:
            DESKTOP.publish_scale(self)
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
        environment = env_without_display()
        environment["DISPLAY"] = self.name
        if self.authority:
            environment["XAUTHORITY"] = self.authority
        return environment

    def connect(self):
        """A new connection (python-xlib reads XAUTHORITY from os.environ)."""
        with mock.patch.dict(os.environ, {"XAUTHORITY": self.authority} if self.authority else {}):
            return xdisplay.Display(self.name)

    def wait_window_manager(self):
        """Waits until the window manager shows a probe; a new one each second,
        as openbox may leave a window mapped early unshown for good."""
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
        """Waits until XTEST moves arrive (KWin 6 may drop early ones), leaving
        the pointer at the primary monitor's centre, over a window of ours."""
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
        """A mapped window, destroyed without python-xlib reusing its id."""
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
        """A strut dock `height` pixels tall at the primary monitor's bottom;
        waits until the work area leaves it out."""
        x, y, width, monitor_height = self.monitors()[0]
        panel = self.root.create_window(x, y + monitor_height - height, width, height, 0,
                                        X.CopyFromParent)
        atom = self.display.intern_atom
        panel.change_property(atom("_NET_WM_WINDOW_TYPE"), Xatom.ATOM, 32,
                              [atom("_NET_WM_WINDOW_TYPE_DOCK")])
        bottom = self.screen[1] - (y + monitor_height) + height
        panel.change_property(atom("_NET_WM_STRUT_PARTIAL"), Xatom.CARDINAL, 32,
                              [0, 0, 0, bottom, 0, 0, 0, 0, 0, 0, x, x + width - 1])
        panel.set_wm_normal_hints(flags=Xutil.USPosition | Xutil.PPosition, x=x,
                                  y=y + monitor_height - height)
        panel.map()
        self.display.sync()
        wait_for(lambda: self.work_area()[3] == monitor_height - height,
                 "the work area to leave the panel out")

    def work_area(self):
        """The current desktop's work area (x, y, width, height), or the screen."""
        areas = self.root.get_full_property(self.display.intern_atom("_NET_WORKAREA"),
                                            Xatom.CARDINAL)
        current = self.root.get_full_property(self.display.intern_atom("_NET_CURRENT_DESKTOP"),
                                              Xatom.CARDINAL)
        index = current.value[0] if current else 0
        if not areas or len(areas.value) < 4 * (index + 1):
            return (0, 0) + self.screen
        return tuple(areas.value[4 * index:4 * index + 4])

    def monitors(self):
        """RandR's monitors (x, y, width, height), primary first; else the screen."""
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
        for connection in filter(None, (self.pings, self.display)):
            with contextlib.suppress(OSError, xerror.XError):
                connection.close()
        self.pings = self.display = None
        self.processes.stop()
        if self.runtime:
            shutil.rmtree(self.runtime, ignore_errors=True)
            self.runtime = None
