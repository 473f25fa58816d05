#!/usr/bin/env bash
# Side by side, in one run: three random passes over the same 256 MiB file with cindervault-cli
# overwrite --method 17, without and with --verify (the last pass read back from the device) and
# --verify=all, against GNU shred -n 3; on disk (/var/tmp) and in memory (/dev/shm). With OLD_CLI
# (an earlier cindervault-cli) its random pass runs beside, for the speed before and after.
# dd writes one pass and reads one back past the page cache, for the device's own speeds (their
# MiB/s column counts three passes, as for the others: divide by three). Prints the median wall
# time of each, the speed of one pass, and what the read-back adds as a share of one pass's write
# time and as a share of dd's read-back of one pass (the device's own time to read the data back).
# With --load the same again with one busy loop per core beside the tools.
set -euo pipefail
cd "$(dirname "$0")/.."
CLI=${CLI:-build/src/cli/cindervault-cli}
OLD_CLI=${OLD_CLI:-}
RUNS=${RUNS:-3}
SIZE_MB=${SIZE_MB:-256}
FOLDERS=${FOLDERS:-/var/tmp /dev/shm}
[ -x "$CLI" ] || { echo "build first: scripts/build" >&2; exit 2; }
. bench/common.sh
load_options "$@"

# one_run FILE COMMAND...: the wall time of one run, with the file's pages dropped before, so that
# every run starts alike.
one_run() {
  local file=$1
  shift
  dd if="$file" iflag=nocache count=0 status=none 2>/dev/null || true
  seconds "$@"
}

report() { # LABEL TIMES_FILE BASE_SECONDS_PER_PASS
  local t
  t=$(median <"$2")
  printf '  %-44s %7.2f s  %7.0f MiB/s per pass\n' "$1" "$t" "$(echo "3 * $SIZE_MB / $t" | bc -l)"
}

# compare: every command of $labels, $RUNS times in turn, then the medians.
compare() {
  local label
  for label in "${labels[@]}"; do : >"$dir/$label.times"; done
  for _ in $(seq "$RUNS"); do
    for label in "${labels[@]}"; do
      # shellcheck disable=SC2086
      one_run "$file" ${commands[$label]} >>"$dir/$label.times"
    done
  done
  for label in "${labels[@]}"; do report "$label" "$dir/$label.times"; done
  plain=$(median <"$dir/overwrite --method 17.times")
  verified=$(median <"$dir/overwrite --method 17 --verify.times")
  read_back=$(median <"$dir/$read_label.times")
  awk -v p="$plain" -v v="$verified" -v r="$read_back" 'BEGIN {
    printf "  --verify adds %.2f s = %.2f x the write time of one pass = %.2f x dd'"'"'s read-back of one pass\n",
      v - p, (v - p) / (p / 3), (v - p) / r }'
}

for folder in $FOLDERS; do
  dir=$(mktemp -d "$folder/cindervault-bench-XXXXXX")
  at_exit "rm -rf '$dir'"
  file="$dir/subject.bin"
  head -c "$((SIZE_MB * 1048576))" /dev/urandom >"$file"
  sync
  labels=()
  declare -A commands=()
  add() { labels+=("$1"); commands["$1"]="${*:2}"; }
  [ -n "$OLD_CLI" ] && add "before: overwrite --method 17" "$OLD_CLI" overwrite --method 17 "$file"
  add "overwrite --method 17" "$CLI" overwrite --method 17 "$file"
  add "overwrite --method 17 --verify" "$CLI" overwrite --method 17 --verify "$file"
  add "overwrite --method 17 --verify=all" "$CLI" overwrite --method 17 --verify=all "$file"
  add "shred -n 3" shred -n 3 "$file"
  # What the device itself does: one pass (shred's random data) read past the cache with dd, and one
  # pass written with dd (synced).
  if [ "$(stat -f -c %T "$folder")" = tmpfs ]; then # tmpfs takes no O_DIRECT: its pages are the data
    read_label="dd: one pass read (x3)"
    add "$read_label" dd if="$file" of=/dev/null bs=1M status=none
  else
    read_label="dd: one pass read, iflag=direct (x3)"
    add "$read_label" dd if="$file" of=/dev/null bs=1M iflag=direct status=none
  fi
  # Written last: a disk that stores zeros sparsely would read them back faster than data.
  add "dd: one pass written (x3)" dd if=/dev/zero of="$file" bs=1M count="$SIZE_MB" conv=notrunc,fdatasync status=none
  echo "$SIZE_MB MiB in $folder ($(stat -f -c %T "$folder")), $RUNS runs each, median wall time"
  under_each_load compare
  rm -rf "$dir"
  unset commands
done
