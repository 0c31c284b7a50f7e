#!/usr/bin/env bash
# Cross-builds the editor for 64-bit Windows with MinGW-w64, SFML and
# FreeType built along from their release archives (static), into BUILD:
# orrinade.exe, orrinade-<version>-win64.zip and orrinade-<version>-win64-setup.exe.
#   scripts/build-windows.sh SFML-2.6-ARCHIVE FREETYPE-ARCHIVE BUILD
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 SFML-2.6-ARCHIVE FREETYPE-ARCHIVE BUILD" >&2; exit 2; }
sfml=$(realpath "$1")
freetype=$(realpath "$2")
build=$(realpath -m "$3")
cd "$(dirname "$0")/.."
# The packages' file times: the commit's, so that every build of it gives the
# same bytes (a given SOURCE_DATE_EPOCH stands).
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && git rev-parse --git-dir >/dev/null 2>&1; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
  export SOURCE_DATE_EPOCH
fi
mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DORRINADE_SFML_SOURCE="$sfml" \
  -DORRINADE_FREETYPE_SOURCE="$freetype" -DORRINADE_WERROR=ON -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=OFF |
  tee "$build/configure.log"
cmake --build "$build" -j"$(nproc)"
cmake --build "$build" --target installer
# As the README makes it: cpack itself packs in UTC at SOURCE_DATE_EPOCH.
(cd "$build" && cpack -G ZIP >/dev/null)
