#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test, the GUI tests
# included: under Xvfb when there is no display.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
cmake -S . -B build -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=ON
cmake --build build -j"$(nproc)"

ctest_run=(ctest --output-on-failure -j2)
cd build
if [ -n "${DISPLAY:-}" ]; then
  "${ctest_run[@]}"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" "${ctest_run[@]}"
fi
