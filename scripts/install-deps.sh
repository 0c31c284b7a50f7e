#!/usr/bin/env bash
# Installs, from Debian's packages, whatever is missing for the given uses:
#   scripts/install-deps.sh          building and running the editor
#   scripts/install-deps.sh test     also the tests and benchmarks
# Works as root or through sudo; does nothing when all is present.
set -euo pipefail

packages=(cmake make g++ libsfml-dev fonts-dejavu-core)
for use in "$@"; do
  case "$use" in
    test) packages+=(libgtest-dev libbenchmark-dev xvfb xdotool python3 python3-xlib
                clang libclang-rt-14-dev) ;;
    *) echo "install-deps: unknown use '$use'" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
