"""The editor as users install it: a `cmake --install` tree, moved after
installing, and the .deb unpacked without installing it. Each starts from an
empty working directory, shows its window and status lines, and closes with
status 0."""
import os
import shutil
import subprocess
import tempfile
import unittest

from harness import EditorCase
from options import BUILD_DIR, WINDOW_SIZE

CMAKE = os.environ.get("ORRINADE_CMAKE", "cmake")
CPACK = os.environ.get("ORRINADE_CPACK", "cpack")
# Set when the build links the system's SFML, which the .deb can depend on.
DEB = os.environ.get("ORRINADE_DEB") == "1"


class Installed(EditorCase):
    START = False

    def run_from_empty_folder(self, launcher):
        s = self.session
        with tempfile.TemporaryDirectory(prefix="orrinade-") as empty:
            window = s.start(cwd=empty, program=launcher)
            self.assertEqual(window.get_wm_name(), "Orrinade")
            self.assertEqual(s.size(), WINDOW_SIZE)
            s.wait_status(0, 16)
            s.request_close()
            self.assertEqual(s.wait_exit(), 0)

    def test_install_tree_works_where_it_is_moved(self):
        with tempfile.TemporaryDirectory(prefix="orrinade-") as folder:
            installed = os.path.join(folder, "installed")
            subprocess.run([CMAKE, "--install", BUILD_DIR, "--prefix", installed,
                            "--component", "orrinade"], check=True, stdout=subprocess.DEVNULL)
            moved = os.path.join(folder, "moved")
            shutil.move(installed, moved)
            self.assertFalse(os.path.islink(os.path.join(moved, "share", "orrinade", "segoeui.ttf")))
            self.run_from_empty_folder(os.path.join(moved, "bin", "orrinade"))
            subprocess.run(["desktop-file-validate",
                            os.path.join(moved, "share", "applications", "orrinade.desktop")],
                           check=True)
            page = subprocess.run(["man", "-M", os.path.join(moved, "share", "man"), "-w", "orrinade"],
                                  check=True, capture_output=True, text=True).stdout.strip()
            self.assertEqual(page, os.path.join(moved, "share", "man", "man1", "orrinade.1.gz"))
            self.assertTrue(os.path.isfile(
                os.path.join(moved, "share", "icons", "hicolor", "scalable", "apps", "orrinade.svg")))

    @unittest.skipUnless(DEB, "the build's SFML is not the system's, which a .deb depends on")
    def test_deb_unpacked_runs_and_depends_on_its_sfml(self):
        with tempfile.TemporaryDirectory(prefix="orrinade-") as folder:
            subprocess.run([CPACK, "-G", "DEB", "-B", folder], cwd=BUILD_DIR, check=True,
                           stdout=subprocess.DEVNULL)
            deb, = [os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(".deb")]
            fields = {field: subprocess.run(["dpkg-deb", "-f", deb, field], check=True,
                                            capture_output=True, text=True).stdout.strip()
                      for field in ("Version", "Depends")}
            self.assertEqual(fields["Version"], os.environ.get("ORRINADE_VERSION"))
            for package in ("libsfml-graphics", "libsfml-window", "libsfml-system",
                            "fonts-dejavu-core"):
                self.assertIn(package, fields["Depends"])
            # As a distribution would take it: lintian finds no error or
            # warning, and software centres get valid AppStream metainfo.
            lintian = subprocess.run(["lintian", deb], capture_output=True, text=True)
            self.assertEqual([line for line in lintian.stdout.splitlines()
                              if line.startswith(("E:", "W:"))], [], lintian.stdout)
            self.assertEqual(lintian.returncode, 0, lintian.stdout + lintian.stderr)
            root = os.path.join(folder, "root")
            subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
            metainfo = os.path.join(root, "usr/share/metainfo/io.github.orrinade.orrinade.metainfo.xml")
            subprocess.run(["appstreamcli", "validate", "--no-net", metainfo], check=True,
                           stdout=subprocess.DEVNULL)
            copyright_text = open(os.path.join(root, "usr/share/doc/orrinade/copyright")).read()
            self.assertIn("MIT License", copyright_text)
            self.assertIn("Bitstream Vera", copyright_text)
            # Debian's font, linked from its package under the editor's name;
            # the package it depends on brings the file.
            self.assertEqual(os.readlink(os.path.join(root, "usr/share/orrinade/segoeui.ttf")),
                             "../fonts/truetype/dejavu/DejaVuSans.ttf")
            fonts = os.path.join(root, "usr/share/fonts/truetype/dejavu")
            os.makedirs(fonts)
            shutil.copy("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", fonts)
            self.run_from_empty_folder(os.path.join(root, "usr", "bin", "orrinade"))


if __name__ == "__main__":
    unittest.main()
