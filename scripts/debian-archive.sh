#!/usr/bin/env bash
# Prints the URI of the Debian archive this machine's apt installs from: the
# first "deb" source that serves the release's own suite, read from
# sources.list (one line a source) and sources.list.d/*.sources (deb822), so
# that a mirror or proxy set up for apt serves everything the scripts fetch.
# Fails, saying so, when apt names no such source.
set -euo pipefail
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
etc=${ORRINADE_APT_ETC:-/etc/apt}

one_line_sources() {
  local file
  for file in "$etc/sources.list" "$etc"/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    # deb [options] URI SUITE COMPONENTS...
    sed -e 's/#.*//' -e 's/\[[^]]*\]//' "$file" | awk '$1 == "deb" { print $2, $3 }'
  done
}

deb822_sources() {
  local file
  for file in "$etc"/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    # Stanzas are separated by blank lines; a stanza may list several URIs
    # and suites. Enabled: no means the stanza is off.
    awk '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && enabled != "no")
          for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++) print uris[u], suites[s]
        types = ""; enabled = ""; nu = 0; ns = 0
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      {
        field = tolower($1); sub(/:$/, "", field)
        if (field == "types") { types = ""; for (i = 2; i <= NF; i++) types = types " " $i; sub(/^ /, "", types) }
        else if (field == "uris") { for (i = 2; i <= NF; i++) uris[++nu] = $i }
        else if (field == "suites") { for (i = 2; i <= NF; i++) suites[++ns] = $i }
        else if (field == "enabled") { enabled = tolower($2) }
      }
      END { flush() }
    ' "$file"
  done
}

uri=$( { one_line_sources; deb822_sources; } | awk -v suite="$codename" '$2 == suite { print $1; exit }')
if [ -z "$uri" ]; then
  echo "debian-archive: apt has no source for the suite '$codename'" >&2
  exit 1
fi
echo "${uri%/}"
