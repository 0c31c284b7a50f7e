#!/usr/bin/env bash
# Installs what is missing, builds, checks the docs' commands
# (scripts/check-docs.py), and runs every test, the GUI tests
# included (under a private Xvfb server when there is no display), against
# the system's SFML: once in the normal build, once more with AddressSanitizer,
# UBSan and the standard library's own checks, and once built by clang++ with
# the fuzz target's corpus.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
/usr/bin/python3 scripts/check-links.py
cmake -S . -B build -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=ON -DORRINADE_WERROR=ON
cmake --build build -j"$(nproc)"
cmake -S . -B build-asan -DORRINADE_SANITIZE=ON -DORRINADE_WERROR=ON -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=OFF
cmake --build build-asan -j"$(nproc)"
# clang++ builds everything once more, with the libFuzzer target, which
# replays its committed corpus.
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DORRINADE_FUZZ=ON -DORRINADE_SANITIZE=ON \
  -DORRINADE_WERROR=ON -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=OFF
cmake --build build-fuzz -j"$(nproc)"
# What the README and docs/ tell a reader to run: each ctest -R selects tests,
# the from-source block builds with GoogleTest hidden, the screenshot is made.
/usr/bin/python3 scripts/check-docs.py build

if [ -n "${DISPLAY:-}" ]; then
  scripts/run-tests.sh
else
  scripts/with-xvfb.sh scripts/run-tests.sh
fi
