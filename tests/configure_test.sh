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
no_font=(-DORRINADE_FC_MATCH=/nonexistent/fc-match -DORRINADE_FONT_PLACES=/nonexistent/font.ttf)
# stops NAME TEXT OPTION...: configuring with OPTIONs fails, and its output holds TEXT.
stops() {
  if "$cmake" -S "$source" -B "$scratch/$1" "${options[@]}" "${@:3}" >"$scratch/$1.log" 2>&1; then
    echo "FAIL: $1: configured with ${*:3}" >&2
    exit 1
  fi
  grep -qF -- "$2" "$scratch/$1.log" || { cat "$scratch/$1.log" >&2; exit 1; }
}

stops none "-DORRINADE_FONT=" "${no_font[@]}"
cp "$font" "$scratch/Chosen Font.ttf"
"$cmake" -S "$source" -B "$scratch/given" "${options[@]}" "${no_font[@]}" \
  "-DORRINADE_FONT=$scratch/Chosen Font.ttf" >/dev/null 2>&1
grep -qx "ORRINADE_FONT:FILEPATH=$scratch/Chosen Font.ttf" "$scratch/given/CMakeCache.txt"
stops sfml "SFML_DIR is $scratch/no-sfml" -DSFML_DIR="$scratch/no-sfml"
echo ok
