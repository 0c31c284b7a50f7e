#!/usr/bin/env bash
# Runs a command in a fresh clone of this project inside a minimal Debian
# system of the given release, as root, with no display and no standard
# input, as a new user on that release would:
#   scripts/in-debian.sh [--arch ARCH] [--deps USE] [--name NAME] RELEASE [COMMAND...]
#   e.g. scripts/in-debian.sh trixie ./test.sh
#        scripts/in-debian.sh --arch arm64 trixie scripts/test-arch.sh --e2e
# The system is made by debootstrap (--variant=minbase) from the archive this
# machine's apt uses, once per release and architecture, and kept in
# build-debian/base/RELEASE-ARCH. Each run starts from a fresh copy of it in
# build-debian/NAME/system, NAME being the release, or RELEASE-ARCH for
# another architecture, unless --name gives one (a system of its own, for a
# run beside another of the same release). Packages apt fetches inside are
# kept in build-debian/NAME/archives for the next run. With no command, only
# the base is made, if it is not there yet.
# With --deps USE, runs start instead from a copy of the base that holds what
# the project's scripts/install-deps.sh installs for USE (e.g. test): made
# once, by that script in a fresh clone, and kept in build-debian/NAME/USE;
# the command then finds those packages present, and the script installs
# whatever a later commit adds. CI makes it while other legs run.
# The clone is of the committed HEAD.
#
# An architecture this machine cannot run itself (all but its own, and i386
# beside amd64) runs under qemu-user: Debian's qemu-user-static, installed if
# missing, registered with binfmt_misc with the interpreter held open (flag
# F), so that programs inside the system find it. Nothing else of the host
# changes.
#
# The system's /proc, /dev and /sys are mounted in a mount namespace of the
# run's own, and everything started inside lives in a PID namespace of its
# own: when the run ends, however it ends (SIGTERM included), the kernel ends
# every process and drops every mount with it. Nothing here removes a tree
# while anything is mounted below it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "$(id -u)" -ne 0 ]; then
  exec sudo -- "$root/scripts/in-debian.sh" "$@"
fi
host=$(dpkg --print-architecture)
arch=$host
deps= name=
while [ $# -ge 2 ]; do
  case $1 in
    --arch) arch=$2 ;;
    --deps) deps=$2 ;;
    --name) name=$2 ;;
    *) break ;;
  esac
  shift 2
done
[ $# -ge 1 ] || { echo "usage: $0 [--arch ARCH] [--deps USE] [--name NAME] RELEASE [COMMAND...]" >&2; exit 2; }
release=$1
shift

# qemu's name for a Debian architecture, where this machine needs qemu for it.
emulated=
case "$host/$arch" in
  "$host/$host" | amd64/i386) ;;
  */arm64) emulated=aarch64 ;;
  */armhf | */armel) emulated=arm ;;
  */ppc64el) emulated=ppc64le ;;
  */mips64el) emulated=mips64el ;;
  */s390x | */riscv64 | */loong64) emulated=$arch ;;
  *) echo "in-debian: no way to run $arch here" >&2; exit 2 ;;
esac
"$root/scripts/install-deps.sh" debian ${emulated:+qemu}
if [ -n "$emulated" ]; then
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/qemu-$emulated" ]; then
    cat "/usr/lib/binfmt.d/qemu-$emulated.conf" >"$binfmt/register"
  fi
fi

if [ -z "$name" ]; then
  name=$release
  [ "$arch" = "$host" ] || name=$release-$arch
fi
cache=$root/build-debian/$name
# The minimal system itself is the release's, made once for every NAME.
base=$root/build-debian/base/$release-$arch
system=$cache/system
archives=$cache/archives

# Whether anything is mounted at or below a path, in this namespace.
mounted_below() {
  local path
  path=$(realpath -m "$1")
  awk -v p="$path" '$2 == p || index($2, p "/") == 1 { found = 1 } END { exit !found }' /proc/self/mounts
}
remove_tree() {
  if mounted_below "$1"; then
    echo "in-debian: $1 has mounts in it; not removing it" >&2
    exit 1
  fi
  rm -rf --one-file-system "$1"
}

mkdir -p "$cache" "$(dirname "$base")"
# Runs beside each other that need the same base wait while one makes it.
exec {base_lock}>"$base.lock"
flock "$base_lock"
if [ ! -f "$base/.orrinade-ready" ]; then
  remove_tree "$base"
  mirror=$("$root/scripts/debian-archive.sh")
  # A release too new for this debootstrap is made as unstable is.
  script=/usr/share/debootstrap/scripts/$release
  [ -e "$script" ] || script=/usr/share/debootstrap/scripts/sid
  echo "in-debian: making a minimal Debian $release for $arch from $mirror"
  # In a mount namespace of its own, so that what debootstrap mounts in the
  # new system (its /proc) goes with it, however it ends.
  unshare --mount --propagation private -- \
    debootstrap --variant=minbase --arch="$arch" "$release" "$base" "$mirror" "$script" >"$base.log" 2>&1 ||
    { tail -n 30 "$base.log" >&2; echo "in-debian: debootstrap failed" >&2; exit 1; }
  # apt inside as apt is set up here (a proxy; whether it accepts a Release
  # file past its Valid-Until date, as a mirror may serve one).
  apt-config dump Acquire >"$base/etc/apt/apt.conf.d/50orrinade-host"
  echo 'APT::Keep-Downloaded-Packages "true";' >>"$base/etc/apt/apt.conf.d/50orrinade-host"
  # dpkg without a sync per file: the system is thrown away after one run,
  # and syncing is most of the time that installing its packages takes.
  echo force-unsafe-io >"$base/etc/dpkg/dpkg.cfg.d/50orrinade-unsafe-io"
  # D-Bus sessions need a machine id; minbase has no systemd to make one.
  tr -d - </proc/sys/kernel/random/uuid >"$base/etc/machine-id"
  cp /etc/resolv.conf "$base/etc/resolv.conf" 2>/dev/null || true
  touch "$base/.orrinade-ready"
fi
exec {base_lock}>&-

# run_in TREE COMMAND...: a copy of TREE as the system, a fresh clone of
# HEAD in it, and the command run there; returns the command's status.
# Inside the namespaces: mount, then run the command in the system as PID 1's
# only child. Paths and the command reach it as arguments.
inside='
set -eu
system=$1 archives=$2
shift 2
mount -t proc proc "$system/proc"
mount --rbind /sys "$system/sys"
mount --rbind /dev "$system/dev"
mount -t tmpfs -o mode=1777 tmpfs "$system/dev/shm"
mount --bind "$archives" "$system/var/cache/apt/archives"
chroot "$system" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb CI="${CI:-}" \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  /bin/sh -c "cd /root/orrinade && exec \"\$@\"" sh "$@" </dev/null &
wait $!
'
run_in() {
  local tree=$1 status=0 start=$SECONDS
  shift
  remove_tree "$system"
  cp -a "$tree" "$system"
  mkdir -p "$archives/partial"
  git clone --quiet "$root" "$system/root/orrinade"
  echo "in-debian: running $* in Debian $release for $arch"
  unshare --mount --propagation private --pid --fork --kill-child -- \
    /bin/sh -c "$inside" sh "$system" "$archives" "$@" </dev/null &
  namespace=$!
  wait "$namespace" || status=$?
  namespace=
  echo "in-debian: $* in Debian $release for $arch exited with $status after $((SECONDS - start)) s"
  return "$status"
}
# Ended by a signal: SIGKILL to unshare takes its child, PID 1 of the run's
# namespace, and with it every process inside and every mount.
namespace=
for signal in TERM INT HUP; do
  trap '[ -z "$namespace" ] || { kill -KILL "$namespace" 2>/dev/null; wait "$namespace" 2>/dev/null; }; trap - '"$signal"'; kill -'"$signal"' $$' "$signal"
done

if [ -n "$deps" ]; then
  prepared=$cache/$deps
  if [ ! -f "$prepared/.orrinade-ready" ]; then
    run_in "$base" scripts/install-deps.sh "$deps"
    rm -rf "$system/root/orrinade"
    remove_tree "$prepared"
    mv "$system" "$prepared"
    touch "$prepared/.orrinade-ready"
  fi
  base=$prepared
fi

# With no command, the base is all that is asked for.
[ $# -gt 0 ] || exit 0
run_in "$base" "$@"
