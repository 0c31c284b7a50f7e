#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test, the GUI tests
# included (under a private Xvfb server when there is no display): once in
# the normal build and once more with AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
cmake -S . -B build -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=ON
cmake --build build -j"$(nproc)"
# Resident memory means nothing under the sanitizer's shadow memory.
cmake -S . -B build-asan -DORRINADE_SANITIZE=ON -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=OFF
cmake --build build-asan -j"$(nproc)"

run_tests() {
  (cd build && ctest --output-on-failure -j2)
  (cd build-asan && ctest --output-on-failure -j2 -E '^e2e_memory$')
}
if [ -n "${DISPLAY:-}" ]; then
  run_tests
else
  export -f run_tests
  scripts/with-xvfb.sh bash -c run_tests
fi
