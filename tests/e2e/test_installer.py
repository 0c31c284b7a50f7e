"""The Windows installer under Wine: installs silently into a fresh prefix, the
editor starts as its shortcut starts it, and it uninstalls leaving nothing.

    ORRINADE_RUNNER=wine64 ORRINADE_INSTALLER=orrinade-<version>-win64-setup.exe \
    ORRINADE_VERSION=<version> WINEPREFIX=<an initialised prefix> python3 -m unittest test_installer
"""
import os
import shutil
import struct
import subprocess
import tempfile
import unittest

from harness import EditorCase
from runner import run_through_runner

INSTALLER = os.environ.get("ORRINADE_INSTALLER")
VERSION = os.environ.get("ORRINADE_VERSION", "")
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
# The installer writes the 64-bit registry view.
REG_QUERY = ["reg", "query", UNINSTALL + r"\Orrinade", "/reg:64"]
REG_LIST = ["reg", "query", UNINSTALL, "/reg:64"]
SHORTCUT = "ProgramData/Microsoft/Windows/Start Menu/Programs/Orrinade.lnk"
INSTALLED = ["LICENSE.txt", "README.txt", "licenses/DejaVu-fonts.txt", "licenses/FreeType.txt",
             "licenses/SFML.txt", "orrinade.exe", "segoeui.ttf", "uninstall.exe"]


def shortcut_target(path):
    """(target, working folder) of a Windows shortcut (.lnk)."""
    with open(path, "rb") as lnk:
        data = lnk.read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    is_unicode, width = (True, 2) if flags & 0x80 else (False, 1)
    at = 0x4C
    if flags & 0x1:  # an item ID list
        at += 2 + struct.unpack_from("<H", data, at)[0]
    target = None
    if flags & 0x2:  # LinkInfo
        size = struct.unpack_from("<I", data, at)[0]
        base = at + struct.unpack_from("<I", data, at + 16)[0]
        target = data[base:data.index(b"\0", base)].decode("mbcs" if os.name == "nt" else "latin-1")
        at += size
    # Name, relative path, working folder, arguments, icon: each if flagged.
    strings = {}
    for bit, name in [(0x4, "name"), (0x8, "relative"), (0x10, "folder"), (0x20, "arguments"),
                      (0x40, "icon")]:
        if flags & bit:
            count = struct.unpack_from("<H", data, at)[0]
            raw = data[at + 2:at + 2 + count * width]
            # Counted strings; Wine counts a closing NUL as well.
            strings[name] = raw.decode("utf-16-le" if is_unicode else "latin-1").rstrip("\0")
            at += 2 + count * width
    return target, strings.get("folder")


@unittest.skipUnless(INSTALLER, "no installer given (ORRINADE_INSTALLER)")
class Installer(EditorCase):
    START = False

    def setUp(self):
        scratch = tempfile.mkdtemp(prefix="orrinade-wine-")
        self.addCleanup(shutil.rmtree, scratch, ignore_errors=True)
        prefix = os.path.join(scratch, "prefix")
        # Copy only once the wineserver, which rewrites the registry, has ended.
        subprocess.run(["wineserver", "-w"], check=True, timeout=120)
        shutil.copytree(os.environ["WINEPREFIX"], prefix, symlinks=True)
        self.addCleanup(os.environ.__setitem__, "WINEPREFIX", os.environ["WINEPREFIX"])
        os.environ["WINEPREFIX"] = prefix
        self.drive = os.path.join(prefix, "drive_c")
        super().setUp()

    def wine(self, *command, check=True):
        """Runs a Windows program and waits until every Wine process has ended."""
        env = dict(os.environ, DISPLAY=self.session.name)
        result = run_through_runner(list(command), env=env, timeout=120)
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=120)
        if check and result.returncode != 0:
            raise AssertionError("%s exited with %d: %s" % (command, result.returncode, result.stderr))
        return result

    def uninstall_entries(self):
        """The names of the Apps & features entries; reg must answer."""
        listing = self.wine(*REG_LIST).stdout
        prefix = "HKEY_LOCAL_MACHINE" + UNINSTALL[len("HKLM"):] + "\\"
        return {line.strip()[len(prefix):] for line in listing.splitlines()
                if line.strip().lower().startswith(prefix.lower())}

    def unix(self, windows_path):
        self.assertTrue(windows_path.upper().startswith("C:\\"), windows_path)
        return os.path.join(self.drive, *windows_path[3:].split("\\"))

    def test_installs_runs_from_its_shortcut_and_uninstalls_silently(self):
        s = self.session
        self.wine(INSTALLER, "/S")
        folder = os.path.join(self.drive, "Program Files", "Orrinade")
        found = sorted(os.path.relpath(os.path.join(top, name), folder)
                       for top, _, names in os.walk(folder) for name in names)
        self.assertEqual(found, INSTALLED)
        self.assertIn("Orrinade", self.uninstall_entries())
        key = self.wine(*REG_QUERY).stdout
        for name, value in [("DisplayName", "Orrinade"), ("DisplayVersion", VERSION),
                            ("Publisher", "The Orrinade developers"),
                            ("DisplayIcon", r"C:\Program Files\Orrinade\orrinade.exe,0"),
                            ("UninstallString", r'"C:\Program Files\Orrinade\uninstall.exe"')]:
            self.assertRegex(key, r"\s%s\s+REG_SZ\s+%s\r?\n" % (name, value.replace("\\", r"\\")))

        # Started as the shortcut starts it: its target, in its folder.
        target, working = shortcut_target(os.path.join(self.drive, SHORTCUT))
        self.assertEqual(self.unix(working), folder)
        self.start_and_check(s, cwd=self.unix(working), program=self.unix(target))
        s.place((100, 100), (500, 100), (300, 500))
        s.wait_shot(lambda shot: shot.dark_near(300, 300), "the curve through (300, 300)")
        s.wait_status(3, 16)
        self.assert_closes(s)

        self.wine(os.path.join(folder, "uninstall.exe"), "/S")
        self.assertFalse(os.path.exists(folder), "the install folder is left")
        self.assertFalse(os.path.exists(os.path.join(self.drive, SHORTCUT)), "the shortcut is left")
        self.assertNotIn("Orrinade", self.uninstall_entries(), "the Apps & features entry is left")


if __name__ == "__main__":
    unittest.main()
