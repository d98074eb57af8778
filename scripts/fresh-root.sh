#!/usr/bin/env bash
# Runs the README's quick start on a fresh Debian 12: a minimal bookworm root
# made with mmdebstrap (from this machine's apt sources), a clean clone of the
# committed tree in /root/velmora, and there, as root and without a display,
# `bash scripts/start.sh` then `bash scripts/test.sh`. It finds the packages
# that scripts/packages.sh misses and that a developer's machine hides.
# Takes long (the whole install, both builds, every suite): not part of CI.
#
# usage: fresh-root.sh [FILE...]
#   FILE: a path in this working tree laid over the clone, to try a fix that is
#   not committed yet (e.g. scripts/packages.sh).
# Needs root, mmdebstrap, git and about 20 GiB free under ${TMPDIR:-/tmp}.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
say() { echo "fresh-root: $*"; }
die() { echo "fresh-root: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || die "run as root (it mounts and chroots)"
for tool in mmdebstrap git chroot mount findmnt; do
  command -v "$tool" >/dev/null || die "$tool is missing"
done
for file in "$@"; do
  [ -f "$root/$file" ] || die "no file $file in $root"
done
parent=${TMPDIR:-/tmp}
free_gib=$(( $(df -Pk "$parent" | awk 'NR == 2 { print $4 }') / 1024 / 1024 ))
[ "$free_gib" -ge 20 ] || die "only $free_gib GiB free in $parent; the root and its builds need about 20"

work=$(mktemp -d "$parent/velmora-fresh-root.XXXXXX")
target="$work/root"
mounted=()

# Whatever the runs left inside (a bus, an X server, a wineserver) would hold
# the mounts: end those processes, unmount, and remove the root only when
# nothing is mounted in it any more.
cleanup() {
  local status=$? pid i
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$target" ] && kill -KILL "$pid" 2>/dev/null
  done
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" ||
      echo "fresh-root: could not unmount ${mounted[i]}" >&2
  done
  if findmnt -rn -o TARGET | grep -q "^$target"; then
    echo "fresh-root: something is still mounted under $target; left in place" >&2
  else
    rm -rf --one-file-system "$work"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

elapsed() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

say "making a minbase bookworm root in $target"
started=$SECONDS
mmdebstrap --variant=minbase bookworm "$target" || die "mmdebstrap failed"
say "root made in $(elapsed $((SECONDS - started))), $(du -sh "$target" | cut -f1)"
cp -L /etc/resolv.conf "$target/etc/resolv.conf"  # apt in the root needs names

for point in proc sys dev dev/pts dev/shm run; do
  mkdir -p "$target/$point"
  mount --bind "/$point" "$target/$point"
  mounted+=("$target/$point")
  mount --make-rslave "$target/$point"
done

git clone --quiet "$root" "$target/root/velmora"
say "cloned $(git -C "$target/root/velmora" log -1 --format='%h %s')"
for file in "$@"; do
  cp "$root/$file" "$target/root/velmora/$file"
  say "laid this working tree's $file over the clone"
done

# A root login's environment, no display: start.sh must build and stop. A failed
# test's output goes into the log, since the root goes at the end.
in_root() {
  chroot "$target" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb CTEST_OUTPUT_ON_FAILURE=1 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    timeout --kill-after=60 "$1" /bin/bash -c "cd /root/velmora && $2" </dev/null
}

status=0
started=$SECONDS
say "running bash scripts/start.sh"
if in_root 5400 "bash scripts/start.sh"; then start_status=0; else start_status=$?; status=1; fi
start_time=$((SECONDS - started))
[ "$start_status" -ne 124 ] || say "start.sh did not end within 90 minutes: it hangs"
say "start.sh exited $start_status after $(elapsed "$start_time")"

started=$SECONDS
say "running bash scripts/test.sh"
if in_root 9000 "bash scripts/test.sh"; then test_status=0; else test_status=$?; status=1; fi
test_time=$((SECONDS - started))
say "test.sh exited $test_status after $(elapsed "$test_time")"

say "result: start.sh $start_status ($(elapsed "$start_time")), test.sh $test_status ($(elapsed "$test_time")), root $(du -sh --one-file-system "$target" | cut -f1)"
exit "$status"
