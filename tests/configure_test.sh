#!/usr/bin/env bash
# Configuring names ORRINADE_FONT when it finds no font, uses the one given, and
# stops on an SFML_DIR without SFML rather than take the system's.
#   configure_test.sh CMAKE FONT
set -euo pipefail
cmake=$1
font=$2
source=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
options=(-DORRINADE_BUILD_TESTS=OFF -DORRINADE_BUILD_BENCHMARKS=OFF)

if "$cmake" -S "$source" -B "$scratch/none" "${options[@]}" -DORRINADE_FC_MATCH=/nonexistent/fc-match \
     -DORRINADE_FONT_PLACES=/nonexistent/font.ttf >"$scratch/none.log" 2>&1; then
  echo "FAIL: configured with no font to be found" >&2
  exit 1
fi
grep -q -- "-DORRINADE_FONT=" "$scratch/none.log" || { cat "$scratch/none.log" >&2; exit 1; }

cp "$font" "$scratch/Chosen Font.ttf"
"$cmake" -S "$source" -B "$scratch/given" "${options[@]}" -DORRINADE_FC_MATCH=/nonexistent/fc-match \
  -DORRINADE_FONT_PLACES=/nonexistent/font.ttf "-DORRINADE_FONT=$scratch/Chosen Font.ttf" >/dev/null 2>&1
grep -qx "ORRINADE_FONT:FILEPATH=$scratch/Chosen Font.ttf" "$scratch/given/CMakeCache.txt"
if "$cmake" -S "$source" -B "$scratch/sfml" "${options[@]}" -DSFML_DIR="$scratch/no-sfml" \
     >"$scratch/sfml.log" 2>&1; then
  echo "FAIL: configured with an SFML_DIR that holds no SFML" >&2
  exit 1
fi
grep -q "SFML_DIR is $scratch/no-sfml" "$scratch/sfml.log" || { cat "$scratch/sfml.log" >&2; exit 1; }
echo ok
