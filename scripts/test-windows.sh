#!/usr/bin/env bash
# Cross-builds the editor for 64-bit Windows (MinGW-w64, static SFML and
# FreeType) into build-windows/ and tests it under Wine: its links, imports and
# resources, the unit tests, the zip's contents, the e2e suites and the installer.
#   scripts/test-windows.sh SFML-2.6-ARCHIVE FREETYPE-ARCHIVE
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 SFML-2.6-ARCHIVE FREETYPE-ARCHIVE" >&2; exit 2; }
sfml=$(realpath "$1")
sfml_version=$(basename "$sfml" | sed -n 's/^SFML-\([0-9.]*[0-9]\)\.tar\.gz$/\1/p')
freetype=$(realpath "$2")
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
build=$PWD/build-windows

scripts/build-windows.sh "$sfml" "$freetype" "$build"
cmake --build "$build" -j"$(nproc)" --target curve_tests app_tests drawing_tests

# The FreeType linked: the one configure reports, and not SFML's bundled copy.
grep '^-- FreeType ' "$build/configure.log"
links=$(cat "$build/CMakeFiles/orrinade.dir/link.txt" "$build"/CMakeFiles/orrinade.dir/linkLibs.rsp 2>/dev/null)
grep -q 'freetype/lib/libfreetype.a' <<<"$links" && ! grep -q 'extlibs' <<<"$links" ||
  { echo "test-windows: orrinade.exe does not link the FreeType built here" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
(cd tests/windows && ORRINADE_EXE="$build/orrinade.exe" ORRINADE_VERSION="$version" \
  /usr/bin/python3 -m unittest -v test_resources)

imports=$(x86_64-w64-mingw32-objdump -p "$build/orrinade.exe" | awk '/DLL Name:/ { print $3 }')
# Any but the DLLs that come with every Windows.
foreign=$(grep -vxE '(ADVAPI32|GDI32|KERNEL32|msvcrt|OPENGL32|USER32|WINMM)\.dll' <<<"$imports" || true)
[ -z "$foreign" ] || { echo "test-windows: orrinade.exe needs" $foreign", which Windows lacks" >&2; exit 1; }
echo "orrinade.exe imports only system DLLs:" $imports

zip=$(ls "$build"/orrinade-*-win64.zip)
rm -rf "$build/unpacked"
/usr/bin/python3 - "$zip" "$build/unpacked" <<'PYTHON'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as archive:
    names = sorted(name.split("/", 1)[1] for name in archive.namelist() if not name.endswith("/"))
    wanted = ["LICENSE.txt", "README.txt", "licenses/DejaVu-fonts.txt", "licenses/FreeType.txt",
              "licenses/SFML.txt", "orrinade.exe", "segoeui.ttf"]
    if names != wanted:
        sys.exit("test-windows: the zip holds %s, not %s" % (names, wanted))
    archive.extractall(sys.argv[2])
PYTHON
unpacked=$(ls -d "$build"/unpacked/orrinade-*-win64)
echo "Packed $(basename "$zip")"

# No .NET or Gecko downloads, no menu entries on the host for Windows shortcuts.
export WINEPREFIX=$build/wine WINEDEBUG=-all WINEARCH=win64 \
  WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  scripts/with-xvfb.sh sh -c 'wineboot --init && wineserver --wait'
fi

# Wine's 64-bit loader, which Debian keeps off the PATH: "wine" may start reg 32-bit.
runner=wine
for loader in wine64 /usr/lib/wine/wine64; do
  if command -v "$loader" >/dev/null; then runner=$(command -v "$loader"); break; fi
done
echo "test-windows: Windows programs run through $runner"

# Each test program passes, having run a test (the drawing tests on an X display).
for program in curve_tests app_tests drawing_tests; do
  scripts/with-xvfb.sh "$runner" "$build/tests/$program.exe" | tee "$build/$program.log"
  grep -q '^\[  PASSED  \] [1-9]' "$build/$program.log" || { echo "$program.exe ran no test" >&2; exit 1; }
done

cd tests/e2e
# Windows' DPI for every monitor: Wine's LogPixels.
set_dpi() {
  "$runner" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
  wineserver -w
}
# suites SCALE MODULE...: the suites at SCALE x 96 DPI.
suites() {
  local scale=$1
  shift
  set_dpi "$(awk -v s="$scale" 'BEGIN { printf "%d", 96 * s + 0.5 }')"
  ORRINADE_SCALE=$scale ORRINADE_SFML_VERSION=$sfml_version ORRINADE_RUNNER=$runner ORRINADE_RUNNER_STOP="wineserver -k; wineserver -w" \
    ORRINADE_BIN="$unpacked/orrinade.exe" \
    ORRINADE_REFERENCE="$build/tests/status_reference.exe" \
    ORRINADE_INSTALLER="$build/orrinade-$version-win64-setup.exe" ORRINADE_VERSION="$version" \
    /usr/bin/python3 suite.py "$@"
}
suites 1 test_startup test_editing test_installer
suites 1.5 test_startup
suites 2 test_startup test_editing
# The window and frame in a panel-shortened work area (Wine's rcWork).
for scale in 1.25 1.5; do
  ORRINADE_DESKTOP=openbox-panel suites "$scale" test_startup -k test_window_and_frame_in_the_work_area
done
set_dpi 96
