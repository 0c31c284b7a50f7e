#!/usr/bin/env bash
# Builds the Debian source and binary packages as Debian builds them, in
# this system, then checks them: run it in a clean one, which gets only the
# source package's build dependencies before the build.
#   scripts/debian-package.sh
# - dpkg-buildpackage makes orrinade_<version>.dsc, .tar.xz and the .deb
#   (with the unit and drawing tests at build time), in build-debian-package/;
# - lintian finds no error or warning in either package (its informational
#   tags are listed);
# - the .deb depends on its SFML and Debian's font, links that font under the
#   editor's name, and its AppStream metainfo and desktop entry are valid;
# - autopkgtest runs the package's own tests (debian/tests) against the .deb
#   installed in this system.
set -euo pipefail
cd "$(dirname "$0")/.."
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update >/dev/null
# Debian's build tools, then the source package's build dependencies alone.
"${as_root[@]}" apt-get install -y --no-install-recommends build-essential dpkg-dev >/dev/null
"${as_root[@]}" apt-get build-dep -y --no-install-recommends ./ >/dev/null
out=$PWD/build-debian-package
rm -rf "$out"
mkdir -p "$out"
# The tree as it is, without builds or git, in a folder of its own: the
# packages land beside it.
source=$out/orrinade
mkdir -p "$source"
tar --exclude='./build*' --exclude='./obj-*' --exclude='./.git' -cf - . | tar -x -C "$source"
(cd "$source" && dpkg-buildpackage -us -uc)
version=$(dpkg-parsechangelog -SVersion)
arch=$(dpkg --print-architecture)
deb=$out/orrinade_${version}_${arch}.deb
changes=$out/orrinade_${version}_${arch}.changes
echo "debian-package: built $(cd "$out" && ls ./*.dsc ./*.deb)"

# Checks with tools that are not build dependencies.
"${as_root[@]}" apt-get install -y --no-install-recommends lintian appstream desktop-file-utils \
  autopkgtest >/dev/null
lintian --info --display-info --fail-on error,warning "$changes"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libsfml-graphics libsfml-window libsfml-system fonts-dejavu-core; do
  grep -q "$package" <<<"$depends" || { echo "debian-package: Depends lacks $package: $depends" >&2; exit 1; }
done
root=$out/unpacked
dpkg-deb -x "$deb" "$root"
[ "$(readlink "$root/usr/share/orrinade/segoeui.ttf")" = ../fonts/truetype/dejavu/DejaVuSans.ttf ] ||
  { echo "debian-package: the font is not Debian's, linked" >&2; exit 1; }
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$root/usr/share/applications/orrinade.desktop"
grep -q '^License: Expat' "$root/usr/share/doc/orrinade/copyright"
echo "debian-package: the .deb's fields, font link, metainfo, desktop entry and copyright are right"

# The package's own tests, against the .deb installed here.
autopkgtest "$deb" "$out/orrinade_${version}.dsc" -- null
