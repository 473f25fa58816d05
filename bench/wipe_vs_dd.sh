#!/usr/bin/env bash
# Side by side on the same 1 GiB tmpfs (root only; mounted here and removed after):
#   cindervault-cli wipe-free --method 15 (one constant pass)  vs  dd if=/dev/zero bs=8M until full
#   cindervault-cli wipe-free --method 16 (one random pass)    vs  dd if=/dev/urandom bs=8M until full
# With --load the same again with one busy loop per core beside the tools.
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=${CLI:-build/src/cli/cindervault-cli}
SIZE=${SIZE:-1g}
RUNS=${RUNS:-3}
[ "$(id -u)" -eq 0 ] || { echo "needs root to mount a tmpfs" >&2; exit 2; }
[ -x "$CLI" ] || { echo "build first: scripts/build" >&2; exit 2; }
. bench/common.sh
load_options "$@"

mnt=$(mktemp -d /tmp/cindervault-wipe-bench-XXXXXX)
at_exit 'rmdir "$mnt"; rm -rf "$mnt.home"'
mount -t tmpfs -o size="$SIZE" cindervault-bench "$mnt"
at_exit 'umount "$mnt"'
without_reports "$mnt.home"

fill_dd() { dd if="$1" of="$mnt/dd.fill" bs=8M; rm -f "$mnt/dd.fill"; }

compare() {
  for pair in "15 /dev/zero" "16 /dev/urandom"; do
    set -- $pair
    cv=(); dd_=()
    for _ in $(seq "$RUNS"); do
      cv+=("$(seconds "$CLI" wipe-free --yes --method "$1" "$mnt")")
      dd_+=("$(seconds fill_dd "$2")")
    done
    a=$(printf '%s\n' "${cv[@]}" | median); b=$(printf '%s\n' "${dd_[@]}" | median)
    printf 'wipe-free --method %-2s %6.2f s   dd if=%-12s bs=8M %6.2f s   ratio %.2f\n' "$1" "$a" "$2" "$b" "$(echo "$a / $b" | bc -l)"
  done
}

under_each_load compare
