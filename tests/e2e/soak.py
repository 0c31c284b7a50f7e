"""Soak: random user events, then 4,096 points; the editor must still answer,
keep its resident memory flat after warm-up and exit with status 0.

    /usr/bin/python3 tests/e2e/soak.py [events] [seed]
"""
import random
import sys
import time

from harness import EditorSession

VIEW = 640.0
# Only the status lines are drawn in TEXT_CORNER (pixels): no cell lies near it.
TEXT_CORNER = (0, 0, 30, 20)
KNOWN_KEYS = ["Up", "Down"]
OTHER_KEYS = ["a", "z", "space", "Escape", "Left", "Right", "Return", "BackSpace",
              "Shift_L", "Control_L", "F1", "Tab"]
CHECK_EVERY = 300


def floor_kib(pid, seconds=3.0):
    """The lowest of many close samples of pid's resident memory (the GL
    driver's comes and goes)."""
    samples = []
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        with open("/proc/%d/status" % pid) as status:
            samples += [int(line.split()[1]) for line in status if line.startswith("VmRSS:")]
        time.sleep(0.01)
    return min(samples)


class Soak:
    def __init__(self, session, rng):
        self.s, self.rng = session, rng
        self.size = (640, 640)
        self.cells = set()    # cells of a 60 x 60 grid, 10 units apart, holding a point
        self.dropped = 0      # points dragged into the band along the bottom
        self.checks = 0       # checkpoint markers placed since the last R
        self.events = 0
        self.most_points = 0

    def points(self):
        return len(self.cells) + self.dropped + self.checks

    def pixel(self, vx, vy):
        return (round(vx * self.size[0] / VIEW), round(vy * self.size[1] / VIEW))

    def marker_at(self, vx, vy):
        return lambda shot: shot.has_marker(*self.pixel(vx, vy))

    def click_cell(self):
        cell = (self.rng.randrange(60), self.rng.randrange(60))
        while cell[0] < 7 and cell[1] < 3:  # near the text corner
            cell = (self.rng.randrange(60), self.rng.randrange(60))
        self.s.quick_clicks([self.pixel(5 + 10 * cell[0], 5 + 10 * cell[1])])
        self.cells.add(cell)
        self.events += 1

    def click_outside(self):
        self.s.quick_clicks([(self.rng.randrange(-300, 0), self.rng.randrange(-300, 600))])
        self.events += 1

    def drag(self):
        if not self.cells or self.dropped >= 120:
            return self.click_cell()
        cell = self.rng.choice(sorted(self.cells))
        drop = (5 + 10 * (self.dropped % 60), 615 + 15 * (self.dropped // 60))
        s = self.s
        s.quick_move(*self.pixel(5 + 10 * cell[0], 5 + 10 * cell[1]))
        s.quick_button(True)
        for _ in range(5):
            s.quick_move(self.rng.randrange(-200, self.size[0] + 200),
                         self.rng.randrange(-200, self.size[1] + 100))
        s.move(*self.pixel(*drop))
        s.wait_shot(self.marker_at(*drop), "a dropped point", timeout=120)
        s.release(TEXT_CORNER)
        self.cells.discard(cell)
        self.dropped += 1
        self.events += 7

    def key_storm(self):
        s = self.s
        s.quick_move(*self.pixel(320, 320))  # keys go to the window under the pointer
        for _ in range(self.rng.randrange(5, 40)):
            name = self.rng.choice(KNOWN_KEYS + OTHER_KEYS)
            if name == "Up" and self.rng.random() < 0.5:
                name = "Down"  # keeps the segment count low
            s.quick_key(name)
            self.events += 1
        s.sync()

    def resize(self):
        # Larger only, and within the screen: screenshots need all of it.
        self.size = (self.rng.randrange(640, 961), self.rng.randrange(640, 705))
        self.s.resize(*self.size)
        self.s.wait_handled(TEXT_CORNER)
        self.events += 1

    def clear(self):
        self.most_points = max(self.most_points, self.points())
        self.s.quick_move(*self.pixel(320, 320))
        self.s.key("r")
        self.s.wait_handled(TEXT_CORNER)  # the old markers are gone
        self.cells.clear()
        self.dropped = self.checks = 0
        self.events += 1

    def checkpoint(self):
        """Waits until every event so far has been handled."""
        spot = (625, 5 + 10 * (self.checks % 60))
        self.s.quick_move(*self.pixel(320, 320))
        self.s.quick_clicks([self.pixel(*spot)])
        self.s.wait_shot(self.marker_at(*spot), "the checkpoint marker", timeout=120)
        self.checks += 1
        self.most_points = max(self.most_points, self.points())

    def run(self, count):
        actions = [(self.click_cell, 70), (self.click_outside, 8), (self.drag, 4),
                   (self.key_storm, 4), (self.resize, 1)]
        kinds, weights = zip(*actions)
        next_check = self.events + CHECK_EVERY
        while self.events < count:
            self.rng.choices(kinds, weights)[0]()
            if self.events >= next_check:
                self.checkpoint()
                next_check = self.events + CHECK_EVERY
        self.checkpoint()


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 20000
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    session = EditorSession()
    try:
        session.start()
        soak = Soak(session, random.Random(seed))
        started = time.monotonic()

        soak.run(1000)
        soak.clear()
        soak.run(soak.events + 500)
        warm = floor_kib(session.editor.pid)
        warm_points = soak.points()

        soak.run(count)
        end = floor_kib(session.editor.pid)
        end_points = soak.points()

        soak.clear()
        soak.checkpoint()
        cleared = floor_kib(session.editor.pid)

        # 4,096 points 10 units apart, none within reach of another.
        soak.clear()
        grid = [(5 + 10 * i, 5 + 10 * j) for j in range(64) for i in range(64)]
        session.quick_clicks([soak.pixel(*point) for point in grid])
        session.wait_shot(lambda shot: all(soak.marker_at(*p)(shot) for p in grid[::65]),
                          "every 65th marker, the last among them", timeout=120)
        with_grid = floor_kib(session.editor.pid)

        session.request_close()
        status = session.wait_exit()
        seconds = time.monotonic() - started
    finally:
        session.close()

    print("events: %d in %.0f s; most points: %d" % (soak.events, seconds, soak.most_points))
    print("resident after warm-up: %d KiB (%d points)" % (warm, warm_points))
    print("resident at the end:    %d KiB (%d points), %+d KiB" % (end, end_points, end - warm))
    print("resident after R:       %d KiB, %+d KiB" % (cleared, cleared - warm))
    print("resident, 4096 points:  %d KiB, %+d KiB" % (with_grid, with_grid - cleared))
    print("exit status: %d" % status)
    ok = status == 0 and all(
        grown < 10 * 1024 for grown in (end - warm, cleared - warm, with_grid - cleared))
    print("soak: " + ("passed" if ok else "FAILED"))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
