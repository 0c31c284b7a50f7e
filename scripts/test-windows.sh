#!/usr/bin/env bash
# Cross-builds the editor for 64-bit Windows with MinGW-w64, with SFML built
# along from its release archive (static, with the FreeType it bundles), and
# tests the result as a Windows user gets it:
#   - orrinade.exe imports nothing but DLLs every Windows has;
#   - orrinade-<version>-win64.zip holds the .exe, its font, a README and the
#     licences;
#   - the .exe unpacked from the zip passes the end-to-end suite under Wine,
#     in private Xvfb servers.
#   scripts/test-windows.sh [SFML 2.6 ARCHIVE]
# Everything, SFML and the Wine prefix included, is kept in build-windows/.
set -euo pipefail
archive=$(realpath "${1:-$(dirname "$0")/../../shared/deps/SFML-2.6.2.tar.gz}")
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
build=$PWD/build-windows

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DORRINADE_SFML_SOURCE="$archive" \
  -DORRINADE_WERROR=ON -DORRINADE_BUILD_BENCHMARKS=OFF
cmake --build "$build" -j"$(nproc)"

# DLLs that come with every Windows.
system_dlls=" ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll OPENGL32.dll USER32.dll WINMM.dll "
imports=$(x86_64-w64-mingw32-objdump -p "$build/orrinade.exe" | awk '/DLL Name:/ { print $3 }')
for dll in $imports; do
  case "$system_dlls" in
    *" $dll "*) ;;
    *) echo "test-windows: orrinade.exe needs $dll, which Windows does not have" >&2; exit 1 ;;
  esac
done
echo "orrinade.exe imports only system DLLs:" $imports

(cd "$build" && cpack -G ZIP >/dev/null)
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

export WINEPREFIX=$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=d;mshtml=d" WINEARCH=win64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  scripts/with-xvfb.sh sh -c 'wineboot --init && wineserver --wait'
fi

cd tests/e2e
ORRINADE_RUNNER=wine ORRINADE_RUNNER_STOP="wineserver -k; wineserver -w" \
  ORRINADE_BIN="$unpacked/orrinade.exe" \
  ORRINADE_REFERENCE="$build/tests/status_reference.exe" \
  /usr/bin/python3 -m unittest -v test_startup test_editing
