#!/usr/bin/env bash
# Builds and tests the editor against an SFML release other than the
# system's, with warnings as errors:
#   scripts/test-sfml.sh ARCHIVE [C++ compiler [SHEENBIDI_ARCHIVE]]
# e.g. scripts/test-sfml.sh ~/Downloads/SFML-3.0.2.tar.gz clang++
# SFML is built once from ARCHIVE with the system's compiler, as a
# distribution builds it, kept in build-<release>/sfml for every compiler; the
# project is built in build-<release>-<compiler>/ and every suite run (under
# a private Xvfb where there is no display). SFML 3.1+ builds SheenBidi from
# SHEENBIDI_ARCHIVE, else a clone, and needs CMake 3.28, which install-deps.sh
# unpacks aside where the system's is older.
set -euo pipefail
skip='^e2e_(editing|mapping)_'
[ $# -ge 1 ] || { echo "usage: $0 ARCHIVE [C++ compiler [SHEENBIDI_ARCHIVE]]" >&2; exit 2; }
archive=$(realpath "$1")
cxx=${2:-g++}
sheenbidi=${3:+$(realpath "$3")}
cd "$(dirname "$0")/.."

release=$(basename "$archive" .tar.gz)
version=${release#SFML-}
cmake=cmake ctest=ctest
if [ "$(printf '3.1\n%s\n' "$version" | sort -V | head -n 1)" = 3.1 ]; then
  scripts/install-deps.sh test sfml31-source
  cmake=$(scripts/newer-cmake.sh 3.28)
  ctest=$(dirname "$cmake")/ctest
else
  scripts/install-deps.sh test sfml-source
  sheenbidi=  # older releases do without it
fi

build=build-$release-$(basename "$cxx")
cache=build-$release/sfml
mkdir -p "$build"
key="$(sha256sum "$archive" ${sheenbidi:+"$sheenbidi"} | cut -d' ' -f1 | tr '\n' ' ')"
if [ "$(cat "$cache/key" 2>/dev/null)" != "$key" ]; then
  rm -rf "$cache"
  mkdir -p "$cache"
  tar xzf "$archive" -C "$cache"
  sheenbidi_options=()
  if [ -n "$sheenbidi" ]; then
    # SFML's own patch makes SheenBidi a library built along with SFML.
    tar xzf "$sheenbidi" -C "$cache"
    sheenbidi_dir=$(realpath "$cache"/SheenBidi-*)
    "$cmake" -DSHEENBIDI_DIR="$sheenbidi_dir" -P "$cache/$release/tools/sheenbidi/PatchSheenBidi.cmake"
    sheenbidi_options=(-DFETCHCONTENT_SOURCE_DIR_SHEENBIDI="$sheenbidi_dir")
  fi
  start=$SECONDS
  "$cmake" -S "$cache/$release" -B "$cache/build" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DSFML_BUILD_AUDIO=OFF -DSFML_BUILD_NETWORK=OFF -DSFML_USE_SYSTEM_DEPS=ON \
    "${sheenbidi_options[@]}" -DCMAKE_INSTALL_PREFIX="$PWD/$cache/prefix" >/dev/null
  "$cmake" --build "$cache/build" -j"$(nproc)"
  "$cmake" --install "$cache/build" >/dev/null
  echo "test-sfml: SFML $version built in $((SECONDS - start)) s"
  rm -rf "$cache/build" "$cache/$release" "$cache"/SheenBidi-*
  echo "$key" >"$cache/key"
fi

"$cmake" -S . -B "$build/project" -DCMAKE_CXX_COMPILER="$cxx" -DORRINADE_WERROR=ON -DORRINADE_BUILD_TESTS=ON \
  -DCMAKE_PREFIX_PATH="$PWD/$cache/prefix" | tee "$build/configure.log"
# The SFML pointed at, and not the system's.
grep -q "^-- SFML $version: $PWD/$cache/prefix/" "$build/configure.log" ||
  { echo "test-sfml: the build did not take SFML $version from $cache/prefix" >&2; exit 1; }
"$cmake" --build "$build/project" -j"$(nproc)"

# The editing suite on other desktops runs on the default build; here the
# start-up suite checks where each desktop puts the window.
run=("$ctest" --test-dir "$build/project" --output-on-failure --no-tests=error -j2 -E "$skip")
[ -n "${DISPLAY:-}" ] || run=(scripts/with-xvfb.sh "${run[@]}")
"${run[@]}" | tee "$build/ctest.log"
PATH=$(dirname "$(command -v "$ctest")"):$PATH scripts/ran-all.sh "$build/project" "$build/ctest.log" -E "$skip"
