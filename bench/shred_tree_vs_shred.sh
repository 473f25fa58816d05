#!/usr/bin/env bash
# Side by side: cindervault-cli shred --method 16 of a tree of 10,000 files of 4 KiB against GNU
# shred -u -n 1 over the same files (find ... -exec shred -u -n 1 {} +), each on a fresh copy of the
# tree on the same file system ($BENCH_DIR, default /dev/shm).
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=${CLI:-build/src/cli/cindervault-cli}
FILES=${FILES:-10000}
RUNS=${RUNS:-3}
[ -x "$CLI" ] || { echo "build first: scripts/build" >&2; exit 2; }
. bench/common.sh

base=$(mktemp -d "${BENCH_DIR:-/dev/shm}/cindervault-tree-bench-XXXXXX")
trap 'rm -rf "$base"' EXIT
without_reports "$base/home"
gnu_shred() { find "$1" -type f -exec shred -u -n 1 {} +; rm -rf "$1"; }

cv=(); gnu=()
for i in $(seq "$RUNS"); do
  files_of_4k "$base/cv$i" "$FILES"; files_of_4k "$base/gnu$i" "$FILES"
  cv+=("$(seconds "$CLI" shred --yes --method 16 "$base/cv$i")")
  gnu+=("$(seconds gnu_shred "$base/gnu$i")")
done
a=$(printf '%s\n' "${cv[@]}" | median); b=$(printf '%s\n' "${gnu[@]}" | median)
echo "$FILES files of 4 KiB in $(dirname "$base"), median of $RUNS runs"
printf 'cindervault-cli shred --method 16     %6.2f s\n' "$a"
printf 'find -exec shred -u -n 1 {} +         %6.2f s\n' "$b"
printf 'ratio cindervault/shred: %.2f\n' "$(echo "$a / $b" | bc -l)"
