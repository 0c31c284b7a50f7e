#!/usr/bin/env bash
# Installs what is missing, builds, checks the docs' commands
# (scripts/check-docs.py), and runs every test, the GUI tests
# included (under a private Xvfb server when there is no display), against
# the system's SFML: once in the normal build, and once more built by clang++
# with AddressSanitizer, UBSan and the standard library's own checks, which
# also replays the fuzz target's corpus.
#   ./test.sh [--other-release]
# --other-release, for another release of a system whose own ./test.sh runs
# everything (CI's Debian 13 and testing beside Debian 12): what changes with
# the release's SFML and its compositors and GNOME's window manager. No check
# of the docs' commands, no soak; the editing and mapping suites on bare X
# only, as the SFML 3.0 leg runs them; the start-up suites on bare X, GNOME,
# KDE and weston at every scale and monitor count, not under the plain X
# window managers (openbox's panel rows kept, for the curve's weight at
# 125 %, 150 % and 200 %).
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
# clang++ builds everything once more, with the libFuzzer target, which
# replays its committed corpus.
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DORRINADE_FUZZ=ON -DORRINADE_SANITIZE=ON \
  -DORRINADE_WERROR=ON -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=OFF
cmake --build build-fuzz -j"$(nproc)"
# What the README and docs/ tell a reader to run: each ctest -R selects tests,
# the from-source block builds with GoogleTest hidden, the screenshot is made.
[ -z "$docs" ] || /usr/bin/python3 scripts/check-docs.py build

if [ -n "${DISPLAY:-}" ]; then
  scripts/run-tests.sh "${skip[@]}" build build-fuzz
else
  scripts/with-xvfb.sh scripts/run-tests.sh "${skip[@]}" build build-fuzz
fi
