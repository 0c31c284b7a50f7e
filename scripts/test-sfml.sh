#!/usr/bin/env bash
# Builds and tests the editor against an SFML release other than the
# system's, with warnings as errors:
#   scripts/test-sfml.sh ARCHIVE [C++ compiler]
# e.g. scripts/test-sfml.sh ~/Downloads/SFML-3.0.2.tar.gz clang++
# SFML is built once from ARCHIVE into build-<release>-<compiler>/sfml and
# kept there; the project is built beside it and every test suite is run
# (under a private Xvfb when there is no display).
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 ARCHIVE [C++ compiler]" >&2; exit 2; }
archive=$(realpath "$1")
cxx=${2:-g++}
cd "$(dirname "$0")/.."
scripts/install-deps.sh test sfml-source

release=$(basename "$archive" .tar.gz)
build=build-$release-$(basename "$cxx")
cache=$build/sfml
key="$(sha256sum "$archive" | cut -d' ' -f1) $cxx"
if [ "$(cat "$cache/key" 2>/dev/null)" != "$key" ]; then
  rm -rf "$cache"
  mkdir -p "$cache"
  tar xzf "$archive" -C "$cache"
  cmake -S "$cache/$release" -B "$cache/build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_COMPILER="$cxx" -DBUILD_SHARED_LIBS=ON \
    -DSFML_BUILD_AUDIO=OFF -DSFML_BUILD_NETWORK=OFF -DSFML_USE_SYSTEM_DEPS=ON \
    -DCMAKE_INSTALL_PREFIX="$PWD/$cache/prefix" >/dev/null
  cmake --build "$cache/build" -j"$(nproc)"
  cmake --install "$cache/build" >/dev/null
  rm -rf "$cache/build" "$cache/$release"
  echo "$key" >"$cache/key"
fi

cmake -S . -B "$build/project" -DCMAKE_CXX_COMPILER="$cxx" -DORRINADE_WERROR=ON \
  -DCMAKE_PREFIX_PATH="$PWD/$cache/prefix" | tee "$build/configure.log"
# The SFML pointed at, and not the system's.
version=${release#SFML-}
grep -q "^-- SFML $version: $PWD/$cache/prefix/" "$build/configure.log" ||
  { echo "test-sfml: the build did not take SFML $version from $cache/prefix" >&2; exit 1; }
cmake --build "$build/project" -j"$(nproc)"

# The editing suite on other desktops runs on the default build; here the
# start-up suite checks where each desktop puts the window.
run=(ctest --test-dir "$build/project" --output-on-failure -j2 -E '^e2e_editing_')
if [ -n "${DISPLAY:-}" ]; then
  "${run[@]}"
else
  scripts/with-xvfb.sh "${run[@]}"
fi
