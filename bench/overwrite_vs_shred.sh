#!/usr/bin/env bash
# Side by side: cindervault-cli overwrite --method 17 (three random passes) against GNU shred -n 3
# on the same 256 MiB file in /dev/shm (or $BENCH_DIR). Prints the median wall time of each, their
# ratio, and the peak memory of each. With --load the same again with one busy loop per core
# beside the tools.
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=${CLI:-build/src/cli/cindervault-cli}
RUNS=${RUNS:-5}
SIZE_MB=${SIZE_MB:-256}
[ -x "$CLI" ] || { echo "build first: scripts/build" >&2; exit 2; }
. bench/common.sh
load_options "$@"

dir=$(mktemp -d "${BENCH_DIR:-/dev/shm}/cindervault-bench-XXXXXX")
at_exit 'rm -rf "$dir"'
file="$dir/subject.bin"
head -c "$((SIZE_MB * 1048576))" /dev/urandom >"$file"

# run LABEL COMMAND...: prints "seconds peak_kib" of one run
measure() {
  /usr/bin/time -f '%e %M' -o "$dir/time.out" "$@" >/dev/null
  cat "$dir/time.out"
}

compare() {
  : >"$dir/cv"
  : >"$dir/shred"
  for _ in $(seq "$RUNS"); do
    measure "$CLI" overwrite --method 17 "$file" >>"$dir/cv"
    measure shred -n 3 "$file" >>"$dir/shred"
  done
  cv_time=$(cut -d' ' -f1 "$dir/cv" | median)
  shred_time=$(cut -d' ' -f1 "$dir/shred" | median)
  cv_mem=$(cut -d' ' -f2 "$dir/cv" | sort -n | tail -1)
  shred_mem=$(cut -d' ' -f2 "$dir/shred" | sort -n | tail -1)
  printf 'cindervault-cli overwrite --method 17  %6.2f s   peak %6d KiB\n' "$cv_time" "$cv_mem"
  printf 'shred -n 3                             %6.2f s   peak %6d KiB\n' "$shred_time" "$shred_mem"
  awk -v a="$cv_time" -v b="$shred_time" 'BEGIN { if (b > 0) printf "ratio cindervault/shred: %.2f\n", a / b }'
}

echo "file: ${SIZE_MB} MiB in $(dirname "$dir") ($(stat -f -c %T "$dir")), ${RUNS} runs each, median wall time"
under_each_load compare
