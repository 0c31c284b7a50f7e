"""The editor's process and its window: start, find, close, exit."""
import subprocess
import sys
import tempfile

from Xlib import X, error as xerror
from Xlib.protocol import event as xevent

from desktops import DESKTOP
from options import BACKGROUND, BINARY, BUILD_DIR, RUNNER, TIMEOUT, device
from placement import placement_out_of_reach
from processes import stat_fields
from runner import is_failed_start, through_runner
from waiting import wait_for


def named_within(window):
    """(window, its map state, whether it is the editor's) for each window named
    Orrinade below `window`, innermost first: the editor's has a class and holds
    no such window (a frame may carry the title and a class of its own)."""
    try:
        children = window.query_tree().children
    except (xerror.BadWindow, xerror.BadDrawable):
        return  # destroyed meanwhile
    for child in children:
        inner = list(named_within(child))
        yield from inner
        try:
            if child.get_wm_name() == "Orrinade":
                yield (child, child.get_attributes().map_state,
                       bool(child.get_wm_class()) and not any(ours for _, _, ours in inner))
        except (xerror.BadWindow, xerror.BadDrawable):
            pass


class EditorProcess:
    """The session's editor (self.editor) and its window (self.window)."""

    def run(self, cwd=BUILD_DIR, env=None, program=BINARY, keep_output=False):
        """Starts the editor in cwd; through a runner its output is kept (said)."""
        self.editor_output = tempfile.TemporaryFile() if RUNNER or keep_output else None
        self.editor = self.processes.add(subprocess.Popen(
            RUNNER + [program], cwd=cwd, env=self.env if env is None else env,
            stdin=subprocess.DEVNULL, stdout=self.editor_output,
            stderr=subprocess.STDOUT if self.editor_output else None))
        return self.editor

    def said(self):
        self.editor_output.seek(0)
        return self.editor_output.read().decode(errors="replace")

    def failed_to_start(self):
        """Whether the editor, ended, was the runner's failed start."""
        return bool(RUNNER) and is_failed_start(self.editor.returncode, self.said())

    def run_to_end(self, cwd, env=None):
        def ended():
            return self.run(cwd=cwd, env=env, keep_output=True).wait(timeout=TIMEOUT)
        return through_runner(ended, lambda status: self.failed_to_start(), "the editor")

    def start(self, cwd=BUILD_DIR, program=BINARY, placed=False):
        """Starts the editor, waits for its window and first frame; with
        `placed`, assert_placed against a probe placed just before."""
        desktops_place = self.desktops_place() if placed and DESKTOP.managed else None

        def started():
            editor = self.run(cwd=cwd, program=program)
            return wait_for(lambda: editor.poll() is not None or self.find_window(),
                            "the editor's window", seen=self.why_unseen)
        # A window left unmapped where the desktop may do so is retried once ("flake: ").
        for attempt in (1, 2):
            try:
                found = through_runner(started, lambda found: found is True and self.failed_to_start(),
                                       "the editor")
                break
            except AssertionError as late:
                named = self.named_windows()
                if attempt == 2 or not DESKTOP.leaves_unmapped or not named or "viewable" in named.values():
                    raise
                print("\nflake: the window manager left the editor's window unmapped (%s); "
                      "starting the editor once more" % late, file=sys.stderr)
                self.editor.kill()
                self.editor.wait()
        if found is True:
            raise AssertionError("the editor exited with %d before its window showed"
                                 % self.editor.returncode)
        self.window = found
        wait_for(lambda: self.pixel_now(300, 100) == BACKGROUND, "the first frame")
        self.wait_settled()
        if placed and not placement_out_of_reach(self.monitor_size):
            self.assert_placed(desktops_place)
        return self.window

    def find_window(self):
        """The editor's window once viewable, or None."""
        return next((window for window, state, ours in named_within(self.root)
                     if ours and state == X.IsViewable), None)

    def named_windows(self):
        """Each window named Orrinade, by id: its map state."""
        states = {X.IsUnmapped: "unmapped", X.IsUnviewable: "unviewable", X.IsViewable: "viewable"}
        return {"0x%x" % window.id: states[state] for window, state, _ in named_within(self.root)}

    def why_unseen(self):
        """The windows named as the editor's, and where its main thread waits."""
        try:
            named = self.named_windows() or "none"
        except Exception as error:  # the report must not hide the time-out
            named = "(the server: %r)" % error
        try:
            with open("/proc/%d/wchan" % self.editor.pid) as wchan:
                process = "state %s in %s" % ((stat_fields(self.editor.pid) or ["gone"])[0], wchan.read())
        except OSError as error:
            process = str(error)
        return "windows named Orrinade: %s; the editor's process: %s" % (named, process)

    def wait_exit(self):
        return self.editor.wait(timeout=TIMEOUT)

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
        width, height = device(width), device(height)
        subprocess.run(["xdotool", "windowsize", str(self.window.id), str(width), str(height)],
                       check=True, env=self.env)
        wait_for(lambda: self.size() == (width, height), "the resize")
