#!/usr/bin/python3
"""Start-up benchmark: the time from launching the editor to its first frame
on the screen, against the least SFML program that loads the same font and
draws the same two status lines (least_sfml_window), and their ratio, on bare
X, openbox, and openbox at 150 %. Each desktop is a session of the end-to-end
harness (tests/e2e), started afresh. The two programs are launched in turns,
so that both see the same machine load: one launch each that is not counted,
then LAUNCHES each (12 by default); the times are the medians.

The full run, from the source tree after a build into build/:
    /usr/bin/python3 bench/startup_bench.py build/orrinade build/bench/least_sfml_window
prints one line per desktop:
    startup <desktop>: editor <ms> ms, least SFML program <ms> ms, ratio <r>
Further arguments: LAUNCHES, then desktops as DESKTOP[@SCALE] (desktops.py
names them), in place of the three above.

A launch's time runs from just before the process starts to the first
reading, back from the X server, of its window's status lines that matches,
pixel for pixel, what status_reference draws at the program's scale (the
desktop's for the editor, 1 for the least program); the window is then
closed, and the program must exit with 0. Both run in the editor's folder,
beside its font. Any failure ends the run with status 1.
"""
import os
import statistics
import subprocess
import sys
import time

E2E = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e")
DESKTOPS = ("bare", "openbox", "openbox@1.5")
IN_SESSION = "--in-session"


def main(editor, least, launches="12", *desktops):
    """Each desktop in a process of its own, since the harness reads its
    desktop from the environment once."""
    editor, least = os.path.abspath(editor), os.path.abspath(least)
    failed = False
    for desktop in desktops or DESKTOPS:
        name, _, scale = desktop.partition("@")
        environment = dict(os.environ, ORRINADE_DESKTOP=name, ORRINADE_SCALE=scale or "1",
                           ORRINADE_BIN=editor)
        failed |= subprocess.run([sys.executable, __file__, IN_SESSION, desktop, editor, least,
                                  launches], env=environment).returncode != 0
    return 1 if failed else 0


def measure(desktop, editor, least, launches):
    sys.path.insert(0, E2E)
    from Xlib import X, error as xerror
    from editor import EditorProcess
    from options import SCALE, STATUS_BOX, TIMEOUT, device
    from screen import Screen, is_dark
    from session import Session
    from waiting import wait_for

    class Bench(EditorProcess, Screen, Session):
        def expected(self, scale):
            """(width, height, the blue, green and red bytes) of the status
            box, from the top-left corner, as the window's image holds them."""
            pixels = self.status_reference(0, 16, scale)
            if sum(is_dark(rgb) for rgb in pixels.values()) < 100:
                raise AssertionError("the reference status lines show no text")
            width, height = device(STATUS_BOX[2], scale), device(STATUS_BOX[3], scale)
            return width, height, [bytes(pixels[(x, y)][2 - c] for y in range(height)
                                         for x in range(width)) for c in range(3)]

        def shows(self, width, height, channels):
            try:
                self.window = self.window or self.find_window()
                if not self.window:
                    return False
                data = self.window.get_image(0, 0, width, height, X.ZPixmap, 0xffffffff).data
            except (xerror.BadMatch, xerror.BadWindow, xerror.BadDrawable):
                self.window = None  # not shown yet, or not the program's
                return False
            return all(data[c::4] == channels[c] for c in range(3))

        def launch(self, program, expected):
            """Milliseconds from launching program to its window showing
            `expected`; then closes it."""
            wait_for(lambda: not self.find_window(), "the last window to go")
            self.window = None
            start = time.monotonic()
            self.editor = self.processes.add(subprocess.Popen(
                [program], cwd=os.path.dirname(editor), env=self.env,
                stdin=subprocess.DEVNULL))
            while not self.shows(*expected):
                if self.editor.poll() is not None or time.monotonic() - start > TIMEOUT:
                    raise AssertionError("%s showed no status lines (exit status %s)"
                                         % (program, self.editor.poll()))
                time.sleep(0.001)
            elapsed = 1000 * (time.monotonic() - start)
            self.request_close()
            status = self.wait_exit()
            if status != 0:
                raise AssertionError("%s exited with %d once closed" % (program, status))
            return elapsed

    session = Bench()
    try:
        programs = [(editor, session.expected(SCALE)), (least, session.expected(1.0))]
        times = [[], []]
        for turn in range(int(launches) + 1):
            for i in ((0, 1) if turn % 2 else (1, 0)):
                elapsed = session.launch(*programs[i])
                if turn:
                    times[i].append(elapsed)
    finally:
        session.close()
    ours, theirs = (statistics.median(t) for t in times)
    print("startup %s: editor %.0f ms, least SFML program %.0f ms, ratio %.2f"
          % (desktop, ours, theirs, ours / theirs), flush=True)


if __name__ == "__main__":
    if sys.argv[1:2] == [IN_SESSION]:
        measure(*sys.argv[2:])
    elif len(sys.argv) < 3:
        sys.exit(__doc__)
    else:
        sys.exit(main(*sys.argv[1:]))
