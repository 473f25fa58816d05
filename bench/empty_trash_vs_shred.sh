#!/usr/bin/env bash
# Side by side: cindervault-cli empty-trash --method 16 of a Trash holding 10,000 files of 4 KiB
# (each trashed on its own, with its .trashinfo record) against GNU shred over the same files
# (find Trash/files -type f -exec shred -u -n 1 {} +, which leaves the records). Each run gets a
# fresh Trash on the same file system ($BENCH_DIR, default /dev/shm), named through
# CINDERVAULT_TEMP_TRASH, so the user's own Trash is never touched. With --load the same again
# with one busy loop per core beside the tools.
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=${CLI:-build/src/cli/cindervault-cli}
FILES=${FILES:-10000}
RUNS=${RUNS:-3}
[ -x "$CLI" ] || { echo "build first: scripts/build" >&2; exit 2; }
. bench/common.sh
load_options "$@"

base=$(mktemp -d "${BENCH_DIR:-/dev/shm}/cindervault-trash-bench-XXXXXX")
at_exit 'rm -rf "$base"'
without_reports "$base/home"
# A Trash of FILES trashed files: files/ holds them, info/ one record each.
make_trash() {
  mkdir -p "$1/files" "$1/info"
  head -c $((4096 * FILES)) /dev/urandom | split -b 4096 -a 5 -d - "$1/files/f"
  (cd "$1/files" && for f in *; do
    printf '[Trash Info]\nPath=/home/user/%s\nDeletionDate=2026-12-07T10:00:00\n' "$f" >"../info/$f.trashinfo"
  done)
}
empty_trash() { CINDERVAULT_TEMP_TRASH="$1" "$CLI" empty-trash --yes --method 16; }
gnu_shred() { find "$1/files" -type f -exec shred -u -n 1 {} +; }

compare() {
  compare_runs make_trash empty_trash gnu_shred
  a=$CV_MEDIAN; b=$GNU_MEDIAN
  printf 'cindervault-cli empty-trash --method 16      %6.2f s (items and records)\n' "$a"
  printf 'find files -type f -exec shred -u -n 1 {} +  %6.2f s (items only)\n' "$b"
  printf 'ratio cindervault/shred: %.2f\n' "$(echo "$a / $b" | bc -l)"
}

echo "A Trash of $FILES files of 4 KiB with their records in $(dirname "$base") ($(stat -f -c %T "$base")), median of $RUNS runs"
under_each_load compare
