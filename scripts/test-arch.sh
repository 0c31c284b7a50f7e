#!/usr/bin/env bash
# The tests that tell whether the editor is right on this machine's
# architecture: the curve's bits, the drawing read back as pixels, and with
# --e2e the editor on a bare X server with real input. One build, without
# sanitizers, benchmarks or other desktops, to stay quick under emulation.
#   scripts/test-arch.sh [--cross arm64|i386] [--e2e] [TIME_FACTOR]
# TIME_FACTOR (default 1) stretches every wait of the tests, for a machine
# that many times slower; no check is skipped for it.
# --cross ARCH, on amd64 Debian: Debian's cross compiler builds it against
# ARCH's packages, and only the test programs run under qemu-user, not the
# compiler and package installs that take most of an emulated system's time.
set -euo pipefail
cd "$(dirname "$0")/.."
cross= e2e=
[ "${1:-}" != --cross ] || { cross=$2; shift 2; }
[ "${1:-}" != --e2e ] || { e2e=1; shift; }
factor=${1:-1}
configure=(cmake -S . -B build -DORRINADE_BUILD_TESTS=ON -DORRINADE_BUILD_BENCHMARKS=OFF
           -DORRINADE_WERROR=ON -DORRINADE_TIME_FACTOR="$factor")
pkg_config=pkg-config compiler=c++
if [ -n "$cross" ]; then
  case $cross in
    arm64) triple=aarch64-linux-gnu multiarch=aarch64-linux-gnu ;;
    i386) triple=i686-linux-gnu multiarch=i386-linux-gnu ;;
    *) echo "test-arch: cross-builds only for arm64 and i386" >&2; exit 2 ;;
  esac
  dpkg --add-architecture "$cross"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    "crossbuild-essential-$cross" cmake make pkgconf file qemu-user-static \
    "libsfml-dev:$cross" "libgtest-dev:$cross" "libx11-dev:$cross" "libxrandr-dev:$cross" \
    "libgl1-mesa-dri:$cross" fonts-dejavu-core fontconfig xvfb xauth xdotool python3 python3-xlib openbox
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ "$cross" = arm64 ]; then
    [ -e "$binfmt/qemu-aarch64" ] || cat /usr/lib/binfmt.d/qemu-aarch64.conf >"$binfmt/register"
  elif ! /lib/ld-linux.so.2 --version >/dev/null 2>&1 && [ ! -e "$binfmt/qemu-i386" ]; then
    # Debian's qemu registers nothing for i386 on amd64, whose kernels mostly
    # run it themselves. qemu's own ELF magic and mask for it.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:'\
'\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      >"$binfmt/register"
  fi
  export ORRINADE_CROSS_TRIPLE=$triple
  configure+=(-DCMAKE_TOOLCHAIN_FILE=cmake/debian-cross.cmake)
  pkg_config="env PKG_CONFIG_LIBDIR=/usr/lib/$multiarch/pkgconfig pkg-config" compiler=$triple-g++
else
  scripts/install-deps.sh unit
fi
echo "test-arch: $($compiler -dumpmachine), $($compiler --version | head -n 1), SFML $($pkg_config --modversion sfml-graphics)"
"${configure[@]}"
cmake --build build -j"$(nproc)"
echo "test-arch: installed and built in $SECONDS s"
# Each GoogleTest program once, as one process with one GL context (tens of
# seconds each under emulation; ctest makes one per test), having run a test.
x=()
[ -n "${DISPLAY:-}" ] || x=(scripts/with-xvfb.sh)
for program in curve_tests app_tests drawing_tests; do
  "${x[@]}" timeout $((900 * factor)) "build/tests/$program" --gtest_brief=1 | tee "build/$program.log"
  grep -q '^\[  PASSED  \] [1-9]' "build/$program.log" ||
    { echo "test-arch: $program ran no test" >&2; exit 1; }
done
[ -n "$e2e" ] || exit 0
# The editor on bare X (openbox only to leave a dead manager's marks): start-up,
# and clicks and drags at 150 %; keys are X's keysyms alike on every architecture.
tests='^e2e_(startup|mapping_bare_150)$'
run=(ctest --test-dir build --output-on-failure --no-tests=error -j2 -R "$tests")
"${x[@]}" "${run[@]}" | tee build/ctest.log
scripts/ran-all.sh build build/ctest.log -R "$tests"
