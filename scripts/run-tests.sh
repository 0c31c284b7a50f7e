#!/usr/bin/env bash
# Runs the built test suites (needs an X display) and closes with one line
# that counts them all.
set -uo pipefail
cd "$(dirname "$0")/.."
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
suite() {
  local dir=$1
  shift
  (cd "$dir" && ctest --output-on-failure "$@") | tee -a "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
}
suite build -j2
# Resident memory means nothing under the sanitizer's shadow memory, and the
# soak would take minutes there. The other desktops test where the window
# goes and how input reaches it, which the sanitizers do not change.
others='^e2e_(memory|soak)$|^e2e_(startup|editing|mapping|keys)_'
suite build-asan -j2 -E "$others"
suite build-fuzz -j2 -E "$others"

sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$log" |
  awk '{ failed += $1; total += $2 } END { printf "all suites: %d passed, %d failed\n", total - failed, failed }'
exit $status
