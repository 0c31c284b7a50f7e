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
# Resident memory means nothing under the sanitizer's shadow memory, and the
# soak would take minutes there.
cmake -S . -B build-asan -DORRINADE_SANITIZE=ON -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=OFF
cmake --build build-asan -j"$(nproc)"
# The libFuzzer target, built with clang, replays its committed corpus.
CXX=clang++ cmake -S . -B build-fuzz -DORRINADE_FUZZ=ON -DORRINADE_SANITIZE=ON \
  -DORRINADE_BUILD_TESTS=OFF -DORRINADE_BUILD_BENCHMARKS=OFF
cmake --build build-fuzz -j"$(nproc)" --target editor_fuzz

run_tests() {
  (cd build && ctest --output-on-failure -j2) &&
  (cd build-asan && ctest --output-on-failure -j2 -E '^e2e_(memory|soak)$') &&
  (cd build-fuzz && ctest --output-on-failure)
}
if [ -n "${DISPLAY:-}" ]; then
  run_tests
else
  export -f run_tests
  scripts/with-xvfb.sh bash -c run_tests
fi
