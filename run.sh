#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor beside its font.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DORRINADE_BUILD_TESTS=OFF -DORRINADE_BUILD_BENCHMARKS=OFF
cmake --build build -j"$(nproc)"
cd build
exec ./orrinade
