#!/usr/bin/env bash
# scripts/install-deps.sh without apt, dpkg and sudo: probing alone, it passes
# with all present, and names what is missing and fails.
set -euo pipefail
script=$(cd "$(dirname "$0")/.." && pwd)/scripts/install-deps.sh
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
# Every command on PATH but the package tools (ln keeps the first of a name).
IFS=: read -ra dirs <<<"$PATH"
for dir in "${dirs[@]}"; do
  [ -d "$dir" ] && ln -s "$dir"/* "$bin"/ 2>/dev/null || true
done
rm -f "$bin"/{apt,apt-get,apt-cache,dpkg,dpkg-query,sudo}

PATH=$bin "$script" test || { echo "FAIL: everything is present, yet it failed" >&2; exit 1; }

rm "$bin/xdotool"
if output=$(PATH=$bin "$script" test 2>&1); then
  echo "FAIL: xdotool is missing, yet it succeeded" >&2
  exit 1
fi
[ "$(grep '^  ' <<<"$output")" = '  xdotool' ] ||
  { echo "FAIL: not xdotool alone named: $output" >&2; exit 1; }
echo "ok"
