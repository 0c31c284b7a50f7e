#!/usr/bin/env bash
# scripts/debian-archive.sh names the mirror apt is set up with, in either
# format of apt's sources, for the release's own suite: never a security,
# backports or switched-off source, never a host of its own.
set -euo pipefail
script=$(cd "$(dirname "$0")/.." && pwd)/scripts/debian-archive.sh
etc=$(mktemp -d)
trap 'rm -rf "$etc"' EXIT
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
mkdir "$etc/sources.list.d"
expect() {
  local found
  found=$(ORRINADE_APT_ETC=$etc "$script" 2>/dev/null) || found="(failed)"
  [ "$found" = "$1" ] || { echo "FAIL: $2: named '$found', not '$1'" >&2; exit 1; }
}

cat >"$etc/sources.list" <<LIST
# deb http://commented.invalid/debian $codename main
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://mirror.invalid/debian/ $codename main
LIST
expect http://mirror.invalid/debian "one line a source, with options"

rm "$etc/sources.list"
cat >"$etc/sources.list.d/debian.sources" <<SOURCES
Types: deb
URIs: http://security.invalid/debian-security
Suites: $codename-security

Types: deb
URIs: http://off.invalid/debian
Suites: $codename
Enabled: no

Types: deb-src deb
URIs: http://proxy.invalid:3142/debian
Suites: $codename $codename-updates
Components: main
SOURCES
expect http://proxy.invalid:3142/debian "deb822 stanzas"

rm "$etc/sources.list.d/debian.sources"
expect "(failed)" "no source at all"
echo "ok"
