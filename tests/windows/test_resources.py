"""orrinade.exe's icon and version resources, read back with wrestool.

    ORRINADE_EXE=orrinade.exe ORRINADE_VERSION=1.0.0 python3 -m unittest test_resources
"""
import os
import re
import struct
import subprocess
import unittest

EXE = os.environ.get("ORRINADE_EXE", "orrinade.exe")
VERSION = os.environ.get("ORRINADE_VERSION", "")
ICON_SIZES = [16, 24, 32, 48, 64, 256]
GROUP_ICON, VERSION_INFO = 14, 16
FIXED_INFO_SIGNATURE = 0xFEEF04BD


def resource(kind):
    """The raw bytes of the first resource of this type; empty when none."""
    return subprocess.run(["wrestool", "--extract", "--raw", "--type=%d" % kind, EXE],
                          check=False, capture_output=True).stdout


class Resources(unittest.TestCase):
    def test_icon_at_every_size_and_the_projects_version(self):
        # The icon directory: a 6-byte header, then 14 bytes an image, whose
        # first two give its width and height (0 for 256).
        group = resource(GROUP_ICON)
        self.assertGreaterEqual(len(group), 6, "no icon")
        count = struct.unpack_from("<H", group, 4)[0]
        sizes = sorted((group[6 + 14 * i] or 256, group[7 + 14 * i] or 256) for i in range(count))
        self.assertEqual(sizes, [(size, size) for size in ICON_SIZES])

        info = resource(VERSION_INFO)
        self.assertTrue(info, "no version resource")
        at = info.find(struct.pack("<I", FIXED_INFO_SIGNATURE))
        self.assertGreater(at, 0, "no fixed file information")
        file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", info, at + 8)
        numbers = "%d.%d.%d" % (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16)
        self.assertEqual(numbers, VERSION)
        self.assertEqual((product_ms, product_ls), (file_ms, file_ls))
        strings = info.decode("utf-16-le", "replace")
        for name, value in [("ProductName", "Orrinade"), ("FileVersion", VERSION),
                            ("ProductVersion", VERSION), ("OriginalFilename", "orrinade.exe")]:
            self.assertRegex(strings, re.escape(name) + "\0+" + re.escape(value) + "\0")


if __name__ == "__main__":
    unittest.main()
