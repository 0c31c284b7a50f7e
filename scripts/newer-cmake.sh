#!/usr/bin/env bash
# Prints the path of a CMake of at least the given version: the system's
# where it is new enough, else the one scripts/install-deps.sh unpacked into
# build-cmake/. Fails, naming the version, when there is neither.
#   scripts/newer-cmake.sh 3.28
set -euo pipefail
wanted=$1
root=$(cd "$(dirname "$0")/.." && pwd)
for cmake in cmake "$root/build-cmake/usr/bin/cmake"; do
  version=$("$cmake" --version 2>/dev/null | sed -n 's/^cmake version \([0-9.]*\).*/\1/p') || continue
  if [ -n "$version" ] && [ "$(printf '%s\n%s\n' "$wanted" "$version" | sort -V | head -n 1)" = "$wanted" ]; then
    command -v "$cmake"
    exit 0
  fi
done
echo "newer-cmake: no CMake $wanted or later (scripts/install-deps.sh sfml31-source finds one)" >&2
exit 1
