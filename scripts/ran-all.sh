#!/usr/bin/env bash
# Fails, naming them, when tests that should have run did not:
#   scripts/ran-all.sh BUILD_DIR LOG [ctest selection options: -R, -E, -L...]
# LOG is that ctest run's output. It first lists "skipped: " and "flake: " lines.
# Should have run: ctest's list and each GoogleTest program's own (so a test
# its discovery dropped counts as not run).
set -euo pipefail
build=$1 log=$2
shift 2
details=$build/Testing/Temporary/LastTest.log
[ ! -f "$details" ] ||
  awk '/^[0-9]+\/[0-9]+ Testing: / { test = $3 }
       /^(skipped|flake): / { kind = $1; sub(/^[a-z]+: /, ""); print kind " " test ": " $0 }' "$details"
registered=$(cd "$build" && ctest -N "$@" | sed -n 's/^ *Test *#[0-9]*: \(.*\)$/\1/p' | sort)
# The selection's regular expressions, to apply to the programs' own lists.
include=. exclude='^$'
while [ $# -gt 0 ]; do
  case $1 in
    -R) include=$2; shift ;;
    -E) exclude=$2; shift ;;
  esac
  shift
done
ran=$(sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .*\(Passed\|Failed\|Skipped\|Timeout\|Exception\).*/\1/p' "$log" | sort -u)
# Each GoogleTest program's tests as Suite.Test; each must be built and list one.
listed=
for program in curve_tests app_tests drawing_tests; do
  [ -x "$build/tests/$program" ] || { echo "ran-all: $program was not built in $build" >&2; exit 1; }
  own=$("$build/tests/$program" --gtest_list_tests | awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }')
  [ -n "$own" ] || { echo "ran-all: $program lists no test" >&2; exit 1; }
  listed+=$own$'\n'
done
listed=$(grep -E -- "$include" <<<"$listed" | grep -v -E -- "$exclude" || true)
missing=$(comm -23 <(printf '%s\n%s\n' "$registered" "$listed" | sed '/^$/d' | sort -u) <(printf '%s\n' "$ran"))
if [ -n "$missing" ]; then
  echo "ran-all: these tests did not run in $build:" >&2
  sed 's/^/  /' <<<"$missing" >&2
  exit 1
fi
echo "ran-all: every one of the $(wc -l <<<"$registered") tests registered in $build ran"
