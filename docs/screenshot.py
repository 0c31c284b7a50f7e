"""Makes docs/screenshot.png: the real editor in a private Xvfb server, with a
curve of five control points placed and one dragged by real X input.

    /usr/bin/python3 docs/screenshot.py [path/to/orrinade [OUT.png]]

It needs what ./test.sh installs (Xvfb, python3-xlib) and a build with the
tests (./test.sh's build/): beside the editor, build/orrinade by default, it
runs build/tests/status_reference, which draws the status lines the picture
is awaited with. OUT.png defaults to docs/screenshot.png."""
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
if len(sys.argv) > 1:
    os.environ["ORRINADE_BIN"] = os.path.abspath(sys.argv[1])
OUT = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else os.path.join(HERE, "screenshot.png")
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

from harness import EditorSession  # noqa: E402  (the path above comes first)


def write_png(path, shot):
    rows = b"".join(b"\0" + b"".join(bytes(shot.pixel(x, y)) for x in range(shot.width))
                    for y in range(shot.height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff))

    with open(path, "wb") as png:
        png.write(b"\x89PNG\r\n\x1a\n")
        png.write(chunk(b"IHDR", struct.pack(">IIBBBBB", shot.width, shot.height, 8, 2, 0, 0, 0)))
        png.write(chunk(b"IDAT", zlib.compress(rows, 9)))
        png.write(chunk(b"IEND", b""))


def main():
    s = EditorSession()
    try:
        s.start()
        # The first click starts the curve, the second ends it, each later one
        # becomes the second point.
        for point in [(80, 560), (580, 520), (520, 90), (330, 420), (150, 150)]:
            s.click(*point)
        s.press(330, 420)
        s.move(300, 380)
        s.release()
        s.key("Up", times=16)
        shot = s.wait_status(5, 32)
        write_png(OUT, shot)
        s.request_close()
        s.wait_exit()
    finally:
        s.close()


if __name__ == "__main__":
    main()
