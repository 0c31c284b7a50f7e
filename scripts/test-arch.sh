#!/usr/bin/env bash
# The tests that tell whether the editor is right on this machine's
# architecture: the curve's bits, the drawing read back as pixels, and with
# --e2e the editor itself on a bare X server with real input. One build,
# without sanitizers, benchmarks or other desktops, so that it stays quick
# under emulation.
#   scripts/test-arch.sh [--e2e] [TIME_FACTOR]
# TIME_FACTOR (default 1) stretches every wait of the tests, for a machine
# that many times slower; no check is skipped for it.
set -euo pipefail
cd "$(dirname "$0")/.."
e2e=
if [ "${1:-}" = --e2e ]; then
  e2e=1
  shift
fi
factor=${1:-1}
scripts/install-deps.sh unit
echo "test-arch: $(c++ -dumpmachine), $(c++ --version | head -n 1), SFML $(pkg-config --modversion sfml-graphics)"
cmake -S . -B build -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=OFF -DORRINADE_WERROR=ON \
  -DORRINADE_TIME_FACTOR="$factor"
cmake --build build -j"$(nproc)"
echo "test-arch: installed and built in $SECONDS s"
# The unit and drawing tests are GoogleTest's, named Suite.Test.
tests='\.'
# The editor on bare X: start-up and the status lines pixel for pixel; real
# clicks, the hit square and drags, at 150 %, so the scale's path runs here
# too. (Keys are read the same way on every architecture: through X's
# keysyms, which the other legs test.)
[ -z "$e2e" ] || tests+='|^e2e_(startup|mapping_bare_150)$'
run=(ctest --test-dir build --output-on-failure --no-tests=error -j2 -R "$tests")
[ -n "${DISPLAY:-}" ] || run=(scripts/with-xvfb.sh "${run[@]}")
"${run[@]}" | tee build/ctest.log
scripts/ran-all.sh build build/ctest.log -R "$tests"
