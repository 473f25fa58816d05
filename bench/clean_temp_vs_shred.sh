#!/usr/bin/env bash
# Side by side: cindervault-cli clean-temp --method 16 of three category folders holding 10,000
# files of 4 KiB in all (half logs, three tenths system caches, a fifth user caches, 100 folders
# each) against GNU shred over the same files (find ... -type f -exec shred -u -n 1 {} +). Both keep
# every folder. Each run gets fresh copies on the same file system ($BENCH_DIR, default /dev/shm);
# the category folders are named through the environment, so nothing of the system's is touched.
# With --load the same again with one busy loop per core beside the tools.
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=${CLI:-build/src/cli/cindervault-cli}
FILES=${FILES:-10000}
RUNS=${RUNS:-3}
[ -x "$CLI" ] || { echo "build first: scripts/build" >&2; exit 2; }
. bench/common.sh
load_options "$@"

base=$(mktemp -d "${BENCH_DIR:-/dev/shm}/cindervault-temp-bench-XXXXXX")
at_exit 'rm -rf "$base"'
without_reports "$base/home"
make_fixture() {
  files_of_4k "$1/log" $((FILES / 2)); files_of_4k "$1/cache" $((FILES * 3 / 10))
  files_of_4k "$1/user" $((FILES / 5))
}
clean_temp() {
  CINDERVAULT_TEMP_LOGS="$1/log" CINDERVAULT_TEMP_CACHES="$1/cache" CINDERVAULT_TEMP_USER_CACHES="$1/user" \
    CINDERVAULT_TEMP_TRASH="" "$CLI" clean-temp --yes --method 16 --logs --caches --user-caches
}
gnu_shred() { find "$1" -type f -exec shred -u -n 1 {} +; }

compare() {
  compare_runs make_fixture clean_temp gnu_shred
  a=$CV_MEDIAN; b=$GNU_MEDIAN
  printf 'cindervault-cli clean-temp --method 16     %6.2f s\n' "$a"
  printf 'find -type f -exec shred -u -n 1 {} +      %6.2f s\n' "$b"
  printf 'ratio cindervault/shred: %.2f\n' "$(echo "$a / $b" | bc -l)"
}

echo "$FILES files of 4 KiB in three category folders in $(dirname "$base") ($(stat -f -c %T "$base")), median of $RUNS runs"
under_each_load compare
