#!/usr/bin/env bash
# Runs a command as root in a fresh, minimal Debian system, as a new user's machine would be:
# `debootstrap --variant=minbase`, a fresh clone of this checkout's committed HEAD and, beside it,
# the checkout's ../shared folder (read-only). The command runs in the clone's folder and its exit
# status is this script's.
#   scripts/fresh-root.sh <bookworm|trixie> COMMAND [ARGS...]
# Debian's base system is kept as a tarball in ~/.cache/dovrel-roots (renewed after a week);
# nothing that the command installs is kept. The packages come from the Debian mirror that this
# machine's apt sources name. At the end every process left in the root is ended, everything
# mounted in it is unmounted, and the root is removed.
set -euo pipefail
# One block, read whole before it runs: editing this file meanwhile cannot change a running copy.
{

suite=${1:-}
case "$suite" in
  '' | *[!a-z]*) echo "usage: $0 <bookworm|trixie> COMMAND [ARGS...]" >&2; exit 2 ;;
esac
shift
[ $# -gt 0 ] || { echo "usage: $0 <bookworm|trixie> COMMAND [ARGS...]" >&2; exit 2; }
[ "$(id -u)" = 0 ] || { echo "$0 must run as root (debootstrap, chroot, mount)" >&2; exit 2; }

here=$(cd "$(dirname "$0")" && pwd)
checkout=$(git -C "$here" rev-parse --show-toplevel)
name=$(basename "$checkout")
shared=$(cd "$checkout/.." && pwd)/shared
started=$SECONDS

bash "$here/packages.sh" debootstrap debian-archive-keyring git

# The first Debian "deb" entry of this machine's apt sources, one-line or deb822 form, is the
# mirror: the archive's own entries, not security updates or other vendors' repositories.
debian_mirror() {
  local f
  {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null \
      | sed -E 's/#.*//; s/\[[^]]*\]//' | awk '$1 == "deb" { print $2 }'
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -e "$f" ] || continue
      awk 'BEGIN { RS = ""; FS = "\n" }
           { types = ""; uris = ""; enabled = "yes"
             for (i = 1; i <= NF; i++) {
               line = $i; sub(/#.*/, "", line)
               if (line ~ /^Types:/) types = line
               if (line ~ /^URIs:/) { uris = line; sub(/^URIs:[ \t]*/, "", uris) }
               if (line ~ /^Enabled:[ \t]*no/) enabled = "no"
             }
             if (enabled == "yes" && types ~ /[ \t]deb([ \t]|$)/) { n = split(uris, u, /[ \t]+/); for (j = 1; j <= n; j++) print u[j] } }' "$f"
    done
  } | grep -E '^(https?|file)://' | grep -E '/debian/?$' | sed -n '1{s#/$##;p;}'
}
mirror=$(debian_mirror)
[ -n "$mirror" ] || { echo "no Debian archive found in this machine's apt sources" >&2; exit 1; }

cache=${XDG_CACHE_HOME:-$HOME/.cache}/dovrel-roots
mkdir -p "$cache"
tarball=$cache/$suite-minbase-$(printf '%s' "$mirror" | md5sum | cut -c1-8).tar.gz
root=$(mktemp -d "${TMPDIR:-/var/tmp}/dovrel-root-$suite.XXXXXX")
chmod 755 "$root"
pid=

# Every process whose root directory is the fresh root, the command's own and any it left behind.
processes_in_root() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && echo "${p#/proc/}"
  done
  return 0
}

# Mount points at or below the root, deepest first (mountinfo escapes blanks as \040).
mounts_in_root() {
  awk '{ print $5 }' /proc/self/mountinfo | while read -r m; do
    m=$(printf '%b' "$m")
    case "$m" in "$root" | "$root"/*) echo "$m" ;; esac
  done | sort -r
}

cleanup() {
  local status=$? p m left
  trap - EXIT INT TERM HUP
  set +e
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  for signal in TERM TERM KILL KILL; do
    p=$(processes_in_root)
    [ -z "$p" ] && break
    echo "ending processes left in the root ($signal): $(echo $p)" >&2
    kill "-$signal" $p 2>/dev/null || true
    sleep 2
  done
  [ -n "$pid" ] && wait "$pid" 2>/dev/null
  for m in $(mounts_in_root); do
    umount "$m" 2>/dev/null || umount -l "$m" || true
  done
  # Never remove through something still mounted: a bind of /dev or shared/ would go with it.
  left=$(mounts_in_root)
  if [ -n "$left" ]; then
    echo "still mounted, $root kept: $(echo $left)" >&2
    [ "$status" = 0 ] && status=1
  else
    rm -rf --one-file-system "$root"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

echo "== fresh $suite root in $root (mirror $mirror)"
# The base system: unpacked from the cache while it is less than a week old, else made anew.
(
  flock 9
  if [ -n "$(find "$tarball" -mtime -7 2>/dev/null)" ]; then
    tar -xpzf "$tarball" -C "$root" --numeric-owner
  else
    debootstrap --variant=minbase "$suite" "$root" "$mirror"
    # debootstrap leaves its own mounts on failure paths only; the tarball holds the bare system.
    tar -czf "$tarball.partial" -C "$root" --numeric-owner --one-file-system .
    mv "$tarball.partial" "$tarball"
  fi
) 9>"$cache/lock"

# Name resolution as the host has it; "localhost" as every installed system has it.
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
[ -s "$root/etc/hosts" ] || printf '127.0.0.1\tlocalhost\n::1\tlocalhost ip6-localhost ip6-loopback\n' \
  > "$root/etc/hosts"

# dpkg skips its fsync calls, as in Debian's container images: the root lives for one command.
echo force-unsafe-io > "$root/etc/dpkg/dpkg.cfg.d/fresh-root-unsafe-io"

# A fresh clone of the committed HEAD (not the work tree), on a branch of the same name.
branch=$(git -C "$checkout" symbolic-ref --short -q HEAD || echo detached)
mkdir -p "$root/work"
git init -q "$root/work/$name"
git -C "$root/work/$name" fetch -q "$checkout" HEAD
git -C "$root/work/$name" checkout -q -b "$branch" FETCH_HEAD
echo "clone of $(git -C "$root/work/$name" log -1 --format='%h %s')"

# What a running system has mounted: its own /proc and /sys, a /dev with the usual device nodes
# and its own pseudo-terminals, and memory-backed /dev/shm and /tmp.
mount -t proc proc "$root/proc"
mount -t sysfs -o ro sysfs "$root/sys"
mount -t tmpfs -o mode=755,nosuid dev "$root/dev"
for node in null:1:3 zero:1:5 full:1:7 random:1:8 urandom:1:9 tty:5:0; do
  IFS=: read -r n major minor <<<"$node"
  mknod -m 666 "$root/dev/$n" c "$major" "$minor"
done
mkdir -m 755 "$root/dev/pts"
mkdir -m 1777 "$root/dev/shm"
mount -t devpts -o newinstance,ptmxmode=0666,mode=620,gid=5 devpts "$root/dev/pts"
ln -s pts/ptmx "$root/dev/ptmx"
ln -s /proc/self/fd "$root/dev/fd"
ln -s /proc/self/fd/0 "$root/dev/stdin"
ln -s /proc/self/fd/1 "$root/dev/stdout"
ln -s /proc/self/fd/2 "$root/dev/stderr"
mount -t tmpfs -o mode=1777,nosuid,nodev shm "$root/dev/shm"
mount -t tmpfs -o mode=1777,nosuid,nodev tmp "$root/tmp"
if [ -d "$shared" ]; then
  mkdir -p "$root/work/shared"
  mount --bind "$shared" "$root/work/shared"
  mount -o remount,bind,ro "$root/work/shared"
else
  echo "no $shared beside the checkout: the root has none either" >&2
fi

packages() { chroot "$root" dpkg-query -W -f '${db:Status-Abbrev}\n' | grep -c '^ii'; }
before=$(packages)
echo "== $suite root ready after $((SECONDS - started)) s, $before packages installed; running: $*"

# A clean environment, as a root login has it; the settings the project's scripts read pass on.
vars=(HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8
      TERM="${TERM:-dumb}")
for v in CI FUZZ_SECONDS ATSPI_WAIT_SECONDS ORCA_WAIT_SECONDS; do
  [ -n "${!v+x}" ] && vars+=("$v=${!v}")
done
command_started=$SECONDS
status=0
env -i "${vars[@]}" chroot "$root" /bin/sh -c 'cd "$1" && shift && exec "$@"' sh "/work/$name" "$@" \
  </dev/null &
pid=$!
wait "$pid" || status=$?
pid=
after=$(packages)
disk=$(du -sxm --exclude="$root/work/shared" "$root" | cut -f1)
echo "== $suite: '$*' exited $status after $((SECONDS - command_started)) s" \
  "(root $((SECONDS - started)) s in all); packages installed: $before before, $after after;" \
  "disk used: $disk MB"
exit "$status"
exit
}
