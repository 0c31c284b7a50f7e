#!/usr/bin/env bash
# Runs the built test suites (needs an X display) and closes with one line
# that counts them all:
#   scripts/run-tests.sh [-E REGEX] [BUILD [SANITIZED_BUILD...]]
# every suite of BUILD (build/ by default) but those REGEX matches, and those
# a sanitizer changes of each SANITIZED_BUILD (build-fuzz/ by default).
set -uo pipefail
cd "$(dirname "$0")/.."
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
suite() {
  local dir=$1 out
  shift
  out=$(mktemp)
  (cd "$dir" && ctest --output-on-failure --no-tests=error "$@") | tee "$out"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  cat "$out" >>"$log"
  # Every test selected ran; the suites skipped and desktops started again.
  scripts/ran-all.sh "$dir" "$out" "$@" | tee -a "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  rm -f "$out"
}
skip=()
[ "${1:-}" != -E ] || { skip=(-E "$2"); shift 2; }
[ $# -gt 0 ] || set -- build build-fuzz
suite "$1" -j2 "${skip[@]}"
shift
# Resident memory means nothing under the sanitizer's shadow memory, and the
# soak would take minutes there. The other desktops test where the window
# goes and how input reaches it, which the sanitizers do not change; the
# scripts' own tests build nothing of the editor's.
others='^e2e_soak$|^e2e_(startup|editing|mapping|keys|panel)_|^install_deps_probe$|^debian_archive$'
for build in "$@"; do
  suite "$build" -j2 -E "$others"
done

# ctest counts a skipped test among the passed; here it is counted apart.
skipped=$(grep -c -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*Skipped' "$log" || true)
sed -n 's/.*tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$log" |
  awk -v skipped="$skipped" '{ failed += $1; total += $2 }
    END { printf "all suites: %d passed, %d failed, %d skipped\n", total - failed - skipped, failed, skipped }'
flakes=$(grep -c '^flake: ' "$log" || true)  # one desktop dying as it starts is let pass
echo "all suites: $flakes desktops started again after dying while starting"
[ "$flakes" -le 1 ] || { grep '^flake: ' "$log" | sed 's/^/all suites: more than one: /'; status=1; }
exit $status
