#!/usr/bin/env bash
# Builds the packages twice, the second time varied as reprotest varies a
# build (another build path, umask 002, another time zone, locale and HOME,
# the clock 540 days ahead), SOURCE_DATE_EPOCH the same both times, and fails
# unless they are identical to the bit; diffoscope's report says where not.
#   scripts/reproducible.sh deb [FIRST]
#       the .debs from the source package (its build dependencies installed)
#   scripts/reproducible.sh windows SFML-2.6-ARCHIVE FREETYPE-ARCHIVE [FIRST]
#       orrinade.exe, the zip and the installer
# FIRST: a plain build already made (the folder that holds its .debs, or
# scripts/build-windows.sh's build folder), taken as the first build.
# The builds made here are kept in build-reproducible/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
kind=${1:-}
work=$root/build-reproducible/$kind
rm -rf "$work"
mkdir -p "$work/home-a" "$work/home-b"
# The source as committed where it is a git clone; else the tree as it is.
copy_source() {
  mkdir -p "$1"
  if [ -d .git ] && command -v git >/dev/null; then
    git archive HEAD | tar -x -C "$1"
  else
    tar --exclude='./build*' --exclude='./obj-*' -cf - . | tar -x -C "$1"
  fi
}
# first COMMAND..., second COMMAND...: the plain build and the varied one.
first() { (umask 022; export TZ=UTC LC_ALL=C.UTF-8 HOME=$work/home-a; "$@"); }
second() {
  (umask 002; export TZ=Etc/GMT-14 LC_ALL=POSIX HOME=$work/home-b
   faketime -f '+540d' "$@")
}
case $kind in
  deb)
    # Without the build-time tests, which change nothing in the package.
    export SOURCE_DATE_EPOCH DEB_BUILD_OPTIONS=nocheck
    SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -STimestamp)
    a=${2:-}
    if [ -z "$a" ]; then
      a=$work/a
      copy_source "$a/orrinade"
      (cd "$a/orrinade" && first dpkg-buildpackage -us -uc -b >"$work/a.log" 2>&1)
    fi
    b=$work/b/elsewhere/deeper
    copy_source "$b/orrinade"
    (cd "$b/orrinade" && second dpkg-buildpackage -us -uc -b >"$work/b.log" 2>&1) ||
      { tail -n 40 "$work/b.log" >&2; exit 1; }
    pairs=()
    for deb in "$a"/*.deb; do pairs+=("$deb" "$b/$(basename "$deb")"); done ;;
  windows)
    [ $# -ge 3 ] || { echo "usage: $0 windows SFML-2.6-ARCHIVE FREETYPE-ARCHIVE [FIRST]" >&2; exit 2; }
    sfml=$(realpath "$2") freetype=$(realpath "$3")
    export SOURCE_DATE_EPOCH
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    a=${4:-}
    if [ -z "$a" ]; then
      a=$work/a/build
      copy_source "$work/a/orrinade"
      first "$work/a/orrinade/scripts/build-windows.sh" "$sfml" "$freetype" "$a" >"$work/a.log" 2>&1
    fi
    copy_source "$work/b/elsewhere/deeper/orrinade"
    second "$work/b/elsewhere/deeper/orrinade/scripts/build-windows.sh" "$sfml" "$freetype" \
      "$work/b/build" >"$work/b.log" 2>&1 || { tail -n 40 "$work/b.log" >&2; exit 1; }
    pairs=()
    for file in orrinade.exe orrinade-*-win64.zip orrinade-*-win64-setup.exe; do
      for built in "$a"/$file; do pairs+=("$built" "$work/b/build/$(basename "$built")"); done
    done ;;
  *) echo "usage: $0 deb [FIRST] | windows SFML-2.6-ARCHIVE FREETYPE-ARCHIVE [FIRST]" >&2; exit 2 ;;
esac

differ=0
set -- "${pairs[@]}"
while [ $# -gt 0 ]; do
  a=$1 b=$2
  shift 2
  if cmp -s "$a" "$b"; then
    echo "reproducible: $(basename "$a") $(sha256sum <"$a" | cut -d' ' -f1)"
  else
    differ=1
    echo "reproducible: $(basename "$a") differs between the two builds" >&2
    diffoscope --text "$work/$(basename "$a").diffoscope.txt" "$a" "$b" >/dev/null 2>&1 || true
    head -n 60 "$work/$(basename "$a").diffoscope.txt" >&2 || true
  fi
done
exit "$differ"
