#!/usr/bin/env bash
# Installs whatever is missing for the given uses:
#   scripts/install-deps.sh               building and running the editor
#   scripts/install-deps.sh test          also the tests, benchmarks and packages
#   scripts/install-deps.sh sfml-source   also building SFML 2.6 or 3.0 from its sources
#   scripts/install-deps.sh sfml31-source also building SFML 3.1, which needs
#                                         HarfBuzz and CMake 3.28 or later
#   scripts/install-deps.sh windows       also cross-building for Windows,
#                                         packing its installer and running
#                                         the result under Wine
#   scripts/install-deps.sh debian        only making Debian systems of other
#                                         releases (scripts/in-debian.sh)
#   scripts/install-deps.sh debian qemu   also running those of other
#                                         architectures under qemu-user
#   scripts/install-deps.sh unit          only building the editor and running
#                                         its unit, drawing and bare-X tests
#   scripts/install-deps.sh reproducible  also building twice and comparing
#                                         (reprotest, disorderfs for file order,
#                                         sudo for another user, the locale it sets)
#   scripts/install-deps.sh debian-package also building and checking the
#                                         Debian source package
# What is present is found by probing (commands, pkg-config, the Python the
# tests use), never by asking a package database. The rest is installed with
# apt, dnf, pacman, zypper or brew, whichever is there, as root or through
# sudo. With none of them, it names what is missing and fails.
# A CMake newer than the system's, where only apt's backports have one, is
# unpacked into build-cmake/ beside the sources and never replaces the
# system's (scripts/newer-cmake.sh names the one to use).
set -euo pipefail

python=${ORRINADE_PYTHON:-/usr/bin/python3}
root=$(cd "$(dirname "$0")/.." && pwd)

# What each requirement is called in each package manager; a requirement a
# manager lacks is left out of its list.
declare -A apt=(
  [cmake]=cmake [make]=make [c++]=g++ [pkg-config]=pkg-config [sfml]=libsfml-dev
  [font]=fonts-dejavu-core [fontconfig]=fontconfig
  [gtest]=libgtest-dev [gtest-source]=googletest [benchmark]=libbenchmark-dev [xvfb]=xvfb [xdotool]=xdotool
  [python3]=python3 [python-xlib]=python3-xlib [clang]=clang [fuzzer]=libclang-rt-dev
  [dpkg-shlibdeps]=dpkg-dev [file]=file [desktop-file-validate]=desktop-file-utils
  [freetype]=libfreetype-dev [x11]=libx11-dev [xrandr]=libxrandr-dev [xcursor]=libxcursor-dev
  [xi]=libxi-dev [udev]=libudev-dev [gl]=libgl-dev
  [mingw]="mingw-w64 g++-mingw-w64-x86-64-posix" [mingw-objdump]=binutils-mingw-w64-x86-64
  [wine]="wine wine64"
  [openbox]=openbox [xfwm4]=xfwm4 [dbus-run-session]=dbus-daemon [weston]=weston
  [Xwayland]=xwayland [wmctrl]=wmctrl [setxkbmap]=x11-xkb-utils
  [makensis]=nsis [wrestool]=icoutils
  [mutter]=mutter [kwin_wayland]=kwin-wayland [xrandr-cli]=x11-xserver-utils
  [wayland-info]=wayland-utils [faketime]=faketime [diffoscope]=diffoscope-minimal
  [dpkg-buildpackage]="dpkg-dev build-essential" [dh]=debhelper [autopkgtest]=autopkgtest
  [marco]=marco [mate-schemas]=mate-settings-daemon-common
  [muffin]=muffin [cinnamon-schemas]=cinnamon-settings-daemon
  [gsd-xsettings]=gnome-settings-daemon [harfbuzz]=libharfbuzz-dev
  [lintian]=lintian [appstreamcli]=appstream [man]=man-db
  [debootstrap]=debootstrap [git]=git [unshare]=util-linux [qemu]=qemu-user-static
  [reprotest]=reprotest [disorderfs]=disorderfs [mmdebstrap]=mmdebstrap [sudo]=sudo
  [et-locale]=locales-all
)
declare -A dnf=(
  [cmake]=cmake [make]=make [c++]=gcc-c++ [pkg-config]=pkgconf [sfml]=SFML-devel
  [font]=dejavu-sans-fonts [fontconfig]=fontconfig
  [gtest]=gtest-devel [benchmark]=google-benchmark-devel [xvfb]=xorg-x11-server-Xvfb
  [xdotool]=xdotool [python3]=python3 [python-xlib]=python3-xlib [clang]=clang
  [fuzzer]=compiler-rt [file]=file [desktop-file-validate]=desktop-file-utils
  [freetype]=freetype-devel [x11]=libX11-devel [xrandr]=libXrandr-devel
  [xcursor]=libXcursor-devel [xi]=libXi-devel [udev]=systemd-devel [gl]=mesa-libGL-devel
  [mingw]=mingw64-gcc-c++ [mingw-objdump]=mingw64-binutils [wine]=wine
  [openbox]=openbox [xfwm4]=xfwm4 [dbus-run-session]=dbus-daemon [weston]=weston
  [Xwayland]=xorg-x11-server-Xwayland [wmctrl]=wmctrl [setxkbmap]=setxkbmap
  [makensis]=mingw32-nsis [wrestool]=icoutils
  [mutter]=mutter [kwin_wayland]=kwin-wayland [xrandr-cli]=xrandr [gsd-xsettings]=gnome-settings-daemon
  [harfbuzz]=harfbuzz-devel [cmake-3.28]=cmake
  [appstreamcli]=appstream [man]=man-db
)
declare -A pacman=(
  [cmake]=cmake [make]=make [c++]=gcc [pkg-config]=pkgconf [sfml]=sfml
  [font]=ttf-dejavu [fontconfig]=fontconfig
  [gtest]=gtest [benchmark]=benchmark [xvfb]=xorg-server-xvfb [xdotool]=xdotool
  [python3]=python [python-xlib]=python-xlib [clang]=clang [fuzzer]=compiler-rt
  [file]=file [desktop-file-validate]=desktop-file-utils
  [freetype]=freetype2 [x11]=libx11 [xrandr]=libxrandr [xcursor]=libxcursor [xi]=libxi
  [udev]=systemd-libs [gl]=libglvnd [mingw]=mingw-w64-gcc [mingw-objdump]=mingw-w64-binutils
  [wine]=wine
  [openbox]=openbox [xfwm4]=xfwm4 [dbus-run-session]=dbus [weston]=weston
  [Xwayland]=xorg-xwayland [wmctrl]=wmctrl [setxkbmap]=xorg-setxkbmap
  [wrestool]=icoutils
  [mutter]=mutter [kwin_wayland]=kwin [xrandr-cli]=xorg-xrandr [gsd-xsettings]=gnome-settings-daemon
  [harfbuzz]=harfbuzz [cmake-3.28]=cmake
  [appstreamcli]=appstream [man]=man-db
)
declare -A zypper=(
  [cmake]=cmake [make]=make [c++]=gcc-c++ [pkg-config]=pkgconf [sfml]=sfml2-devel
  [font]=dejavu-fonts [fontconfig]=fontconfig
  [gtest]=gtest [benchmark]=benchmark-devel [xvfb]=xorg-x11-server-Xvfb [xdotool]=xdotool
  [python3]=python3 [python-xlib]=python3-python-xlib [clang]=clang [fuzzer]=compiler-rt
  [file]=file [desktop-file-validate]=desktop-file-utils
  [freetype]=freetype2-devel [x11]=libX11-devel [xrandr]=libXrandr-devel
  [xcursor]=libXcursor-devel [xi]=libXi-devel [udev]=systemd-devel [gl]=Mesa-libGL-devel
  [mingw]=mingw64-cross-gcc-c++ [mingw-objdump]=mingw64-cross-binutils [wine]=wine
  [openbox]=openbox [xfwm4]=xfwm4 [dbus-run-session]=dbus-1 [weston]=weston
  [Xwayland]=xwayland [wmctrl]=wmctrl [setxkbmap]=setxkbmap
  [wrestool]=icoutils
  [mutter]=mutter [kwin_wayland]=kwin6 [xrandr-cli]=xrandr [gsd-xsettings]=gnome-settings-daemon
  [harfbuzz]=harfbuzz-devel [cmake-3.28]=cmake
  [appstreamcli]=AppStream [man]=man
)
declare -A brew=(
  [cmake]=cmake [pkg-config]=pkgconf [sfml]=sfml [fontconfig]=fontconfig
  [gtest]=googletest [benchmark]=google-benchmark [python3]=python [clang]=llvm
  [fuzzer]=llvm [mingw]=mingw-w64 [mingw-objdump]=mingw-w64
  [makensis]=makensis
  [harfbuzz]=harfbuzz [cmake-3.28]=cmake
)

has_program() { command -v "$1" >/dev/null 2>&1; }
has_pc() { has_program pkg-config && pkg-config --exists "$1"; }

# A free sans TrueType font the build can copy: DejaVu Sans where the usual
# systems keep it, or any sans TrueType font fontconfig knows.
has_font() {
  local path
  for path in /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf /usr/share/fonts/dejavu/DejaVuSans.ttf \
              /usr/share/fonts/TTF/DejaVuSans.ttf /usr/share/fonts/dejavu-sans-fonts/DejaVuSans.ttf \
              /usr/share/fonts/truetype/DejaVuSans.ttf /Library/Fonts/Arial.ttf \
              /System/Library/Fonts/Supplemental/Arial.ttf; do
    [ -f "$path" ] && return 0
  done
  has_program fc-match && [ -n "$(fc-match -f '%{file}' 'sans:fontformat=TrueType' 2>/dev/null)" ]
}

has_fuzzer() {
  has_program clang++ &&
    [ -f "$(clang++ -print-resource-dir)/lib/linux/libclang_rt.fuzzer-$(uname -m).a" ]
}

# name: how to tell it is there
probe() {
  case "$1" in
    c++) has_program c++ || has_program g++ || has_program clang++ ;;
    sfml) has_pc sfml-graphics ;;
    font) has_font ;;
    fontconfig) has_program fc-match ;;
    gtest) has_pc gtest ;;
    gtest-source) [ -f /usr/src/googletest/CMakeLists.txt ] ;;
    benchmark) has_pc benchmark ;;
    xvfb) has_program Xvfb ;;
    python3) [ -x "$python" ] ;;
    python-xlib) [ -x "$python" ] && "$python" -c 'import Xlib' 2>/dev/null ;;
    qemu) [ -d /usr/lib/binfmt.d ] && ls /usr/lib/binfmt.d/qemu-*.conf >/dev/null 2>&1 ;;
    clang) has_program clang++ ;;
    fuzzer) has_fuzzer ;;
    freetype) has_pc freetype2 ;;
    x11 | xrandr | xcursor | xi | gl) has_pc "$1" ;;
    udev) has_pc libudev ;;
    et-locale) locale -a 2>/dev/null | grep -qix 'et_EE.utf8' ;;
    harfbuzz) has_pc harfbuzz ;;
    cmake-3.28) "$root/scripts/newer-cmake.sh" 3.28 >/dev/null 2>&1 ;;
    mingw) has_program x86_64-w64-mingw32-g++-posix || has_program x86_64-w64-mingw32-g++ ;;
    mingw-objdump) has_program x86_64-w64-mingw32-objdump ;;
    # Debian splits Wine: 64-bit programs need wine64 beside it.
    xrandr-cli) has_program xrandr ;;
    gsd-xsettings) [ -x /usr/libexec/gsd-xsettings ] ;;
    mate-schemas) compgen -G '/usr/share/glib-2.0/schemas/org.mate.SettingsDaemon.*.gschema.xml' >/dev/null ;;
    cinnamon-schemas) compgen -G '/usr/share/glib-2.0/schemas/org.cinnamon.settings-daemon.*.gschema.xml' >/dev/null ;;
    wine) has_program wine && { [ ! -d /usr/lib/wine ] || [ -x /usr/lib/wine/wine64 ]; } ;;
    *) has_program "$1" ;;
  esac
}

# Debian 12's CMake is 3.25; its backports suite has 3.31. Both .debs are
# fetched from the archive apt uses, with a private apt state, and unpacked
# into build-cmake/usr, which runs from there on the system's own libraries.
unpack_backports_cmake() {
  local suite state
  suite="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")-backports"
  state=$root/build-cmake/apt
  rm -rf "$root/build-cmake"
  mkdir -p "$state/lists/partial" "$state/cache/archives/partial" "$state/debs"
  echo "deb $("$root/scripts/debian-archive.sh") $suite main" >"$state/sources.list"
  local options=(-o Dir::Etc::SourceList="$state/sources.list" -o Dir::Etc::SourceParts=/dev/null
                 -o Dir::State::Lists="$state/lists" -o Dir::Cache="$state/cache"
                 -o APT::Sandbox::User="$(id -un)")
  echo "Unpacking CMake from $suite into build-cmake/"
  apt-get "${options[@]}" update >/dev/null
  (cd "$state/debs" && apt-get "${options[@]}" download cmake cmake-data)
  for deb in "$state"/debs/*.deb; do dpkg -x "$deb" "$root/build-cmake"; done
  "$root/scripts/newer-cmake.sh" 3.28 >/dev/null
}

wanted=(cmake make c++ pkg-config sfml fontconfig font)
# On X11 the editor reads the monitors itself, through Xlib and RandR.
[ "$(uname -s)" = Darwin ] || wanted+=(x11 xrandr)
[ "${1:-}" != debian ] || wanted=()
for use in "$@"; do
  case "$use" in
    debian) wanted+=(debootstrap git unshare) ;;
    qemu) wanted+=(qemu) ;;
    unit) wanted+=(gtest xvfb xdotool python3 python-xlib openbox) ;;
    test) wanted+=(gtest benchmark xvfb xdotool python3 python-xlib clang fuzzer git
                   dpkg-shlibdeps file desktop-file-validate lintian appstreamcli man
                   openbox xfwm4 dbus-run-session weston Xwayland wmctrl setxkbmap
                   mutter kwin_wayland xrandr-cli gsd-xsettings
                   wayland-info marco mate-schemas muffin cinnamon-schemas) ;;
    sfml-source) wanted+=(freetype xcursor xi udev gl) ;;
    sfml31-source) wanted+=(freetype xcursor xi udev gl harfbuzz cmake-3.28) ;;
    reproducible) wanted+=(faketime diffoscope reprotest disorderfs sudo et-locale) ;;
    debian-package) wanted+=(dpkg-buildpackage dh lintian appstreamcli desktop-file-validate autopkgtest mmdebstrap) ;;
    windows) wanted+=(mingw mingw-objdump gtest-source wine xvfb xdotool python3 python-xlib makensis wrestool openbox) ;;
    *) echo "install-deps: unknown use '$use'" >&2; exit 2 ;;
  esac
done

missing=()
for name in "${wanted[@]}"; do
  probe "$name" || missing+=("$name")
done
[ ${#missing[@]} -eq 0 ] && exit 0

manager=
for candidate in apt-get dnf pacman zypper brew; do
  if has_program "$candidate"; then manager=$candidate; break; fi
done
if [ -z "$manager" ]; then
  echo "install-deps: missing, and no apt, dnf, pacman, zypper or brew to install them with:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  exit 1
fi

declare -n names=${manager%-get}
packages=()
unavailable=()
if [ "$manager" = apt-get ] && [[ " ${missing[*]} " == *" cmake-3.28 "* ]]; then
  unpack_backports_cmake
  missing=("${missing[@]/cmake-3.28/}")
fi
for name in "${missing[@]}"; do
  [ -n "$name" ] || continue
  if [ -n "${names[$name]:-}" ]; then
    read -ra some <<<"${names[$name]}"
    packages+=("${some[@]}")
  else
    unavailable+=("$name")
  fi
done
if [ ${#unavailable[@]} -gt 0 ]; then
  echo "install-deps: $manager has no package for these; install them yourself:" >&2
  printf '  %s\n' "${unavailable[@]}" >&2
  exit 1
fi

as_root=()
[ "$manager" = brew ] || [ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${packages[*]}"
case "$manager" in
  apt-get)
    "${as_root[@]}" apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${packages[@]}" ;;
  dnf) "${as_root[@]}" dnf install -y "${packages[@]}" ;;
  pacman) "${as_root[@]}" pacman -S --needed --noconfirm "${packages[@]}" ;;
  zypper) "${as_root[@]}" zypper --non-interactive install "${packages[@]}" ;;
  brew) brew install "${packages[@]}" ;;
esac
