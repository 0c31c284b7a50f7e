#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test, the GUI tests
# included (under a private Xvfb server when there is no display): once in
# the normal build and once more with AddressSanitizer and UBSan, then the
# fuzz target's corpus.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
cmake -S . -B build -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=ON
cmake --build build -j"$(nproc)"
cmake -S . -B build-asan -DORRINADE_SANITIZE=ON -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=OFF
cmake --build build-asan -j"$(nproc)"
# The libFuzzer target, built with clang, replays its committed corpus.
CXX=clang++ cmake -S . -B build-fuzz -DORRINADE_FUZZ=ON -DORRINADE_SANITIZE=ON \
  -DORRINADE_BUILD_TESTS=OFF -DORRINADE_BUILD_BENCHMARKS=OFF
cmake --build build-fuzz -j"$(nproc)" --target editor_fuzz

if [ -n "${DISPLAY:-}" ]; then
  scripts/run-tests.sh
else
  scripts/with-xvfb.sh scripts/run-tests.sh
fi
