#!/usr/bin/env bash
# Builds the Debian source and binary packages of the committed HEAD as
# Debian builds them, unsigned, into build-debian-package/ (needs the
# source package's build dependencies: sudo apt-get build-dep ./):
# - orrinade_<upstream>.orig.tar.gz, git archive of HEAD (debian/ is
#   export-ignore), unpacked, and HEAD's debian/ put beside it;
# - dpkg-buildpackage's .dsc, .debian.tar.xz, .changes and .deb.
# Where HEAD is the release's tag vVERSION (project()'s version), the
# package is that release, and debian/changelog's top entry must be for it.
# Anywhere else it is a snapshot: its upstream version is
# VERSION+gitYYYYMMDD.HASH (the commit's date in UTC and short hash), set in
# the copied changelog's top entry, so that no package built between
# releases claims to be one.
set -euo pipefail
cd "$(dirname "$0")/.."
fail() { echo "debian-build: $*" >&2; exit 1; }

project=$(git show HEAD:CMakeLists.txt | sed -n 's/^project(orrinade VERSION \([0-9.]*\) .*/\1/p')
entry=$(git show HEAD:debian/changelog | head -n 1)
[[ $entry =~ ^orrinade\ \((([0-9]+:)?([^ ]*)-([^ -]+))\) ]] || fail "debian/changelog's first line: $entry"
[ "${BASH_REMATCH[3]}" = "$project" ] ||
  fail "debian/changelog's upstream version ${BASH_REMATCH[3]} is not the project's, $project"
if git describe --exact-match --tags --match "v$project" HEAD >/dev/null 2>&1; then
  upstream=$project
else
  upstream=$project+git$(TZ=UTC git log -1 --date=format-local:%Y%m%d --format=%cd).$(git rev-parse --short=7 HEAD)
fi
version=${BASH_REMATCH[2]}$upstream-${BASH_REMATCH[4]}

out=$PWD/build-debian-package
! awk -v p="$out" '$2 == p || index($2, p "/") == 1 { found = 1 } END { exit !found }' /proc/self/mounts ||
  fail "$out has mounts in it; not removing it"
rm -rf --one-file-system "$out"
mkdir -p "$out"
git archive --format=tar.gz --prefix="orrinade-$upstream/" -o "$out/orrinade_$upstream.orig.tar.gz" HEAD
! tar -tzf "$out/orrinade_$upstream.orig.tar.gz" | grep -q '^[^/]*/debian/' || fail "the orig tarball holds debian/"
tar -xzf "$out/orrinade_$upstream.orig.tar.gz" -C "$out"
source=$out/orrinade-$upstream
mkdir "$source/debian"
git archive --format=tar HEAD:debian | tar -x -C "$source/debian"
sed -i "1s/^orrinade ([^)]*)/orrinade ($version)/" "$source/debian/changelog"
(cd "$source" && dpkg-buildpackage -us -uc) 2>&1 | tee "$out/build.log"
echo "debian-build: orrinade $version in $out"
