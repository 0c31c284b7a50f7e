"""What the editor's window shows, read back as pixels."""
import math
import os
import tempfile

from Xlib import X, error as xerror

from options import BUILD_DIR, REFERENCE, SCALE, STATUS_BOX, TIMEOUT, device
from runner import run_through_runner
from waiting import wait_for


def is_dark(rgb):
    return sum(rgb) < 150


class Shot:
    """A window's screenshot; pixel(x, y) is (r, g, b) at logical (x, y)."""

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

    def has_marker(self, x, y, scale=SCALE):
        """All 3 x 3 device pixels around (x, y) dark, as a marker, not a line."""
        x, y = device(x, scale), device(y, scale)
        return self.dark_in_device(x - 1, y - 1, x + 1, y + 1) == 9

    def dark_down(self, x, y, scale=SCALE):
        """Dark device pixels in the column 10 logical pixels about (x, y)."""
        x, y, reach = device(x, scale), device(y, scale), device(10, scale)
        return self.dark_in_device(x, y - reach, x, y + reach)

    def marker_width(self, x, y, scale=SCALE):
        """A disc's width in device pixels, from the area of its left half."""
        x, y, reach = device(x, scale), device(y, scale), device(10, scale)
        return 2 * math.sqrt(2 * self.dark_in_device(x - reach, y - reach, x - 1, y + reach) / math.pi)

    def shows_status(self, box=STATUS_BOX):
        """Whether anything is drawn in box (x0, y0, x1, y1), x1 and y1 outside."""
        return self.dark_in(box[0], box[1], box[2] - 1, box[3] - 1) > 0

    def dark_near(self, x, y, reach=2):
        return self.dark_in(x - reach, y - reach, x + reach, y + reach) > 0


class Screen:
    """Screenshots of the session's window (self.window)."""

    def size(self):
        geometry = self.window.get_geometry()
        return geometry.width, geometry.height

    def shot(self):
        geometry = self.window.get_geometry()
        image = self.window.get_image(0, 0, geometry.width, geometry.height, X.ZPixmap, 0xffffffff)
        return Shot(image.data, geometry.width, geometry.height)

    def wait_shot(self, condition, what, timeout=TIMEOUT, seen=None):
        def check():
            shot = self.shot()
            return shot if condition(shot) else None
        return wait_for(check, what, timeout, seen)

    def pixel_now(self, x, y):
        """The window's pixel at logical (x, y), or None off the screen."""
        try:
            image = self.window.get_image(device(x), device(y), 1, 1, X.ZPixmap, 0xffffffff)
        except xerror.BadMatch:
            return None
        return Shot(image.data, 1, 1).device_pixel(0, 0)

    def status_reference(self, points, segments, scale=SCALE):
        """{(x, y): rgb} of the status region as it must read for these counts."""
        with tempfile.TemporaryDirectory(prefix="orrinade-") as folder:
            path = os.path.join(folder, "status.ppm")
            drawn = run_through_runner([REFERENCE, os.path.join(BUILD_DIR, "segoeui.ttf"),
                                        str(points), str(segments), path, repr(scale)],
                                       env=self.env)
            if drawn.returncode != 0:
                raise AssertionError("the status reference exited with %d: %s"
                                     % (drawn.returncode, drawn.stdout + drawn.stderr))
            with open(path, "rb") as ppm:
                data = ppm.read()
        width = int(data.split()[1])
        pixels = data[data.index(b"255\n") + 4:]
        x0, y0, x1, y1 = (device(length, scale) for length in STATUS_BOX)
        return {(x, y): tuple(pixels[3 * (y * width + x):3 * (y * width + x) + 3])
                for y in range(y0, y1) for x in range(x0, x1)}

    def wait_status(self, points, segments, scale=SCALE):
        """The first screenshot whose status region is the reference exactly."""
        expected = self.status_reference(points, segments, scale)
        # Text drawn with no font would match a window that shows none.
        if sum(is_dark(rgb) for rgb in expected.values()) < 100:
            raise AssertionError("the reference status lines show no text")
        def differing(shot):
            return sum(shot.device_pixel(x, y) != rgb for (x, y), rgb in expected.items())

        def seen():
            shot = self.shot()
            return "%d of %d pixels differ in a %d x %d window" % (
                differing(shot), len(expected), shot.width, shot.height)
        return self.wait_shot(lambda shot: differing(shot) == 0,
                              "the status lines for %d points and %d segments" % (points, segments),
                              seen=seen)
