#!/usr/bin/env bash
# Builds the packages once more, varied by reprotest (Debian's own tool) in
# every way it knows that works here, against a plain build made before,
# and fails unless they are identical to the bit; diffoscope's report says
# where not.
#   scripts/reproducible.sh deb [DIR]
#       the .debs from the source package in DIR (scripts/debian-package.sh's
#       build-debian-package/: the .dsc and the .debs built from it, plainly)
#   scripts/reproducible.sh windows SFML-2.6-ARCHIVE FREETYPE-ARCHIVE [FIRST]
#       orrinade.exe, the zip (made as the README makes it, `cpack -G ZIP`)
#       and the installer; FIRST: scripts/build-windows.sh's build folder of a
#       plain build, else one is made here first
# The variations: build path, file order (disorderfs, where FUSE is), user
# and group (a user of their own, through sudo), HOME (a missing one), time
# zone, locale (et_EE.UTF-8, which sorts differently), umask, kernel (uname
# through setarch), ASLR, CPU count (one CPU against the plain build's
# all), PATH, host and domain name (a UTS namespace), further environment
# variables, and the clock (faketime, 400 days ahead). reprotest names any it
# cannot apply. SOURCE_DATE_EPOCH is the same both times, as a package build
# gives it.
# The builds are kept in build-reproducible/KIND/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
kind=${1:-}
work=$root/build-reproducible/$kind
rm -rf "$work"
# reprotest compares the files it keeps under source-root/ with these.
control=$work/control/source-root
mkdir -p "$control"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
# The clock: always ahead (reprotest leaves it alone at random, or where the
# sources are old). The CPU count: the varied build gets one CPU, the plain
# one had the machine's (reprotest varies it only upwards from its own
# control build's).
variations="+all,-num_cpus,time.faketimes+=+400days"
# Another user needs reprotest's sudo: Debian 12's reprotest runs
# "sudo -h localhost", which its sudo refuses. There the build keeps the
# user, and a user namespace of its own gives it the other host name.
if sudo -h localhost true 2>/dev/null; then
  # The user and group the varied build runs as.
  builder=orrinade-builder
  id "$builder" >/dev/null 2>&1 || "${as_root[@]}" useradd --system --user-group --no-create-home "$builder"
  variations+=",user_group.available+=$builder:$builder,domain_host.use_sudo=1"
else
  variations+=",-user_group"
  echo "reproducible: the user and group are not varied: this reprotest's sudo -h localhost fails"
fi
# reprotest SOURCE ARTIFACTS [OPTIONS...]: the varied build, compared with
# the files in $work/control.
varied() {
  local source=$1 artifacts=$2
  shift 2
  taskset -c 0 reprotest --verbosity 1 --variations "$variations" \
    --control-build "$work/control" --store-dir "$work/out" "$@" "$source" "$artifacts" -- null \
    >"$work/reprotest.log" 2>&1
}
case $kind in
  deb)
    from=$(realpath "${2:-build-debian-package}")
    dsc=$(echo "$from"/orrinade_*.dsc)
    [ -f "$dsc" ] || { echo "reproducible: no source package in $from (scripts/debian-package.sh)" >&2; exit 2; }
    cp "$from"/*.deb "$control/"
    # Without the build-time tests, which change nothing in the package.
    status=0
    DEB_BUILD_OPTIONS=nocheck varied "$dsc" '*.*deb' || status=$? ;;
  windows)
    [ $# -ge 3 ] || { echo "usage: $0 windows SFML-2.6-ARCHIVE FREETYPE-ARCHIVE [FIRST]" >&2; exit 2; }
    sfml=$(realpath "$2") freetype=$(realpath "$3")
    export SOURCE_DATE_EPOCH
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    first=${4:-}
    if [ -z "$first" ]; then
      first=$work/first/build
      mkdir -p "$work/first/orrinade"
      git archive HEAD | tar -x -C "$work/first/orrinade"
      "$work/first/orrinade/scripts/build-windows.sh" "$sfml" "$freetype" "$first" >"$work/first.log" 2>&1
    fi
    mkdir -p "$control/build"
    cp "$first"/orrinade.exe "$first"/orrinade-*-win64.zip "$first"/orrinade-*-win64-setup.exe "$control/build/"
    mkdir -p "$work/source"
    git archive HEAD | tar -x -C "$work/source"
    status=0
    varied "$work/source" 'build/orrinade.exe build/orrinade-*-win64.zip build/orrinade-*-win64-setup.exe' \
      -c "scripts/build-windows.sh '$sfml' '$freetype' build" || status=$? ;;
  *) echo "usage: $0 deb [DIR] | windows SFML-2.6-ARCHIVE FREETYPE-ARCHIVE [FIRST]" >&2; exit 2 ;;
esac
grep -E '^(WARNING|ERROR|INFO):reprotest[.a-z]*:.*(variation|IGNORING|Not using|vary)' "$work/reprotest.log" || true

# Each file's sha256 in both builds (reprotest stores the varied one's).
find "$control" -type f -printf '%P\n' | sort | while read -r file; do
  echo "reproducible: plain $file $(sha256sum <"$control/$file" | cut -d' ' -f1)"
done
sed 's/^/reproducible: varied /' "$work/out/SHA256SUMS" 2>/dev/null || true
if [ "$status" -ne 0 ]; then
  tail -n 80 "$work/reprotest.log" >&2
  echo "reproducible: the varied $kind build differs (or failed): $work/reprotest.log" >&2
fi
exit "$status"
