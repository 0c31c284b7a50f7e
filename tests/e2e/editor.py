"""The editor's process and its window: start, find, close, exit."""
import subprocess

from Xlib import X, error as xerror
from Xlib.protocol import event as xevent

from desktops import DESKTOP
from options import BACKGROUND, BINARY, BUILD_DIR, RUNNER, TIMEOUT, device
from placement import placement_out_of_reach
from runner import FAILED_START, through_runner
from waiting import wait_for


class EditorProcess:
    """The editor run in the session (self.editor, its window self.window),
    for Session."""

    def run(self, cwd=BUILD_DIR, env=None, program=BINARY):
        """Starts the editor in cwd (by default beside its font)."""
        self.editor = self.processes.add(subprocess.Popen(
            RUNNER + [program], cwd=cwd, env=self.env if env is None else env,
            stdin=subprocess.DEVNULL))
        return self.editor

    def run_to_end(self, cwd, env=None):
        """The exit status of the editor started in cwd and run to its end."""
        return through_runner(lambda: self.run(cwd=cwd, env=env).wait(timeout=TIMEOUT),
                              lambda status: status == FAILED_START, "the editor")

    def start(self, cwd=BUILD_DIR, program=BINARY, timeout=TIMEOUT, placed=False):
        """Starts the editor and waits for its window and first frame. With
        `placed`, the window must be where the desktop's placement puts it
        (assert_placed, against a probe placed just before)."""
        desktops_place = self.desktops_place() if placed and DESKTOP.managed else None

        def started():
            editor = self.run(cwd=cwd, program=program)
            return wait_for(lambda: editor.poll() is not None or self.find_window(),
                            "the editor's window", timeout)
        found = through_runner(started, lambda found: found is True
                               and self.editor.returncode == FAILED_START, "the editor")
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
        subprocess.run(["wmctrl", "-c", "Orrinade"], check=True, env=self.env)

    def resize(self, width, height):
        """Resizes the window to width x height logical pixels."""
        width, height = device(width), device(height)
        subprocess.run(["xdotool", "windowsize", str(self.window.id), str(width), str(height)],
                       check=True, env=self.env)
        wait_for(lambda: self.size() == (width, height), "the resize")
