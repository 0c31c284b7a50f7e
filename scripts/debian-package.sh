#!/usr/bin/env bash
# Builds the Debian source and binary packages as Debian builds them, in
# this system, then checks them: run it in a clean one, which gets only the
# source package's build dependencies before the build.
#   scripts/debian-package.sh
# In build-debian-package/, made by scripts/debian-build.sh:
# - orrinade_<upstream>.orig.tar.gz, the project as committed (git archive
#   of HEAD; debian/ is export-ignore), which configures without debian/;
# - dpkg-buildpackage makes orrinade_<version>.dsc, .debian.tar.xz and the
#   .deb (with the unit and drawing tests at build time), the upstream
#   version being project()'s in CMakeLists.txt at the release's tag and a
#   snapshot's (VERSION+gitYYYYMMDD.HASH) anywhere else, and dpkg-shlibdeps
#   warning of nothing;
# - lintian (--pedantic) finds no error or warning in either package, bar
#   newer-standards-version where this release's lintian does not know the
#   Standards-Version yet; every tag it gives is listed;
# - the .deb depends on its SFML and Debian's font, links that font under the
#   editor's name, ships both changelogs, and its AppStream metainfo and
#   desktop entry are valid;
# - autopkgtest runs the package's own tests (debian/tests) as Debian runs
#   them: in a system of this release made by mmdebstrap that holds only apt,
#   the .deb and the test's Depends (autopkgtest's chroot runner, with /proc,
#   /sys and /dev mounted in a mount namespace of its own).
set -euo pipefail
cd "$(dirname "$0")/.."
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
fail() { echo "debian-package: $*" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update >/dev/null
# Debian's build tools and git (which makes the orig tarball), then the
# source package's build dependencies alone.
"${as_root[@]}" apt-get install -y --no-install-recommends build-essential dpkg-dev git >/dev/null
"${as_root[@]}" apt-get build-dep -y --no-install-recommends ./ >/dev/null

# The orig tarball of HEAD and the packages, a snapshot's version where HEAD
# is not the release's tag; the project alone, without debian/, configures.
scripts/debian-build.sh
out=$PWD/build-debian-package
source=$(echo "$out"/orrinade-*/)
version=$(dpkg-parsechangelog -l "$source/debian/changelog" -SVersion)
cmake -S "$source" -B "$out/upstream-alone" -DORRINADE_BUILD_TESTS=OFF \
  -DORRINADE_BUILD_BENCHMARKS=OFF >/dev/null || fail "the project without debian/ does not configure"
! grep -E '^dpkg-shlibdeps: warning' "$out/build.log" || fail "dpkg-shlibdeps warned"
arch=$(dpkg --print-architecture)
deb=$out/orrinade_${version}_${arch}.deb
dsc=$out/orrinade_${version}.dsc
changes=$out/orrinade_${version}_${arch}.changes
echo "debian-package: built $(cd "$out" && ls ./*.orig.tar.gz ./*.dsc ./*.deb)"

# Checks with tools that are not build dependencies.
"${as_root[@]}" apt-get install -y --no-install-recommends lintian appstream desktop-file-utils \
  autopkgtest mmdebstrap >/dev/null
# A Standards-Version newer than this lintian knows is the one warning let
# pass, and only then.
standards=$(sed -n 's/^Standards-Version: *//p' debian/control)
known=(--suppress-tags newer-standards-version)
! grep -q "\"$standards[.\"]" /usr/share/lintian/data/debian-policy/releases.json 2>/dev/null || known=()
lintian --pedantic --display-info "${known[@]}" --fail-on error,warning "$changes" |
  tee "$out/lintian.log"
echo "debian-package: lintian $(dpkg-query -W -f '${Version}' lintian): $(grep -c . "$out/lintian.log") tags"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libsfml-graphics libsfml-window libsfml-system fonts-dejavu-core; do
  grep -q "$package" <<<"$depends" || fail "Depends lacks $package: $depends"
done
root=$out/unpacked
dpkg-deb -x "$deb" "$root"
[ "$(readlink "$root/usr/share/orrinade/segoeui.ttf")" = ../fonts/truetype/dejavu/DejaVuSans.ttf ] ||
  fail "the font is not Debian's, linked"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$root/usr/share/applications/orrinade.desktop"
grep -q '^License: Expat' "$root/usr/share/doc/orrinade/copyright"
zcat "$root/usr/share/doc/orrinade/changelog.gz" | cmp -s - CHANGELOG ||
  fail "the .deb's changelog.gz is not the project's CHANGELOG"
zcat "$root/usr/share/doc/orrinade/changelog.Debian.gz" | head -n 1 | grep -qF "($version)" ||
  fail "the .deb's changelog.Debian.gz is not debian/changelog"
echo "debian-package: the .deb's fields, font link, metainfo, desktop entry, copyright and changelogs are right"

# The package's own tests in a system of this release with nothing but apt:
# autopkgtest installs the .deb and the test's Depends there, as Debian's CI
# does. apt there uses this system's sources, proxy and downloaded packages
# (mmdebstrap leaves no package lists: autopkgtest -U fetches them).
testbed=$out/testbed
suite=$(awk '$1 == "deb" { print $3; exit }' /etc/apt/sources.list)
apt-config dump Acquire >"$out/apt-acquire.conf"
"${as_root[@]}" mmdebstrap --variant=apt --mode=root --aptopt="$out/apt-acquire.conf" \
  "$suite" "$testbed" - </etc/apt/sources.list >"$out/mmdebstrap.log" 2>&1 ||
  { tail -n 30 "$out/mmdebstrap.log" >&2; fail "mmdebstrap failed"; }
"${as_root[@]}" cp /etc/resolv.conf "$testbed/etc/resolv.conf"
# The mounts go with the namespace. Inside a chroot, whose root is no mount
# point, the namespace it runs in already keeps them from the host.
propagation=private
mountpoint -q / || propagation=unchanged
# shellcheck disable=SC2016 # expanded by the inner shell
"${as_root[@]}" unshare --mount --propagation "$propagation" -- sh -c '
  set -e
  testbed=$1
  shift
  mount -t proc proc "$testbed/proc"
  mount --rbind /sys "$testbed/sys"
  mount --rbind /dev "$testbed/dev"
  mount --bind /var/cache/apt/archives "$testbed/var/cache/apt/archives"
  exec autopkgtest -U "$@" -- chroot "$testbed"' sh "$testbed" "$deb" "$dsc"
