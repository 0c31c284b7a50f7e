"""A moved `cmake --install` tree and the package's launcher (ORRINADE_INSTALLED)
each start from an empty folder, show their window and close with status 0."""
import os
import shutil
import subprocess
import tempfile
import unittest

from harness import EditorCase
from options import BUILD_DIR

CMAKE = os.environ.get("ORRINADE_CMAKE", "cmake")
INSTALLED = os.environ.get("ORRINADE_INSTALLED")


class Installed(EditorCase):
    START = False

    def run_from_empty_folder(self, launcher):
        with tempfile.TemporaryDirectory(prefix="orrinade-") as empty:
            self.start_and_check(self.session, cwd=empty, program=launcher)
            self.assert_closes(self.session)

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

    @unittest.skipUnless(INSTALLED, "no installed package named (ORRINADE_INSTALLED)")
    def test_installed_package_starts_from_its_launcher(self):
        self.run_from_empty_folder(INSTALLED)


if __name__ == "__main__":
    unittest.main()
