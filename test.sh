#!/usr/bin/env bash
# Installs what is missing, builds twice, checks the docs' commands and runs
# every suite of both builds (under a private Xvfb where there is no display):
# build/, and build-fuzz/ by clang++ with AddressSanitizer, UBSan, the
# standard library's checks and the fuzz target replaying its corpus.
#   ./test.sh [--other-release]
# --other-release, for a release beside the one whose ./test.sh runs all:
# what changes with its SFML, compositors and GNOME's window manager (what it
# leaves out: docs/testing.md).
set -euo pipefail
cd "$(dirname "$0")"
skip=() docs=1
if [ "${1:-}" = --other-release ]; then
  docs=
  skip=(-E '^e2e_(editing|mapping)_|^e2e_soak$|^e2e_(startup|panel)_(openbox|xfwm4|marco|muffin)')
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--other-release]" >&2
  exit 2
fi
scripts/install-deps.sh test
/usr/bin/python3 scripts/check-links.py
cmake -S . -B build -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=ON -DORRINADE_WERROR=ON
cmake --build build -j"$(nproc)"
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DORRINADE_FUZZ=ON -DORRINADE_SANITIZE=ON \
  -DORRINADE_WERROR=ON -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=OFF
cmake --build build-fuzz -j"$(nproc)"
# What the README and docs/ tell a reader to run: each ctest -R selects tests,
# the from-source block builds with GoogleTest hidden, the screenshot is made.
[ -z "$docs" ] || /usr/bin/python3 scripts/check-docs.py build

x=()
[ -n "${DISPLAY:-}" ] || x=(scripts/with-xvfb.sh)
"${x[@]}" scripts/run-tests.sh "${skip[@]}" build build-fuzz
